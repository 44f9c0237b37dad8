#include "host/registry/RegistryDocument.h"

#include <toml++/toml.h>

#include <sstream>

#include "host/registry/Registry.h"
#include "host/rtl/SysUtils.h"

namespace zk::registry {

using namespace zk::rtl;

namespace {

bool SameName(const std::string& A, const std::string& B) {
    return A.size() == B.size() && StrIComp(A.c_str(), B.c_str()) == 0;
}

// True when Path is Ancestor followed by a backslash and more.
bool IsBelow(const std::string& Path, const std::string& Ancestor) {
    return Path.size() > Ancestor.size() + 1 && Path[Ancestor.size()] == '\\' &&
           SameName(Path.substr(0, Ancestor.size()), Ancestor);
}

[[noreturn]] void Corrupt(const std::string& FileName, const std::string& Reason) {
    throw ERegistryException("Registry file " + FileName + " is corrupt: " + Reason);
}

TRegData DataOf(const toml::node& Node, const std::string& Key, const std::string& Name,
                const std::string& FileName) {
    if (const auto* s = Node.as_string()) return s->get();
    if (const auto* i = Node.as_integer()) {
        int64_t v = i->get();
        if (v < INT32_MIN || v > static_cast<int64_t>(UINT32_MAX))
            Corrupt(FileName,
                    "value '" + Name + "' of key '" + Key + "' is out of the 32-bit range");
        return v;
    }
    Corrupt(FileName, "value '" + Name + "' of key '" + Key + "' is neither a text nor an integer");
}

}  // namespace

TRegistryDocument TRegistryDocument::Parse(const std::string& Text, const std::string& FileName) {
    toml::table root;
    try {
        root = toml::parse(Text, std::string_view(FileName));
    } catch (const toml::parse_error& e) {
        const toml::source_position& at = e.source().begin;
        Corrupt(FileName, std::string(e.description()) + " (line " + std::to_string(at.line) +
                              ", column " + std::to_string(at.column) + ")");
    }
    TRegistryDocument doc;
    for (const auto& [key, node] : root) {
        std::string path(key.str());
        const toml::table* table = node.as_table();
        if (!table) Corrupt(FileName, "'" + path + "' is not a key table");
        TRegKeyEntry entry{path, {}};
        for (const auto& [name, value] : *table) {
            std::string n(name.str());
            entry.Values.push_back({n, DataOf(value, path, n, FileName)});
        }
        doc.FKeys.push_back(std::move(entry));
    }
    return doc;
}

std::string TRegistryDocument::Format() const {
    toml::table root;
    for (const TRegKeyEntry& key : FKeys) {
        toml::table table;
        for (const TRegValueEntry& v : key.Values) {
            if (const auto* s = std::get_if<std::string>(&v.Data))
                table.insert_or_assign(v.Name, *s);
            else
                table.insert_or_assign(v.Name, std::get<int64_t>(v.Data));
        }
        root.insert_or_assign(key.Path, std::move(table));
    }
    std::ostringstream out;
    out << root << '\n';
    return out.str();
}

TRegKeyEntry* TRegistryDocument::FindKey(const std::string& Path) {
    for (TRegKeyEntry& k : FKeys)
        if (SameName(k.Path, Path)) return &k;
    return nullptr;
}

const TRegKeyEntry* TRegistryDocument::FindKey(const std::string& Path) const {
    return const_cast<TRegistryDocument*>(this)->FindKey(Path);
}

bool TRegistryDocument::KeyExists(const std::string& Path) const {
    for (const TRegKeyEntry& k : FKeys)
        if (SameName(k.Path, Path) || IsBelow(k.Path, Path)) return true;
    return false;
}

void TRegistryDocument::CreateKey(const std::string& Path) {
    if (!FindKey(Path)) FKeys.push_back({Path, {}});
}

const TRegData* TRegistryDocument::FindValue(const std::string& Path,
                                             const std::string& Name) const {
    const TRegKeyEntry* key = FindKey(Path);
    if (!key) return nullptr;
    for (const TRegValueEntry& v : key->Values)
        if (SameName(v.Name, Name)) return &v.Data;
    return nullptr;
}

void TRegistryDocument::SetValue(const std::string& Path, const std::string& Name, TRegData Data) {
    CreateKey(Path);
    TRegKeyEntry& key = *FindKey(Path);
    for (TRegValueEntry& v : key.Values)
        if (SameName(v.Name, Name)) {
            v.Data = std::move(Data);
            return;
        }
    key.Values.push_back({Name, std::move(Data)});
}

bool TRegistryDocument::DeleteValue(const std::string& Path, const std::string& Name) {
    TRegKeyEntry* key = FindKey(Path);
    if (!key) return false;
    for (auto it = key->Values.begin(); it != key->Values.end(); ++it)
        if (SameName(it->Name, Name)) {
            key->Values.erase(it);
            return true;
        }
    return false;
}

bool IsValidUtf8(const std::string& Text) {
    size_t i = 0;
    while (i < Text.size()) {
        unsigned char c = static_cast<unsigned char>(Text[i]);
        size_t len;
        uint32_t cp;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            len = 2;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            len = 3;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            len = 4;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + len > Text.size()) return false;
        for (size_t k = 1; k < len; ++k) {
            unsigned char cc = static_cast<unsigned char>(Text[i + k]);
            if ((cc & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        static const uint32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
        if (cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        i += len;
    }
    return true;
}

}  // namespace zk::registry
