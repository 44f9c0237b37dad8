// The stand-in authoring application's answers: for a command received on its slot, the
// replies to send back, from --reply options and script files. Pure text handling.
#pragma once

#include <string>
#include <vector>

namespace docuvane {

// The answers used when no --reply or --script is given, as a script: a new topic gets its
// numbering (INIT), editing finds a file open, and the project question finds one project.
extern const char* const DefaultScript;

// A message "REPLYTO,NAME" names the slot that answers to the commands after it go to (an empty
// NAME: the --reply-slot again). True, with Slot set, for such a message.
bool ParseReplyTo(const std::string& Msg, std::string& Slot);

class TReplyTable {
  public:
    // Adds a rule written "COMMAND=REPLY" (split at the first '='). False when there is no '='.
    bool AddOption(const std::string& Rule);
    // Adds the rules of a script: one "COMMAND => REPLY" per line. Blanks around the command
    // are dropped; of the reply only the one blank after "=>" is, so a reply can begin with a
    // blank. Empty lines and lines starting with '#' are skipped. Returns the 1-based numbers
    // of the lines that are no rule (none: the whole script was taken).
    std::vector<int> AddScript(const std::string& Text);
    // The replies to Command (exact, case-sensitive match), in the order they were added.
    std::vector<std::string> RepliesTo(const std::string& Command) const;

  private:
    struct TRule {
        std::string Command;
        std::string Reply;
    };
    std::vector<TRule> FRules;
};

}  // namespace docuvane
