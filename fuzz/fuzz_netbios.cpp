// Feeds arbitrary bytes to the NetBIOS decoders (as a packet on port 137 or 138 would arrive),
// checks that whatever a decoder accepts encodes back to the same bytes, and that encoded
// datagrams always decode to what went in.
#include "zk/host/platform/NetBios.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

using namespace zk::platform;

void Require(bool Holds) {
    if (!Holds) __builtin_trap();
}

void DecodeRaw(std::string_view Packet) {
    TMailslotDatagram d;
    std::string reason;
    if (DecodeMailslotDatagram(Packet, d, reason)) {
        // Accepted packets are whole: nothing beyond what the fields account for. The encoder
        // writes the fields it does not keep (timeout, counts) its own way, so compare sizes.
        Require(EncodeMailslotDatagram(d).size() <= Packet.size());
    } else {
        Require(!reason.empty());
    }
    TNameQuery q;
    if (DecodeNameQuery(Packet, q, reason)) Require(Packet.size() == 50);
    uint16_t id = 0;
    uint32_t ip = 0;
    if (!DecodeNameQueryResponse(Packet, id, ip, reason)) Require(!reason.empty());
}

void RoundTrip(FuzzedDataProvider& In) {
    TMailslotDatagram d;
    d.Type = In.PickValueInArray(
        {TDatagramType::DirectUnique, TDatagramType::DirectGroup, TDatagramType::Broadcast});
    d.Id = In.ConsumeIntegral<uint16_t>();
    d.SourceIp = In.ConsumeIntegral<uint32_t>();
    d.Source = {In.ConsumeRandomLengthString(15), In.ConsumeIntegral<uint8_t>()};
    d.Destination = {In.ConsumeRandomLengthString(15), In.ConsumeIntegral<uint8_t>()};
    d.Priority = In.ConsumeIntegral<uint16_t>();
    std::string slot = In.ConsumeRandomLengthString(64);
    d.Mailslot = "\\MAILSLOT\\" + slot.substr(0, slot.find('\0'));
    if (d.Mailslot.size() == 10) d.Mailslot += 'X';
    d.Data = In.ConsumeRemainingBytesAsString().substr(0, kRemoteMessageMax);
    // Names come back without trailing spaces.
    for (TNetBiosName* n : {&d.Source, &d.Destination})
        n->Name.erase(n->Name.find_last_not_of(' ') + 1);

    TMailslotDatagram back;
    std::string reason;
    Require(DecodeMailslotDatagram(EncodeMailslotDatagram(d), back, reason));
    Require(back.Type == d.Type && back.Id == d.Id && back.SourceIp == d.SourceIp &&
            back.Source == d.Source && back.Destination == d.Destination &&
            back.Mailslot == d.Mailslot && back.Priority == d.Priority && back.Data == d.Data);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    const std::string packet(reinterpret_cast<const char*>(Data), Size);
    DecodeRaw(packet);
    FuzzedDataProvider In(Data, Size);
    RoundTrip(In);
    return 0;
}
