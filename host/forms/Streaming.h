// Storing components as form text and reading them back: the walk over a component tree and
// its published properties. The text itself is read and written by the form-file library
// (formfile/FormTextReader.h, formfile/FormTextWriter.h).
//
// Written: the root and every component it owns (nested under the component it sits on), each
// with the published properties that its default and stored rules say to write. Reading is all
// or nothing for the faults that can be seen in advance (an unknown class, property, value or
// method, a malformed line): such a text raises EReadError naming the line and creates nothing.
// While a component's properties are assigned it is in csReading; once every component is read,
// Loaded runs on each, the root first.
#pragma once

#include <string>

#include "zk/formfile/FormTree.h"
#include "zk/host/rtl/Classes.h"

namespace zk::forms {

// Raised for a text that does not describe the components; the message names the line.
class EReadError : public rtl::Exception {
  public:
    EReadError(const std::string& Msg, int Line)
        : rtl::Exception("Line " + std::to_string(Line) + ": " + Msg), FLine(Line) {}
    int Line() const { return FLine; }

  private:
    int FLine;
};

// The form text of Root and its owned components.
std::string WriteComponentText(rtl::TComponent* Root);
formfile::TFormNode WriteComponentTree(rtl::TComponent* Root);

// Reads a form text into the existing Root. The top object's class must be Root's class (or,
// when AnyRootClass is set, any class: a designer reading a form of a class it does not know).
void ReadComponentText(const std::string& Text, rtl::TComponent* Root, bool AnyRootClass = false);
void ReadComponentTree(const formfile::TFormNode& Tree, rtl::TComponent* Root,
                       bool AnyRootClass = false);

// Reads a form text, creating the top object from the class registry, owned by Owner.
rtl::TComponent* ReadComponentFromText(const std::string& Text, rtl::TComponent* Owner);

}  // namespace zk::forms
