#include "formfile/Audit.h"

#include <algorithm>
#include <iostream>
#include <map>
#include <optional>
#include <set>

#include "formfile/Plan.h"
#include "formfile/Project.h"

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

namespace {

// What the report says of one form.
struct TFormFacts {
    const TProjectForm* Form;
    std::vector<std::string> Unset;
    std::set<int64_t> Repeated;
    std::vector<std::string> Unknown;
    std::optional<std::pair<int64_t, int64_t>> Block;  // with a plan
    std::vector<size_t> Outside;                       // targets outside the block
    size_t Numbered() const { return Form->Targets.size() - Unset.size(); }
};

struct TFacts {
    std::vector<TFormFacts> Forms;
    std::map<int64_t, std::vector<TUse>> Uses;
    size_t Components = 0, Numbered = 0, Repeats = 0, Outside = 0;
};

TFacts Gather(const std::vector<TProjectForm>& Forms, const std::optional<TPlan>& Plan) {
    TFacts facts;
    facts.Uses = Uses(Forms);
    for (const auto& [number, u] : facts.Uses) facts.Repeats += u.size() > 1;
    for (const TProjectForm& form : Forms) {
        TFormFacts f{&form, {}, {}, UnknownClasses(form), {}, {}};
        if (Plan) f.Block = Plan->RangeFor(form.Path);
        for (size_t t = 0; t < form.Targets.size(); ++t) {
            int64_t n = form.Numbers[t];
            if (n == 0) {
                f.Unset.push_back(form.Targets[t].Path);
                continue;
            }
            if (facts.Uses[n].size() > 1) f.Repeated.insert(n);
            if (f.Block && (n < f.Block->first || n > f.Block->second)) f.Outside.push_back(t);
        }
        facts.Components += form.Targets.size();
        facts.Numbered += f.Numbered();
        facts.Outside += f.Outside.size();
        facts.Forms.push_back(std::move(f));
    }
    return facts;
}

template <class T, class F>
std::string Joined(const T& Items, const std::string& Separator, F Show) {
    std::string out;
    for (const auto& item : Items) out += (out.empty() ? "" : Separator) + Show(item);
    return out;
}

std::string Range(const std::pair<int64_t, int64_t>& R) {
    return std::to_string(R.first) + ".." + std::to_string(R.second);
}

std::string AsText(const TFacts& Facts, const std::vector<TProjectForm>& Forms) {
    std::string out;
    for (const TFormFacts& f : Facts.Forms) {
        const TProjectForm& form = *f.Form;
        out += form.Path + ": " + form.FormName() + " (" + form.Doc->Root().ClassName +
               "): " + std::to_string(form.Targets.size()) + " publish HelpContext, " +
               std::to_string(f.Numbered()) + " numbered";
        auto text = [](const std::string& s) { return s; };
        auto number = [](int64_t n) { return std::to_string(n); };
        if (!f.Unset.empty()) out += "; without a number: " + Joined(f.Unset, " ", text);
        if (!f.Repeated.empty()) out += "; repeated: " + Joined(f.Repeated, " ", number);
        if (!f.Outside.empty())
            out += "; outside the block " + Range(*f.Block) + ": " +
                   Joined(f.Outside, " ", [&form](size_t t) {
                       return form.Targets[t].Path + "=" + std::to_string(form.Numbers[t]);
                   });
        if (!f.Unknown.empty()) out += "; unknown classes: " + Joined(f.Unknown, " ", text);
        out += "\n";
    }
    out += "total: " + std::to_string(Facts.Forms.size()) + " forms, " +
           std::to_string(Facts.Components) + " publish HelpContext, " +
           std::to_string(Facts.Numbered) + " numbered, " +
           std::to_string(Facts.Components - Facts.Numbered) + " without a number, " +
           std::to_string(Facts.Repeats) + " numbers repeated";
    if (!Facts.Forms.empty() && Facts.Forms[0].Block)
        out += ", " + std::to_string(Facts.Outside) + " outside their block";
    out += "\n";
    for (const auto& [number, u] : Facts.Uses)
        if (u.size() > 1)
            out += "repeated " + std::to_string(number) + ": " +
                   Joined(u, " ",
                          [&Forms](const TUse& use) {
                              const TProjectForm& f = Forms[use.Form];
                              return f.Targets[use.Target].Path + " (" +
                                     Where(f, f.Targets[use.Target]) + ")";
                          }) +
                   "\n";
    return out;
}

std::string AsJson(const TFacts& Facts, const std::vector<TProjectForm>& Forms) {
    auto number = [](int64_t n) { return std::to_string(n); };
    std::string out = "{\"forms\":[";
    bool comma = false;
    for (const TFormFacts& f : Facts.Forms) {
        const TProjectForm& form = *f.Form;
        out += comma ? ",\n" : "\n";
        comma = true;
        out += "{\"file\":" + Json(form.Path) + ",\"form\":" + Json(form.FormName()) +
               ",\"class\":" + Json(form.Doc->Root().ClassName) +
               ",\"binary\":" + (form.Doc->IsBinary() ? "true" : "false") +
               ",\"components\":" + std::to_string(form.Targets.size()) +
               ",\"numbered\":" + std::to_string(f.Numbered()) + ",\"unset\":[" +
               Joined(f.Unset, ",", Json) + "],\"repeats\":[" + Joined(f.Repeated, ",", number) +
               "],\"unknownClasses\":[" + Joined(f.Unknown, ",", Json) + "]";
        if (f.Block)
            out += ",\"block\":[" + number(f.Block->first) + "," + number(f.Block->second) +
                   "],\"outside\":[" +
                   Joined(f.Outside, ",",
                          [&form](size_t t) {
                              return "{\"path\":" + Json(form.Targets[t].Path) +
                                     ",\"helpContext\":" + std::to_string(form.Numbers[t]) + "}";
                          }) +
                   "]";
        out += "}";
    }
    out += "],\n\"total\":{\"forms\":" + std::to_string(Facts.Forms.size()) +
           ",\"components\":" + std::to_string(Facts.Components) +
           ",\"numbered\":" + std::to_string(Facts.Numbered) +
           ",\"unset\":" + std::to_string(Facts.Components - Facts.Numbered) +
           ",\"repeats\":" + std::to_string(Facts.Repeats);
    if (!Facts.Forms.empty() && Facts.Forms[0].Block)
        out += ",\"outside\":" + std::to_string(Facts.Outside);
    out += "},\n\"repeats\":[";
    comma = false;
    for (const auto& [n, u] : Facts.Uses) {
        if (u.size() < 2) continue;
        out += comma ? ",\n" : "\n";
        comma = true;
        out += "{\"helpContext\":" + number(n) + ",\"uses\":[" +
               Joined(u, ",",
                      [&Forms](const TUse& use) {
                          const TProjectForm& f = Forms[use.Form];
                          const THelpTarget& t = f.Targets[use.Target];
                          return "{\"file\":" + Json(f.Path) +
                                 ",\"line\":" + std::to_string(t.Node->Span.Line) +
                                 ",\"path\":" + Json(t.Path) + "}";
                      }) +
               "]}";
    }
    return out + "]}\n";
}

}  // namespace

