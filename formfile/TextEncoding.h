// Text of form files for documents that must be UTF-8 (JSON): Lazarus and newer Delphi forms
// hold UTF-8, older Delphi forms the ANSI code page, Windows-1252.
#pragma once

#include <string>
#include <string_view>

namespace zk::formfile {

// Appends the UTF-8 bytes of a code point below U+10000.
void AppendUtf8(std::string& Out, char16_t C);

// Whether S is well-formed UTF-8 (no overlong forms, surrogates or code points past U+10FFFF).
bool IsUtf8(std::string_view S);

// S as UTF-8: as it is when it already is, else read as Windows-1252, so that no byte passes
// through unconverted.
std::string Utf8Text(std::string_view S);

}  // namespace zk::formfile
