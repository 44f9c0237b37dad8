// Runs every word routine on texts and character sets cut from the fuzzer's input and checks
// what each promises about its result. Long texts and sets included: every routine must end.
#include "tests/support/Namespaces.h"
#include "zk/words/_stl_wrd.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

void Require(bool Holds) {
    if (!Holds) __builtin_trap();
}

bool InSet(char C, const std::string& Set) { return Set.find(C) != std::string::npos; }

std::string Upper(std::string Text) {
    pr_STL_UpperCaseWord(Text);
    return Text;
}

void CheckFindWord(const std::string& Text, const std::string& Delimiters) {
    std::string Rest = Text;
    const std::string Word = fn_STL_FindWord(Rest, Delimiters);
    for (char C : Word) Require(!InSet(Upper(std::string(1, C))[0], Delimiters));
    if (Word.size() == Text.size()) {
        Require(Word == Text && Rest.empty());
    } else {
        Require(Text == Word + Text[Word.size()] + Rest);
    }
}

void CheckCharSetRoutines(const std::string& Text, const std::string& Chars) {
    std::string Collapsed = Text;
    pr_STL_RemoveWhiteSpace(Collapsed, Chars);
    for (std::size_t I = 0; I + 1 < Collapsed.size(); ++I) {
        Require(!(InSet(Collapsed[I], Chars) && InSet(Collapsed[I + 1], Chars)));
    }

    std::string Cleaned = Text;
    pr_STL_DeleteExtra(Cleaned, Chars);
    for (char C : Cleaned) Require(!InSet(C, Chars));
}

void CheckSpacesAndCase(const std::string& Text) {
    std::string Trimmed = Text;
    pr_STL_IgnoreLeadingSpaces(Trimmed);
    Require(Trimmed.empty() || Trimmed.front() != ' ');
    pr_STL_DeleteTrailingSpaces(Trimmed);
    Require(Trimmed.empty() || Trimmed.back() != ' ');

    std::string Lower = Text;
    pr_STL_LowerCaseWord(Lower);
    std::string Up = Lower;
    pr_STL_UpperCaseWord(Up);
    Require(Up == Upper(Text) && Lower.size() == Text.size());
}

void CheckReplaceWord(const std::string& Text, const std::string& OldWord,
                      const std::string& NewWord) {
    std::string Replaced = Text;
    pr_STL_ReplaceWord(Replaced, OldWord, NewWord);
    // A replacement that does not lengthen the text and cannot recreate the word restarts
    // until no occurrence is left.
    const bool Restarting = NewWord.size() <= OldWord.size() &&
                            Upper(NewWord).find(Upper(OldWord)) == std::string::npos;
    if (!OldWord.empty() && Restarting) {
        Require(Upper(Replaced).find(Upper(OldWord)) == std::string::npos);
    }
    if (OldWord.empty()) Require(Replaced == Text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    FuzzedDataProvider In(Data, Size);
    const std::string Chars = In.ConsumeRandomLengthString(300);
    const std::string OldWord = In.ConsumeRandomLengthString(8);
    const std::string NewWord = In.ConsumeRandomLengthString(12);
    const std::string Text = In.ConsumeRemainingBytesAsString();

    CheckFindWord(Text, Chars);
    CheckCharSetRoutines(Text, Chars);
    CheckSpacesAndCase(Text);
    CheckReplaceWord(Text, OldWord, NewWord);
    return 0;
}
