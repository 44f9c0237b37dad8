#include "zk/formfile/Audit.h"

#include <algorithm>
#include <iostream>
#include <map>
#include <optional>
#include <set>

#include <nlohmann/json.hpp>

#include "zk/formfile/Plan.h"
#include "zk/formfile/Project.h"
#include "zk/formfile/TextEncoding.h"

namespace zk::formfile {

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
    std::string Text;  // the whole line
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

template <class T, class F>
std::string Joined(const T& Items, const std::string& Separator, F Show) {
    std::string out;
    for (const auto& item : Items) out += (out.empty() ? "" : Separator) + Show(item);
    return out;
}

// The shared numbers that Plan declares and that only the components it allows carry.
std::set<int64_t> SharedNumbers(const std::vector<TProjectForm>& Forms,
                                const std::map<int64_t, std::vector<TUse>>& Uses,
                                const std::optional<TPlan>& Plan) {
    std::set<int64_t> shared;
    if (!Plan) return shared;
    for (const auto& [number, uses] : Uses)
        if (uses.size() > 1 &&
            std::all_of(uses.begin(), uses.end(), [&, n = number](const TUse& u) {
                return Plan->MayShare(n, Forms[u.Form].Targets[u.Target].Path);
            }))
            shared.insert(number);
    return shared;
}

}  // namespace

int Check(const std::vector<std::string>& Project, const std::string& PlanFile) {
    std::optional<TPlan> plan;
    if (!PlanFile.empty()) plan = ReadPlan(PlanFile);
    TProject project = LoadProject(Project);
    const std::vector<TProjectForm>& forms = project.Forms;
    std::vector<TProblem> problems;
    for (const TUnreadable& u : project.Unreadable)
        problems.push_back({&u.Path, u.Line, u.Message});
    auto problem = [&problems](const std::string& File, int Line, const std::string& Text) {
        problems.push_back({&File, Line, File + ":" + std::to_string(Line) + ": " + Text});
    };
    for (const TProjectForm& f : forms) {
        std::pair<int64_t, int64_t> range{0, 0};
        if (plan) range = plan->RangeFor(f.Path);
        for (size_t t = 0; t < f.Targets.size(); ++t) {
            const THelpTarget& target = f.Targets[t];
            int64_t n = f.Numbers[t];
            if (n == 0)
                problem(
                    f.Path, target.Node->Span.Line,
                    target.Path + " (" + target.Node->ClassName + ") has no help context number");
            else if (plan && (n < range.first || n > range.second))
                problem(f.Path, target.Node->Span.Line,
                        target.Path + ": " + std::to_string(n) + " is outside this form's block " +
                            std::to_string(range.first) + ".." + std::to_string(range.second));
        }
    }
    for (const auto& [number, uses] : Uses(forms)) {
        const TProjectForm& first = forms[uses[0].Form];
        const THelpTarget& firstTarget = first.Targets[uses[0].Target];
        // A number the plan declares shared: only the components it names may carry it.
        const std::vector<std::string>* sharers = nullptr;
        if (plan)
            if (auto it = plan->Shared.find(number); it != plan->Shared.end())
                sharers = &it->second;
        for (size_t i = sharers ? 0 : 1; i < uses.size(); ++i) {
            const TProjectForm& f = forms[uses[i].Form];
            const THelpTarget& t = f.Targets[uses[i].Target];
            if (!sharers)
                problem(f.Path, t.Node->Span.Line,
                        t.Path + ": " + std::to_string(number) + " is also used by " +
                            firstTarget.Path + " (" + Where(first, firstTarget) + ")");
            else if (uses.size() > 1 && !plan->MayShare(number, t.Path))
                problem(f.Path, t.Node->Span.Line,
                        t.Path + ": " + std::to_string(number) + " is shared only by " +
                            Joined(*sharers, ", ", [](const std::string& s) { return s; }));
        }
    }
    std::stable_sort(problems.begin(), problems.end(), [](const TProblem& a, const TProblem& b) {
        if (*a.File != *b.File) return *a.File < *b.File;
        return a.Line < b.Line;
    });
    std::string out;
    for (const TProblem& p : problems) out += p.Text + "\n";
    std::cout << out;
    return problems.empty() ? 0 : 1;
}

