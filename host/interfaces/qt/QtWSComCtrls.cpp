// The Qt common controls: a QTreeWidget for the tree view, a tab bar over the pages for the
// notebook, and a spin box whose text is the control's text.
#include <QAbstractSpinBox>
#include <QFrame>
#include <QHeaderView>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTreeWidget>
#include <unordered_map>
#include <vector>

#include "zk/host/forms/ComCtrls.h"
#include "zk/host/forms/Spin.h"
#include "zk/host/forms/TabNotbk.h"
#include "zk/host/interfaces/qt/QtPeers.h"

namespace zk::forms {

namespace {

class TTreeViewPeer : public TQtControlPeer {
  public:
    TTreeViewPeer(TQtUi& Ui, TTreeView& Tree) : TQtControlPeer(Ui, Tree), FTree(Tree) {
        FView = new QTreeWidget;
        FView->setHeaderHidden(true);
        FView->setColumnCount(1);
        // A person moving the selection: the control decides (OnChanging may veto), and the
        // view then shows the control's selection.
        QObject::connect(FView, &QTreeWidget::currentItemChanged,
                         [this](QTreeWidgetItem* Current, QTreeWidgetItem*) {
                             if (FUpdating) return;
                             TTreeNode* node = NodeOf(Current);
                             std::weak_ptr<bool> alive = FAlive;
                             FUi.Dispatch([&] { FTree.SetSelected(node); });
                             if (!alive.expired() && *alive.lock()) Changed();
                         });
        QObject::connect(FView, &QTreeWidget::itemClicked,
                         [this](QTreeWidgetItem*, int) { FUi.Dispatch([&] { FTree.Click(); }); });
        QObject::connect(FView, &QTreeWidget::itemExpanded, [this](QTreeWidgetItem* Item) {
            if (TTreeNode* node = NodeOf(Item); node && !FUpdating)
                FUi.Dispatch([&] { node->SetExpanded(true); });
        });
        QObject::connect(FView, &QTreeWidget::itemCollapsed, [this](QTreeWidgetItem* Item) {
            if (TTreeNode* node = NodeOf(Item); node && !FUpdating)
                FUi.Dispatch([&] { node->SetExpanded(false); });
        });
        Attach(FView);
    }

  protected:
    void Update() override {
        QSignalBlocker block(FView);
        FView->setIndentation(FTree.Indent());
        std::vector<TTreeNode*> nodes;
        for (TTreeNode* n = FTree.Items().GetFirstNode(); n; n = n->GetNext()) nodes.push_back(n);
        // The same nodes in the same places: only texts and folds change.
        if (nodes != FNodes) Rebuild(nodes);
        for (size_t i = 0; i < FNodes.size(); ++i) {
            QString text = QStr(FNodes[i]->Text());
            if (FItems[i]->text(0) != text) FItems[i]->setText(0, text);
            FItems[i]->setExpanded(FNodes[i]->Expanded());
        }
        TTreeNode* selected = FTree.Selected();
        QTreeWidgetItem* current = nullptr;
        for (size_t i = 0; i < FNodes.size(); ++i)
            if (FNodes[i] == selected) current = FItems[i];
        if (FView->currentItem() != current) {
            if (current)
                FView->setCurrentItem(current);
            else
                FView->setCurrentItem(nullptr);
        }
        if (current) current->setSelected(true);
    }

  private:
    void Rebuild(const std::vector<TTreeNode*>& Nodes) {
        FView->clear();
        FNodes = Nodes;
        FItems.clear();
        FNodeOf.clear();
        std::unordered_map<TTreeNode*, QTreeWidgetItem*> itemOf;
        for (TTreeNode* n : Nodes) {
            QTreeWidgetItem* item = n->Parent() ? new QTreeWidgetItem(itemOf.at(n->Parent()))
                                                : new QTreeWidgetItem(FView);
            itemOf[n] = item;
            FItems.push_back(item);
            FNodeOf[item] = n;
        }
    }

    TTreeNode* NodeOf(QTreeWidgetItem* Item) const {
        auto it = FNodeOf.find(Item);
        return it == FNodeOf.end() ? nullptr : it->second;
    }

