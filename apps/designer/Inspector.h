// The object inspector: the selected component's published properties with their values, and
// the properties the file stores that the component does not publish (read-only, as kept).
// HelpContext is edited through the property editor registered for it: typed text goes to
// SetValue when confirmed (an error shows in a box and the value stays), and its ellipsis
// button, offered when the editor asks for a dialog, calls Edit.
#pragma once

#include <QTableWidget>
#include <functional>

#include "apps/designer/FormSession.h"

class QLineEdit;
class QToolButton;

namespace designer {

class TInspector : public QTableWidget {
  public:
    explicit TInspector(QWidget* Parent = nullptr);

    // Shows Node's component of Session (both not owned; null: nothing).
    void Show(TFormSession* Session, const zk::formfile::TFormNode* Node);
    // Reads the values again (after the Help Expert wrote numbers back, say).
    void Refresh() { Show(FSession, FNode); }
    // Called after a HelpContext edit or an ellipsis press.
    std::function<void()> OnChanged;

    QLineEdit* HelpContextEdit() const { return FEdit; }
    QToolButton* EllipsisButton() const { return FEllipsis; }

  private:
    void Commit();
    void PressEllipsis();
    void Report(const std::string& Text);

    TFormSession* FSession = nullptr;
    const zk::formfile::TFormNode* FNode = nullptr;
    zk::rtl::TComponent* FComponent = nullptr;
    QLineEdit* FEdit = nullptr;
    QToolButton* FEllipsis = nullptr;
};

}  // namespace designer
