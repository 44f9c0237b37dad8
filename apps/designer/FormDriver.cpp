#include "apps/designer/FormDriver.h"

#include <istream>
#include <ostream>
#include <sstream>

#include "host/forms/ComCtrls.h"
#include "host/forms/Forms.h"
#include "host/forms/Menus.h"
#include "host/forms/Spin.h"
#include "host/forms/StdCtrls.h"
#include "host/forms/TabNotbk.h"

using namespace zk::forms;

namespace designer {

namespace {

std::string Rest(std::istringstream& In) {
    std::string rest;
    std::getline(In >> std::ws, rest);
    return rest;
}

TMenuItem* FindMenuItem(TMenuItem* Item, const std::string& Key) {
    if (!Item) return nullptr;
    if (StrIComp(Item->Name().c_str(), Key.c_str()) == 0 || Item->Caption() == Key) return Item;
    for (int32_t i = 0; i < Item->Count(); ++i)
        if (TMenuItem* found = FindMenuItem(Item->Items(i), Key)) return found;
    return nullptr;
}

TTreeView* FirstTree(TForm& Form) {
    for (int32_t i = 0; i < Form.ComponentCount(); ++i)
        if (auto* tree = dynamic_cast<TTreeView*>(Form.Components(i))) return tree;
    return nullptr;
}

template <class T>
T* Control(TForm& Form, const std::string& Name) {
    auto* c = dynamic_cast<T*>(Form.FindComponent(Name));
    if (!c) throw Exception("no such control: " + Name);
    return c;
}

}  // namespace

void TFormDriver::Arm() {
    FUi.OnModal([this](TForm& Form) { Drive(Form); });
}

void TFormDriver::Drive(TForm& Form) {
    FOut << THeadlessUi::Render(Form);
    FOut << "(commands: show, select, id, type, click, page, menu, key, close)\n";
    std::string line;
    // A modal form that was closed keeps showing until its loop ends; its modal result says so.
    auto open = [&] { return Form.Visible() && Form.ModalResult() == mrNone; };
    while (open() && std::getline(FIn, line)) {
        if (line.empty() || line[0] == '#') continue;
        FOut << "> " << line << "\n";
        size_t messages = FUi.Messages().size();
        try {
            if (!Execute(Form, line)) FOut << "? not understood: " << line << "\n";
        } catch (const Exception& e) {
            FOut << "? " << e.Message() << "\n";
        }
        for (size_t i = messages; i < FUi.Messages().size(); ++i)
            FOut << "[message] " << FUi.Messages()[i] << "\n";
    }
    if (open()) {
        FOut << THeadlessUi::Render(Form);
        FUi.CloseWindow(Form);
    }
    FOut << "[closed] " << Form.Caption() << "\n";
}

bool TFormDriver::Execute(TForm& Form, const std::string& Line) {
    std::istringstream in(Line);
    std::string verb;
    in >> verb;
    if (verb == "show") {
        FOut << THeadlessUi::Render(Form);
        return true;
    }
    if (verb == "select") {
        TTreeView* tree = FirstTree(Form);
        if (!tree) throw Exception("this form has no tree");
        std::string key = Rest(in);
        TTreeNode* target = nullptr;
        for (TTreeNode* n = tree->Items().GetFirstNode(); n && !target; n = n->GetNext())
            if (n->Text().rfind(key, 0) == 0) target = n;
        if (!target && !key.empty() && key.find_first_not_of("0123456789") == std::string::npos)
            target = tree->Items().Item(std::stoi(key));
        if (!target) throw Exception("no node " + key);
        FUi.Select(*tree, *target);
        return true;
    }
    if (verb == "type" || verb == "id") {
        std::string name = "_10edit";
        if (verb == "type") in >> name;
        FUi.Type(*Control<TCustomEdit>(Form, name), Rest(in));
        return true;
    }
    if (verb == "click") {
        FUi.Click(*Control<TControl>(Form, Rest(in)));
        return true;
    }
    if (verb == "page") {
        for (int32_t i = 0; i < Form.ComponentCount(); ++i)
            if (auto* nb = dynamic_cast<TTabbedNotebook*>(Form.Components(i))) {
                FUi.SelectPage(*nb, std::stoi(Rest(in)));
                return true;
            }
        throw Exception("this form has no notebook");
    }
    if (verb == "menu") {
        std::string key = Rest(in);
        TMenuItem* item = Form.Menu() ? FindMenuItem(Form.Menu()->Items(), key) : nullptr;
        if (!item) throw Exception("no menu command " + key);
        FUi.Choose(*item);
        return true;
    }
    if (verb == "key") {
        if (!FUi.PressShortCut(Form, static_cast<TShortCut>(std::stoi(Rest(in)))))
            FOut << "(no command has that short cut)\n";
        return true;
    }
    if (verb == "close") {
        FUi.CloseWindow(Form);
        return true;
    }
    return false;
}

}  // namespace designer
