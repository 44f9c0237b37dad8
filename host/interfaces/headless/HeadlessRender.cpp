// The headless back end's picture of a form: what a person would see, as indented text lines,
// each control drawn by its own headless peer.
#include "zk/host/forms/Forms.h"
#include "zk/host/forms/Menus.h"
#include "zk/host/interfaces/headless/HeadlessPeers.h"
#include "zk/host/interfaces/headless/HeadlessUi.h"

namespace zk::forms {

namespace {

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

}  // namespace

std::string THeadlessUi::Render(const TForm& Form) {
    std::string out = Form.ClassName() + " \"" + Form.Caption() + "\"\n";
    if (Form.Menu()) out += "  menu: " + MenuText(*Form.Menu()->Items()) + "\n";
    std::string controls;
    HeadlessPeer(Form)->Render("", controls);
    // The form's own line is the caption above.
    out += controls.substr(controls.find('\n') + 1);
    return out;
}

}  // namespace zk::forms
