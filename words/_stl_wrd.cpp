#include "zk/words/_stl_wrd.h"

#include <algorithm>
#include <array>
#include <cstddef>

#include "zk/host/platform/Ascii.h"

namespace zk {

using platform::LowerAscii;
using platform::UpperAscii;

namespace {

// Membership table of a character set, so sets of any length cost one lookup per character.
class CharSet {
  public:
    explicit CharSet(const std::string& Chars) {
        for (char C : Chars) FIn[static_cast<unsigned char>(C)] = true;
    }
    bool Has(char C) const { return FIn[static_cast<unsigned char>(C)]; }

  private:
    std::array<bool, 256> FIn{};
};

// Longest text for which the replacement search always restarts at the beginning.
constexpr std::size_t RestartTextLimit = 254;

}  // namespace

std::string fn_STL_FindWord(std::string& Text, std::string Delimiters) {
    const CharSet Delim(Delimiters);
    std::size_t I = 0;
    while (I < Text.size() && !Delim.Has(UpperAscii(Text[I]))) ++I;
    std::string Word = Text.substr(0, I);
    Text.erase(0, std::min(I + 1, Text.size()));
    return Word;
}

void pr_STL_RemoveWhiteSpace(std::string& Text, std::string Chars) {
    // A character goes exactly when it and the character behind it are both in the set; the
    // deletions never change which character follows a later one.
    const CharSet Blank(Chars);
    std::size_t Out = 0;
    for (std::size_t I = 0; I < Text.size(); ++I) {
        const bool Collapse = I + 1 < Text.size() && Blank.Has(Text[I]) && Blank.Has(Text[I + 1]);
        if (!Collapse) Text[Out++] = Text[I];
    }
    Text.resize(Out);
}

void pr_STL_IgnoreLeadingSpaces(std::string& Text) {
    const std::size_t First = Text.find_first_not_of(' ');
    Text.erase(0, First == std::string::npos ? Text.size() : First);
}

void pr_STL_DeleteTrailingSpaces(std::string& Text) {
    const std::size_t Last = Text.find_last_not_of(' ');
    Text.resize(Last == std::string::npos ? 0 : Last + 1);
}

void pr_STL_DeleteExtra(std::string& Text, std::string Chars) {
    const CharSet Extra(Chars);
    Text.erase(std::remove_if(Text.begin(), Text.end(), [&](char C) { return Extra.Has(C); }),
               Text.end());
}

void pr_STL_ReplaceWord(std::string& Text, std::string OldWord, std::string NewWord) {
    if (OldWord.empty()) return;
    pr_STL_UpperCaseWord(OldWord);
    std::string UpperNew = NewWord;
    pr_STL_UpperCaseWord(UpperNew);
    std::string Upper = Text;
    pr_STL_UpperCaseWord(Upper);

    // Restarting would find an inserted word that holds OldWord again without end, and a
    // growing text could keep joining new occurrences; both resume behind the insertion.
    const bool NewHoldsOld = UpperNew.find(OldWord) != std::string::npos;
    const std::size_t RestartLimit = std::max(RestartTextLimit, Text.size());
    std::size_t From = 0;
    for (;;) {
        const std::size_t At = Upper.find(OldWord, From);
        if (At == std::string::npos) return;
        Text.replace(At, OldWord.size(), NewWord);
        Upper.replace(At, OldWord.size(), UpperNew);
        if (NewHoldsOld || Text.size() > RestartLimit) {
            From = At + NewWord.size();
        } else {
            // Same as restarting at the beginning: the match was the first one and the text in
            // front of it is unchanged, so a new occurrence must reach past that text.
            From = At + 1 > OldWord.size() ? At + 1 - OldWord.size() : 0;
        }
    }
}

void pr_STL_UpperCaseWord(std::string& Text) {
    for (char& C : Text) C = UpperAscii(C);
}

void pr_STL_LowerCaseWord(std::string& Text) {
    for (char& C : Text) C = LowerAscii(C);
}

}  // namespace zk
