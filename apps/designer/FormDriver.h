// Lets a person at a terminal act on the modal forms the headless back end shows: one command
// per line. The form is shown when it opens, on "show", and as it was when input ends.
//
//   show                 what the form shows now
//   select NAME | TEXT | N
//                        clicks the node of the designed component NAME (case ignored; the
//                        form is node 0, then every component that publishes HelpContext, in
//                        order), else the first tree node whose text starts with TEXT, else
//                        node N (0 is the first, in the tree's order)
//   id NUMBER            types NUMBER into the window's "ID:" field (as typed: other text
//                        reads as 0 there)
//   type CONTROL [TEXT]  types TEXT into an edit, spin edit or memo (nothing: empties it)
//   click CONTROL        clicks a button or check box
//   page N               clicks the tab of notebook page N (0 is the first)
//   menu ITEM            chooses a menu command by its name or caption ("E&xit and Save Changes")
//   key CODE             presses a short cut (112 is F1)
//   close                the title bar's close button
//
// Lines starting with '#' and blank lines are skipped. A command that cannot be carried out (a
// mistyped number, a node, control or page that is not there, an unknown word, a missing
// argument) prints one line "? COMMAND: what was wrong" and the session goes on; CommandFailed
// then tells the caller. Whatever the form shows a person meanwhile is printed after the
// command: "[message] TEXT" for message boxes, "[error] TEXT" for error boxes (what a handler
// raised), "[help] FILE: JUMP" for help jumps. When input ends, an open form is shown once more
// and closed.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>

#include "zk/host/interfaces/headless/HeadlessUi.h"

namespace designer {

class TFormDriver {
  public:
    // Designed is the form the Help Expert window lists; it must outlive the driver.
    TFormDriver(zk::forms::THeadlessUi& Ui, std::istream& In, std::ostream& Out,
                zk::rtl::TComponent& Designed)
        : FUi(Ui), FIn(In), FOut(Out), FDesigned(Designed) {}
    // Queues the driver for the next form shown modally.
    void Arm();
    // Whether a command could not be carried out.
    bool CommandFailed() const { return FCommandFailed; }

  private:
    void Drive(zk::forms::TForm& Form);
    // Carries out one command line; raises Exception with what was wrong.
    void Execute(zk::forms::TForm& Form, const std::string& Verb, const std::string& Args);
    // Prints the boxes and help jumps the back end recorded since the last call, in order.
    void PrintShown();

    zk::forms::THeadlessUi& FUi;
    std::istream& FIn;
    std::ostream& FOut;
    zk::rtl::TComponent& FDesigned;
    bool FCommandFailed = false;
    // How much of the back end's records has been printed.
    size_t FLogSeen = 0;
    size_t FMessagesSeen = 0;
    size_t FErrorsSeen = 0;
    size_t FHelpJumpsSeen = 0;
};

}  // namespace designer
