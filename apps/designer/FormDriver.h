// Lets a person at a terminal act on the modal forms the headless back end shows: one command
// per line. The form is shown when it opens, on "show", and as it was when input ends.
//
//   show                      what the form shows now
//   select N | TEXT           selects tree node N (0 is the first) or the first whose text starts
//   with TEXT type CONTROL TEXT         types TEXT into an edit, spin edit or memo id NUMBER types
//   NUMBER into the window's "ID:" field click CONTROL             clicks a button or check box
//   page N                    selects notebook page N
//   menu ITEM                 chooses a menu command by its name or caption ("E&xit and Save
//   Changes") key CODE                  presses a short cut (112 is F1) close the title bar's close
//   button
// Lines starting with '#' and blank lines are skipped. When input ends, an open form is shown
// once more and closed.
#pragma once

#include <iosfwd>
#include <string>

#include "host/forms/HeadlessUi.h"

namespace designer {

using namespace zk::forms;

class TFormDriver {
  public:
    TFormDriver(THeadlessUi& Ui, std::istream& In, std::ostream& Out)
        : FUi(Ui), FIn(In), FOut(Out) {}
    // Queues the driver for the next form shown modally.
    void Arm();

  private:
    void Drive(TForm& Form);
    // Carries out one command line; false when the line is not understood.
    bool Execute(TForm& Form, const std::string& Line);

    THeadlessUi& FUi;
    std::istream& FIn;
    std::ostream& FOut;
};

}  // namespace designer