namespace {

// What the report says of one form.
struct TFormFacts {
    const TProjectForm* Form;
    std::vector<std::string> Unset;
    std::set<int64_t> Repeated, Shared;
    std::vector<std::string> Unknown;
    std::optional<std::pair<int64_t, int64_t>> Block;  // with a plan
    std::vector<size_t> Outside;                       // targets outside the block
    size_t Numbered() const { return Form->Targets.size() - Unset.size(); }
};

struct TFacts {
    std::vector<TFormFacts> Forms;
    std::map<int64_t, std::vector<TUse>> Uses;
    std::set<int64_t> Shared;  // repeated as the plan allows
    const std::vector<TUnreadable>* Unreadable;
    bool Planned = false, DeclaresShared = false;
    size_t Components = 0, Numbered = 0, Repeats = 0, Outside = 0;
    bool IsRepeat(int64_t N, const std::vector<TUse>& U) const {
        return U.size() > 1 && !Shared.count(N);
    }
};

TFacts Gather(const std::vector<TProjectForm>& Forms, const std::optional<TPlan>& Plan,
              const std::vector<TUnreadable>& Unreadable) {
    TFacts facts;
    facts.Uses = Uses(Forms);
    facts.Shared = SharedNumbers(Forms, facts.Uses, Plan);
    facts.Unreadable = &Unreadable;
    facts.Planned = Plan.has_value();
    facts.DeclaresShared = Plan && !Plan->Shared.empty();
    for (const auto& [number, u] : facts.Uses) facts.Repeats += facts.IsRepeat(number, u);
    for (const TProjectForm& form : Forms) {
        TFormFacts f{&form, {}, {}, {}, UnknownClasses(form), {}, {}};
        if (Plan) f.Block = Plan->RangeFor(form.Path);
        for (size_t t = 0; t < form.Targets.size(); ++t) {
            int64_t n = form.Numbers[t];
            if (n == 0) {
                f.Unset.push_back(form.Targets[t].Path);
                continue;
            }
            if (facts.Shared.count(n))
                f.Shared.insert(n);
            else if (facts.Uses[n].size() > 1)
                f.Repeated.insert(n);
            if (f.Block && (n < f.Block->first || n > f.Block->second)) f.Outside.push_back(t);
        }
        facts.Components += form.Targets.size();
        facts.Numbered += f.Numbered();
        facts.Outside += f.Outside.size();
        facts.Forms.push_back(std::move(f));
    }
    return facts;
}

std::string Range(const std::pair<int64_t, int64_t>& R) {
    return std::to_string(R.first) + ".." + std::to_string(R.second);
}

std::string Text(const std::string& S) { return S; }
std::string Number(int64_t N) { return std::to_string(N); }

std::string AsText(const TFacts& Facts, const std::vector<TProjectForm>& Forms) {
    std::string out;
    for (const TFormFacts& f : Facts.Forms) {
        const TProjectForm& form = *f.Form;
        out += form.Path + ": " + form.FormName() + " (" + form.Doc->Root().ClassName +
               "): " + std::to_string(form.Targets.size()) + " publish HelpContext, " +
               std::to_string(f.Numbered()) + " numbered";
        if (!f.Unset.empty()) out += "; without a number: " + Joined(f.Unset, " ", Text);
        if (!f.Repeated.empty()) out += "; repeated: " + Joined(f.Repeated, " ", Number);
        if (!f.Shared.empty()) out += "; shared: " + Joined(f.Shared, " ", Number);
        if (!f.Outside.empty())
            out += "; outside the block " + Range(*f.Block) + ": " +
                   Joined(f.Outside, " ", [&form](size_t t) {
                       return form.Targets[t].Path + "=" + std::to_string(form.Numbers[t]);
                   });
        if (!f.Unknown.empty()) out += "; unknown classes: " + Joined(f.Unknown, " ", Text);
        out += "\n";
    }
    for (const TUnreadable& u : *Facts.Unreadable) out += "unreadable: " + u.Message + "\n";
    out += "total: " + std::to_string(Facts.Forms.size()) + " forms, " +
           std::to_string(Facts.Components) + " publish HelpContext, " +
           std::to_string(Facts.Numbered) + " numbered, " +
           std::to_string(Facts.Components - Facts.Numbered) + " without a number, " +
           std::to_string(Facts.Repeats) + " numbers repeated";
    if (Facts.DeclaresShared) out += ", " + std::to_string(Facts.Shared.size()) + " shared";
    if (Facts.Planned) out += ", " + std::to_string(Facts.Outside) + " outside their block";
    if (!Facts.Unreadable->empty())
        out += ", " + std::to_string(Facts.Unreadable->size()) + " forms unreadable";
    out += "\n";
    auto uses = [&Forms](const std::vector<TUse>& U) {
        return Joined(U, " ", [&Forms](const TUse& use) {
            const TProjectForm& f = Forms[use.Form];
            return f.Targets[use.Target].Path + " (" + Where(f, f.Targets[use.Target]) + ")";
        });
    };
    for (const auto& [number, u] : Facts.Uses)
        if (Facts.IsRepeat(number, u)) out += "repeated " + Number(number) + ": " + uses(u) + "\n";
    for (int64_t number : Facts.Shared)
        out += "shared " + Number(number) + ": " + uses(Facts.Uses.at(number)) + "\n";
    return out;
}

using Json = nlohmann::ordered_json;

Json Strings(const std::vector<std::string>& S) {
    Json out = Json::array();
    for (const std::string& s : S) out.push_back(Utf8Text(s));
    return out;
}

Json FormJson(const TFormFacts& F, const TFacts& Facts) {
    const TProjectForm& form = *F.Form;
    Json j{{"file", Utf8Text(form.Path)},
           {"form", Utf8Text(form.FormName())},
           {"class", Utf8Text(form.Doc->Root().ClassName)},
           {"binary", form.Doc->IsBinary()},
           {"components", form.Targets.size()},
           {"numbered", F.Numbered()},
           {"unset", Strings(F.Unset)},
           {"repeats", F.Repeated}};
    if (Facts.DeclaresShared) j["shared"] = F.Shared;
    j["unknownClasses"] = Strings(F.Unknown);
    if (F.Block) {
        j["block"] = {F.Block->first, F.Block->second};
        Json outside = Json::array();
        for (size_t t : F.Outside)
            outside.push_back(
                {{"path", Utf8Text(form.Targets[t].Path)}, {"helpContext", form.Numbers[t]}});
        j["outside"] = std::move(outside);
    }
    return j;
}

// One JSON value a line inside a list, as the report has always laid it out.
std::string Lines(const std::vector<Json>& Items) {
    std::string out;
    for (const Json& j : Items) out += (out.empty() ? "\n" : ",\n") + j.dump();
    return out;
}

std::string AsJson(const TFacts& Facts, const std::vector<TProjectForm>& Forms) {
    std::vector<Json> forms;
    for (const TFormFacts& f : Facts.Forms) forms.push_back(FormJson(f, Facts));
    Json total{{"forms", Facts.Forms.size()},
               {"components", Facts.Components},
               {"numbered", Facts.Numbered},
               {"unset", Facts.Components - Facts.Numbered},
               {"repeats", Facts.Repeats}};
    if (Facts.DeclaresShared) total["shared"] = Facts.Shared.size();
    if (Facts.Planned) total["outside"] = Facts.Outside;
    if (!Facts.Unreadable->empty()) total["unreadable"] = Facts.Unreadable->size();
    auto uses = [&Forms](int64_t N, const std::vector<TUse>& U) {
        Json list = Json::array();
        for (const TUse& use : U) {
            const TProjectForm& f = Forms[use.Form];
            const THelpTarget& t = f.Targets[use.Target];
            list.push_back({{"file", Utf8Text(f.Path)},
                            {"line", t.Node->Span.Line},
                            {"path", Utf8Text(t.Path)}});
        }
        return Json{{"helpContext", N}, {"uses", std::move(list)}};
    };
    std::vector<Json> repeats, shared, unreadable;
    for (const auto& [n, u] : Facts.Uses)
        if (Facts.IsRepeat(n, u)) repeats.push_back(uses(n, u));
    for (int64_t n : Facts.Shared) shared.push_back(uses(n, Facts.Uses.at(n)));
    for (const TUnreadable& u : *Facts.Unreadable)
        unreadable.push_back({{"file", Utf8Text(u.Path)}, {"error", Utf8Text(u.Message)}});
    std::string out = "{\"forms\":[" + Lines(forms) + "],\n\"total\":" + total.dump() +
                      ",\n\"repeats\":[" + Lines(repeats) + "]";
    if (Facts.DeclaresShared) out += ",\n\"shared\":[" + Lines(shared) + "]";
    if (!unreadable.empty()) out += ",\n\"unreadable\":[" + Lines(unreadable) + "]";
    return out + "}\n";
}

}  // namespace

