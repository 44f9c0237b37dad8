// A person at the screen, on either back end: the headless one takes the input through its own
// operations, the Qt one as real mouse clicks and key presses on the widgets.
#pragma once

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QTabBar>
#include <QTest>
#include <QTreeWidget>
#include <functional>
#include <memory>
#include <string>

#include "zk/host/forms/ComCtrls.h"
#include "zk/host/forms/StdCtrls.h"
#include "zk/host/forms/Menus.h"
#include "zk/host/forms/TabNotbk.h"
#include "zk/host/interfaces/headless/HeadlessUi.h"
#include "zk/host/interfaces/qt/QtUi.h"
#include "tests/support/Namespaces.h"

namespace zktest {

class Person {
  public:
    virtual ~Person() = default;
    virtual TUiBackend& Backend() = 0;
    virtual void OnModal(std::function<void(TForm&)> Script) = 0;
    virtual void Select(TTreeView& Tree, TTreeNode& Node) = 0;
    virtual void Type(TCustomEdit& Edit, const std::string& Text) = 0;
    virtual void Click(TControl& Control) = 0;
    virtual void SelectPage(TTabbedNotebook& Notebook, int Index) = 0;
    virtual void Choose(TMenuItem& Item) = 0;
    virtual void PressF1(TForm& Form) = 0;
    // The next message box is read and closed.
    virtual void ExpectMessage() = 0;
    virtual std::vector<std::string> Messages() = 0;
    // "file jump" for each help jump.
    virtual std::vector<std::string> HelpJumps() = 0;
};

class HeadlessPerson : public Person {
  public:
    TUiBackend& Backend() override { return Ui; }
    void OnModal(std::function<void(TForm&)> Script) override { Ui.OnModal(std::move(Script)); }
    void Select(TTreeView& Tree, TTreeNode& Node) override { Ui.Select(Tree, Node); }
    void Type(TCustomEdit& Edit, const std::string& Text) override { Ui.Type(Edit, Text); }
    void Click(TControl& Control) override { Ui.Click(Control); }
    void SelectPage(TTabbedNotebook& N, int Index) override { Ui.SelectPage(N, Index); }
    void Choose(TMenuItem& Item) override { Ui.Choose(Item); }
    void PressF1(TForm& Form) override { Ui.PressShortCut(Form, 112); }
    void ExpectMessage() override {}
    std::vector<std::string> Messages() override { return Ui.Messages(); }
    std::vector<std::string> HelpJumps() override {
        std::vector<std::string> out;
        for (const auto& j : Ui.HelpJumps()) out.push_back(j.HelpFile + " " + j.JumpId);
        return out;
    }
    THeadlessUi Ui;
};

class QtPerson : public Person {
  public:
    TUiBackend& Backend() override { return Ui; }
    void OnModal(std::function<void(TForm&)> Script) override { Ui.OnModal(std::move(Script)); }
    void Select(TTreeView& Tree, TTreeNode& Node) override {
        auto* view = static_cast<QTreeWidget*>(Widget(Tree));
        std::vector<int> path;
        for (const TTreeNode* n = &Node; n; n = n->Parent()) path.insert(path.begin(), n->Index());
        QTreeWidgetItem* item = view->topLevelItem(path[0]);
        for (size_t i = 1; item && i < path.size(); ++i) item = item->child(path[i]);
        ASSERT_NE(item, nullptr);
        QRect rect = view->visualItemRect(item);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rect.center());
        Settle();
    }
    void Type(TCustomEdit& Edit, const std::string& Text) override {
        QWidget* widget = Widget(Edit);
        QLineEdit* line = qobject_cast<QLineEdit*>(widget);
        if (!line) line = widget->findChild<QLineEdit*>();
        // A memo takes the keys itself.
        QWidget* target = line ? static_cast<QWidget*>(line) : widget;
        target->setFocus();
        QTest::keyClick(target, Qt::Key_A, Qt::ControlModifier);
        if (Text.empty())
            QTest::keyClick(target, Qt::Key_Delete);
        else
            QTest::keyClicks(target, QString::fromStdString(Text));
        Settle();
    }
    void Click(TControl& Control) override {
        QWidget* widget = Widget(Control);
        QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(6, widget->height() / 2));
        Settle();
    }
    void SelectPage(TTabbedNotebook& Notebook, int Index) override {
        auto* tabs = Widget(Notebook)->findChild<QTabBar*>();
        ASSERT_NE(tabs, nullptr);
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(Index).center());
        Settle();
    }
    void Choose(TMenuItem& Item) override {
        QAction* action = Ui.ActionOf(Item);
        ASSERT_NE(action, nullptr);
        action->trigger();
        Settle();
    }
    void PressF1(TForm& Form) override {
        QWidget* window = Widget(Form);
        QTest::keyClick(window, Qt::Key_F1);
        Settle();
    }
    void ExpectMessage() override {
        Ui.OnMessageBox([](QMessageBox& Box) { Box.accept(); });
    }
    std::vector<std::string> Messages() override { return Ui.Messages(); }
    std::vector<std::string> HelpJumps() override { return Ui.HelpJumps(); }

    static void Settle() { QCoreApplication::processEvents(); }
    QWidget* Widget(const TComponent& C) {
        QWidget* w = Ui.WidgetOf(C);
        EXPECT_NE(w, nullptr) << C.Name();
        return w;
    }
    TQtUi Ui;
};

}  // namespace zktest
