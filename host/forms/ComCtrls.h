// The tree view: TTreeView with its node list TTreeNodes and the nodes, TTreeNode.
//
// Nodes belong to their tree's node list and are deleted by it, each with an OnDeletion event
// first (the node still whole, its children still attached); a node's Data is the caller's,
// never released by the tree. The tree deletes its nodes while the form that owns it is still
// whole (in BeforeDestruction, see TObject::Free), so an OnDeletion handler of that form may
// release what the nodes carry.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "zk/host/forms/Controls.h"

namespace zk::forms {

class TTreeNodes;
class TTreeView;

// Raised for a node index out of range.
class ETreeViewError : public rtl::Exception {
  public:
    using Exception::Exception;
};

class TTreeNode : public rtl::TPersistent {
    ZK_CLASS(TTreeNode)
  public:
    TTreeNodes* Owner() const { return FOwner; }
    TTreeView* TreeView() const;

    const std::string& Text() const { return FText; }
    void SetText(const std::string& Value);
    void* Data() const { return FData; }
    void SetData(void* Value) { FData = Value; }

    TTreeNode* Parent() const { return FParent; }
    // Number of direct children, and the child at Index (0-based; raises ETreeViewError).
    int32_t Count() const { return static_cast<int32_t>(FChildren.size()); }
    TTreeNode* Item(int32_t Index) const;
    bool HasChildren() const { return !FChildren.empty(); }
    // Position among its siblings; depth (0 for a root node).
    int32_t Index() const;
    int32_t Level() const;

    TTreeNode* GetFirstChild() const;
    TTreeNode* GetLastChild() const;
    TTreeNode* GetNextSibling() const;
    TTreeNode* GetPrevSibling() const;
    // The next node in pre-order: the first child, else the next sibling, else the next
    // sibling of the nearest ancestor that has one; null after the last node.
    TTreeNode* GetNext() const;

    // Expanded: the children are shown. Expand and Collapse do the same, optionally for all
    // descendants too.
    bool Expanded() const { return FExpanded; }
    void SetExpanded(bool Value);
    void Expand(bool Recurse);
    void Collapse(bool Recurse);

    // True when this is the tree's selected node.
    bool Selected() const;
    // Deletes this node and its children.
    void Delete();

  private:
    friend class TTreeNodes;
    TTreeNode(TTreeNodes* AOwner, TTreeNode* AParent) : FOwner(AOwner), FParent(AParent) {}
    std::vector<TTreeNode*>& Siblings() const;

    TTreeNodes* FOwner;
    TTreeNode* FParent;
    std::string FText;
    void* FData = nullptr;
    bool FExpanded = false;
    // Where it stands among its siblings, kept as nodes come and go: walking a tree of many
    // thousands of nodes asks every node for it.
    size_t FIndex = 0;
    std::vector<TTreeNode*> FChildren;
};

class TTreeNodes : public rtl::TPersistent {
    ZK_CLASS(TTreeNodes)
  public:
    explicit TTreeNodes(TTreeView* AOwner) : FOwner(AOwner) {}
    // Deletes the nodes left, without events (the tree fired them already).
    ~TTreeNodes() override;

    TTreeView* Owner() const { return FOwner; }
    // Number of nodes at every level.
    int32_t Count() const { return FCount; }
    // The node at Index in GetNext order (0 is the first root node); raises ETreeViewError.
    TTreeNode* Item(int32_t Index) const;
    // The first root node; null when the tree is empty.
    TTreeNode* GetFirstNode() const;

    // A new last sibling of Sibling (a new last root node when Sibling is null).
    TTreeNode* Add(TTreeNode* Sibling, const std::string& S);
    TTreeNode* AddObject(TTreeNode* Sibling, const std::string& S, void* Ptr);
    // A new last child of Parent (a new last root node when Parent is null).
    TTreeNode* AddChild(TTreeNode* Parent, const std::string& S);
    TTreeNode* AddChildObject(TTreeNode* Parent, const std::string& S, void* Ptr);

    // Deletes Node and its descendants, OnDeletion for each, the node before its children. A
    // deleted selected node leaves the tree with no selection, without selection events.
    void Delete(TTreeNode* Node);
    // Deletes every node, in GetNext order of the roots.
    void Clear();

    // Between BeginUpdate and the matching EndUpdate, the back end is told of changes once, at
    // the end.
    void BeginUpdate();
    void EndUpdate();
    bool Updating() const { return FUpdateCount > 0; }

  private:
    friend class TTreeNode;
    TTreeNode* Insert(TTreeNode* Parent, const std::string& S, void* Ptr);
    // Deletes every node of List, each before its children, the first first.
    void DeleteAll(std::vector<TTreeNode*>& List);
    void Changed();

    TTreeView* FOwner;
    std::vector<TTreeNode*> FRoots;
    int32_t FCount = 0;
    int32_t FUpdateCount = 0;
};

// OnChanging: Node is to become selected; setting AllowChange false keeps the old selection.
using TTVChangingEvent = rtl::TEvent<rtl::TObject*, TTreeNode*, bool&>;
// OnChange: Node has become selected.
using TTVChangedEvent = rtl::TEvent<rtl::TObject*, TTreeNode*>;
// OnDeletion (and expansion events): the node concerned.
using TTVExpandedEvent = rtl::TEvent<rtl::TObject*, TTreeNode*>;

class TTreeView : public TWinControl {
    ZK_CLASS(TTreeView)
  public:
    explicit TTreeView(TComponent* AOwner);
    // Deletes the nodes still there, with OnDeletion for each.
    ~TTreeView() override;
    std::unique_ptr<TWSPeer> CreatePeer(TUiBackend& Ui) override;

    TTreeNodes& Items() { return FItems; }
    const TTreeNodes& Items() const { return FItems; }

    TTreeNode* Selected() const { return FSelected; }
    // Selects Node (null: no node). OnChanging fires first, while Selected is still the old
    // node, and may veto; then the selection changes and OnChange fires. Nothing for the node
    // already selected.
    void SetSelected(TTreeNode* Node);

    // Expands or collapses every node.
    void FullExpand();
    void FullCollapse();

    // Horizontal step per level, in pixels.
    int32_t Indent() const { return FIndent; }
    void SetIndent(int32_t Value);

    const TTVChangingEvent& OnChanging() const { return FOnChanging; }
    void SetOnChanging(TTVChangingEvent Value) { FOnChanging = std::move(Value); }
    const TTVChangedEvent& OnChange() const { return FOnChange; }
    void SetOnChange(TTVChangedEvent Value) { FOnChange = std::move(Value); }
    const TTVExpandedEvent& OnDeletion() const { return FOnDeletion; }
    void SetOnDeletion(TTVExpandedEvent Value) { FOnDeletion = std::move(Value); }

  protected:
    // The event hooks: OnChanging's answer, OnChange, OnDeletion.
    virtual bool CanChange(TTreeNode* Node);
    virtual void Change(TTreeNode* Node);
    virtual void Delete(TTreeNode* Node);
    // Deletes every node while the owner is whole.
    void BeforeDestruction() override;

  private:
    friend class TTreeNodes;
    friend class TTreeNode;
    // For the node list: a node is being deleted.
    void NodeDeleting(TTreeNode* Node);
    void NodesChanged() { Changed(); }

    TTreeNodes FItems;
    TTreeNode* FSelected = nullptr;
    int32_t FIndent = 19;
    TTVChangingEvent FOnChanging;
    TTVChangedEvent FOnChange;
    TTVExpandedEvent FOnDeletion;
};

}  // namespace zk::forms
