#include "zk/formfile/Numbering.h"

#include <charconv>
#include <climits>
#include <iostream>
#include <map>
#include <optional>
#include <set>

#include "zk/formfile/Diff.h"
#include "zk/formfile/Map.h"
#include "zk/host/platform/Ascii.h"

namespace zk::formfile {

using namespace zk::rtl;

namespace {

void Give(TProjectForm& F, size_t Target, int64_t Number) {
    F.Doc->SetHelpContext(*F.Targets[Target].Node, static_cast<int32_t>(Number));
    F.Numbers[Target] = Number;
}

// What a form's file holds now; for a dry run a binary form is shown as its text.
std::string Content(const TProjectForm& F, bool DryRun) {
    if (!DryRun || !F.Doc->IsBinary()) return F.Doc->Save();
    return F.Doc->ToText(LibraryOfFile(F.Path) == TFormLibrary::Lazarus ? "\n" : "\r\n");
}

std::vector<std::string> Contents(const std::vector<TProjectForm>& Forms, bool DryRun) {
    std::vector<std::string> out;
    out.reserve(Forms.size());
    for (const TProjectForm& f : Forms) out.push_back(Content(f, DryRun));
    return out;
}

// Stores the forms whose content differs from Before (into Out when given), or prints their
// diffs.
void Commit(const std::vector<TProjectForm>& Forms, const std::vector<std::string>& Before,
            bool DryRun, const std::string& Out = {}) {
    std::vector<std::pair<std::string, std::string>> files;
    std::string diffs;
    for (size_t i = 0; i < Forms.size(); ++i) {
        std::string after = Content(Forms[i], DryRun);
        if (DryRun) {
            std::string diff = UnifiedDiff(Forms[i].Path, Before[i], after);
            if (!diff.empty() && Forms[i].Doc->IsBinary())
                diffs += "# " + Forms[i].Path + " is a binary form: the diff of its text\n";
            diffs += diff;
        } else if (after != Before[i] || !Out.empty()) {
            files.emplace_back(Out.empty() ? Forms[i].Path : Out, std::move(after));
        }
    }
    std::cout << diffs;
    Store(files);
}

}  // namespace

void NumberInOrder(std::vector<TProjectForm>& Forms, int64_t Start, int64_t Step, bool OnlyUnset) {
    std::set<int64_t> used;
    if (OnlyUnset)
        for (const TProjectForm& f : Forms) used.insert(f.Numbers.begin(), f.Numbers.end());
    int64_t next = Start;
    for (TProjectForm& f : Forms)
        for (size_t t = 0; t < f.Targets.size(); ++t) {
            if (OnlyUnset && f.Numbers[t] != 0) continue;
            while (next == 0 || used.count(next)) next += Step;
            if (next < INT32_MIN || next > INT32_MAX)
                throw TFailure{"the numbers run out of the HelpContext range at " +
                               f.Targets[t].Path};
            Give(f, t, next);
            next += Step;
        }
}

void NumberByPlan(std::vector<TProjectForm>& Forms, const TPlan& Plan, bool OnlyUnset) {
    std::set<int64_t> used;
    if (OnlyUnset)
        for (const TProjectForm& f : Forms) used.insert(f.Numbers.begin(), f.Numbers.end());
    // The next number of each block (null: the rest), from its start.
    std::map<const TPlanBlock*, int64_t> next;
    for (TProjectForm& f : Forms) {
        const TPlanBlock* block = Plan.BlockFor(f.Path);
        auto [range, step] = block ? std::pair{std::pair{block->Start, block->Last()}, block->Step}
                                   : std::pair{Plan.RangeFor(f.Path), Plan.Step};
        int64_t& n = next.try_emplace(block, range.first).first->second;
        for (size_t t = 0; t < f.Targets.size(); ++t) {
            if (OnlyUnset && f.Numbers[t] != 0) continue;
            while (n == 0 || used.count(n)) n += step;
            if (n > range.second)
                throw TFailure{f.Path + ": the block " + std::to_string(range.first) + ".." +
                               std::to_string(range.second) + " has no number left for " +
                               f.Targets[t].Path};
            Give(f, t, n);
            used.insert(n);
            n += step;
        }
    }
}

int Number(const std::vector<std::string>& Project, const TNumberOptions& Options) {
    std::vector<TProjectForm> forms = LoadWholeProject(Project);
    if (!Options.Out.empty() && forms.size() > 1)
        throw TFailure{"-o takes one form file only; " + std::to_string(forms.size()) +
                       " were found"};
    std::vector<std::string> before = Contents(forms, Options.DryRun);
    if (Options.Plan.empty())
        NumberInOrder(forms, Options.Start, Options.Step, Options.OnlyUnset);
    else
        NumberByPlan(forms, ReadPlan(Options.Plan), Options.OnlyUnset);
    Commit(forms, before, Options.DryRun, Options.Out);
    return 0;
}

namespace {

std::string Lower(std::string S) {
    for (char& c : S) c = zk::platform::LowerAscii(c);
    return S;
}

// The value of a #define as a help context: decimal or 0x hex, a 32-bit integer.
std::optional<int32_t> HelpNumber(std::string_view Value) {
    int base =
        Value.size() > 2 && Value[0] == '0' && (Value[1] == 'x' || Value[1] == 'X') ? 16 : 10;
    std::string_view digits = base == 16 ? Value.substr(2) : Value;
    int64_t n = 0;
    auto [p, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n, base);
    if (digits.empty() || ec != std::errc() || p != digits.data() + digits.size() ||
        n < INT32_MIN || n > INT32_MAX)
        return std::nullopt;
    return static_cast<int32_t>(n);
}

}  // namespace

int Import(const std::string& MapFile, const std::vector<std::string>& Project,
           const std::string& Prefix, bool DryRun) {
    std::string text = ReadFileOrFail(MapFile);
    std::vector<TProjectForm> forms = LoadWholeProject(Project);
    std::vector<std::string> before = Contents(forms, DryRun);
    // Context strings, like the Pascal names they are made of, ignore case.
    std::multimap<std::string, const TContext*> byName;
    std::map<std::string, TContext> contexts = ContextStrings(forms, Prefix, true);
    for (const auto& [context, c] : contexts) byName.emplace(Lower(context), &c);
    size_t line = 0;
    for (size_t at = 0; at < text.size(); ++line) {
        size_t end = text.find('\n', at);
        std::string_view l(text.data() + at, (end == std::string::npos ? text.size() : end) - at);
        at = end == std::string::npos ? text.size() : end + 1;
        auto word = [&l]() {
            size_t b = l.find_first_not_of(" \t\r");
            if (b == std::string_view::npos) return std::string_view();
            size_t e = std::min(l.find_first_of(" \t\r", b), l.size());
            std::string_view w = l.substr(b, e - b);
            l.remove_prefix(e);
            return w;
        };
        if (word() != "#define") continue;
        std::string name(word());
        std::string_view value = word();
        std::string where = MapFile + ":" + std::to_string(line + 1);
        if (name.empty())
            throw TFailure{where + ": expected #define NAME NUMBER (a 32-bit integer)"};
        // An include guard.
        if (value.empty()) continue;
        auto [first, last] = byName.equal_range(Lower(name));
        if (first != last && std::next(first) != last) {
            const TContext& a = *first->second;
            const TContext& b = *std::next(first)->second;
            const THelpTarget& ta = a.File->Targets[a.Target];
            const THelpTarget& tb = b.File->Targets[b.Target];
            throw TFailure{where + ": " + name + " would name both " + ta.Path + " (" +
                           Where(*a.File, ta) + ") and " + tb.Path + " (" + Where(*b.File, tb) +
                           ")"};
        }
        std::optional<int32_t> n = HelpNumber(value);
        if (!n) {
            // A text or expression define is no help context, unless it names a component.
            if (first == last) continue;
            throw TFailure{where + ": expected #define NAME NUMBER (a 32-bit integer)"};
        }
        if (first == last) {
            std::cerr << where << ": " << name << " names no component\n";
            continue;
        }
        const TContext& c = *first->second;
        Give(forms[static_cast<size_t>(c.File - forms.data())], c.Target, *n);
    }
    Commit(forms, before, DryRun);
    return 0;
}

}  // namespace zk::formfile
