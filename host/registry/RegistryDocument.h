// The registry file's content: keys named by their full path ("HKEY_CURRENT_USER\Software\Vdx"),
// each with named values that are texts or 32-bit integers. Kept as TOML, one table per key:
//
//   ['HKEY_CURRENT_USER\Software\Vdx']
//   Path = '/usr/bin/docuvane'
//   ShowName = 1
//
// Key paths and value names compare ignoring the case of ASCII letters, as the registry's do.
// A value of any other TOML type (a boolean, a float, a date, an array, an inline table, an
// integer outside 32 bits) is one the registry cannot hold: it is kept as the text it was
// written with and written back unchanged, and reading it raises "Invalid data type".
// Pure logic: reading and writing the file belongs to TRegistry.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace zk::registry {

// A value the registry cannot hold, as its TOML text stood in the file ("true", "1.50").
struct TRegForeign {
    std::string Toml;
    bool operator==(const TRegForeign&) const = default;
};

// A value's data: a text, an integer in -2^31..2^32-1 (signed or unsigned 32-bit data), or a
// value of another type, kept as it was.
using TRegData = std::variant<std::string, int64_t, TRegForeign>;

struct TRegValueEntry {
    std::string Name;
    TRegData Data;
};

struct TRegKeyEntry {
    std::string Path;
    std::vector<TRegValueEntry> Values;
};

class TRegistryDocument {
  public:
    // Parses the file's text. A text that is not TOML, a top-level entry that is not a table,
    // or a table inside a key that is not written inline (a [KEY.sub] header, a dotted name)
    // raises ERegistryException "Registry file FILE is corrupt: REASON".
    static TRegistryDocument Parse(const std::string& Text, const std::string& FileName);
    // The TOML text of all keys, ending in a line feed: keys and value names in byte order,
    // foreign values in their own text.
    std::string Format() const;

    // True when Path names a key or an ancestor of a key.
    bool KeyExists(const std::string& Path) const;
    // Adds the key Path unless it exists.
    void CreateKey(const std::string& Path);
    // The data of value Name under key Path, or null when the key or value is missing. The
    // pointer is valid until the document changes.
    const TRegData* FindValue(const std::string& Path, const std::string& Name) const;
    // Sets value Name under key Path, creating the key; an existing value keeps the spelling
    // of its name.
    void SetValue(const std::string& Path, const std::string& Name, TRegData Data);
    // Removes value Name under key Path; false when it was not there.
    bool DeleteValue(const std::string& Path, const std::string& Name);

    const std::vector<TRegKeyEntry>& Keys() const { return FKeys; }

  private:
    TRegKeyEntry* FindKey(const std::string& Path);
    const TRegKeyEntry* FindKey(const std::string& Path) const;

    std::vector<TRegKeyEntry> FKeys;
};

// True when Text is well-formed UTF-8 (the file keeps texts as UTF-8).
bool IsValidUtf8(const std::string& Text);

}  // namespace zk::registry