std::string Html(const std::string& S) {
    std::string out;
    for (char c : Utf8Text(S)) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

namespace {

std::string AsHtml(const TFacts& Facts, const std::vector<TProjectForm>& Forms) {
    std::string out =
        "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">\n"
        "<title>Help contexts</title>\n<style>\n"
        "body{font:14px/1.4 system-ui,sans-serif;margin:2em;color:#222}\n"
        "h1{font-size:1.5em}h2{font-size:1.15em;margin-top:2em}\n"
        "table{border-collapse:collapse;margin:.5em 0}\n"
        "th,td{border:1px solid #ccc;padding:.2em .6em;text-align:left}\n"
        "th{background:#eee}td.n{text-align:right;font-variant-numeric:tabular-nums}\n"
        "tr.unset td{background:#fff3cd}tr.repeat td{background:#f8d7da}\n"
        "tr.outside td{background:#e2d9f3}tr.shared td{background:#d1e7dd}.note{color:#666}\n"
        "</style></head><body>\n<h1>Help contexts</h1>\n";
    bool planned = Facts.Planned;
    out +=
        "<table><tr><th>forms</th><th>publish HelpContext</th><th>numbered</th>"
        "<th>without a number</th><th>numbers repeated</th>" +
        std::string(Facts.DeclaresShared ? "<th>numbers shared</th>" : "") +
        std::string(planned ? "<th>outside their block</th>" : "") +
        std::string(Facts.Unreadable->empty() ? "" : "<th>unreadable</th>") + "</tr>\n<tr>";
    for (size_t v : {Facts.Forms.size(), Facts.Components, Facts.Numbered,
                     Facts.Components - Facts.Numbered, Facts.Repeats})
        out += "<td class=\"n\">" + std::to_string(v) + "</td>";
    if (Facts.DeclaresShared)
        out += "<td class=\"n\">" + std::to_string(Facts.Shared.size()) + "</td>";
    if (planned) out += "<td class=\"n\">" + std::to_string(Facts.Outside) + "</td>";
    if (!Facts.Unreadable->empty())
        out += "<td class=\"n\">" + std::to_string(Facts.Unreadable->size()) + "</td>";
    out +=
        "</tr></table>\n<p class=\"note\">Marked: <span style=\"background:#fff3cd\">"
        "without a number</span>, <span style=\"background:#f8d7da\">repeated</span>" +
        std::string(Facts.DeclaresShared ? ", <span style=\"background:#d1e7dd\">shared as "
                                           "the plan allows</span>"
                                         : "") +
        std::string(planned ? ", <span style=\"background:#e2d9f3\">outside the form's "
                              "block</span>"
                            : "") +
        ".</p>\n";
    if (!Facts.Unreadable->empty()) {
        out += "<h2>Unreadable forms</h2>\n<ul>\n";
        for (const TUnreadable& u : *Facts.Unreadable) out += "<li>" + Html(u.Message) + "</li>\n";
        out += "</ul>\n";
    }
    for (const TFormFacts& f : Facts.Forms) {
        const TProjectForm& form = *f.Form;
        std::set<size_t> outside(f.Outside.begin(), f.Outside.end());
        out += "<h2>" + Html(form.FormName()) + " <span class=\"note\">" +
               Html(form.Doc->Root().ClassName) + " &middot; " + Html(form.Path) + " &middot; " +
               std::to_string(f.Numbered()) + " of " + std::to_string(form.Targets.size()) +
               " numbered" + (f.Block ? " &middot; block " + Range(*f.Block) : "") +
               "</span></h2>\n<table><tr><th>component</th><th>class</th><th>line</th>"
               "<th>HelpContext</th><th></th></tr>\n";
        for (size_t t = 0; t < form.Targets.size(); ++t) {
            const THelpTarget& target = form.Targets[t];
            int64_t n = form.Numbers[t];
            std::string mark, note;
            if (n == 0) {
                mark = "unset";
                note = "without a number";
            } else if (const std::vector<TUse>& u = Facts.Uses.at(n); u.size() > 1) {
                mark = Facts.Shared.count(n) ? "shared" : "repeat";
                std::vector<std::string> others;
                for (const TUse& use : u)
                    if (&Forms[use.Form] != &form || use.Target != t)
                        others.push_back(Html(Forms[use.Form].Targets[use.Target].Path));
                note = (mark == "shared" ? "shared with " : "also ") + Joined(others, ", ", Text);
                if (outside.count(t)) note += "; outside the block";
            } else if (outside.count(t)) {
                mark = "outside";
                note = "outside the block";
            }
            out += "<tr" + (mark.empty() ? std::string() : " class=\"" + mark + "\"") + "><td>" +
                   Html(target.Path) + "</td><td>" + Html(target.Node->ClassName) +
                   "</td><td class=\"n\">" + std::to_string(target.Node->Span.Line) +
                   "</td><td class=\"n\">" + (n ? std::to_string(n) : "") + "</td><td>" + note +
                   "</td></tr>\n";
        }
        out += "</table>\n";
        if (!f.Unknown.empty())
            out += "<p class=\"note\">Not counted (classes not known to publish HelpContext): " +
                   Html(Joined(f.Unknown, ", ", [](const std::string& s) { return s; })) +
                   ".</p>\n";
    }
    return out + "</body></html>\n";
}

}  // namespace

std::string ReportHtml(const std::vector<TProjectForm>& Forms, const std::optional<TPlan>& Plan) {
    const std::vector<TUnreadable> none;
    return AsHtml(Gather(Forms, Plan, none), Forms);
}

int Report(const std::vector<std::string>& Project, const TReportOptions& Options) {
    std::optional<TPlan> plan;
    if (!Options.Plan.empty()) plan = ReadPlan(Options.Plan);
    TProject project = LoadProject(Project);
    TFacts facts = Gather(project.Forms, plan, project.Unreadable);
    if (!Options.HtmlFile.empty())
        Store({{Options.HtmlFile, AsHtml(facts, project.Forms)}});
    else
        std::cout << (Options.Json ? AsJson(facts, project.Forms) : AsText(facts, project.Forms));
    return project.Unreadable.empty() ? 0 : 1;
}

}  // namespace zk::formfile
