// Word utilities: free routines that take words off an 8-bit text, collapse or delete given
// characters, replace a word regardless of case and change the case of ASCII letters.
// A character set is an ordinary string: a character belongs to it when it occurs anywhere in it.
// Case changes touch the ASCII letters only. No routine keeps state or reports an error.
#pragma once

#include <string>

#include "zk/Export.h"

namespace zk {

// Returns the characters of Text in front of its first delimiter and removes them, with that
// delimiter, from Text. A character is a delimiter when its upper-case form occurs in
// Delimiters (so "X" matches x and X, "x" matches nothing). No delimiter: Text becomes empty.
ZK_EXPORT std::string fn_STL_FindWord(std::string& Text, std::string Delimiters);

// Shrinks every run of two or more adjacent characters of Chars in Text to the run's last
// character ("a  b" with " " gives "a b"; a space followed by a tab leaves the tab).
ZK_EXPORT void pr_STL_RemoveWhiteSpace(std::string& Text, std::string Chars);

// Removes the space characters (32) at the start of Text; tabs and other blanks stay.
ZK_EXPORT void pr_STL_IgnoreLeadingSpaces(std::string& Text);

// Removes the space characters (32) at the end of Text; tabs and other blanks stay.
ZK_EXPORT void pr_STL_DeleteTrailingSpaces(std::string& Text);

// Removes every occurrence of every character of Chars from Text.
ZK_EXPORT void pr_STL_DeleteExtra(std::string& Text, std::string Chars);

// Replaces every occurrence of OldWord in Text, ignoring the case of ASCII letters, by NewWord.
// After each replacement the search starts again at the beginning of the text, so a replacement
// that joins its surroundings into a new occurrence is replaced too ("aabb", "ab" -> "a" gives
// "aa"). The search resumes behind the inserted text instead when NewWord contains OldWord
// (ignoring case) or once the text has grown beyond both 254 characters and its length at the
// start; either way the routine ends. An empty OldWord leaves Text unchanged.
ZK_EXPORT void pr_STL_ReplaceWord(std::string& Text, std::string OldWord, std::string NewWord);

// Turns 'a' to 'z' into 'A' to 'Z'; every other byte stays.
ZK_EXPORT void pr_STL_UpperCaseWord(std::string& Text);

// Turns 'A' to 'Z' into 'a' to 'z'; every other byte stays.
ZK_EXPORT void pr_STL_LowerCaseWord(std::string& Text);

}  // namespace zk