    TTreeView& FTree;
    QTreeWidget* FView;
    std::vector<TTreeNode*> FNodes;  // in GetNext order, as FItems
    std::vector<QTreeWidgetItem*> FItems;
    std::unordered_map<QTreeWidgetItem*, TTreeNode*> FNodeOf;
};

// The notebook: its tabs above a framed area; the pages lie on it at their own bounds.
class TNotebookPeer : public TQtControlPeer {
  public:
    TNotebookPeer(TQtUi& Ui, TTabbedNotebook& Notebook)
        : TQtControlPeer(Ui, Notebook), FNotebook(Notebook) {
        auto* widget = new QWidget;
        FFrame = new QFrame(widget);
        FFrame->setFrameStyle(QFrame::Panel | QFrame::Raised);
        FTabs = new QTabBar(widget);
        FTabs->setDrawBase(false);
        QObject::connect(FTabs, &QTabBar::currentChanged, [this](int Index) {
            if (FUpdating) return;
            std::weak_ptr<bool> alive = FAlive;
            FUi.Dispatch([&] { FNotebook.SetPageIndex(Index); });
            if (!alive.expired() && *alive.lock()) Changed();
        });
        Attach(widget);
    }

  protected:
    void Update() override {
        QSignalBlocker block(FTabs);
        std::vector<std::string> pages = FNotebook.Pages();
        while (FTabs->count() > static_cast<int>(pages.size()))
            FTabs->removeTab(FTabs->count() - 1);
        for (size_t i = 0; i < pages.size(); ++i) {
            int index = static_cast<int>(i);
            if (index >= FTabs->count()) FTabs->addTab(QString());
            FTabs->setTabText(index, QStr(pages[i]));
        }
        FTabs->setCurrentIndex(FNotebook.PageIndex());
        int tabHeight = 24;
        FTabs->setGeometry(2, 0, FNotebook.Width() - 4, tabHeight);
        FFrame->setGeometry(0, tabHeight - 2, FNotebook.Width(),
                            FNotebook.Height() - tabHeight + 2);
    }

  private:
    TTabbedNotebook& FNotebook;
    QTabBar* FTabs;
    QFrame* FFrame;
};

// A page shows only while it is the active one.
class TTabPagePeer : public TQtControlPeer {
  public:
    TTabPagePeer(TQtUi& Ui, TTabPage& Page) : TQtControlPeer(Ui, Page) { Attach(new QWidget); }

  protected:
    bool ShouldShow() const override { return FControl.Showing(); }
};

// A spin box that accepts any text, as the control keeps what a person types.
class TSpinBox : public QAbstractSpinBox {
  public:
    std::function<void(int)> OnStep;
    QLineEdit* Line() const { return lineEdit(); }
    void stepBy(int Steps) override {
        if (OnStep) OnStep(Steps);
    }

  protected:
    StepEnabled stepEnabled() const override { return StepUpEnabled | StepDownEnabled; }
    QValidator::State validate(QString&, int&) const override { return QValidator::Acceptable; }
};

class TSpinEditPeer : public TQtControlPeer {
  public:
    TSpinEditPeer(TQtUi& Ui, TSpinEdit& Spin) : TQtControlPeer(Ui, Spin), FSpin(Spin) {
        FBox = new TSpinBox;
        QObject::connect(FBox->Line(), &QLineEdit::textEdited, [this](const QString& Text) {
            FUi.Dispatch([&] { FSpin.SetText(StdStr(Text)); });
        });
        FBox->OnStep = [this](int Steps) {
            if (FSpin.ReadOnly()) return;
            FUi.Dispatch([&] { FSpin.SetValue(FSpin.Value() + Steps * FSpin.Increment()); });
        };
        Attach(FBox);
    }

  protected:
    void Update() override {
        if (FBox->Line()->text() != QStr(FSpin.Text())) FBox->Line()->setText(QStr(FSpin.Text()));
        FBox->setReadOnly(FSpin.ReadOnly());
    }

  private:
    TSpinEdit& FSpin;
    TSpinBox* FBox;
};

}  // namespace

TWSPeerPtr TQtWSComCtrls::CreateTreeView(TTreeView& Tree) {
    return std::make_unique<TTreeViewPeer>(FUi, Tree);
}

TWSPeerPtr TQtWSComCtrls::CreateTabbedNotebook(TTabbedNotebook& Notebook) {
    return std::make_unique<TNotebookPeer>(FUi, Notebook);
}

TWSPeerPtr TQtWSComCtrls::CreateTabPage(TTabPage& Page) {
    return std::make_unique<TTabPagePeer>(FUi, Page);
}

TWSPeerPtr TQtWSComCtrls::CreateSpinEdit(TSpinEdit& SpinEdit) {
    return std::make_unique<TSpinEditPeer>(FUi, SpinEdit);
}

}  // namespace zk::forms
