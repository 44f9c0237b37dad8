#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "zk/host/forms/ComCtrls.h"
#include "zk/host/forms/Forms.h"
#include "tests/support/Namespaces.h"

namespace {

std::vector<std::string> gDeleted;  // outlives the form, so destruction can be checked

// A form owning a tree, with handlers that log what they see.
class TTreeHost : public TForm {
  public:
    TTreeHost() : TForm(nullptr), Tree(new TTreeView(this)) {
        SetName("TreeHost");
        Tree->SetName("tv1");
        Tree->SetParent(this);
        Tree->SetOnChanging(TTVChangingEvent::Bind(this, &TTreeHost::Changing));
        Tree->SetOnChange(TTVChangedEvent::Bind(this, &TTreeHost::Change));
        Tree->SetOnDeletion(TTVExpandedEvent::Bind(this, &TTreeHost::Deletion));
    }

    TTreeView* Tree;
    std::vector<std::string> Log;
    bool Veto = false;

    static std::string TextOf(const TTreeNode* n) { return n ? n->Text() : "(none)"; }

    void Changing(TObject*, TTreeNode* Node, bool& AllowChange) {
        Log.push_back("changing " + TextOf(Tree->Selected()) + " -> " + TextOf(Node));
        if (Veto) AllowChange = false;
    }
    void Change(TObject*, TTreeNode* Node) {
        Log.push_back("change " + TextOf(Node) + " selected " + TextOf(Tree->Selected()));
    }
    // Releases the node's record, as a form does that hangs data on its nodes.
    void Deletion(TObject*, TTreeNode* Node) {
        gDeleted.push_back(Name() + ":" + Node->Text());
        delete static_cast<int*>(Node->Data());
        Node->SetData(nullptr);
    }

