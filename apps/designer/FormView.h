// The designed form as the designer draws it: the form's client area with its grid, and each
// component at its stored position with its caption (non-visual components as small tiles).
// A page control shows the tabs of its sheets and the contents of one: its ActivePage, until
// something on another sheet is selected. A click selects the component under the pointer (a
// tab, its sheet); the selection carries sizing handles.
#pragma once

#include <QWidget>
#include <functional>
#include <map>

#include "zk/formfile/FormDocument.h"

namespace designer {

class TFormView : public QWidget {
  public:
    explicit TFormView(QWidget* Parent = nullptr);

    // The document to draw (null: nothing); not owned.
    void SetDocument(const zk::formfile::TFormDocument* Document);
    void SetSelected(const zk::formfile::TFormNode* Node);
    const zk::formfile::TFormNode* Selected() const { return FSelected; }
    // Called when a click selects a component.
    std::function<void(const zk::formfile::TFormNode*)> OnSelect;
    // Where Node is drawn, in this widget's coordinates.
    QRect BoundsOf(const zk::formfile::TFormNode& Node) const;

  protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* Event) override;

  private:
    struct TPlaced {
        const zk::formfile::TFormNode* Node;
        QRect Bounds;  // a sheet not shown: its tab
        bool Visual;
        QRect Tab;  // a sheet's tab
    };
    void Layout();
    void Place(const zk::formfile::TFormNode& Node, QPoint Origin);
    void PlaceSheets(const zk::formfile::TFormNode& Pages, QRect Bounds);
    // Shows the sheets on the way from Node to Target; false when Target is not under Node.
    bool ShowPath(const zk::formfile::TFormNode& Node, const zk::formfile::TFormNode* Target);

    const zk::formfile::TFormDocument* FDocument = nullptr;
    const zk::formfile::TFormNode* FSelected = nullptr;
    QRect FClient;
    std::vector<TPlaced> FPlaced;  // in drawing order: parents before their children
    std::map<const zk::formfile::TFormNode*, const zk::formfile::TFormNode*> FShownSheet;  // by page control
};

// A property's text as the file stores it: 'text', 12, True, [a, b], (...).
QString ValueText(const zk::formfile::TFormNodeValue& Value);
// The integer stored for Name on Node, or Default.
int64_t StoredInt(const zk::formfile::TFormNode& Node, const char* Name, int64_t Default);
QString StoredText(const zk::formfile::TFormNode& Node, const char* Name);
// Text of a form file for the screen: UTF-8 when its bytes are UTF-8 (Lazarus), else the 8-bit
// code page of Delphi's forms (its Latin-1 part; nothing is written back from here).
QString FormFileText(const std::string& Bytes);

}  // namespace designer
