// The text form format of form designers, as a tree of objects with property values, apart
// from any component: parsing and printing only.
//
//   object Name: TClass
//     Prop = 12
//     Caption = 'It''s'#13'two lines'
//     OnClick = ButtonClick
//     Lines.Strings = (
//       'first'
//       'second')
//     object Child: TOther
//     end
//   end
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "zk/host/rtl/SysUtils.h"

namespace zk::rtl {

// Raised for text that is not a well-formed form; the message names the line.
class EReadError : public Exception {
  public:
    EReadError(const std::string& Msg, int Line)
        : Exception("Line " + std::to_string(Line) + ": " + Msg), FLine(Line) {}
    int Line() const { return FLine; }

  private:
    int FLine;
};

struct TFormValue {
    enum Kind { vaInt, vaString, vaIdent, vaList } Kind = vaInt;
    int64_t Int = 0;
    std::string Str;                 // vaString text, vaIdent name
    std::vector<std::string> Items;  // vaList lines
};

struct TFormProperty {
    std::string Name;
    TFormValue Value;
    int Line = 0;
};

struct TFormObject {
    std::string Name;
    std::string ClassName;
    int Line = 0;
    std::vector<TFormProperty> Properties;
    std::vector<TFormObject> Children;
};

// Parses one top-level object; raises EReadError naming the line of the first fault.
TFormObject ParseFormText(const std::string& Text);
// Prints an object tree; ParseFormText reads it back unchanged.
std::string PrintFormText(const TFormObject& Object);
// A text as a quoted form string: 'It''s', control characters as #nn.
std::string QuoteFormString(const std::string& S);

}  // namespace zk::rtl
