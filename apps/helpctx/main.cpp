// helpctx: lists, sets and numbers the HelpContext values of form files (text or binary,
// Delphi or Lazarus) and converts them between text and binary, changing nothing else in them.
#include <CLI/CLI.hpp>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "apps/UsageError.h"
#include "zk/formfile/Audit.h"
#include "zk/formfile/FormDocument.h"
#include "zk/formfile/HelpContextClasses.h"
#include "zk/formfile/Map.h"
#include "zk/formfile/Numbering.h"
#include "zk/formfile/Project.h"
#include "zk/formfile/TextEncoding.h"
#include "zk/host/platform/Ascii.h"

#ifndef ZK_VERSION
#define ZK_VERSION "0.0.0"
#endif

using namespace zk::rtl;
using namespace zk::formfile;

namespace {

int List(const std::vector<std::string>& Project, bool AsJson) {
    for (const TProjectForm& f : LoadWholeProject(Project)) {
        for (size_t t = 0; t < f.Targets.size(); ++t) {
            const THelpTarget& target = f.Targets[t];
            if (AsJson)
                std::cout << nlohmann::ordered_json{{"file", Utf8Text(f.Path)},
                                                    {"line", target.Node->Span.Line},
                                                    {"path", Utf8Text(target.Path)},
                                                    {"class", Utf8Text(target.Node->ClassName)},
                                                    {"helpContext", f.Numbers[t]}}
                                 .dump()
                          << "\n";
            else
                std::cout << f.Path << ":" << target.Node->Span.Line << "\t" << target.Path << "\t"
                          << target.Node->ClassName << "\t" << f.Numbers[t] << "\n";
        }
    }
    return 0;
}

const THelpTarget* FindTarget(const TProjectForm& F, const std::string& Name) {
    const TFormNode* n = F.Doc->Find(Name);
    if (!n) return nullptr;
    for (const THelpTarget& t : F.Targets)
        if (t.Node == n) return &t;
    throw TFailure{F.Doc->FileName() + ": " + Name + " (" + n->ClassName +
                   ") has no HelpContext property"};
}

std::optional<int32_t> ParseNumber(const std::string& S) {
    int64_t v = 0;
    auto [p, ec] = std::from_chars(S.data(), S.data() + S.size(), v);
    if (ec != std::errc() || p != S.data() + S.size() || S.empty() || v < INT32_MIN ||
        v > INT32_MAX)
        return std::nullopt;
    return static_cast<int32_t>(v);
}

int Set(const std::string& File, const std::vector<std::pair<std::string, int32_t>>& Assign,
        const std::string& Out) {
    TProjectForm f = zk::formfile::OpenForm(File);
    for (const auto& [name, value] : Assign) {
        const THelpTarget* t = FindTarget(f, name);
        if (!t) throw TFailure{f.Doc->FileName() + ": no component named " + name};
        f.Doc->SetHelpContext(*t->Node, value);
    }
    zk::formfile::Store({{Out.empty() ? File : Out, f.Doc->Save()}});
    return 0;
}

bool HasExtension(const std::string& Path, std::string_view Ext) {
    if (Path.size() < Ext.size()) return false;
    for (size_t i = 0; i < Ext.size(); ++i)
        if (zk::platform::LowerAscii(Path[Path.size() - Ext.size() + i]) != Ext[i]) return false;
    return true;
}

// Text goes out with the line ends of the IDE that opens the output: a .dfm or .lfm output
// name says which; any other (or standard output) keeps those of the input's kind.
bool LazarusLineEnds(const std::string& In, const std::string& Out) {
    if (HasExtension(Out, ".lfm")) return true;
    if (HasExtension(Out, ".dfm")) return false;
    return LibraryOfFile(In) == TFormLibrary::Lazarus;
}

int Convert(const std::string& File, const std::string& To, const std::string& Out) {
    TProjectForm f = zk::formfile::OpenForm(File);
    std::string bytes;
    try {
        if (To == "binary")
            bytes = f.Doc->IsBinary() ? f.Doc->Save() : f.Doc->ToBinary();
        else
            bytes = f.Doc->ToText(LazarusLineEnds(File, Out) ? "\n" : "\r\n");
    } catch (const EFormFileError& e) {
        throw TFailure{f.Doc->FileName() + ": " + e.Message()};
    }
    zk::formfile::Store({{Out, bytes}});
    return 0;
}

int Run(int argc, char** argv) {
    CLI::App app{
        "Lists, sets and numbers the HelpContext values of Delphi and Lazarus form "
        "files, changing nothing else in them.",
        "helpctx"};
    app.set_version_flag("--version", std::string("helpctx ") + ZK_VERSION);
    app.require_subcommand(1);

    std::vector<std::string> listProject;
    bool json = false;
    CLI::App* listCmd =
        app.add_subcommand("list", "Print every component that has a HelpContext property.");
    listCmd
        ->add_option("PROJECT", listProject,
                     "Form files ('-' is standard input), or folders searched for .dfm, .lfm")
        ->required();
    listCmd->add_flag("--json", json,
                      "One JSON object a line: file, line, path, class, helpContext");

    std::string setFile, setOut;
    std::vector<std::string> setAssign;
    CLI::App* setCmd = app.add_subcommand(
        "set",
        "Set numbers by component name (the form's name for the form); with none, "
        "re-save the file.");
    setCmd->add_option("FILE", setFile, "Form file ('-' is standard input)")->required();
    setCmd->add_option("NAME=NUMBER", setAssign, "Assignments");
    setCmd->add_option("-o,--out", setOut, "Write here instead of replacing FILE ('-': stdout)");

    std::vector<std::string> numFiles;
    zk::formfile::TNumberOptions numOptions;
    CLI::App* numCmd = app.add_subcommand(
        "number",
        "Number the forms and their components in tree order: from --start by --step across "
        "the files in the order given, or by the blocks of a --plan.");
    numCmd->add_option("PROJECT", numFiles, "Form files, or folders searched for .dfm, .lfm")
        ->required();
    // Step 0 would give every component one number, and a run reaching 0 deletes numbers.
    const CLI::Range positive(int64_t{1}, int64_t{INT32_MAX});
    CLI::Option* startOpt =
        numCmd->add_option("--start", numOptions.Start, "First number")->check(positive);
    CLI::Option* stepOpt =
        numCmd->add_option("--step", numOptions.Step, "Increment")->check(positive);
    numCmd->add_option("--plan", numOptions.Plan, "Numbering plan (TOML): a block per form")
        ->excludes(startOpt)
        ->excludes(stepOpt);
    numCmd->add_flag("--only-unset", numOptions.OnlyUnset,
                     "Number only components whose number is 0, skipping the numbers in use");
    numCmd->add_flag("--dry-run", numOptions.DryRun,
                     "Change no file; print what would change as a unified diff");
    numCmd->add_option("-o,--out", numOptions.Out,
                       "Write here instead of replacing FILE (one file; '-' is standard output)");

    std::string convFile, convTo, convOut;
    CLI::App* convCmd = app.add_subcommand("convert", "Convert a form file to text or binary.");
    convCmd->add_option("FILE", convFile, "Form file ('-' is standard input)")->required();
    convCmd->add_option("--to", convTo, "text or binary")
        ->required()
        ->check(CLI::IsMember({"text", "binary"}));
    convCmd->add_option("-o,--out", convOut, "Output file ('-' is standard output)")->required();

    std::vector<std::string> checkProject;
    std::string checkPlan;
    CLI::App* checkCmd = app.add_subcommand(
        "check",
        "Exit 0 when every component has a number, none repeats and each is inside its "
        "form's block; else print the problems as FILE:LINE: message and exit 1.");
    checkCmd->add_option("PROJECT", checkProject, "Folders (searched for .dfm, .lfm) or files")
        ->required();
    checkCmd->add_option("--plan", checkPlan, "Numbering plan (TOML) whose blocks to check");

    std::vector<std::string> reportProject;
    zk::formfile::TReportOptions reportOptions;
    CLI::App* reportCmd = app.add_subcommand(
        "report", "Per form and in total: components, numbered ones, repeated numbers.");
    reportCmd->add_option("PROJECT", reportProject, "Folders (searched for .dfm, .lfm) or files")
        ->required();
    CLI::Option* jsonOpt = reportCmd->add_flag("--json", reportOptions.Json, "One JSON document");
    reportCmd
        ->add_option("--html", reportOptions.HtmlFile,
                     "Write one self-contained HTML page here instead")
        ->excludes(jsonOpt);
    reportCmd->add_option("--plan", reportOptions.Plan,
                          "Numbering plan (TOML): also mark numbers outside each form's block");

    std::vector<std::string> mapProject;
    zk::formfile::TMapOptions mapOptions;
    CLI::App* mapCmd = app.add_subcommand(
        "map", "Write the help compiler's map file and, with --alias, its alias file.");
    mapCmd->add_option("PROJECT", mapProject, "Folders (searched for .dfm, .lfm) or files")
        ->required();
    mapCmd->add_option("--header", mapOptions.Header, "Map file: #define CONTEXT NUMBER a line")
        ->required();
    mapCmd->add_option("--alias", mapOptions.Alias, "Alias file: CONTEXT=TOPIC a line");
    mapCmd->add_option("--prefix", mapOptions.Prefix, "Before every context string")
        ->capture_default_str()
        ->check(CLI::Validator(
            [](std::string& s) {
                return zk::formfile::IsContextSafe(s)
                           ? std::string()
                           : std::string("letters, digits, '_' and '.' only");
            },
            "CONTEXT"));
    mapCmd
        ->add_option("--topics", mapOptions.Topics,
                     "Topic of each context string: <form>, <component>, <number>, <context>")
        ->capture_default_str();

    std::string importMap, importPrefix = "IDH_";
    std::vector<std::string> importProject;
    bool importDryRun = false;
    CLI::App* importCmd = app.add_subcommand(
        "import", "Set the numbers that a map file's #define lines give the components.");
    importCmd->add_option("MAPFILE", importMap, "Map file (.h), as map writes it")->required();
    importCmd->add_option("PROJECT", importProject, "Folders (searched for .dfm, .lfm) or files")
        ->required();
    importCmd->add_option("--prefix", importPrefix, "Before every context string")
        ->capture_default_str();
    importCmd->add_flag("--dry-run", importDryRun,
                        "Change no file; print what would change as a unified diff");

    try {
        app.parse(argc, argv);
        if (numCmd->parsed() && numOptions.Plan.empty() && (!*startOpt || !*stepOpt))
            throw CLI::RequiredError("--start and --step, or --plan,");
        if (mapCmd->parsed() && mapOptions.Alias == mapOptions.Header)
            throw CLI::ValidationError("--alias", "must differ from --header");
        if (numCmd->parsed() && !numOptions.Out.empty() && numFiles.size() > 1)
            throw CLI::ValidationError("-o", "takes one FILE only");
    } catch (const CLI::ParseError& e) {
        return zk_apps::ParseFailure(app, e);
    }

    try {
        if (listCmd->parsed()) return List(listProject, json);
        if (setCmd->parsed()) {
            std::vector<std::pair<std::string, int32_t>> assign;
            for (const std::string& a : setAssign) {
                size_t eq = a.find('=');
                std::optional<int32_t> n;
                if (eq != std::string::npos && eq > 0) n = ParseNumber(a.substr(eq + 1));
                if (!n) {
                    std::cerr << "helpctx: expected NAME=NUMBER (a 32-bit integer), found '" << a
                              << "'\n";
                    return 2;
                }
                assign.emplace_back(a.substr(0, eq), *n);
            }
            return Set(setFile, assign, setOut);
        }
        if (numCmd->parsed()) return zk::formfile::Number(numFiles, numOptions);
        if (checkCmd->parsed()) return zk::formfile::Check(checkProject, checkPlan);
        if (reportCmd->parsed()) return zk::formfile::Report(reportProject, reportOptions);
        if (importCmd->parsed())
            return zk::formfile::Import(importMap, importProject, importPrefix, importDryRun);
        if (mapCmd->parsed()) return zk::formfile::Map(mapProject, mapOptions);
        return Convert(convFile, convTo, convOut);
    } catch (const TFailure& f) {
        for (size_t at = 0; at <= f.Message.size();) {
            size_t end = std::min(f.Message.find('\n', at), f.Message.size());
            std::cerr << "helpctx: " << std::string_view(f.Message).substr(at, end - at) << "\n";
            at = end + 1;
        }
        return 1;
    }
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "helpctx: %s\n", e.what());
        return 1;
    }
}
