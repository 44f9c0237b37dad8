// Encoders and decoders of the framed mailslot formats, free of I/O and randomness: the caller
// draws tags, serials and ids and does the sending and receiving. All 16-bit binary fields are
// little-endian; text fields are four uppercase hexadecimal digits. Decoders take a frame as
// bytes and a length and never read beyond that length.
#pragma once

#include <cstdint>
#include <string>

#include "zk/Export.h"

namespace zk {

namespace zkframes {

// Checked mail: 2-byte checksum of the payload, then the payload.
constexpr int32_t CheckedHeaderSize = 2;
// Safe mail: a checked frame whose payload starts with a 2-byte serial.
constexpr int32_t SafeSerialSize = 2;
// Secure mail: 4 hex digits of a tag and 4 of the payload checksum, then the payload.
constexpr int32_t SecureHeaderSize = 8;

// Long mail: each fragment is the payload of one checked frame, a 4-byte header (id with the
// first-fragment flag, bytes remaining from this fragment to the end) and up to 394 bytes.
constexpr int32_t FragmentHeaderSize = 4;
constexpr int32_t FragmentPayloadMax = 394;
constexpr int32_t FragmentBufferSize = FragmentHeaderSize + FragmentPayloadMax;  // 398
constexpr int32_t LongMailMax = 65532;
constexpr uint16_t FirstFragmentFlag = 0x8000;
constexpr uint16_t FragmentIdMask = 0x7FFF;
// The sender pauses PacingPauseMs before fragments PacingEvery, 2 * PacingEvery, ... (1-based).
constexpr int32_t PacingEvery = 20;
constexpr uint32_t PacingPauseMs = 20;
// A reassembly entry not looked up for longer than this is discarded.
constexpr uint32_t StaleAfterMs = 2000;

// The 16-bit value stored low byte first at P (two bytes are read).
ZK_EXPORT uint16_t ReadLE16(const char* P);

// A checked frame: checksum of the Len bytes at Buf (low byte first), then those bytes.
// A Len of zero or less gives the two-byte frame of an empty payload.
ZK_EXPORT std::string EncodeChecked(const void* Buf, int32_t Len);

// True when the Len bytes at Frame hold at least the checksum and it matches the bytes behind it.
ZK_EXPORT bool CheckedFrameValid(const char* Frame, int32_t Len);

// A safe frame: the checked frame of Serial (low byte first) followed by the Len bytes at Buf.
// Decoding is CheckedFrameValid, then ReadLE16 at offset CheckedHeaderSize.
ZK_EXPORT std::string EncodeSafe(uint16_t Serial, const void* Buf, int32_t Len);

// A secure frame: Tag and the checksum of the Len bytes at Buf as four uppercase hexadecimal
// digits each, then those bytes.
ZK_EXPORT std::string EncodeSecure(uint16_t Tag, const void* Buf, int32_t Len);

// True when bytes 4 to 7 of the frame equal, byte for byte, the uppercase text of the checksum
// over bytes 8 to the end. Frames shorter than 8 bytes and lowercase digits never match; the tag
// bytes are not looked at.
ZK_EXPORT bool SecureFrameValid(const char* Frame, int32_t Len);

// A messenger popup frame: Sender, a zero byte, Receiver, a zero byte, Text (no zero after it).
// The strings are taken as given; code-page conversion belongs to the caller.
ZK_EXPORT std::string EncodePopup(const std::string& Sender, const std::string& Receiver,
                                  const std::string& Text);

struct PopupFields {
    std::string Sender;
    std::string Receiver;
    std::string Text;
};

// Splits a popup frame into its three fields, each up to the next zero byte or the end of the
// frame. Fields a short frame lacks are empty; anything after a third zero byte is ignored.
ZK_EXPORT PopupFields SplitPopup(const char* Frame, int32_t Len);

// Number of fragments for a long message of Len bytes: ceil(Len / 394), 0 when Len <= 0.
ZK_EXPORT int32_t FragmentCount(int32_t Len);

// The payload (header and bytes, before checked framing) of fragment Index (0-based) of the
// MsgLen bytes at Msg, for the 15-bit message Id. The first fragment carries the flag; each
// carries the low 16 bits of the bytes remaining from its own first byte. Empty when Index is
// not below FragmentCount(MsgLen).
ZK_EXPORT std::string EncodeFragment(uint16_t Id, const void* Msg, int32_t MsgLen, int32_t Index);

struct FragmentHeader {
    uint16_t Id = 0;         // the 15-bit message id
    bool First = false;      // the first-fragment flag was set
    uint16_t Remaining = 0;  // bytes from this fragment's first payload byte to the message end
};

// Reads the header of a fragment payload of Len bytes. False, with H untouched, when Len <= 4:
// such a fragment carries no bytes and is ignored. The fragment's bytes start at offset 4.
ZK_EXPORT bool ParseFragment(const char* Payload, int32_t Len, FragmentHeader& H);

}  // namespace zkframes

}  // namespace zk
