#include "zk/formfile/Diff.h"

#include <algorithm>
#include <vector>

namespace zk::formfile {

namespace {

// The lines of Text, each with its line end ("\n" or "\r\n"); the last may have none.
std::vector<std::string_view> Lines(std::string_view Text) {
    std::vector<std::string_view> lines;
    while (!Text.empty()) {
        size_t end = Text.find('\n');
        size_t len = end == std::string_view::npos ? Text.size() : end + 1;
        lines.push_back(Text.substr(0, len));
        Text.remove_prefix(len);
    }
    return lines;
}

struct TOp {
    char Kind;  // ' ', '-', '+'
    std::string_view Line;
};

// An edit script from A to B: equal lines are kept, and where they differ a line inserted
// before an equal one, or removed before one, is recognised; anything else counts as a line
// replaced. Always correct, shortest for scattered single-line edits.
std::vector<TOp> Script(const std::vector<std::string_view>& A,
                        const std::vector<std::string_view>& B) {
    std::vector<TOp> ops;
    size_t i = 0, j = 0;
    while (i < A.size() || j < B.size()) {
        if (i < A.size() && j < B.size() && A[i] == B[j]) {
            ops.push_back({' ', A[i++]});
            ++j;
        } else if (j < B.size() && (i == A.size() || (j + 1 < B.size() && A[i] == B[j + 1]))) {
            ops.push_back({'+', B[j++]});
        } else if (j == B.size() || (i + 1 < A.size() && A[i + 1] == B[j])) {
            ops.push_back({'-', A[i++]});
        } else {
            ops.push_back({'-', A[i++]});
            ops.push_back({'+', B[j++]});
        }
    }
    return ops;
}

void Emit(std::string& Out, char Kind, std::string_view Line) {
    Out += Kind;
    Out += Line;
    if (Line.empty() || Line.back() != '\n') Out += "\n\\ No newline at end of file\n";
}

std::string Range(size_t Start, size_t Count) {
    // An empty side names the line before it.
    std::string s = std::to_string(Count == 0 ? Start - 1 : Start);
    return Count == 1 ? s : s + "," + std::to_string(Count);
}

}  // namespace

std::string UnifiedDiff(const std::string& Name, std::string_view Old, std::string_view New) {
    if (Old == New) return {};
    constexpr size_t kContext = 3;
    std::vector<TOp> ops = Script(Lines(Old), Lines(New));
    std::string out = "--- a/" + Name + "\n+++ b/" + Name + "\n";
    size_t oldLine = 1, newLine = 1;  // of ops[k]
    size_t k = 0;
    while (k < ops.size()) {
        // The next change, and the hunk around it: changes closer than twice the context join.
        size_t first = k;
        while (first < ops.size() && ops[first].Kind == ' ') ++first;
        if (first == ops.size()) break;
        size_t begin = first - std::min(first - k, kContext);
        for (size_t s = k; s < begin; ++s) ++oldLine, ++newLine;
        size_t end = first;
        for (size_t quiet = 0; end < ops.size(); ++end) {
            quiet = ops[end].Kind == ' ' ? quiet + 1 : 0;
            if (quiet > 2 * kContext) break;
        }
        // Keep only kContext equal lines after the last change.
        size_t last = end;
        while (last > first && ops[last - 1].Kind == ' ') --last;
        end = std::min(end, last + kContext);
        size_t oldCount = 0, newCount = 0;
        for (size_t s = begin; s < end; ++s) {
            oldCount += ops[s].Kind != '+';
            newCount += ops[s].Kind != '-';
        }
        out += "@@ -" + Range(oldLine, oldCount) + " +" + Range(newLine, newCount) + " @@\n";
        for (size_t s = begin; s < end; ++s) Emit(out, ops[s].Kind, ops[s].Line);
        oldLine += oldCount;
        newLine += newCount;
        k = end;
    }
    return out;
}

}  // namespace zk::formfile
