// Pure helpers for starting programs: a command line split into words the way a POSIX shell
// splits them (no shell is run), the show-window request as a child's environment sees it,
// and a Win32 environment block read into entries.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zk::win32 {

// Splits Line at unquoted blanks (space, tab, line feed). '...' keeps everything literally;
// "..." keeps everything but lets a backslash escape ", \, $ and ` (and drops an escaped line
// feed); outside quotes a backslash keeps the next character literally (and drops a line feed).
// Quoted parts join their neighbours ("a"'b'c is abc); '' or "" alone is an empty word. No
// expansion of variables, patterns or ~ takes place. Nothing for an unterminated quote or a
// trailing backslash.
std::optional<std::vector<std::string>> SplitCommandLine(const std::string& Line);

// The value the started program finds in DOCUVANE_SHOW for a show-window request: "hidden"
// (0), "normal" (1), "minimized" (2), "maximized" (3), otherwise the number in decimal.
std::string ShowWindowName(uint16_t ShowCmd);

// The entries of a Win32 environment block: "NAME=value" texts, each ending in a zero byte,
// the block ending in one more zero byte.
std::vector<std::string> EnvironmentFromBlock(const char* Block);

// Env without any DOCUVANE_SHOW entry, plus DOCUVANE_SHOW=Show unless Show is empty.
std::vector<std::string> WithShowRequest(std::vector<std::string> Env, const std::string& Show);

}  // namespace zk::win32
