// The two 8-bit code pages of the system: the ANSI page (Windows-1252), in which texts are held,
// and the OEM page, in which messenger popups travel. The OEM page is 437 unless the environment
// variable MAILSLOT_OEM_CODEPAGE names another (a number such as 850, or an iconv name).
#pragma once

namespace zk::win32 {

// Converts the zero-terminated text at src from the ANSI to the OEM page into dst, byte for byte,
// so the result has the same length; src and dst may be the same buffer. A character the OEM page
// lacks becomes '?'. Returns false (and writes nothing) only when either pointer is null.
bool CharToOemA(const char* src, char* dst);

// The reverse of CharToOemA: the zero-terminated OEM text at src into the ANSI page at dst.
bool OemToCharA(const char* src, char* dst);

}  // namespace zk::win32
