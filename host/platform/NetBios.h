// NetBIOS datagrams that carry mailslot messages between machines, and the NetBIOS name queries
// that find a machine by name. Pure byte work, no system calls and no sockets: the sender, the
// bridge and the fuzz target share it. docs/mailslots.md draws every layout with its source.
// Integers in the structures are in host byte order; the encoders write them in network order
// (NetBIOS) or little-endian (SMB) as the wire wants them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zk::platform {

constexpr uint16_t kNetBiosNamePort = 137;
constexpr uint16_t kNetBiosDatagramPort = 138;

// The longest message a mailslot write between machines may carry (Windows' documented limit;
// the datagram then stays within NetBIOS' 512 bytes of user data for short slot names).
constexpr uint32_t kRemoteMessageMax = 424;

enum class TDatagramType : uint8_t { DirectUnique = 0x10, DirectGroup = 0x11, Broadcast = 0x12 };

// Datagram header flags: another fragment follows, this is the first fragment.
constexpr uint8_t kDatagramMore = 0x01;
constexpr uint8_t kDatagramFirst = 0x02;

// A NetBIOS name: up to 15 bytes (padded with spaces on the wire) and the 16th byte, the suffix
// that says what the name stands for (0x00 a workstation, 0x1d a workgroup's master browser).
struct TNetBiosName {
    std::string Name;
    uint8_t Suffix = 0x00;
    bool operator==(const TNetBiosName&) const = default;
};

// The name as it goes on the wire: the first-level encoding (each of the 16 bytes as two
// letters 'A' + nibble) behind its length byte 0x20, and the empty root label: 34 bytes.
// Name is taken as given, cut to 15 bytes; callers upper-case it.
std::string EncodeNetBiosName(const TNetBiosName& Name);

// The name as people write it: trailing spaces dropped, suffix as "<1d>" behind it.
std::string NetBiosNameText(const TNetBiosName& Name);

// One mailslot message as a NetBIOS datagram with an SMB transaction (mailslot write) in it.
struct TMailslotDatagram {
    TDatagramType Type = TDatagramType::DirectUnique;
    uint8_t Flags = kDatagramFirst;  // B node, first and only fragment
    uint16_t Id = 0;
    uint32_t SourceIp = 0;
    uint16_t SourcePort = kNetBiosDatagramPort;
    TNetBiosName Source;
    TNetBiosName Destination;
    std::string Mailslot;  // "\MAILSLOT\HS", as the transaction names it
    uint16_t Priority = 0;
    uint16_t Class = 2;  // second class: unreliable, no reply
    std::string Data;
};

// The datagram's bytes. The encoder trusts its input: Mailslot holds no zero byte and the whole
// fits 65,535 bytes (callers check sizes against kRemoteMessageMax first).
std::string EncodeMailslotDatagram(const TMailslotDatagram& Datagram);

// Reads a datagram strictly: false, with a one-line Reason, when the packet is shorter than a
// field it announces, when its lengths, counts and offsets disagree with each other or with the
// packet's size, when it is one fragment of several, when its names are not first-level encoded
// (or carry a scope), when it carries another SMB command than a transaction, a transaction in
// several parts, or a mailslot opcode other than 1 (write). Out is complete only on true.
bool DecodeMailslotDatagram(std::string_view Packet, TMailslotDatagram& Out, std::string& Reason);

// A NetBIOS name query request (name service, port 137), for the NB record of Name.
struct TNameQuery {
    uint16_t Id = 0;
    TNetBiosName Name;
    bool Broadcast = true;
};

std::string EncodeNameQuery(const TNameQuery& Query);

// False with a Reason for anything but a single-question NB query request.
bool DecodeNameQuery(std::string_view Packet, TNameQuery& Out, std::string& Reason);

// The positive answer for a unique name held by a B node at Ip (host order), Ttl in seconds.
std::string EncodeNameQueryResponse(uint16_t Id, const TNetBiosName& Name, uint32_t Ip,
                                    uint32_t Ttl);

// Reads a positive name query response: its id, and the first address it gives (host order).
// False with a Reason for requests, negative responses and records that do not add up.
bool DecodeNameQueryResponse(std::string_view Packet, uint16_t& Id, uint32_t& Ip,
                             std::string& Reason);

}  // namespace zk::platform
