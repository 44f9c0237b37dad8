// TTreeNode and TTreeNodes: the node structure of the tree view.
#include <algorithm>

#include "zk/host/forms/ComCtrls.h"

namespace zk::forms {

ZK_IMPLEMENT_CLASS(TTreeNode, TPersistent)
ZK_IMPLEMENT_CLASS(TTreeNodes, TPersistent)

namespace {

[[noreturn]] void OutOfBounds(int32_t Index) {
    throw ETreeViewError("List index out of bounds (" + std::to_string(Index) + ")");
}

}  // namespace

// --- TTreeNode ---------------------------------------------------------------------------------

TTreeView* TTreeNode::TreeView() const { return FOwner->Owner(); }

void TTreeNode::SetText(const std::string& Value) {
    if (Value == FText) return;
    FText = Value;
    FOwner->Changed();
}

TTreeNode* TTreeNode::Item(int32_t Index) const {
    if (Index < 0 || Index >= Count()) OutOfBounds(Index);
    return FChildren[static_cast<size_t>(Index)];
}

std::vector<TTreeNode*>& TTreeNode::Siblings() const {
    return FParent ? FParent->FChildren : FOwner->FRoots;
}

int32_t TTreeNode::Index() const {
    const auto& list = Siblings();
    if (FIndex < list.size() && list[FIndex] == this) return static_cast<int32_t>(FIndex);
    // Only a node whose siblings are being deleted with it is no longer in their list.
    return static_cast<int32_t>(std::find(list.begin(), list.end(), this) - list.begin());
}

int32_t TTreeNode::Level() const {
    int32_t level = 0;
    for (TTreeNode* p = FParent; p; p = p->FParent) ++level;
    return level;
}

TTreeNode* TTreeNode::GetFirstChild() const {
    return FChildren.empty() ? nullptr : FChildren.front();
}

TTreeNode* TTreeNode::GetLastChild() const {
    return FChildren.empty() ? nullptr : FChildren.back();
}

TTreeNode* TTreeNode::GetNextSibling() const {
    const auto& list = Siblings();
    size_t i = static_cast<size_t>(Index());
    return i + 1 < list.size() ? list[i + 1] : nullptr;
}

TTreeNode* TTreeNode::GetPrevSibling() const {
    int32_t i = Index();
    return i > 0 ? Siblings()[static_cast<size_t>(i - 1)] : nullptr;
}

TTreeNode* TTreeNode::GetNext() const {
    if (!FChildren.empty()) return FChildren.front();
    for (const TTreeNode* n = this; n; n = n->FParent)
        if (TTreeNode* next = n->GetNextSibling()) return next;
    return nullptr;
}

void TTreeNode::SetExpanded(bool Value) {
    if (Value == FExpanded) return;
    FExpanded = Value;
    FOwner->Changed();
}

void TTreeNode::Expand(bool Recurse) {
    SetExpanded(true);
    if (Recurse)
        for (TTreeNode* c : FChildren) c->Expand(true);
}

void TTreeNode::Collapse(bool Recurse) {
    SetExpanded(false);
    if (Recurse)
        for (TTreeNode* c : FChildren) c->Collapse(true);
}

bool TTreeNode::Selected() const { return TreeView()->Selected() == this; }

void TTreeNode::Delete() { FOwner->Delete(this); }

// --- TTreeNodes --------------------------------------------------------------------------------

TTreeNodes::~TTreeNodes() {
    auto release = [](auto& self, TTreeNode* n) -> void {
        for (TTreeNode* c : n->FChildren) self(self, c);
        delete n;
    };
    for (TTreeNode* n : FRoots) release(release, n);
}

TTreeNode* TTreeNodes::Item(int32_t Index) const {
    if (Index < 0 || Index >= FCount) OutOfBounds(Index);
    TTreeNode* n = GetFirstNode();
    for (int32_t i = 0; i < Index; ++i) n = n->GetNext();
    return n;
}

TTreeNode* TTreeNodes::GetFirstNode() const { return FRoots.empty() ? nullptr : FRoots.front(); }

TTreeNode* TTreeNodes::Insert(TTreeNode* Parent, const std::string& S, void* Ptr) {
    auto* node = new TTreeNode(this, Parent);
    node->FText = S;
    node->FData = Ptr;
    std::vector<TTreeNode*>& list = Parent ? Parent->FChildren : FRoots;
    node->FIndex = list.size();
    list.push_back(node);
    ++FCount;
    Changed();
    return node;
}

TTreeNode* TTreeNodes::Add(TTreeNode* Sibling, const std::string& S) {
    return AddObject(Sibling, S, nullptr);
}

TTreeNode* TTreeNodes::AddObject(TTreeNode* Sibling, const std::string& S, void* Ptr) {
    return Insert(Sibling ? Sibling->FParent : nullptr, S, Ptr);
}

TTreeNode* TTreeNodes::AddChild(TTreeNode* Parent, const std::string& S) {
    return AddChildObject(Parent, S, nullptr);
}

TTreeNode* TTreeNodes::AddChildObject(TTreeNode* Parent, const std::string& S, void* Ptr) {
    return Insert(Parent, S, Ptr);
}

void TTreeNodes::Delete(TTreeNode* Node) {
    if (!Node) return;
    BeginUpdate();
    FOwner->NodeDeleting(Node);
    DeleteAll(Node->FChildren);
    std::vector<TTreeNode*>& siblings = Node->Siblings();
    size_t at = static_cast<size_t>(Node->Index());
    siblings.erase(siblings.begin() + static_cast<std::ptrdiff_t>(at));
    for (size_t i = at; i < siblings.size(); ++i) siblings[i]->FIndex = i;
    --FCount;
    delete Node;
    EndUpdate();
}

void TTreeNodes::DeleteAll(std::vector<TTreeNode*>& List) {
    // Taken out of the list as a whole: removing nodes one by one from its front would cost
    // the square of their number.
    std::vector<TTreeNode*> nodes = std::move(List);
    List.clear();
    for (TTreeNode* n : nodes) {
        FOwner->NodeDeleting(n);
        DeleteAll(n->FChildren);
        --FCount;
        delete n;
    }
}

void TTreeNodes::Clear() {
    BeginUpdate();
    DeleteAll(FRoots);
    EndUpdate();
}

void TTreeNodes::BeginUpdate() { ++FUpdateCount; }

void TTreeNodes::EndUpdate() {
    if (FUpdateCount > 0 && --FUpdateCount == 0) Changed();
}

void TTreeNodes::Changed() {
    if (FUpdateCount == 0) FOwner->NodesChanged();
}

}  // namespace zk::forms
