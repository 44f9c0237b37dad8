#include "apps/designer/ControlPainters.h"

#include <QStyleOptionButton>
#include <map>

#include "apps/designer/FormView.h"
#include "zk/host/platform/Ascii.h"

namespace designer {

namespace {

const QColor kFace(0xd4, 0xd0, 0xc8);
const QColor kShadow(0x80, 0x80, 0x80);

void Raised(QPainter& P, QRect R, bool Up = true) {
    P.setPen(Up ? Qt::white : kShadow);
    P.drawLine(R.topLeft(), R.topRight());
    P.drawLine(R.topLeft(), R.bottomLeft());
    P.setPen(Up ? kShadow : Qt::white);
    P.drawLine(R.bottomLeft(), R.bottomRight());
    P.drawLine(R.topRight(), R.bottomRight());
}

void Etched(QPainter& P, QRect R) {
    P.setPen(kShadow);
    P.drawRect(R.adjusted(0, 0, -2, -2));
    P.setPen(Qt::white);
    P.drawRect(R.adjusted(1, 1, -1, -1));
}

void Button(const TPaintCall& C) {
    QStyleOptionButton o;
    o.rect = C.Bounds;
    o.text = C.Text;
    o.state = QStyle::State_Enabled | QStyle::State_Raised;
    C.Widget.style()->drawControl(QStyle::CE_PushButton, &o, &C.Painter, &C.Widget);
}

void Check(const TPaintCall& C, QStyle::ControlElement Element) {
    QStyleOptionButton o;
    o.rect = C.Bounds;
    o.text = C.Text;
    o.state = QStyle::State_Enabled | QStyle::State_Off;
    C.Widget.style()->drawControl(Element, &o, &C.Painter, &C.Widget);
}
void CheckBox(const TPaintCall& C) { Check(C, QStyle::CE_CheckBox); }
void RadioButton(const TPaintCall& C) { Check(C, QStyle::CE_RadioButton); }

void Label(const TPaintCall& C) {
    C.Painter.setPen(Qt::black);
    C.Painter.drawText(
        C.Bounds, Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip | Qt::TextShowMnemonic, C.Text);
}

// Edits, memos, combo boxes: white and sunken, with the stored text only.
void Edit(const TPaintCall& C) {
    C.Painter.fillRect(C.Bounds, Qt::white);
    Raised(C.Painter, C.Bounds, false);
    C.Painter.setPen(Qt::black);
    C.Painter.drawText(C.Bounds.adjusted(4, 0, -4, 0), Qt::AlignVCenter | Qt::AlignLeft, C.Text);
}

void ComboBox(const TPaintCall& C) {
    Edit(C);
    QRect arrow(C.Bounds.right() - 16, C.Bounds.top() + 2, 15, C.Bounds.height() - 4);
    C.Painter.fillRect(arrow, kFace);
    Raised(C.Painter, arrow);
    C.Painter.setPen(Qt::black);
    C.Painter.drawText(arrow, Qt::AlignCenter, QStringLiteral("\u25be"));
}

void ListBox(const TPaintCall& C) {
    C.Painter.fillRect(C.Bounds, Qt::white);
    Raised(C.Painter, C.Bounds, false);
}

void Grid(const TPaintCall& C) {
    ListBox(C);
    C.Painter.setPen(QColor(0xc0, 0xc0, 0xc0));
    for (int x = C.Bounds.left() + 64; x < C.Bounds.right(); x += 64)
        C.Painter.drawLine(x, C.Bounds.top() + 1, x, C.Bounds.bottom() - 1);
    for (int y = C.Bounds.top() + 24; y < C.Bounds.bottom(); y += 24)
        C.Painter.drawLine(C.Bounds.left() + 1, y, C.Bounds.right() - 1, y);
}

void Panel(const TPaintCall& C) {
    C.Painter.fillRect(C.Bounds, kFace);
    if (StoredIdent(C.Node, "BevelOuter") != "bvNone") Raised(C.Painter, C.Bounds);
    C.Painter.setPen(Qt::black);
    C.Painter.drawText(C.Bounds, Qt::AlignCenter | Qt::TextShowMnemonic, C.Text);
}

void GroupBox(const TPaintCall& C) {
    QRect frame = C.Bounds.adjusted(0, 7, 0, 0);
    Etched(C.Painter, frame);
    if (C.Text.isEmpty()) return;
    QRect title(C.Bounds.left() + 8, C.Bounds.top(),
                C.Widget.fontMetrics().horizontalAdvance(C.Text) + 4, 15);
    C.Painter.fillRect(title, kFace);
    C.Painter.setPen(Qt::black);
    C.Painter.drawText(title, Qt::AlignCenter | Qt::TextShowMnemonic, C.Text);
}

void Page(const TPaintCall& C) { C.Painter.fillRect(C.Bounds, kFace); }

// Page controls and tab controls: the frame under the tabs (the tabs of pages are drawn by the
// view; a tab control's own come from its stored Tabs).
void PageFrame(const TPaintCall& C) {
    const QRect page = C.Bounds.adjusted(0, 22, 0, 0);
    C.Painter.fillRect(page, kFace);
    Raised(C.Painter, page);
    const zk::formfile::TFormNodeProperty* tabs =
        zk::formfile::FindProperty(C.Node, "Tabs.Strings");
    if (!tabs || tabs->Value.Type != zk::formfile::TFormValueType::List) return;
    const int64_t shown = StoredInt(C.Node, "TabIndex", 0);
    int x = C.Bounds.left() + 2;
    for (size_t i = 0; i < tabs->Value.Items.size(); ++i) {
        const QString caption = StringText(tabs->Value.Items[i]);
        QRect tab(x, C.Bounds.top() + 2, C.Widget.fontMetrics().horizontalAdvance(caption) + 14,
                  20);
        if (int64_t(i) == shown) tab.adjust(0, -2, 0, 1);
        C.Painter.fillRect(tab, int64_t(i) == shown ? kFace : QColor(0xc0, 0xbc, 0xb4));
        Raised(C.Painter, tab);
        C.Painter.setPen(Qt::black);
        C.Painter.drawText(tab, Qt::AlignCenter | Qt::TextShowMnemonic, caption);
        x = tab.right() + 1;
    }
}

// A simple status bar shows its SimpleText; otherwise its panels, each its stored Width (the
// last one to the end) with its Text.
void StatusBar(const TPaintCall& C) {
    C.Painter.fillRect(C.Bounds, kFace);
    const zk::formfile::TFormNodeProperty* panels = zk::formfile::FindProperty(C.Node, "Panels");
    const zk::formfile::TFormNodeProperty* simple =
        zk::formfile::FindProperty(C.Node, "SimplePanel");
    const bool isSimple = simple && simple->Value.Type == zk::formfile::TFormValueType::True;
    if (isSimple || !panels || panels->Value.Collection.empty()) {
        QRect panel = C.Bounds.adjusted(2, 3, -18, -1);
        Raised(C.Painter, panel, false);
        C.Painter.setPen(Qt::black);
        C.Painter.drawText(panel.adjusted(3, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft,
                           StoredText(C.Node, "SimpleText"));
        return;
    }
    int x = C.Bounds.left() + 2;
    const auto& items = panels->Value.Collection;
    for (size_t i = 0; i < items.size(); ++i) {
        int width = 50;
        QString text;
        for (const zk::formfile::TFormNodeProperty& p : items[i].Properties) {
            if (zk::formfile::SameIdent(p.Name, "Width") &&
                p.Value.Type == zk::formfile::TFormValueType::Integer)
                width = int(p.Value.Int);
            if (zk::formfile::SameIdent(p.Name, "Text")) text = StringText(p.Value);
        }
        const int right = i + 1 == items.size() ? C.Bounds.right() - 18 : x + width - 2;
        QRect panel(QPoint(x, C.Bounds.top() + 3), QPoint(right, C.Bounds.bottom() - 1));
        Raised(C.Painter, panel, false);
        C.Painter.setPen(Qt::black);
        C.Painter.drawText(panel.adjusted(3, 0, -2, 0), Qt::AlignVCenter | Qt::AlignLeft, text);
        x += width;
    }
}

void Splitter(const TPaintCall& C) {
    C.Painter.fillRect(C.Bounds, QColor(0xc8, 0xc4, 0xbc));
    C.Painter.setPen(kShadow);
    C.Painter.drawRect(C.Bounds.adjusted(0, 0, -1, -1));
}

void ToolBar(const TPaintCall& C) {
    C.Painter.fillRect(C.Bounds, kFace);
    C.Painter.setPen(kShadow);
    C.Painter.drawLine(C.Bounds.topLeft(), C.Bounds.topRight());
    C.Painter.setPen(Qt::white);
    C.Painter.drawLine(C.Bounds.topLeft() + QPoint(0, 1), C.Bounds.topRight() + QPoint(0, 1));
}

void ToolButton(const TPaintCall& C) {
    const std::string style = StoredIdent(C.Node, "Style");
    if (style == "tbsSeparator" || style == "tbsDivider") {
        int x = C.Bounds.center().x();
        C.Painter.setPen(kShadow);
        C.Painter.drawLine(x, C.Bounds.top() + 2, x, C.Bounds.bottom() - 2);
        C.Painter.setPen(Qt::white);
        C.Painter.drawLine(x + 1, C.Bounds.top() + 2, x + 1, C.Bounds.bottom() - 2);
        return;
    }
    Raised(C.Painter, C.Bounds.adjusted(1, 1, -1, -1));
    C.Painter.setPen(Qt::black);
    QString label = C.Text.isEmpty() ? QString::fromStdString(C.Node.Name).left(2) : C.Text;
    C.Painter.drawText(C.Bounds, Qt::AlignCenter | Qt::TextShowMnemonic, label);
}

void Bevel(const TPaintCall& C) { Etched(C.Painter, C.Bounds); }

void Shape(const TPaintCall& C) {
    C.Painter.setPen(Qt::black);
    C.Painter.setBrush(Qt::white);
    if (StoredIdent(C.Node, "Shape").rfind("stCircle", 0) == 0 ||
        StoredIdent(C.Node, "Shape").rfind("stEllipse", 0) == 0)
        C.Painter.drawEllipse(C.Bounds.adjusted(0, 0, -1, -1));
    else
        C.Painter.drawRect(C.Bounds.adjusted(0, 0, -1, -1));
    C.Painter.setBrush(Qt::NoBrush);
}

void Image(const TPaintCall& C) {
    C.Painter.setPen(QPen(kShadow, 1, Qt::DashLine));
    C.Painter.drawRect(C.Bounds.adjusted(0, 0, -1, -1));
}

void ProgressBar(const TPaintCall& C) {
    C.Painter.fillRect(C.Bounds, Qt::white);
    Raised(C.Painter, C.Bounds, false);
}

void ScrollBar(const TPaintCall& C) {
    C.Painter.fillRect(C.Bounds, QColor(0xe8, 0xe6, 0xe2));
    Raised(C.Painter, C.Bounds);
}

void Frame(const TPaintCall& C) {
    Raised(C.Painter, C.Bounds);
    C.Painter.setPen(Qt::black);
    C.Painter.drawText(C.Bounds, Qt::AlignCenter | Qt::TextShowMnemonic, C.Text);
}

// A class the designer does not know: a framed, hatched box naming the control and its class.
void Placeholder(const TPaintCall& C) {
    C.Painter.fillRect(C.Bounds, QBrush(QColor(0xe4, 0xe0, 0xd8)));
    C.Painter.fillRect(C.Bounds, QBrush(QColor(0xc8, 0xc4, 0xbc), Qt::BDiagPattern));
    C.Painter.setPen(QColor(0x40, 0x40, 0x40));
    C.Painter.drawRect(C.Bounds.adjusted(0, 0, -1, -1));
    C.Painter.setPen(Qt::black);
    QString text = QString::fromStdString(C.Node.Name + ": " + C.Node.ClassName);
    if (!C.Text.isEmpty()) text = C.Text + "\n" + text;
    C.Painter.drawText(C.Bounds.adjusted(3, 2, -3, -2),
                       Qt::AlignCenter | Qt::TextWordWrap | Qt::TextShowMnemonic, text);
}

struct TLess {
    bool operator()(const std::string& A, const std::string& B) const {
        return std::lexicographical_compare(
            A.begin(), A.end(), B.begin(), B.end(), [](char a, char b) {
                return zk::platform::LowerAscii(a) < zk::platform::LowerAscii(b);
            });
    }
};

const std::map<std::string, TPainter, TLess>& Painters() {
    static const std::map<std::string, TPainter, TLess> painters{
        {"TBevel", Bevel},
        {"TButton", Button},
        {"TCalendar", Grid},
        {"TCheckBox", CheckBox},
        {"TComboBox", ComboBox},
        {"TCustomEdit", Edit},
        {"TEdit", Edit},
        {"TGroupBox", GroupBox},
        {"TImage", Image},
        {"TLabel", Label},
        {"TListBox", ListBox},
        {"TMemo", Edit},
        {"TNotebook", Page},
        {"TPage", Page},
        {"TPageControl", PageFrame},
        {"TPaintBox", Image},
        {"TPanel", Panel},
        {"TProgressBar", ProgressBar},
        {"TRadioButton", RadioButton},
        {"TScrollBar", ScrollBar},
        {"TShape", Shape},
        {"TSplitter", Splitter},
        {"TStatusBar", StatusBar},
        {"TStringGrid", Grid},
        {"TTabbedNotebook", PageFrame},
        {"TTabControl", PageFrame},
        {"TTabPage", Page},
        {"TTabSheet", Page},
        {"TToolBar", ToolBar},
        {"TToolButton", ToolButton},
        {"TTreeView", ListBox},
        {"TWinControl", Frame},
        {"TControl", Frame},
    };
    return painters;
}

}  // namespace

TPainter PainterFor(const std::vector<std::string>& Chain) {
    for (const std::string& c : Chain)
        if (auto it = Painters().find(c); it != Painters().end()) return it->second;
    return Placeholder;
}

void PaintIcon(const TPaintCall& C) {
    C.Painter.fillRect(C.Bounds, QColor(0xf0, 0xf0, 0xf0));
    Raised(C.Painter, C.Bounds);
    C.Painter.setPen(Qt::black);
    QString cls = QString::fromStdString(C.Node.ClassName);
    C.Painter.drawText(C.Bounds, Qt::AlignCenter, cls.mid(cls.startsWith('T') ? 1 : 0, 3));
}

}  // namespace designer
