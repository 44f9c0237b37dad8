#include "apps/helpctx/Audit.h"

#include <algorithm>
#include <iostream>
#include <map>
#include <optional>
#include <set>

#include "apps/helpctx/Plan.h"
#include "apps/helpctx/Project.h"

namespace helpctx {

using namespace zk::rtl;

namespace {

struct TUse {
    size_t Form, Target;
};

// Every number given (not 0) with its uses, in file and tree order.
std::map<int64_t, std::vector<TUse>> Uses(const std::vector<TProjectForm>& Forms) {
    std::map<int64_t, std::vector<TUse>> uses;
    for (size_t f = 0; f < Forms.size(); ++f)
        for (size_t t = 0; t < Forms[f].Targets.size(); ++t)
            if (Forms[f].Numbers[t] != 0) uses[Forms[f].Numbers[t]].push_back({f, t});
    return uses;
}

struct TProblem {
    const std::string* File;
    int Line;
    std::string Text;
};

// Classes the palette tables do not know whose components store no HelpContext: they are left
// out of the counts, and a person may want to know that.
std::vector<std::string> UnknownClasses(const TProjectForm& F) {
    std::set<const TFormNode*> targets;
    for (const THelpTarget& t : F.Targets) targets.insert(t.Node);
    std::set<std::string> out;
    TFormLibrary lib = LibraryOfFile(F.Path);
    for (const TFormNode* n : F.Doc->Nodes())
        if (n != &F.Doc->Root() && !targets.count(n) &&
            PublishesHelpContext(lib, n->ClassName) == THelpPublishing::Unknown)
            out.insert(n->ClassName);
    return {out.begin(), out.end()};
}

}  // namespace

int Check(const std::vector<std::string>& Project, const std::string& PlanFile) {
    std::optional<TPlan> plan;
    if (!PlanFile.empty()) plan = ReadPlan(PlanFile);
    std::vector<TProjectForm> forms = LoadProject(Project);
    std::vector<TProblem> problems;
    for (const TProjectForm& f : forms) {
        std::pair<int64_t, int64_t> range{0, 0};
        if (plan) range = plan->RangeFor(f.Path);
        for (size_t t = 0; t < f.Targets.size(); ++t) {
            const THelpTarget& target = f.Targets[t];
            int64_t n = f.Numbers[t];
            if (n == 0)
                problems.push_back(
                    {&f.Path, target.Node->Span.Line,
                     target.Path + " (" + target.Node->ClassName + ") has no help context number"});
            else if (plan && (n < range.first || n > range.second))
                problems.push_back(
                    {&f.Path, target.Node->Span.Line,
                     target.Path + ": " + std::to_string(n) + " is outside this form's block " +
                         std::to_string(range.first) + ".." + std::to_string(range.second)});
        }
    }
    for (const auto& [number, uses] : Uses(forms)) {
        const TProjectForm& first = forms[uses[0].Form];
        const THelpTarget& firstTarget = first.Targets[uses[0].Target];
        for (size_t i = 1; i < uses.size(); ++i) {
            const TProjectForm& f = forms[uses[i].Form];
            const THelpTarget& t = f.Targets[uses[i].Target];
            problems.push_back({&f.Path, t.Node->Span.Line,
                                t.Path + ": " + std::to_string(number) + " is also used by " +
                                    firstTarget.Path + " (" + Where(first, firstTarget) + ")"});
        }
    }
    std::stable_sort(problems.begin(), problems.end(), [](const TProblem& a, const TProblem& b) {
        if (*a.File != *b.File) return *a.File < *b.File;
        return a.Line < b.Line;
    });
    std::string out;
    for (const TProblem& p : problems)
        out += *p.File + ":" + std::to_string(p.Line) + ": " + p.Text + "\n";
    std::cout << out;
    return problems.empty() ? 0 : 1;
}

int Report(const std::vector<std::string>& Project, bool AsJson) {
    std::vector<TProjectForm> forms = LoadProject(Project);
    std::map<int64_t, std::vector<TUse>> uses = Uses(forms);
    size_t components = 0, numbered = 0, repeats = 0;
    for (const auto& [number, u] : uses) repeats += u.size() > 1;
    std::string out = AsJson ? "{\"forms\":[" : "";
    for (size_t f = 0; f < forms.size(); ++f) {
        const TProjectForm& form = forms[f];
        std::vector<std::string> unset;
        std::set<int64_t> repeated;
        for (size_t t = 0; t < form.Targets.size(); ++t) {
            int64_t n = form.Numbers[t];
            if (n == 0)
                unset.push_back(form.Targets[t].Path);
            else if (uses[n].size() > 1)
                repeated.insert(n);
        }
        size_t count = form.Targets.size(), given = count - unset.size();
        components += count;
        numbered += given;
        std::vector<std::string> unknown = UnknownClasses(form);
        if (AsJson) {
            out += f ? ",\n" : "\n";
            out += "{\"file\":" + Json(form.Path) + ",\"form\":" + Json(form.FormName()) +
                   ",\"class\":" + Json(form.Doc->Root().ClassName) +
                   ",\"binary\":" + (form.Doc->IsBinary() ? "true" : "false") +
                   ",\"components\":" + std::to_string(count) +
                   ",\"numbered\":" + std::to_string(given) + ",\"unset\":[";
            for (size_t i = 0; i < unset.size(); ++i) out += (i ? "," : "") + Json(unset[i]);
            out += "],\"repeats\":[";
            bool comma = false;
            for (int64_t n : repeated) {
                out += (comma ? "," : "") + std::to_string(n);
                comma = true;
            }
            out += "],\"unknownClasses\":[";
            for (size_t i = 0; i < unknown.size(); ++i) out += (i ? "," : "") + Json(unknown[i]);
            out += "]}";
        } else {
            out += form.Path + ": " + form.FormName() + " (" + form.Doc->Root().ClassName +
                   "): " + std::to_string(count) + " publish HelpContext, " +
                   std::to_string(given) + " numbered";
            if (!unset.empty()) {
                out += "; without a number:";
                for (const std::string& u : unset) out += " " + u;
            }
            if (!repeated.empty()) {
                out += "; repeated:";
                for (int64_t n : repeated) out += " " + std::to_string(n);
            }
            if (!unknown.empty()) {
                out += "; unknown classes:";
                for (const std::string& u : unknown) out += " " + u;
            }
            out += "\n";
        }
    }
    if (AsJson) {
        out += "],\n\"total\":{\"forms\":" + std::to_string(forms.size()) +
               ",\"components\":" + std::to_string(components) +
               ",\"numbered\":" + std::to_string(numbered) +
               ",\"unset\":" + std::to_string(components - numbered) +
               ",\"repeats\":" + std::to_string(repeats) + "},\n\"repeats\":[";
    } else {
        out += "total: " + std::to_string(forms.size()) + " forms, " + std::to_string(components) +
               " publish HelpContext, " + std::to_string(numbered) + " numbered, " +
               std::to_string(components - numbered) + " without a number, " +
               std::to_string(repeats) + " numbers repeated\n";
    }
    bool first = true;
    for (const auto& [number, u] : uses) {
        if (u.size() < 2) continue;
        if (AsJson) {
            out += first ? "\n" : ",\n";
            out += "{\"helpContext\":" + std::to_string(number) + ",\"uses\":[";
            for (size_t i = 0; i < u.size(); ++i) {
                const TProjectForm& f = forms[u[i].Form];
                const THelpTarget& t = f.Targets[u[i].Target];
                out += std::string(i ? "," : "") + "{\"file\":" + Json(f.Path) +
                       ",\"line\":" + std::to_string(t.Node->Span.Line) +
                       ",\"path\":" + Json(t.Path) + "}";
            }
            out += "]}";
        } else {
            out += "repeated " + std::to_string(number) + ":";
            for (const TUse& use : u)
                out += " " + forms[use.Form].Targets[use.Target].Path + " (" +
                       Where(forms[use.Form], forms[use.Form].Targets[use.Target]) + ")";
            out += "\n";
        }
        first = false;
    }
    if (AsJson) out += "]}\n";
    std::cout << out;
    return 0;
}

}  // namespace helpctx
