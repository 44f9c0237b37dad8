// The binary form stream ("TPF0") that the Object Pascal run-time library's TWriter writes and
// TReader reads, and the resource header around it in Delphi's binary form files.
//
// The stream, as the library's public documentation of TReader, TWriter, TValueType and
// TFilerFlag describes it (all numbers little-endian):
//   stream  = "TPF0" object
//   object  = [prefix] shortstr(class) shortstr(name) property* 00 object* 00
//   prefix  = byte F0|flags (1 inherited, 2 child position follows as an integer value, 4 inline)
//   property= shortstr(name) value
//   shortstr= length byte, bytes
//   value   = tag, then by tag: 00 vaNull, 01 vaList (values, 00), 02 vaInt8 (1 byte),
//             03 vaInt16 (2), 04 vaInt32 (4), 05 vaExtended (10-byte x87 extended,
//             formfile/FormExtended.h), 06 vaString
//             (shortstr), 07 vaIdent (shortstr), 08 vaFalse, 09 vaTrue, 0A vaBinary (int32 size,
//             bytes), 0B vaSet (shortstr names, empty one ends), 0C vaLString (int32 length,
//             bytes), 0D vaNil, 0E vaCollection (items, 00; an item is an optional integer order
//             value, then 01, its properties, 00), 0F vaSingle (4), 10 vaCurrency (int64 of the
//             value times 10000), 11 vaDate (8-byte double), 12 vaWString (int32 count, UTF-16
//             units), 13 vaInt64 (8), 14 vaUTF8String (int32 length, bytes), 15 vaDouble (8).
// What the library's text-to-binary conversion (ObjectTextToBinary) chooses, and so what
// WriteFormStream writes for values read from text: integers in the smallest of vaInt8,
// vaInt16, vaInt32, else vaInt64; strings as vaString up to 255 bytes, else vaLString, and
// vaWString when a #nnn code is above 255; plain floats vaExtended, suffix s vaSingle, c
// vaCurrency, d vaDate; identifiers vaIdent except False, True and nil (any case), which are
// vaFalse, vaTrue and vaNil; the object prefix only when a flag is set (or the class name, 240
// bytes or longer, would read as one).
//
// The resource header: Delphi writes binary form files as one resource in the 16-bit .res
// layout: byte FF and the type as an ordinal word (10, RT_RCDATA), the name (the form's class in
// upper case, zero-terminated, or FF and an ordinal word), the memory-flags word (1030), the
// 32-bit data size, then the stream. Files in the 32-bit .res layout (an empty first entry of 32
// bytes, then entries of DataSize, HeaderSize, the rest of the header, the data padded to four
// bytes) are read too; the entry holding the stream is the first whose
// data starts with "TPF0".
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "zk/formfile/FormTree.h"

namespace zk::formfile {

// The frame around a binary stream: nothing, or the resource header that Delphi's binary form
// files carry (kept byte for byte, its size fields updated on write).
struct TFormBinaryFrame {
    enum Kind : uint8_t { Bare, Res16, Res32 } Kind = Bare;
    std::string Prefix;    // bytes before "TPF0"
    std::string Suffix;    // bytes after the stream (other resources)
    size_t SizeField = 0;  // offset in Prefix of the 32-bit data size
};

// True when Bytes start like a binary form file ("TPF0" or a resource header).
bool LooksBinary(std::string_view Bytes);

// Reads a binary form file (stream, optionally in its resource header) into a tree; Frame gets
// what surrounds the stream. Raises EFormFileError "FILE: byte N: ...".
TFormNode ReadFormStream(std::string_view Bytes, const std::string& FileName,
                         TFormBinaryFrame& Frame);

// The stream of Root, values in the encoding they were read with or else the library's choice.
std::string WriteFormStream(const TFormNode& Root);
// Stream put into Frame, its size fields brought up to date.
std::string FrameFormStream(const std::string& Stream, const TFormBinaryFrame& Frame);

}  // namespace zk::formfile
