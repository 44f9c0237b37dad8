#include "formfile/Project.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <set>
#include <system_error>

#include "host/platform/FileReplace.h"
#include "host/platform/LargeHeap.h"

namespace zk::formfile {

using namespace zk::rtl;
namespace fs = std::filesystem;

namespace {

bool IsFormFileName(const fs::path& P) {
    std::string ext = P.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext == ".dfm" || ext == ".lfm";
}

}  // namespace

std::vector<std::string> FindFormFiles(const std::vector<std::string>& Args) {
    std::vector<std::string> files;
    for (const std::string& arg : Args) {
        std::error_code ec;
        if (!fs::is_directory(arg, ec)) {
            // Reading it reports what is wrong with it.
            files.push_back(fs::path(arg).lexically_normal().string());
            continue;
        }
        size_t before = files.size();
        fs::recursive_directory_iterator it(arg, fs::directory_options::skip_permission_denied, ec);
        if (ec) throw TFailure{"cannot read " + arg + ": " + ec.message()};
        for (; it != fs::recursive_directory_iterator(); it.increment(ec)) {
            if (ec) throw TFailure{"cannot read " + it->path().string() + ": " + ec.message()};
            if (it->is_regular_file(ec) && IsFormFileName(it->path()))
                files.push_back(it->path().lexically_normal().string());
        }
        if (ec) throw TFailure{"cannot read " + arg + ": " + ec.message()};
        if (files.size() == before) throw TFailure{"no form files (.dfm, .lfm) in " + arg};
        std::sort(files.begin() + static_cast<std::ptrdiff_t>(before), files.end());
    }
    // The same file reached twice (a folder and a file in it) counts once.
    std::set<std::string> seen;
    std::vector<std::string> unique;
    for (const std::string& f : files) {
        std::error_code ec;
        fs::path key = fs::weakly_canonical(f, ec);
        if (seen.insert(ec ? f : key.string()).second) unique.push_back(f);
    }
    return unique;
}

std::vector<TProjectForm> LoadProject(const std::vector<std::string>& Args) {
    std::vector<std::string> paths = FindFormFiles(Args);
    std::vector<std::string> bytes;
    bytes.reserve(paths.size());
    size_t total = 0;
    for (const std::string& p : paths) {
        try {
            bytes.push_back(zk::platform::ReadWholeFile(p));
        } catch (const zk::platform::EFileError& e) {
            throw TFailure{e.what()};
        }
        total += bytes.back().size();
    }
    // The trees take about twenty times the files' size.
    zk::platform::PrepareHeapFor(total * 20);
    std::vector<TProjectForm> forms;
    forms.reserve(paths.size());
    for (size_t i = 0; i < paths.size(); ++i)
        forms.push_back(ReadForm(paths[i], std::move(bytes[i])));
    return forms;
}

TProjectForm ReadForm(const std::string& Path, std::string Bytes) {
    try {
        TProjectForm f{Path,
                       std::make_unique<TFormDocument>(TFormDocument::Read(std::move(Bytes), Path)),
                       {},
                       {}};
        f.Targets = HelpContextTargets(LibraryOfFile(Path), f.Doc->Root());
        f.Numbers.reserve(f.Targets.size());
        for (const THelpTarget& t : f.Targets)
            f.Numbers.push_back(f.Doc->HelpContext(*t.Node).value_or(0));
        return f;
    } catch (const EFormFileError& e) {
        throw TFailure{e.Message()};
    }
}

std::string Where(const TProjectForm& Form, const THelpTarget& Target) {
    return Form.Path + ":" + std::to_string(Target.Node->Span.Line);
}

void Store(const std::vector<std::pair<std::string, std::string>>& Files) {
    try {
        zk::platform::ReplaceFiles(Files);
    } catch (const zk::platform::EFileError& e) {
        throw TFailure{e.what()};
    }
}

std::string Json(const std::string& S) {
    std::string out = "\"";
    for (char ch : S) {
        auto c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += ch;
        } else if (c < 32) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += ch;
        }
    }
    return out + "\"";
}

}  // namespace zk::formfile
