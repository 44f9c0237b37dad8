#include "zk/host/forms/ComCtrls.h"

#include "zk/host/forms/Widgets.h"

using namespace zk::rtl;

namespace zk::forms {

const TClassInfo& TTreeView::StaticClass() {
    static const TClassInfo info = [] {
        TClassBuilder<TTreeView> b("TTreeView", &TWinControl::StaticClass());
        PublishAlign(b);
        b.Int("Indent", &TTreeView::Indent, &TTreeView::SetIndent, 19);
        b.Event("OnChange", &TTreeView::OnChange, &TTreeView::SetOnChange);
        b.Event("OnChanging", &TTreeView::OnChanging, &TTreeView::SetOnChanging);
        PublishOnClick(b);
        b.Event("OnDeletion", &TTreeView::OnDeletion, &TTreeView::SetOnDeletion);
        return b.Build();
    }();
    return info;
}

TTreeView::TTreeView(TComponent* AOwner) : TWinControl(AOwner), FItems(this) {
    SetBounds(0, 0, 121, 97);
}

TTreeView::~TTreeView() { FItems.Clear(); }

std::unique_ptr<TWSPeer> TTreeView::CreatePeer(TUiBackend& Ui) {
    return Ui.ComCtrls().CreateTreeView(*this);
}

void TTreeView::BeforeDestruction() {
    FItems.Clear();
    TWinControl::BeforeDestruction();
}

void TTreeView::SetSelected(TTreeNode* Node) {
    if (Node == FSelected) return;
    if (!CanChange(Node)) return;
    FSelected = Node;
    Changed();
    Change(Node);
}

bool TTreeView::CanChange(TTreeNode* Node) {
    bool allow = true;
    if (FOnChanging) FOnChanging(this, Node, allow);
    return allow;
}

void TTreeView::Change(TTreeNode* Node) {
    if (FOnChange) FOnChange(this, Node);
}

void TTreeView::Delete(TTreeNode* Node) {
    if (FOnDeletion) FOnDeletion(this, Node);
}

void TTreeView::NodeDeleting(TTreeNode* Node) {
    for (TTreeNode* n = FSelected; n; n = n->Parent())
        if (n == Node) {
            FSelected = nullptr;
            break;
        }
    Delete(Node);
}

void TTreeView::FullExpand() {
    FItems.BeginUpdate();
    for (TTreeNode* n = FItems.GetFirstNode(); n; n = n->GetNextSibling()) n->Expand(true);
    FItems.EndUpdate();
}

void TTreeView::FullCollapse() {
    FItems.BeginUpdate();
    for (TTreeNode* n = FItems.GetFirstNode(); n; n = n->GetNextSibling()) n->Collapse(true);
    FItems.EndUpdate();
}

void TTreeView::SetIndent(int32_t Value) {
    if (Value == FIndent) return;
    FIndent = Value;
    Changed();
}

}  // namespace zk::forms
