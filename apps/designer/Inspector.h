// The object inspector: the selected component's published properties, each row as the IDE's
// property editor for it gives it (value text, attributes), and the properties the file stores
// that the component does not publish (read-only, as kept). A property the form writes back
// (HelpContext) is edited through its editor: typed text goes to SetValue when confirmed (an
// error shows in a box and the value stays), and the ellipsis button, offered when the editor
// asks for a dialog, calls Edit.
#pragma once

#include <QTableWidget>
#include <functional>
#include <string>
#include <utility>
#include <vector>

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

    // The edit field and the ellipsis button of the row of Prop (null: none).
    QLineEdit* EditOf(const std::string& Prop) const;
    QToolButton* EllipsisOf(const std::string& Prop) const;
    QLineEdit* HelpContextEdit() const { return EditOf("HelpContext"); }
    QToolButton* EllipsisButton() const { return EllipsisOf("HelpContext"); }

  private:
    void AddEditorRow(const zk::rtl::TPropInfo& Prop);
    void Commit(const std::string& Prop);
    void PressEllipsis(const std::string& Prop);
    void Report(const std::string& Text);

    TFormSession* FSession = nullptr;
    const zk::formfile::TFormNode* FNode = nullptr;
    zk::rtl::TComponent* FComponent = nullptr;
    struct TEditRow {
        std::string Prop;
        QLineEdit* Edit;
        QToolButton* Ellipsis;
    };
    std::vector<TEditRow> FEditRows;
};

}  // namespace designer