    // root
    //   a
    //     a1
    //     a2
    //   b
    // second
    void Fill() {
        TTreeNodes& items = Tree->Items();
        TTreeNode* root = items.AddObject(nullptr, "root", new int(0));
        TTreeNode* a = items.AddChildObject(root, "a", new int(1));
        items.AddChildObject(a, "a1", new int(11));
        items.AddChildObject(a, "a2", new int(12));
        items.AddChildObject(root, "b", new int(2));
        items.AddObject(root, "second", new int(3));
    }
};

class TreeViewTest : public ::testing::Test {
  protected:
    void SetUp() override { gDeleted.clear(); }
    void TearDown() override { TObject::Free(Host); }
    TTreeHost* Host = new TTreeHost;
    TTreeNodes& Items() { return Host->Tree->Items(); }
};

std::vector<std::string> PreOrder(TTreeNodes& Items) {
    std::vector<std::string> texts;
    for (TTreeNode* n = Items.GetFirstNode(); n; n = n->GetNext()) texts.push_back(n->Text());
    return texts;
}

TEST_F(TreeViewTest, GetNextVisitsNodeThenChildrenThenNextSibling) {
    Host->Fill();
    EXPECT_EQ(PreOrder(Items()),
              (std::vector<std::string>{"root", "a", "a1", "a2", "b", "second"}));
    EXPECT_EQ(Items().Count(), 6);
    // Item(i) counts in the same order.
    EXPECT_EQ(Items().Item(0)->Text(), "root");
    EXPECT_EQ(Items().Item(3)->Text(), "a2");
    EXPECT_EQ(Items().Item(5)->Text(), "second");
    EXPECT_THROW(Items().Item(6), ETreeViewError);
    EXPECT_THROW(Items().Item(-1), ETreeViewError);
}

TEST_F(TreeViewTest, AddObjectWithASiblingAddsAtThatSiblingsLevel) {
    Host->Fill();
    TTreeNode* a1 = Items().Item(2);
    TTreeNode* a3 = Items().Add(a1, "a3");
    EXPECT_EQ(a3->Parent()->Text(), "a");
    EXPECT_EQ(a3->Index(), 2);
    EXPECT_EQ(a3->Level(), 2);
    TTreeNode* top = Items().AddChild(nullptr, "third");
    EXPECT_EQ(top->Parent(), nullptr);
    EXPECT_EQ(PreOrder(Items()).back(), "third");
    EXPECT_EQ(*static_cast<int*>(Items().GetFirstNode()->Data()), 0);
}

TEST_F(TreeViewTest, NodeRelationsAnswerParentsCountsAndSiblings) {
    Host->Fill();
    TTreeNode* root = Items().GetFirstNode();
    EXPECT_EQ(root->Count(), 2);
    EXPECT_EQ(root->Item(1)->Text(), "b");
    EXPECT_EQ(root->GetFirstChild()->Text(), "a");
    EXPECT_EQ(root->GetLastChild()->Text(), "b");
    EXPECT_EQ(root->Item(1)->GetPrevSibling()->Text(), "a");
    EXPECT_EQ(root->GetNextSibling()->Text(), "second");
    EXPECT_EQ(root->GetPrevSibling(), nullptr);
    EXPECT_THROW(root->Item(2), ETreeViewError);
    EXPECT_EQ(Items().Item(5)->GetNext(), nullptr);
}

TEST_F(TreeViewTest, OnChangingFiresWhileTheOldNodeIsStillSelected) {
    Host->Fill();
    TTreeNode* root = Items().GetFirstNode();
    TTreeNode* b = root->Item(1);
    Host->Tree->SetSelected(root);
    Host->Tree->SetSelected(b);
    EXPECT_EQ(Host->Log,
              (std::vector<std::string>{"changing (none) -> root", "change root selected root",
                                        "changing root -> b", "change b selected b"}));
    EXPECT_TRUE(b->Selected());
    EXPECT_FALSE(root->Selected());
}

TEST_F(TreeViewTest, VetoKeepsTheOldSelectionAndFiresNoChange) {
    Host->Fill();
    TTreeNode* root = Items().GetFirstNode();
    Host->Tree->SetSelected(root);
    Host->Log.clear();
    Host->Veto = true;
    Host->Tree->SetSelected(root->Item(0));
    EXPECT_EQ(Host->Tree->Selected(), root);
    EXPECT_EQ(Host->Log, (std::vector<std::string>{"changing root -> a"}));
}

TEST_F(TreeViewTest, SelectingTheSelectedNodeAgainFiresNothing) {
    Host->Fill();
    Host->Tree->SetSelected(Items().GetFirstNode());
    Host->Log.clear();
    Host->Tree->SetSelected(Items().GetFirstNode());
    EXPECT_TRUE(Host->Log.empty());
}

TEST_F(TreeViewTest, DeletingANodeReportsItBeforeEachOfItsChildren) {
    Host->Fill();
    Items().Item(1)->Delete();  // "a"
    EXPECT_EQ(gDeleted, (std::vector<std::string>{"TreeHost:a", "TreeHost:a1", "TreeHost:a2"}));
    EXPECT_EQ(PreOrder(Items()), (std::vector<std::string>{"root", "b", "second"}));
    EXPECT_EQ(Items().Count(), 3);
}

TEST_F(TreeViewTest, DeletingTheSelectedBranchLeavesNoSelection) {
    Host->Fill();
    Host->Tree->SetSelected(Items().Item(2));  // a1
    Host->Log.clear();
    Items().Delete(Items().Item(1));  // a, parent of a1
    EXPECT_EQ(Host->Tree->Selected(), nullptr);
    EXPECT_TRUE(Host->Log.empty());
}

TEST_F(TreeViewTest, ClearReportsEveryNodeAndEmptiesTheTree) {
    Host->Fill();
    Items().BeginUpdate();
    Items().Clear();
    Items().EndUpdate();
    EXPECT_EQ(gDeleted.size(), 6u);
    EXPECT_EQ(Items().Count(), 0);
    EXPECT_EQ(Items().GetFirstNode(), nullptr);
    EXPECT_THROW(Items().Item(0), ETreeViewError);
}

TEST_F(TreeViewTest, FreeingTheFormReportsEveryNodeWhileTheFormIsWhole) {
    Host->Fill();
    TObject::Free(Host);
    Host = nullptr;
    // The handler ran as a method of the form (its name still readable) for all six nodes; the
    // records it released leave nothing behind for the leak checker.
    EXPECT_EQ(gDeleted, (std::vector<std::string>{"TreeHost:root", "TreeHost:a", "TreeHost:a1",
                                                  "TreeHost:a2", "TreeHost:b", "TreeHost:second"}));
}

TEST_F(TreeViewTest, FullExpandOpensEveryLevel) {
    Host->Fill();
    Host->Tree->FullExpand();
    for (TTreeNode* n = Items().GetFirstNode(); n; n = n->GetNext())
        EXPECT_TRUE(n->Expanded() || !n->HasChildren()) << n->Text();
    EXPECT_TRUE(Items().Item(1)->Expanded());
    Host->Tree->FullCollapse();
    EXPECT_FALSE(Items().Item(1)->Expanded());
}

}  // namespace
