// TRegistry: the current user's hive of the registry, kept in a per-user TOML file
// ($DOCUVANE_REGISTRY when set, otherwise $XDG_CONFIG_HOME/docuvane/registry.toml, see
// RegistryDocument.h for its layout). Every read looks at the file as it is now; every write
// re-reads the file under an exclusive lock, changes only the value it touches and replaces the
// file atomically, so concurrent writers in several processes never lose each other's values.
// A file that cannot be understood raises ERegistryException and is never overwritten.
#pragma once

#include <cstdint>
#include <string>

#include "zk/host/registry/RegistryDocument.h"
#include "zk/host/rtl/SysUtils.h"

namespace zk::registry {

using HKEY = uint32_t;

constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
// Named so that code can ask for it; only the current user's hive is kept, so keys under it
// cannot be opened.
constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;

// A registry value's type as GetDataType reports it; texts are rdString, integers rdInteger.
enum TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

// Every registry failure: wrong value type, missing value, no open key, unreadable or corrupt
// file. Texts: "Invalid data type for 'NAME'", "Failed to get data for 'NAME'", "Failed to set
// data for 'NAME'", "Registry file FILE is corrupt: REASON".
class ERegistryException : public rtl::Exception {
  public:
    using Exception::Exception;
};

class TRegistry {
  public:
    // RootKey HKEY_CURRENT_USER, no key open.
    TRegistry();
    ~TRegistry();
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    HKEY RootKey() const { return FRootKey; }
    // Chooses the hive for the next OpenKey; closes the current key.
    void SetRootKey(HKEY Value);
    // The open key's path below the root ("Software\Vdx"), empty when none or the root is open.
    const std::string& CurrentPath() const { return FCurrentPath; }
    bool KeyOpen() const { return FKeyOpen; }

    // Opens Key: from the root when it begins with a backslash or no key is open, otherwise
    // below the open key. Creates the key (and its ancestors) when missing and CanCreate is
    // true. False when the key does not exist and may not be created, or the hive is not kept.
    bool OpenKey(const std::string& Key, bool CanCreate);
    // Forgets the open key; nothing to release, values are written at once.
    void CloseKey();

    // The text of value Name; the empty text when it is missing. A value of another type
    // (also one the registry cannot hold, such as a TOML boolean or float) raises "Invalid
    // data type for 'NAME'".
    std::string ReadString(const std::string& Name);
    // Stores Value as a text. The file keeps UTF-8, so other text raises "Failed to set data
    // for 'NAME': the text is not UTF-8" and nothing is written.
    void WriteString(const std::string& Name, const std::string& Value);
    // An integer value: nonzero is true. Missing: "Failed to get data for 'NAME'"; of another
    // type: "Invalid data type for 'NAME'".
    bool ReadBool(const std::string& Name);
    // Stores 1 or 0 as an integer value.
    void WriteBool(const std::string& Name, bool Value);
    // An integer value (unsigned data above 2^31-1 read as negative), raising as ReadBool.
    int32_t ReadInteger(const std::string& Name);
    void WriteInteger(const std::string& Name, int32_t Value);

    // True when value Name exists, whatever its type.
    bool ValueExists(const std::string& Name);
    // Removes value Name; false when it did not exist.
    bool DeleteValue(const std::string& Name);
    // rdString, rdInteger, or rdUnknown when the value is missing, of a type the registry cannot
    // hold, or no key is open.
    TRegDataType GetDataType(const std::string& Name);

    // The file the registry is kept in, from the environment at the time of the call.
    static std::string FileName();

  private:
    // The open key's full path in the file ("HKEY_CURRENT_USER\Software\Vdx").
    std::string FullPath() const;
    // Raises "Failed to VERB data for 'NAME'" when no key is open.
    void RequireKey(const char* Verb, const std::string& Name) const;
    // Stores Data as value Name of the open key, under the file lock.
    void WriteData(const std::string& Name, TRegData Data);
    // The file's content now; an empty document when the file does not exist.
    static TRegistryDocument Load();

    HKEY FRootKey = HKEY_CURRENT_USER;
    bool FKeyOpen = false;
    std::string FCurrentPath;
};

}  // namespace zk::registry
