#include "apps/helpctx/Map.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>

#include "apps/helpctx/Project.h"
#include "host/platform/FileReplace.h"

namespace helpctx {

using namespace zk::rtl;

namespace {

bool SafeChar(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '.';
}

// Anything else (spaces, UTF-8 bytes of a Lazarus identifier) becomes '_'.
std::string Safe(const std::string& S) {
    std::string out = S;
    for (char& c : out)
        if (!SafeChar(static_cast<unsigned char>(c))) c = '_';
    return out;
}

std::string Replace(std::string S, const std::string& From, const std::string& To) {
    for (size_t at = S.find(From); at != std::string::npos; at = S.find(From, at + To.size()))
        S.replace(at, From.size(), To);
    return S;
}

struct TEntry {
    std::string Form, Component;  // made safe; Component empty for the form itself
    int64_t Number;
    const TProjectForm* File;
    const THelpTarget* Target;
};

void Store(const std::string& Path, const std::string& Bytes) {
    try {
        zk::platform::ReplaceFile(Path, Bytes);
    } catch (const zk::platform::EFileError& e) {
        throw TFailure{e.what()};
    }
}

}  // namespace

bool IsContextSafe(const std::string& S) {
    return std::all_of(S.begin(), S.end(), [](char c) { return SafeChar(c); });
}

int Map(const std::vector<std::string>& Project, const TMapOptions& Options) {
    std::vector<TProjectForm> forms = LoadProject(Project);
    std::map<std::string, TEntry> entries;  // by context string: sorted, each once
    for (const TProjectForm& f : forms) {
        std::string form =
            f.FormName().empty() ? std::filesystem::path(f.Path).stem().string() : f.FormName();
        for (size_t t = 0; t < f.Targets.size(); ++t) {
            if (f.Numbers[t] == 0) continue;
            const std::string& path = f.Targets[t].Path;
            // Form.Component, or Form.Frame.Component for a frame's: the rest joined by '_'
            // so that the map file stays a valid C header.
            size_t dot = path.find('.');
            std::string component =
                dot == std::string::npos ? "" : Replace(path.substr(dot + 1), ".", "_");
            TEntry e{Safe(form), Safe(component), f.Numbers[t], &f, &f.Targets[t]};
            std::string context = Options.Prefix + e.Form;
            if (!e.Component.empty()) context += "_" + e.Component;
            auto [it, fresh] = entries.emplace(context, e);
            if (!fresh)
                throw TFailure{"the context string " + context + " would name both " +
                               it->second.Target->Path + " (" +
                               Where(*it->second.File, *it->second.Target) + ") and " + path +
                               " (" + Where(f, f.Targets[t]) + ")"};
        }
    }
    std::string header, alias;
    for (const auto& [context, e] : entries) {
        header += "#define " + context + " " + std::to_string(e.Number) + "\n";
        std::string topic = Replace(Options.Topics, "<form>", e.Form);
        topic = Replace(topic, "<component>", e.Component);
        topic = Replace(topic, "<number>", std::to_string(e.Number));
        topic = Replace(topic, "<context>", context);
        // The form itself has no anchor: "Form1.htm#" becomes "Form1.htm".
        if (e.Component.empty() && !topic.empty() && topic.back() == '#') topic.pop_back();
        alias += context + "=" + topic + "\n";
    }
    std::optional<std::string> before;
    if (!Options.Alias.empty()) {
        try {
            before = zk::platform::ReadWholeFile(Options.Header);
        } catch (const zk::platform::EFileError&) {
            // No map file yet: a failed alias write removes the new one.
        }
    }
    Store(Options.Header, header);
    if (!Options.Alias.empty()) {
        try {
            Store(Options.Alias, alias);
        } catch (const TFailure&) {
            std::error_code ec;
            if (before)
                zk::platform::ReplaceFile(Options.Header, *before);
            else
                std::filesystem::remove(Options.Header, ec);
            throw;
        }
    }
    return 0;
}

}  // namespace helpctx
