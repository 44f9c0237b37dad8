// The designed form as the designer draws it: the window frame with its title and menu bar,
// the client area with its grid, and each component of the form where it stands after
// alignment (zk::forms::TFormLayout), drawn by the painter of its class; non-visual components
// as tiles at their design position, on top. A container with pages (page controls, tabbed
// notebooks, notebooks) shows one page, its stored active page until a tab is clicked or
// something on another page is selected. A click selects the topmost component under the
// pointer (a tab, its page); the selection carries sizing handles.
#pragma once

#include <QWidget>
#include <functional>
#include <map>
#include <memory>

#include "zk/formfile/FormDocument.h"
#include "zk/host/forms/DesignedForm.h"
#include "zk/host/forms/FormLayout.h"

namespace designer {

class TFormView : public QWidget {
  public:
    explicit TFormView(QWidget* Parent = nullptr);

    // The form to draw (null: nothing); not owned.
    void SetForm(const zk::forms::TDesignedForm* Form);
    void SetSelected(const zk::formfile::TFormNode* Node);
    const zk::formfile::TFormNode* Selected() const { return FSelected; }
    // Called when a click selects a component.
    std::function<void(const zk::formfile::TFormNode*)> OnSelect;
    // Where Node is drawn, in this widget's coordinates (a page not shown: its tab; null when
    // it is not drawn).
    QRect BoundsOf(const zk::formfile::TFormNode& Node) const;

  protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* Event) override;

  private:
    struct TPlaced {
        int32_t Part;
        QRect Bounds;  // a page not shown: its tab
        QRect Tab;     // a page's tab
    };
    void Place();
    // Whether Part is on the shown page of every container above it.
    bool OnShownPages(int32_t Part) const;
    // Shows the pages on the way up from Part.
    void ShowPagesOf(int32_t Part);
    void PlaceTabs(int32_t Container);
    void PaintTabs(QPainter& P, const TPlaced& Page) const;
    void PaintMenuBar(QPainter& P) const;
    QRect OnWidget(const zk::forms::TRect& R) const;
    const zk::formfile::TFormNode& NodeOf(int32_t Part) const;

    const zk::forms::TDesignedForm* FForm = nullptr;
    std::unique_ptr<zk::forms::TFormLayout> FLayout;
    const zk::formfile::TFormNode* FSelected = nullptr;
    int32_t FMenu = -1;  // the form's main menu, drawn as its menu bar
    QRect FClient;
    std::vector<TPlaced> FPlaced;           // in drawing order: parents before children, icons last
    std::map<int32_t, int32_t> FShownPage;  // by container
};

// A property's text as the file stores it: 'text', 12, True, [a, b], (...).
QString ValueText(const zk::formfile::TFormNodeValue& Value);
// The integer stored for Name on Node, or Default.
int64_t StoredInt(const zk::formfile::TFormNode& Node, const char* Name, int64_t Default);
QString StoredText(const zk::formfile::TFormNode& Node, const char* Name);
// The text of a string value ("" for a value of another type).
QString StringText(const zk::formfile::TFormNodeValue& Value);
// The identifier stored for Name on Node ("" when none).
std::string StoredIdent(const zk::formfile::TFormNode& Node, const char* Name);
// Text of a form file for the screen: UTF-8 when its bytes are UTF-8 (Lazarus), else the 8-bit
// code page of Delphi's forms (its Latin-1 part; nothing is written back from here).
QString FormFileText(const std::string& Bytes);

}  // namespace designer
