#include "zk/host/registry/Registry.h"

#include <cstdlib>

#include "zk/host/platform/ConfigFile.h"

namespace zk::registry {

using namespace zk::platform;

namespace {

const char* RootName(HKEY Root) {
    return Root == HKEY_CURRENT_USER ? "HKEY_CURRENT_USER" : nullptr;
}

// "a\\b\" -> "a\b": no empty parts, no leading or trailing backslash.
std::string NormalPath(const std::string& Path) {
    std::string out;
    size_t i = 0;
    while (i < Path.size()) {
        size_t end = Path.find('\\', i);
        if (end == std::string::npos) end = Path.size();
        if (end > i) {
            if (!out.empty()) out += '\\';
            out.append(Path, i, end - i);
        }
        i = end + 1;
    }
    return out;
}

std::string Join(const std::string& Root, const std::string& Path) {
    return Path.empty() ? Root : Root + "\\" + Path;
}

// Runs Body, turning failures of the file layer into registry errors.
template <class F>
auto Guarded(F&& Body) -> decltype(Body()) {
    try {
        return Body();
    } catch (const platform::EConfigFileError& e) {
        throw ERegistryException(e.what());
    }
}

}  // namespace

TRegistry::TRegistry() = default;

TRegistry::~TRegistry() { CloseKey(); }

void TRegistry::SetRootKey(HKEY Value) {
    CloseKey();
    FRootKey = Value;
}

std::string TRegistry::FileName() {
    if (const char* own = std::getenv("DOCUVANE_REGISTRY"); own && own[0] != '\0') return own;
    return Guarded([] { return platform::UserConfigHome(); }) + "/docuvane/registry.toml";
}

TRegistryDocument TRegistry::Load() {
    std::string file = FileName();
    std::optional<std::string> text = Guarded([&] { return platform::ReadConfigFile(file); });
    return text ? TRegistryDocument::Parse(*text, file) : TRegistryDocument();
}

std::string TRegistry::FullPath() const { return Join(RootName(FRootKey), FCurrentPath); }

bool TRegistry::OpenKey(const std::string& Key, bool CanCreate) {
    const char* root = RootName(FRootKey);
    if (!root) return false;
    bool relative = FKeyOpen && !(Key.size() > 0 && Key[0] == '\\');
    std::string path = NormalPath(relative ? FCurrentPath + "\\" + Key : Key);
    std::string full = Join(root, path);
    if (!IsValidUtf8(full)) return false;
    bool exists = path.empty() || Load().KeyExists(full);
    if (!exists) {
        if (!CanCreate) return false;
        std::string file = FileName();
        Guarded([&] {
            platform::RewriteConfigFile(
                file, [&](const std::optional<std::string>& text) -> std::optional<std::string> {
                    TRegistryDocument doc =
                        text ? TRegistryDocument::Parse(*text, file) : TRegistryDocument();
                    if (doc.KeyExists(full)) return std::nullopt;
                    doc.CreateKey(full);
                    return doc.Format();
                });
        });
    }
    FKeyOpen = true;
    FCurrentPath = path;
    return true;
}

void TRegistry::CloseKey() {
    FKeyOpen = false;
    FCurrentPath.clear();
}

void TRegistry::RequireKey(const char* Verb, const std::string& Name) const {
    if (!FKeyOpen)
        throw ERegistryException(std::string("Failed to ") + Verb + " data for '" + Name + "'");
}

std::string TRegistry::ReadString(const std::string& Name) {
    RequireKey("get", Name);
    TRegistryDocument doc = Load();
    const TRegData* data = doc.FindValue(FullPath(), Name);
    if (!data) return {};
    const std::string* text = std::get_if<std::string>(data);
    if (!text) throw ERegistryException("Invalid data type for '" + Name + "'");
    return *text;
}

int32_t TRegistry::ReadInteger(const std::string& Name) {
    RequireKey("get", Name);
    TRegistryDocument doc = Load();
    const TRegData* data = doc.FindValue(FullPath(), Name);
    if (!data) throw ERegistryException("Failed to get data for '" + Name + "'");
    const int64_t* value = std::get_if<int64_t>(data);
    if (!value) throw ERegistryException("Invalid data type for '" + Name + "'");
    return static_cast<int32_t>(static_cast<uint32_t>(*value));
}

bool TRegistry::ReadBool(const std::string& Name) { return ReadInteger(Name) != 0; }

void TRegistry::WriteData(const std::string& Name, TRegData Data) {
    RequireKey("set", Name);
    const std::string* text = std::get_if<std::string>(&Data);
    if (!IsValidUtf8(Name) || (text && !IsValidUtf8(*text)))
        throw ERegistryException("Failed to set data for '" + Name + "': the text is not UTF-8");
    std::string file = FileName();
    std::string full = FullPath();
    Guarded([&] {
        platform::RewriteConfigFile(
            file, [&](const std::optional<std::string>& current) -> std::optional<std::string> {
                TRegistryDocument doc =
                    current ? TRegistryDocument::Parse(*current, file) : TRegistryDocument();
                doc.SetValue(full, Name, Data);
                return doc.Format();
            });
    });
}

void TRegistry::WriteString(const std::string& Name, const std::string& Value) {
    WriteData(Name, Value);
}

void TRegistry::WriteInteger(const std::string& Name, int32_t Value) {
    WriteData(Name, static_cast<int64_t>(Value));
}

void TRegistry::WriteBool(const std::string& Name, bool Value) {
    WriteInteger(Name, Value ? 1 : 0);
}

bool TRegistry::ValueExists(const std::string& Name) {
    return FKeyOpen && Load().FindValue(FullPath(), Name) != nullptr;
}

TRegDataType TRegistry::GetDataType(const std::string& Name) {
    if (!FKeyOpen) return rdUnknown;
    TRegistryDocument doc = Load();
    const TRegData* data = doc.FindValue(FullPath(), Name);
    if (!data) return rdUnknown;
    if (std::holds_alternative<std::string>(*data)) return rdString;
    return std::holds_alternative<int64_t>(*data) ? rdInteger : rdUnknown;
}

bool TRegistry::DeleteValue(const std::string& Name) {
    if (!FKeyOpen) return false;
    std::string file = FileName();
    std::string full = FullPath();
    bool deleted = false;
    Guarded([&] {
        platform::RewriteConfigFile(
            file, [&](const std::optional<std::string>& current) -> std::optional<std::string> {
                if (!current) return std::nullopt;
                TRegistryDocument doc = TRegistryDocument::Parse(*current, file);
                deleted = doc.DeleteValue(full, Name);
                if (!deleted) return std::nullopt;
                return doc.Format();
            });
    });
    return deleted;
}

}  // namespace zk::registry
