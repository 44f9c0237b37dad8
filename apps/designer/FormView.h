// The designed form as the designer draws it: the form's client area with its grid, and each
// component at its stored position with its caption (non-visual components as small tiles).
// A click selects the component under the pointer; the selection carries sizing handles.
#pragma once

#include <QWidget>
#include <functional>

#include "host/rtl/FormDocument.h"

namespace designer {

class TFormView : public QWidget {
  public:
    explicit TFormView(QWidget* Parent = nullptr);

    // The document to draw (null: nothing); not owned.
    void SetDocument(const zk::rtl::TFormDocument* Document);
    void SetSelected(const zk::rtl::TFormNode* Node);
    const zk::rtl::TFormNode* Selected() const { return FSelected; }
    // Called when a click selects a component.
    std::function<void(const zk::rtl::TFormNode*)> OnSelect;
    // Where Node is drawn, in this widget's coordinates.
    QRect BoundsOf(const zk::rtl::TFormNode& Node) const;

  protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* Event) override;

  private:
    struct TPlaced {
        const zk::rtl::TFormNode* Node;
        QRect Bounds;
        bool Visual;
    };
    void Place(const zk::rtl::TFormNode& Node, QPoint Origin);

    const zk::rtl::TFormDocument* FDocument = nullptr;
    const zk::rtl::TFormNode* FSelected = nullptr;
    QRect FClient;
    std::vector<TPlaced> FPlaced;  // in drawing order: parents before their children
};

// A property's text as the file stores it: 'text', 12, True, [a, b], (...).
QString ValueText(const zk::rtl::TFormNodeValue& Value);
// The integer stored for Name on Node, or Default.
int64_t StoredInt(const zk::rtl::TFormNode& Node, const char* Name, int64_t Default);
QString StoredText(const zk::rtl::TFormNode& Node, const char* Name);

}  // namespace designer