std::string Html(const std::string& S) {
    std::string out;
    for (char c : S) {
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
        "tr.outside td{background:#e2d9f3}.note{color:#666}\n"
        "</style></head><body>\n<h1>Help contexts</h1>\n";
    bool planned = !Facts.Forms.empty() && Facts.Forms[0].Block;
    out +=
        "<table><tr><th>forms</th><th>publish HelpContext</th><th>numbered</th>"
        "<th>without a number</th><th>numbers repeated</th>" +
        std::string(planned ? "<th>outside their block</th>" : "") + "</tr>\n<tr>";
    for (size_t v : {Facts.Forms.size(), Facts.Components, Facts.Numbered,
                     Facts.Components - Facts.Numbered, Facts.Repeats})
        out += "<td class=\"n\">" + std::to_string(v) + "</td>";
    if (planned) out += "<td class=\"n\">" + std::to_string(Facts.Outside) + "</td>";
    out +=
        "</tr></table>\n<p class=\"note\">Marked: <span style=\"background:#fff3cd\">"
        "without a number</span>, <span style=\"background:#f8d7da\">repeated</span>" +
        std::string(planned ? ", <span style=\"background:#e2d9f3\">outside the form's "
                              "block</span>"
                            : "") +
        ".</p>\n";
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
                mark = "repeat";
                std::vector<std::string> others;
                for (const TUse& use : u)
                    if (&Forms[use.Form] != &form || use.Target != t)
                        others.push_back(Html(Forms[use.Form].Targets[use.Target].Path));
                note = "also " + Joined(others, ", ", [](const std::string& s) { return s; });
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
    return AsHtml(Gather(Forms, Plan), Forms);
}

int Report(const std::vector<std::string>& Project, const TReportOptions& Options) {
    std::optional<TPlan> plan;
    if (!Options.Plan.empty()) plan = ReadPlan(Options.Plan);
    std::vector<TProjectForm> forms = LoadProject(Project);
    TFacts facts = Gather(forms, plan);
    if (!Options.HtmlFile.empty()) {
        Store({{Options.HtmlFile, AsHtml(facts, forms)}});
        return 0;
    }
    std::cout << (Options.Json ? AsJson(facts, forms) : AsText(facts, forms));
    return 0;
}

}  // namespace zk::formfile
