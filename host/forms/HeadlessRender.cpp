// The headless back end's picture of a form: what a person would see, as indented text lines.
#include "host/forms/ComCtrls.h"
#include "host/forms/Forms.h"
#include "host/forms/HeadlessUi.h"
#include "host/forms/Menus.h"
#include "host/forms/Spin.h"
#include "host/forms/StdCtrls.h"
#include "host/forms/TabNotbk.h"

namespace zk::forms {

namespace {

std::string Quoted(const std::string& S) { return "\"" + S + "\""; }

std::string MenuText(const TMenuItem& Parent) {
    std::string out;
    for (int32_t i = 0; i < Parent.Count(); ++i) {
        const TMenuItem* item = Parent.Items(i);
        if (!item->Visible()) continue;
        if (!out.empty()) out += ", ";
        out += item->Caption();
        if (item->ShortCut()) out += " (" + ShortCutToText(item->ShortCut()) + ")";
        if (item->Checked()) out += " [x]";
        if (!item->Enabled()) out += " disabled";
        if (item->Count() > 0) out += " {" + MenuText(*item) + "}";
    }
    return out;
}

// The line of one control: class, name, then what it shows.
std::string ControlLine(const TControl& C) {
    std::string line = C.ClassName() + " " + C.Name();
    if (auto* box = dynamic_cast<const TCheckBox*>(&C))
        line += std::string(box->Checked() ? " [x] " : " [ ] ") + Quoted(box->Caption());
    else if (auto* memo = dynamic_cast<const TMemo*>(&C))
        line += memo->ReadOnly() ? " read-only" : "";
    else if (auto* edit = dynamic_cast<const TCustomEdit*>(&C))
        line += " " + Quoted(edit->Text()) + (edit->ReadOnly() ? " read-only" : "");
    else if (auto* notebook = dynamic_cast<const TTabbedNotebook*>(&C)) {
        std::vector<std::string> pages = notebook->Pages();
        for (size_t i = 0; i < pages.size(); ++i)
            line += static_cast<int32_t>(i) == notebook->PageIndex() ? " [" + pages[i] + "]"
                                                                     : " " + pages[i];
    } else if (GetPropInfo(&C, "Caption"))
        line += " " + Quoted(C.Caption());
    if (!C.Enabled()) line += " disabled";
    return line;
}

void RenderNodes(const TTreeView& Tree, const TTreeNode* First, const std::string& Indent,
                 std::string& Out) {
    for (const TTreeNode* n = First; n; n = n->GetNextSibling()) {
        std::string mark = n == Tree.Selected() ? "* " : "  ";
        std::string fold = n->HasChildren() ? (n->Expanded() ? "- " : "+ ") : "";
        Out += Indent + mark + fold + n->Text() + "\n";
        if (n->Expanded()) RenderNodes(Tree, n->GetFirstChild(), Indent + "  ", Out);
    }
}

void RenderChildren(const TWinControl& Parent, const std::string& Indent, std::string& Out) {
    for (int32_t i = 0; i < Parent.ControlCount(); ++i) {
        const TControl* c = Parent.Controls(i);
        if (!c->Showing()) continue;
        // A page is the notebook's inside: its controls show as the notebook's own.
        if (dynamic_cast<const TTabPage*>(c)) {
            RenderChildren(static_cast<const TWinControl&>(*c), Indent, Out);
            continue;
        }
        Out += Indent + ControlLine(*c) + "\n";
        if (auto* memo = dynamic_cast<const TMemo*>(c))
            for (const std::string& line : memo->Lines()) Out += Indent + "  | " + line + "\n";
        if (auto* tree = dynamic_cast<const TTreeView*>(c))
            RenderNodes(*tree, tree->Items().GetFirstNode(), Indent + "  ", Out);
        if (auto* win = dynamic_cast<const TWinControl*>(c))
            RenderChildren(*win, Indent + "  ", Out);
    }
}

}  // namespace

std::string THeadlessUi::Render(const TForm& Form) {
    std::string out = Form.ClassName() + " " + Quoted(Form.Caption()) + "\n";
    if (Form.Menu()) out += "  menu: " + MenuText(*Form.Menu()->Items()) + "\n";
    RenderChildren(Form, "  ", out);
    return out;
}

}  // namespace zk::forms
