// The headless back end's input: a person's clicks, typing and choices, handed to the
// controls' own operations.
#include "zk/host/forms/ComCtrls.h"
#include "zk/host/forms/Forms.h"
#include "zk/host/forms/StdCtrls.h"
#include "zk/host/forms/TabNotbk.h"
#include "zk/host/interfaces/headless/HeadlessUi.h"

using namespace zk::rtl;

namespace zk::forms {

namespace {

std::string NameOf(const TComponent& C) { return C.Name().empty() ? C.ClassName() : C.Name(); }

// A node a person can see: every ancestor is expanded.
bool NodeVisible(const TTreeNode& Node) {
    for (TTreeNode* p = Node.Parent(); p; p = p->Parent())
        if (!p->Expanded()) return false;
    return true;
}

void RequireActive(const TForm* Form, const std::string& What) {
    if (!Form || Form != Application.ActiveForm())
        throw EInvalidOperation("Cannot reach " + What + ": its form is not the active form");
}

}  // namespace

void THeadlessUi::RequireReachable(const TControl& Control) const {
    std::string name = NameOf(Control);
    if (!Control.Showing()) throw EInvalidOperation("Cannot reach " + name + ": it is not showing");
    RequireActive(GetParentForm(&Control), name);
    if (!Control.IsEnabled()) throw EInvalidOperation("Cannot reach " + name + ": it is disabled");
}

void THeadlessUi::Click(TControl& Control) {
    RequireReachable(Control);
    FLog.push_back("click " + NameOf(Control));
    Dispatch([&] { HeadlessPeer(Control)->Click(); });
}

void THeadlessUi::Select(TTreeView& Tree, TTreeNode& Node) {
    RequireReachable(Tree);
    if (Node.TreeView() != &Tree || !NodeVisible(Node))
        throw EInvalidOperation("Cannot reach node " + Node.Text() + " in " + NameOf(Tree));
    FLog.push_back("select " + NameOf(Tree) + " " + Node.Text());
    Dispatch([&] {
        Tree.SetSelected(&Node);
        Tree.Click();
    });
}

void THeadlessUi::Type(TCustomEdit& Edit, const std::string& Text) {
    RequireReachable(Edit);
    FLog.push_back("type " + NameOf(Edit) + " " + Text);
    if (Edit.ReadOnly()) return;
    Dispatch([&] { Edit.SetText(Text); });
}

void THeadlessUi::SelectPage(TTabbedNotebook& Notebook, int32_t Index) {
    RequireReachable(Notebook);
    if (Index < 0 || Index >= Notebook.PageCount())
        throw EInvalidOperation("Cannot reach page " + std::to_string(Index) + " of " +
                                NameOf(Notebook));
    FLog.push_back("page " + NameOf(Notebook) + " " + std::to_string(Index));
    Dispatch([&] { Notebook.SetPageIndex(Index); });
}

void THeadlessUi::Choose(TMenuItem& Item) {
    TMenu* menu = Item.GetParentMenu();
    RequireActive(menu ? menu->Window() : nullptr, NameOf(Item));
    for (const TMenuItem* i = &Item; i->Parent(); i = i->Parent())
        if (!i->Visible() || !i->Enabled())
            throw EInvalidOperation("Cannot reach " + NameOf(Item) + ": " + NameOf(*i) +
                                    " is hidden or disabled");
    FLog.push_back("choose " + NameOf(Item));
    Dispatch([&] { Item.Click(); });
}

bool THeadlessUi::PressShortCut(TForm& Form, TShortCut ShortCut) {
    RequireActive(&Form, NameOf(Form));
    FLog.push_back("key " + ShortCutToText(ShortCut));
    TMenuItem* item = Form.Menu() ? Form.Menu()->FindShortCut(ShortCut) : nullptr;
    if (!item) return false;
    Dispatch([&] { item->Click(); });
    return true;
}

void THeadlessUi::CloseWindow(TForm& Form) {
    RequireActive(&Form, NameOf(Form));
    FLog.push_back("close " + NameOf(Form));
    Dispatch([&] { Form.Close(); });
}

}  // namespace zk::forms
