#include "host/forms/DesignedForm.h"

#include "host/rtl/Streaming.h"

namespace zk::forms {

using namespace zk::rtl;

namespace {

// Drops the event properties of Obj (of class Class) and of its children, whose handlers would
// be methods of the user's form class.
void DropHandlers(TFormObject& Obj, const TClassInfo& Class) {
    std::erase_if(Obj.Properties, [&](const TFormProperty& p) {
        const TPropInfo* info = Class.FindProp(p.Name);
        return info && info->PropType->Kind == TTypeKind::tkMethod;
    });
    for (TFormObject& child : Obj.Children)
        if (const TClassInfo* c = GetClass(child.ClassName)) DropHandlers(child, *c);
}

}  // namespace

TDesignedForm::TDesignedForm(const std::string& Text) : TDesignedForm(ParseFormText(Text)) {}

TDesignedForm::TDesignedForm(TFormObject Tree)
    : TForm(nullptr), FClass(Tree.ClassName, &TForm::StaticClass()) {
    DropHandlers(Tree, FClass);
    SetDesigning(true);
    ReadComponentTree(Tree, this, true);
}

}  // namespace zk::forms
