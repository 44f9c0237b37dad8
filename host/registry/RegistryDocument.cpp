#include "zk/host/registry/RegistryDocument.h"

#include <toml++/toml.h>

#include <map>
#include <optional>
#include <sstream>

#include "zk/host/registry/Registry.h"
#include "zk/host/rtl/SysUtils.h"

namespace zk::registry {

using namespace zk::rtl;

namespace {

// True when Path is Ancestor followed by a backslash and more.
bool IsBelow(const std::string& Path, const std::string& Ancestor) {
    return Path.size() > Ancestor.size() + 1 && Path[Ancestor.size()] == '\\' &&
           SameText(Path.substr(0, Ancestor.size()), Ancestor);
}

[[noreturn]] void Corrupt(const std::string& FileName, const std::string& Reason) {
    throw ERegistryException("Registry file " + FileName + " is corrupt: " + Reason);
}

// Byte offsets of the file's lines, to find a value's text from the parser's positions.
class TSourceText {
  public:
    explicit TSourceText(const std::string& Text) : FText(Text) {
        FLineStarts.push_back(0);
        for (size_t i = 0; i < Text.size(); ++i)
            if (Text[i] == '\n') FLineStarts.push_back(i + 1);
    }

    // The text of Region, or nothing when the parser gave no usable positions. Columns count
    // characters, so multi-byte UTF-8 sequences are stepped over whole.
    std::optional<std::string> Of(const toml::source_region& Region) const {
        std::optional<size_t> begin = Offset(Region.begin);
        std::optional<size_t> end = Offset(Region.end);
        if (!begin || !end || *end <= *begin) return std::nullopt;
        return FText.substr(*begin, *end - *begin);
    }

  private:
    std::optional<size_t> Offset(const toml::source_position& At) const {
        if (At.line == 0 || At.column == 0 || At.line > FLineStarts.size()) return std::nullopt;
        size_t i = FLineStarts[At.line - 1];
        for (toml::source_index col = 1; col < At.column; ++col) {
            if (i >= FText.size() || FText[i] == '\n') return std::nullopt;
            ++i;
            while (i < FText.size() && (static_cast<unsigned char>(FText[i]) & 0xC0) == 0x80) ++i;
        }
        return i;
    }

    const std::string& FText;
    std::vector<size_t> FLineStarts;
};

// A table inside a key that stands on its own lines ([KEY.sub], [[KEY.list]], a dotted name)
// has no value text of its own to keep.
bool WrittenInline(const toml::node& Node) {
    if (const auto* t = Node.as_table()) return t->is_inline();
    if (const auto* a = Node.as_array())
        for (const toml::node& element : *a)
            if (const auto* t = element.as_table(); t && !t->is_inline()) return false;
    return true;
}

TRegData DataOf(const toml::node& Node, const std::string& Key, const std::string& Name,
                const TSourceText& Source, const std::string& FileName) {
    if (const auto* s = Node.as_string()) return s->get();
    if (const auto* i = Node.as_integer()) {
        int64_t v = i->get();
        if (v >= INT32_MIN && v <= static_cast<int64_t>(UINT32_MAX)) return v;
    }
    if (!WrittenInline(Node))
        Corrupt(FileName, "value '" + Name + "' of key '" + Key + "' is a table of its own");
    if (std::optional<std::string> text = Source.Of(Node.source())) return TRegForeign{*text};
    std::ostringstream text;
    Node.visit([&](const auto& n) { text << n; });
    return TRegForeign{text.str()};
}

// "NAME = " as the TOML writer spells the name (bare, or quoted as needed).
std::string NameText(const std::string& Name) {
    toml::table one;
    one.insert_or_assign(Name, 0);
    std::ostringstream out;
    out << one;
    std::string line = out.str();
    return line.substr(0, line.size() - 1);
}

std::string ValueLine(const std::string& Name, const TRegData& Data) {
    if (const auto* f = std::get_if<TRegForeign>(&Data)) return NameText(Name) + f->Toml;
    toml::table one;
    if (const auto* s = std::get_if<std::string>(&Data))
        one.insert_or_assign(Name, *s);
    else
        one.insert_or_assign(Name, std::get<int64_t>(Data));
    std::ostringstream out;
    out << one;
    return out.str();
}

std::string HeaderLine(const std::string& Path) {
    toml::table root;
    root.insert_or_assign(Path, toml::table{});
    std::ostringstream out;
    out << root;
    return out.str();
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
    TSourceText source(Text);
    TRegistryDocument doc;
    for (const auto& [key, node] : root) {
        std::string path(key.str());
        const toml::table* table = node.as_table();
        if (!table) Corrupt(FileName, "'" + path + "' is not a key table");
        TRegKeyEntry entry{path, {}};
        for (const auto& [name, value] : *table) {
            std::string n(name.str());
            entry.Values.push_back({n, DataOf(value, path, n, source, FileName)});
        }
        doc.FKeys.push_back(std::move(entry));
    }
    return doc;
}

std::string TRegistryDocument::Format() const {
    // The layout of the TOML writer (keys and names in byte order, a blank line between keys),
    // composed line by line so that foreign values keep their own text.
    std::map<std::string, const TRegKeyEntry*> keys;
    for (const TRegKeyEntry& key : FKeys) keys.emplace(key.Path, &key);
    std::string out;
    for (const auto& [path, key] : keys) {
        if (!out.empty()) out += "\n\n";
        out += HeaderLine(path);
        std::map<std::string, const TRegData*> values;
        for (const TRegValueEntry& v : key->Values) values.emplace(v.Name, &v.Data);
        for (const auto& [name, data] : values) out += "\n" + ValueLine(name, *data);
    }
    return out + "\n";
}

TRegKeyEntry* TRegistryDocument::FindKey(const std::string& Path) {
    for (TRegKeyEntry& k : FKeys)
        if (SameText(k.Path, Path)) return &k;
    return nullptr;
}

const TRegKeyEntry* TRegistryDocument::FindKey(const std::string& Path) const {
    return const_cast<TRegistryDocument*>(this)->FindKey(Path);
}

bool TRegistryDocument::KeyExists(const std::string& Path) const {
    for (const TRegKeyEntry& k : FKeys)
        if (SameText(k.Path, Path) || IsBelow(k.Path, Path)) return true;
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
        if (SameText(v.Name, Name)) return &v.Data;
    return nullptr;
}

void TRegistryDocument::SetValue(const std::string& Path, const std::string& Name, TRegData Data) {
    CreateKey(Path);
    TRegKeyEntry& key = *FindKey(Path);
    for (TRegValueEntry& v : key.Values)
        if (SameText(v.Name, Name)) {
            v.Data = std::move(Data);
            return;
        }
    key.Values.push_back({Name, std::move(Data)});
}

bool TRegistryDocument::DeleteValue(const std::string& Path, const std::string& Name) {
    TRegKeyEntry* key = FindKey(Path);
    if (!key) return false;
    for (auto it = key->Values.begin(); it != key->Values.end(); ++it)
        if (SameText(it->Name, Name)) {
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
