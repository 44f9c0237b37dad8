#include "apps/designer/Inspector.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QToolButton>

#include "apps/designer/FormView.h"
#include "zk/host/rtl/TypInfo.h"

namespace designer {

using namespace zk::rtl;
using namespace zk::formfile;
using namespace zk::ide;

namespace {

QString Qs(const std::string& S) { return QString::fromStdString(S); }

// Whether the property has the getter its editor reads through.
bool Readable(const TPropInfo& P) {
    switch (P.PropType->Kind) {
        case TTypeKind::tkInteger:
        case TTypeKind::tkEnumeration:
            return static_cast<bool>(P.GetOrd);
        case TTypeKind::tkString:
            return static_cast<bool>(P.GetStr);
        case TTypeKind::tkStrings:
            return true;
        default:
            return false;
    }
}

QTableWidgetItem* Cell(const QString& Text, bool Kept) {
    auto* item = new QTableWidgetItem(Text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    if (Kept) {
        item->setForeground(QColor(0x70, 0x70, 0x70));
        item->setToolTip(QStringLiteral("Kept as the file stores it; read-only here"));
    }
    return item;
}

}  // namespace

TInspector::TInspector(QWidget* Parent) : QTableWidget(0, 2, Parent) {
    setHorizontalHeaderLabels({QStringLiteral("Property"), QStringLiteral("Value")});
    horizontalHeader()->setStretchLastSection(true);
    verticalHeader()->hide();
    setSelectionMode(QAbstractItemView::NoSelection);
    setColumnWidth(0, 120);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
}

void TInspector::Show(TFormSession* Session, const TFormNode* Node) {
    FSession = Session;
    FNode = Node;
    FComponent = Session && Node ? Session->ComponentOf(*Node) : nullptr;
    FEditRows.clear();
    clearContents();
    setRowCount(0);
    if (!FNode) return;
    std::vector<std::string> shown;
    if (FComponent)
        for (const TPropInfo* p : FComponent->ClassType().AllProps()) {
            shown.push_back(p->Name);
            if (Readable(*p)) {
                AddEditorRow(*p);
            } else if (p->PropType->Kind != TTypeKind::tkMethod &&
                       p->PropType->Kind != TTypeKind::tkClass) {
                insertRow(rowCount());
                setItem(rowCount() - 1, 0, Cell(Qs(p->Name), false));
            }
        }
    for (const TFormNodeProperty& fp : FNode->Properties) {
        bool published = false;
        for (const std::string& s : shown) published |= StrIComp(s.c_str(), fp.Name.c_str()) == 0;
        if (published) continue;
        insertRow(rowCount());
        setItem(rowCount() - 1, 0, Cell(Qs(fp.Name), false));
        setItem(rowCount() - 1, 1, Cell(ValueText(fp.Value), true));
    }
}

// One published property's row, as its editor gives it: the value text, an edit field when the
// form writes the property back and the editor lets it be typed, the ellipsis for paDialog.
void TInspector::AddEditorRow(const TPropInfo& Prop) {
    TObjectInspector& inspector = FSession->Inspector();
    std::unique_ptr<TPropertyEditor> editor = inspector.EditorFor(FComponent, Prop.Name);
    const TPropertyAttributes attributes = editor->GetAttributes();
    const QString value = FormFileText(editor->GetValue());
    const bool typed =
        !attributes.Contains(paReadOnly) && FSession->Form().WritesBack(*FComponent, Prop.Name);
    const int row = rowCount();
    insertRow(row);
    setItem(row, 0, Cell(Qs(Prop.Name), false));
    if (!typed && !attributes.Contains(paDialog)) return setItem(row, 1, Cell(value, false));
    auto* box = new QWidget;
    auto* lay = new QHBoxLayout(box);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->setSpacing(0);
    auto* edit = new QLineEdit(value);
    edit->setObjectName(Qs(Prop.Name + "Edit"));
    edit->setFrame(false);
    edit->setReadOnly(!typed);
    lay->addWidget(edit);
    auto* ellipsis = new QToolButton;
    ellipsis->setObjectName(Qs(Prop.Name + "Ellipsis"));
    ellipsis->setText(QStringLiteral("..."));
    ellipsis->setVisible(attributes.Contains(paDialog));
    lay->addWidget(ellipsis);
    setCellWidget(row, 1, box);
    const std::string name = Prop.Name;
    if (typed) connect(edit, &QLineEdit::editingFinished, this, [this, name] { Commit(name); });
    connect(ellipsis, &QToolButton::clicked, this, [this, name] { PressEllipsis(name); });
    FEditRows.push_back({name, edit, ellipsis});
}

QLineEdit* TInspector::EditOf(const std::string& Prop) const {
    for (const TEditRow& r : FEditRows)
        if (SameText(r.Prop, Prop)) return r.Edit;
    return nullptr;
}

QToolButton* TInspector::EllipsisOf(const std::string& Prop) const {
    for (const TEditRow& r : FEditRows)
        if (SameText(r.Prop, Prop)) return r.Ellipsis;
    return nullptr;
}

void TInspector::Report(const std::string& Text) {
    QMessageBox::warning(this, QStringLiteral("Object Inspector"), Qs(Text));
}

void TInspector::Commit(const std::string& Prop) {
    QLineEdit* edit = EditOf(Prop);
    if (!edit || !FComponent) return;
    std::string typed = edit->text().toStdString();
    TObjectInspector& inspector = FSession->Inspector();
    std::string now = inspector.GetValue(FComponent, Prop);
    if (typed == now) return;
    // The box below takes the focus, which confirms the edit once more: show the value first.
    edit->setText(Qs(now));
    try {
        inspector.SetValue(FComponent, Prop, typed);
    } catch (const Exception& e) {
        Report(e.Message());
    }
    edit->setText(Qs(inspector.GetValue(FComponent, Prop)));
    if (OnChanged) OnChanged();
}

void TInspector::PressEllipsis(const std::string& Prop) {
    if (!FComponent) return;
    try {
        FSession->Inspector().PressEllipsis(FComponent, Prop);
    } catch (const Exception& e) {
        Report(e.Message());
    }
    Refresh();
    if (OnChanged) OnChanged();
}

}  // namespace designer
