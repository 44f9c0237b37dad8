// The headless common controls: the tree's visible nodes with the selected one marked, the
// notebook's tabs with only the active page's controls, and the spin edit's text.
#include "zk/host/forms/ComCtrls.h"
#include "zk/host/forms/Spin.h"
#include "zk/host/forms/TabNotbk.h"
#include "zk/host/interfaces/headless/HeadlessPeers.h"

namespace zk::forms {

namespace {

class TTreeViewPeer : public THeadlessWinControlPeer {
  public:
    explicit TTreeViewPeer(TTreeView& Tree) : THeadlessWinControlPeer(Tree), FTree(Tree) {}

  protected:
    void RenderContent(const std::string& Indent, std::string& Out) const override {
        RenderNodes(FTree.Items().GetFirstNode(), Indent, Out);
        THeadlessWinControlPeer::RenderContent(Indent, Out);
    }

  private:
    void RenderNodes(const TTreeNode* First, const std::string& Indent, std::string& Out) const {
        for (const TTreeNode* n = First; n; n = n->GetNextSibling()) {
            std::string mark = n == FTree.Selected() ? "* " : "  ";
            std::string fold = n->HasChildren() ? (n->Expanded() ? "- " : "+ ") : "";
            Out += Indent + mark + fold + n->Text() + "\n";
            if (n->Expanded()) RenderNodes(n->GetFirstChild(), Indent + "  ", Out);
        }
    }

    TTreeView& FTree;
};

class TNotebookPeer : public THeadlessWinControlPeer {
  public:
    explicit TNotebookPeer(TTabbedNotebook& Notebook)
        : THeadlessWinControlPeer(Notebook), FNotebook(Notebook) {}

  protected:
    std::string Shows() const override {
        std::string tabs;
        std::vector<std::string> pages = FNotebook.Pages();
        for (size_t i = 0; i < pages.size(); ++i)
            tabs += static_cast<int32_t>(i) == FNotebook.PageIndex() ? " [" + pages[i] + "]"
                                                                     : " " + pages[i];
        return tabs;
    }

  private:
    TTabbedNotebook& FNotebook;
};

// A page is the notebook's inside: its controls show as the notebook's own.
class TTabPagePeer : public THeadlessWinControlPeer {
  public:
    explicit TTabPagePeer(TTabPage& Page) : THeadlessWinControlPeer(Page) {}
    void Render(const std::string& Indent, std::string& Out) const override {
        RenderContent(Indent, Out);
    }
};

class TSpinEditPeer : public THeadlessWinControlPeer {
  public:
    explicit TSpinEditPeer(TSpinEdit& Spin) : THeadlessWinControlPeer(Spin), FSpin(Spin) {}

  protected:
    std::string Shows() const override {
        return " \"" + FSpin.Text() + "\"" + (FSpin.ReadOnly() ? " read-only" : "");
    }

  private:
    TSpinEdit& FSpin;
};

}  // namespace

TWSPeerPtr THeadlessWSComCtrls::CreateTreeView(TTreeView& Tree) {
    return std::make_unique<TTreeViewPeer>(Tree);
}

TWSPeerPtr THeadlessWSComCtrls::CreateTabbedNotebook(TTabbedNotebook& Notebook) {
    return std::make_unique<TNotebookPeer>(Notebook);
}

TWSPeerPtr THeadlessWSComCtrls::CreateTabPage(TTabPage& Page) {
    return std::make_unique<TTabPagePeer>(Page);
}

TWSPeerPtr THeadlessWSComCtrls::CreateSpinEdit(TSpinEdit& SpinEdit) {
    return std::make_unique<TSpinEditPeer>(SpinEdit);
}

}  // namespace zk::forms
