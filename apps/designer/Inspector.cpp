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

// A published property's value as the inspector shows it; empty when it has none to show.
QString PublishedText(TComponent& C, const TPropInfo& P) {
    const TTypeInfo& type = *P.PropType;
    switch (type.Kind) {
        case TTypeKind::tkInteger:
            return P.GetOrd ? QString::number(P.GetOrd(C)) : QString();
        case TTypeKind::tkEnumeration: {
            if (!P.GetOrd) return {};
            int64_t v = P.GetOrd(C);
            return v >= 0 && size_t(v) < type.Names.size() ? Qs(type.Names[size_t(v)])
                                                           : QString::number(v);
        }
        case TTypeKind::tkString:
            return P.GetStr ? FormFileText(P.GetStr(C)) : QString();
        case TTypeKind::tkStrings:
            return QStringLiteral("(Lines)");
        default:
            return {};
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
    FEdit = nullptr;
    FEllipsis = nullptr;
    clearContents();
    setRowCount(0);
    if (!FNode) return;
    auto addRow = [this](const QString& Name, QTableWidgetItem* Value) {
        int row = rowCount();
        insertRow(row);
        setItem(row, 0, Cell(Name, false));
        if (Value) setItem(row, 1, Value);
        return row;
    };
    std::vector<std::string> shown;
    if (FComponent) {
        for (const TPropInfo* p : FComponent->ClassType().AllProps()) {
            shown.push_back(p->Name);
            if (StrIComp(p->Name.c_str(), "HelpContext") == 0) {
                int row = addRow(Qs(p->Name), nullptr);
                auto* box = new QWidget;
                auto* lay = new QHBoxLayout(box);
                lay->setContentsMargins(0, 0, 0, 0);
                lay->setSpacing(0);
                FEdit = new QLineEdit(Qs(Session->Inspector().GetValue(FComponent, p->Name)));
                FEdit->setObjectName(QStringLiteral("HelpContextEdit"));
                FEdit->setFrame(false);
                lay->addWidget(FEdit);
                FEllipsis = new QToolButton;
                FEllipsis->setObjectName(QStringLiteral("HelpContextEllipsis"));
                FEllipsis->setText(QStringLiteral("..."));
                FEllipsis->setVisible(
                    Session->Inspector().GetAttributes(FComponent, p->Name).Contains(paDialog));
                lay->addWidget(FEllipsis);
                setCellWidget(row, 1, box);
                connect(FEdit, &QLineEdit::editingFinished, this, [this] { Commit(); });
                connect(FEllipsis, &QToolButton::clicked, this, [this] { PressEllipsis(); });
                continue;
            }
            if (p->PropType->Kind == TTypeKind::tkMethod || p->PropType->Kind == TTypeKind::tkClass)
                continue;
            addRow(Qs(p->Name), Cell(PublishedText(*FComponent, *p), false));
        }
    }
    for (const TFormNodeProperty& fp : FNode->Properties) {
        bool published = false;
        for (const std::string& s : shown) published |= StrIComp(s.c_str(), fp.Name.c_str()) == 0;
        if (!published) addRow(Qs(fp.Name), Cell(ValueText(fp.Value), true));
    }
}

void TInspector::Report(const std::string& Text) {
    QMessageBox::warning(this, QStringLiteral("Object Inspector"), Qs(Text));
}

void TInspector::Commit() {
    if (!FEdit || !FComponent) return;
    std::string typed = FEdit->text().toStdString();
    TObjectInspector& inspector = FSession->Inspector();
    std::string now = inspector.GetValue(FComponent, "HelpContext");
    if (typed == now) return;
    QLineEdit* edit = FEdit;
    // The box below takes the focus, which confirms the edit once more: show the value first.
    edit->setText(Qs(now));
    try {
        inspector.SetValue(FComponent, "HelpContext", typed);
    } catch (const Exception& e) {
        Report(e.Message());
    }
    edit->setText(Qs(inspector.GetValue(FComponent, "HelpContext")));
    if (OnChanged) OnChanged();
}

void TInspector::PressEllipsis() {
    if (!FComponent) return;
    try {
        FSession->Inspector().PressEllipsis(FComponent, "HelpContext");
    } catch (const Exception& e) {
        Report(e.Message());
    }
    Refresh();
    if (OnChanged) OnChanged();
}

}  // namespace designer
