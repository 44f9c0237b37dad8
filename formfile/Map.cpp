#include "zk/formfile/Map.h"

#include <algorithm>
#include <filesystem>
#include <map>

#include "zk/formfile/Project.h"
#include "zk/host/platform/FileReplace.h"

namespace zk::formfile {

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

std::string Topic(const TMapOptions& Options, const std::string& Context, const TContext& C) {
    std::string topic = Replace(Options.Topics, "<form>", C.Form);
    topic = Replace(topic, "<component>", C.Component);
    topic = Replace(topic, "<number>", std::to_string(C.File->Numbers[C.Target]));
    topic = Replace(topic, "<context>", Context);
    // The form itself has no anchor: "Form1.htm#" becomes "Form1.htm".
    if (C.Component.empty() && !topic.empty() && topic.back() == '#') topic.pop_back();
    return topic;
}

}  // namespace

bool IsContextSafe(const std::string& S) {
    return std::all_of(S.begin(), S.end(), [](char c) { return SafeChar(c); });
}

std::map<std::string, TContext> ContextStrings(const std::vector<TProjectForm>& Forms,
                                               const std::string& Prefix, bool WithUnset) {
    std::map<std::string, TContext> contexts;
    for (const TProjectForm& f : Forms) {
        std::string form =
            f.FormName().empty() ? std::filesystem::path(f.Path).stem().string() : f.FormName();
        for (size_t t = 0; t < f.Targets.size(); ++t) {
            if (f.Numbers[t] == 0 && !WithUnset) continue;
            const std::string& path = f.Targets[t].Path;
            // Form.Component, or Form.Frame.Component for a frame's: the rest joined by '_'
            // so that the map file stays a valid C header.
            size_t dot = path.find('.');
            std::string component =
                dot == std::string::npos ? "" : Replace(path.substr(dot + 1), ".", "_");
            TContext c{Safe(form), Safe(component), &f, t};
            std::string context = Prefix + c.Form;
            if (!c.Component.empty()) context += "_" + c.Component;
            auto [it, fresh] = contexts.emplace(context, c);
            if (!fresh) {
                const TProjectForm& o = *it->second.File;
                const THelpTarget& ot = o.Targets[it->second.Target];
                throw TFailure{"the context string " + context + " would name both " + ot.Path +
                               " (" + Where(o, ot) + ") and " + path + " (" +
                               Where(f, f.Targets[t]) + ")"};
            }
        }
    }
    return contexts;
}

int Map(const std::vector<std::string>& Project, const TMapOptions& Options) {
    std::vector<TProjectForm> forms = LoadWholeProject(Project);
    std::string header, alias;
    for (const auto& [context, c] : ContextStrings(forms, Options.Prefix, false)) {
        header += "#define " + context + " " + std::to_string(c.File->Numbers[c.Target]) + "\n";
        alias += context + "=" + Topic(Options, context, c) + "\n";
    }
    std::vector<std::pair<std::string, std::string>> files{{Options.Header, header}};
    if (!Options.Alias.empty()) files.emplace_back(Options.Alias, alias);
    Store(files);
    return 0;
}

}  // namespace zk::formfile
