// Storing components as form text and reading them back: the walk over a component tree and
// its published properties. The text encoding itself is in host/rtl/FormText.h.
//
// Written: the root and every component it owns (nested under the component it sits on), each
// with the published properties that its default and stored rules say to write. Reading is all
// or nothing for the faults that can be seen in advance (an unknown class, property, value or
// method, a malformed line): such a text raises EReadError naming the line and creates nothing.
// While a component's properties are assigned it is in csReading; once every component is read,
// Loaded runs on each, the root first.
#pragma once

#include <string>

#include "zk/host/rtl/Classes.h"
#include "zk/host/rtl/FormText.h"

namespace zk::rtl {

// The form text of Root and its owned components.
std::string WriteComponentText(TComponent* Root);
TFormObject WriteComponentTree(TComponent* Root);

// Reads a form text into the existing Root. The top object's class must be Root's class (or,
// when AnyRootClass is set, any class: a designer reading a form of a class it does not know).
void ReadComponentText(const std::string& Text, TComponent* Root, bool AnyRootClass = false);
void ReadComponentTree(const TFormObject& Tree, TComponent* Root, bool AnyRootClass = false);

// Reads a form text, creating the top object from the class registry, owned by Owner.
TComponent* ReadComponentFromText(const std::string& Text, TComponent* Owner);

}  // namespace zk::rtl
