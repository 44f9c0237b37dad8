#include "zk/formfile/Project.h"

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <optional>
#include <set>
#include <system_error>

#include "zk/host/platform/FileReplace.h"
#include "zk/host/platform/LargeHeap.h"

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

namespace {

// Raises EFormFileError; standard input is named "<stdin>" in the reader's messages.
TProjectForm Parse(const std::string& Path, std::string Bytes) {
    std::string name = Path == "-" ? "<stdin>" : Path;
    TProjectForm f{
        Path, std::make_unique<TFormDocument>(TFormDocument::Read(std::move(Bytes), name)), {}, {}};
    if (std::string warning = TrailingFormWarning(*f.Doc); !warning.empty())
        std::cerr << warning << "\n";
    f.Targets = HelpContextTargets(LibraryOfFile(Path), f.Doc->Root());
    f.Numbers.reserve(f.Targets.size());
    // Reading the numbers checks them: a HelpContext that is no integer makes the file malformed.
    for (const THelpTarget& t : f.Targets)
        f.Numbers.push_back(f.Doc->HelpContext(*t.Node).value_or(0));
    return f;
}

}  // namespace

TProject LoadProject(const std::vector<std::string>& Args) {
    std::vector<std::string> paths = FindFormFiles(Args);
    std::vector<std::optional<std::string>> bytes(paths.size());
    TProject project;
    size_t total = 0;
    for (size_t i = 0; i < paths.size(); ++i) {
        try {
            bytes[i] = zk::platform::ReadWholeFile(paths[i]);
            total += bytes[i]->size();
        } catch (const zk::platform::EFileError& e) {
            project.Unreadable.push_back({paths[i], e.what(), 0});
        }
    }
    // The trees take about twenty times the files' size.
    zk::platform::PrepareHeapFor(total * 20);
    project.Forms.reserve(paths.size());
    for (size_t i = 0; i < paths.size(); ++i) {
        if (!bytes[i]) continue;
        try {
            project.Forms.push_back(Parse(paths[i], std::move(*bytes[i])));
        } catch (const EFormFileError& e) {
            project.Unreadable.push_back({paths[i], e.Message(), e.Line()});
        }
    }
    // Found in path order: a file that could not be opened goes among the others.
    std::stable_sort(project.Unreadable.begin(), project.Unreadable.end(),
                     [&paths](const TUnreadable& a, const TUnreadable& b) {
                         return std::find(paths.begin(), paths.end(), a.Path) <
                                std::find(paths.begin(), paths.end(), b.Path);
                     });
    return project;
}

std::vector<TProjectForm> LoadWholeProject(const std::vector<std::string>& Args) {
    TProject project = LoadProject(Args);
    if (project.Unreadable.empty()) return std::move(project.Forms);
    std::string lines;
    for (const TUnreadable& u : project.Unreadable)
        lines += (lines.empty() ? "" : "\n") + u.Message;
    throw TFailure{lines};
}

TProjectForm ReadForm(const std::string& Path, std::string Bytes) {
    try {
        return Parse(Path, std::move(Bytes));
    } catch (const EFormFileError& e) {
        throw TFailure{e.Message()};
    }
}

std::string TrailingFormWarning(const TFormDocument& Doc) {
    if (Doc.TrailingAt() == 0) return {};
    const std::string bytes = Doc.Save();
    const auto line = std::count(bytes.begin(), bytes.begin() + Doc.TrailingAt(), '\n') + 1;
    return Doc.FileName() + ":" + std::to_string(line) +
           ": a second form after the first one's end is kept as it is, not read";
}

std::string ReadFileOrFail(const std::string& Path) {
    try {
        return zk::platform::ReadWholeFile(Path);
    } catch (const zk::platform::EFileError& e) {
        throw TFailure{e.what()};
    }
}

TProjectForm OpenForm(const std::string& Path) {
    std::string bytes = ReadFileOrFail(Path);
    // The tree takes about twenty times the file's size.
    zk::platform::PrepareHeapFor(bytes.size() * 20);
    return ReadForm(Path, std::move(bytes));
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

}  // namespace zk::formfile
