// The common component palette classes of Delphi and Lazarus: whether each is visual, the
// Align it has without a stored one, and the class it is drawn and laid out like (its nearest
// well-known ancestor). The designer uses this to show forms of classes it cannot create.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "zk/host/forms/Controls.h"

namespace zk::forms {

struct TPaletteClass {
    std::string_view Name;
    std::string_view Like;  // the class it is drawn and laid out like; empty: itself only
    bool Visual;
    TAlign DefaultAlign;
};

// The table's entry for ClassName (compared ignoring case), or null.
const TPaletteClass* FindPaletteClass(std::string_view ClassName);

// ClassName, then the classes it is like by the table, then the ancestors of Host (the
// component's class information, which may be null): the names to try, nearest first, when
// looking something up by class.
std::vector<std::string> ClassChain(std::string_view ClassName, const rtl::TClassInfo* Host);

// Whether Chain (from ClassChain) names Class.
bool ChainHas(const std::vector<std::string>& Chain, std::string_view Class);

}  // namespace zk::forms
