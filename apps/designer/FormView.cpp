#include "apps/designer/FormView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStringDecoder>
#include <QStyleOptionButton>

namespace designer {

using namespace zk::rtl;
using namespace zk::formfile;

namespace {

const int kMargin = 12;
const int kTitle = 24;

QString Codes(const std::u16string& S) {
    std::string bytes;
    for (char16_t c : S) {
        if (c > 0xFF) return QString::fromUtf16(S.data(), qsizetype(S.size()));
        bytes += static_cast<char>(c);
    }
    return FormFileText(bytes);
}

bool Is(const TFormNode& Node, const char* Class) {
    return StrIComp(Node.ClassName.c_str(), Class) == 0;
}

}  // namespace

QString FormFileText(const std::string& Bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(QByteArrayView(Bytes.data(), qsizetype(Bytes.size())));
    return utf8.hasError() ? QString::fromLatin1(Bytes.data(), qsizetype(Bytes.size())) : text;
}

QString ValueText(const TFormNodeValue& V) {
    switch (V.Type) {
        case TFormValueType::Integer:
            return QString::number(V.Int);
        case TFormValueType::Float:
            return QString::fromStdString(FormFloatText(V));
        case TFormValueType::String:
            return "'" + Codes(V.Str) + "'";
        case TFormValueType::Ident:
            return QString::fromStdString(V.Text);
        case TFormValueType::False:
            return QStringLiteral("False");
        case TFormValueType::True:
            return QStringLiteral("True");
        case TFormValueType::Nil:
            return QStringLiteral("nil");
        case TFormValueType::Set: {
            QStringList items;
            for (const TFormNodeValue& i : V.Items) items << QString::fromStdString(i.Text);
            return "[" + items.join(", ") + "]";
        }
        case TFormValueType::List:
            return QStringLiteral("(...)");
        case TFormValueType::Binary:
            return QStringLiteral("{binary, %1 bytes}").arg(V.Text.size());
        case TFormValueType::Collection:
            return QStringLiteral("<%1 items>").arg(V.Collection.size());
    }
    return {};
}

int64_t StoredInt(const TFormNode& Node, const char* Name, int64_t Default) {
    const TFormNodeProperty* p = FindProperty(Node, Name);
    return p && p->Value.Type == TFormValueType::Integer ? p->Value.Int : Default;
}

QString StoredText(const TFormNode& Node, const char* Name) {
    const TFormNodeProperty* p = FindProperty(Node, Name);
    return p && p->Value.Type == TFormValueType::String ? Codes(p->Value.Str) : QString();
}

TFormView::TFormView(QWidget* Parent) : QWidget(Parent) {
    setMinimumSize(200, 150);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0x80, 0x80, 0x80));
    setPalette(pal);
}

void TFormView::SetDocument(const TFormDocument* Document) {
    FDocument = Document;
    FSelected = Document ? &Document->Root() : nullptr;
    FShownSheet.clear();
    Layout();
}

void TFormView::Layout() {
    FPlaced.clear();
    if (FDocument) {
        const TFormNode& root = FDocument->Root();
        int w = int(StoredInt(root, "ClientWidth", StoredInt(root, "Width", 320)));
        int h = int(StoredInt(root, "ClientHeight", StoredInt(root, "Height", 240)));
        FClient = QRect(kMargin, kMargin + kTitle, w, h);
        FPlaced.push_back({&root, FClient.adjusted(0, -kTitle, 0, 0), true, {}});
        for (const TFormNode& child : root.Children) Place(child, FClient.topLeft());
        setFixedSize(FClient.right() + kMargin, FClient.bottom() + kMargin);
    }
    update();
}

void TFormView::Place(const TFormNode& Node, QPoint Origin) {
    bool visual = FindProperty(Node, "Width") || FindProperty(Node, "Height");
    QPoint at = Origin + QPoint(int(StoredInt(Node, "Left", 0)), int(StoredInt(Node, "Top", 0)));
    QRect bounds = visual ? QRect(at, QSize(int(StoredInt(Node, "Width", 75)),
                                            int(StoredInt(Node, "Height", 25))))
                          : QRect(at, QSize(28, 28));
    FPlaced.push_back({&Node, bounds, visual, {}});
    if (Is(Node, "TPageControl") && !Node.Children.empty()) return PlaceSheets(Node, bounds);
    for (const TFormNode& child : Node.Children) Place(child, visual ? bounds.topLeft() : Origin);
}

void TFormView::PlaceSheets(const TFormNode& Pages, QRect Bounds) {
    const TFormNode*& shown = FShownSheet[&Pages];
    if (!shown) {
        const TFormNodeProperty* active = FindProperty(Pages, "ActivePage");
        for (const TFormNode& sheet : Pages.Children)
            if (active && active->Value.Type == TFormValueType::Ident &&
                StrIComp(sheet.Name.c_str(), active->Value.Text.c_str()) == 0)
                shown = &sheet;
        if (!shown) shown = &Pages.Children.front();
    }
    const int tabHeight = fontMetrics().height() + 6;
    QRect page = Bounds.adjusted(2, tabHeight + 2, -2, -2);
    int x = Bounds.left() + 2;
    for (const TFormNode& sheet : Pages.Children) {
        QString caption = StoredText(sheet, "Caption");
        if (caption.isEmpty()) caption = QString::fromStdString(sheet.Name);
        QRect tab(x, Bounds.top() + 2, fontMetrics().horizontalAdvance(caption) + 14, tabHeight);
        x = tab.right() + 1;
        if (&sheet != shown) {
            FPlaced.push_back({&sheet, tab, true, tab});
            continue;
        }
        FPlaced.push_back({&sheet, page, true, tab});
        for (const TFormNode& child : sheet.Children) Place(child, page.topLeft());
    }
}

bool TFormView::ShowPath(const TFormNode& Node, const TFormNode* Target) {
    if (&Node == Target) return true;
    for (const TFormNode& child : Node.Children) {
        if (!ShowPath(child, Target)) continue;
        if (Is(Node, "TPageControl")) FShownSheet[&Node] = &child;
        return true;
    }
    return false;
}

void TFormView::SetSelected(const TFormNode* Node) {
    FSelected = Node;
    if (FDocument && Node) {
        std::map<const TFormNode*, const TFormNode*> before = FShownSheet;
        ShowPath(FDocument->Root(), Node);
        if (FShownSheet != before) Layout();
    }
    update();
}

QRect TFormView::BoundsOf(const TFormNode& Node) const {
    for (const TPlaced& p : FPlaced)
        if (p.Node == &Node) return p.Bounds;
    return {};
}

void TFormView::paintEvent(QPaintEvent*) {
    if (!FDocument) return;
    QPainter p(this);
    const TFormNode& root = FDocument->Root();
    QRect frame = FClient.adjusted(-1, -kTitle - 1, 1, 1);
    // The window frame: title bar with the caption, then the client area with the grid.
    p.fillRect(frame, QColor(0xd4, 0xd0, 0xc8));
    p.fillRect(QRect(frame.left(), frame.top(), frame.width(), kTitle), QColor(0x0a, 0x24, 0x6a));
    p.setPen(Qt::white);
    QFont bold = font();
    bold.setBold(true);
    p.setFont(bold);
    p.drawText(QRect(frame.left() + 6, frame.top(), frame.width() - 12, kTitle),
               Qt::AlignVCenter | Qt::AlignLeft, StoredText(root, "Caption"));
    p.setFont(font());
    p.fillRect(FClient, QColor(0xd4, 0xd0, 0xc8));
    p.setPen(QColor(0x40, 0x40, 0x40));
    for (int x = FClient.left(); x < FClient.right(); x += 8)
        for (int y = FClient.top(); y < FClient.bottom(); y += 8) p.drawPoint(x, y);

    for (const TPlaced& c : FPlaced) {
        if (c.Node == &root) continue;
        const TFormNode& n = *c.Node;
        QRect r = c.Bounds;
        QString caption = StoredText(n, "Caption");
        if (!c.Tab.isNull()) {
            // A sheet: its tab, raised when it is the one shown, and the page under it.
            bool shown = c.Bounds != c.Tab;
            QRect tab = shown ? c.Tab.adjusted(0, -2, 0, 1) : c.Tab;
            p.fillRect(tab, shown ? QColor(0xd4, 0xd0, 0xc8) : QColor(0xc0, 0xbc, 0xb4));
            p.setPen(Qt::white);
            p.drawLine(tab.bottomLeft(), tab.topLeft());
            p.drawLine(tab.topLeft(), tab.topRight());
            p.setPen(QColor(0x80, 0x80, 0x80));
            p.drawLine(tab.topRight(), tab.bottomRight());
            p.setPen(Qt::black);
            p.drawText(tab, Qt::AlignCenter | Qt::TextShowMnemonic,
                       caption.isEmpty() ? QString::fromStdString(n.Name) : caption);
            if (shown) p.fillRect(r, QColor(0xd4, 0xd0, 0xc8));
        } else if (!c.Visual) {
            p.fillRect(r, QColor(0xf0, 0xf0, 0xf0));
            p.setPen(Qt::black);
            p.drawRect(r.adjusted(0, 0, -1, -1));
            p.drawText(r, Qt::AlignCenter, QString::fromStdString(n.ClassName).mid(1, 3));
        } else if (Is(n, "TButton") || Is(n, "TBitBtn")) {
            QStyleOptionButton o;
            o.rect = r;
            o.text = caption;
            o.state = QStyle::State_Enabled | QStyle::State_Raised;
            style()->drawControl(QStyle::CE_PushButton, &o, &p, this);
        } else if (Is(n, "TCheckBox") || Is(n, "TRadioButton")) {
            QStyleOptionButton o;
            o.rect = r;
            o.text = caption;
            o.state = QStyle::State_Enabled | QStyle::State_Off;
            style()->drawControl(Is(n, "TCheckBox") ? QStyle::CE_CheckBox : QStyle::CE_RadioButton,
                                 &o, &p, this);
        } else if (Is(n, "TLabel")) {
            p.setPen(Qt::black);
            p.drawText(r, Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip | Qt::TextShowMnemonic,
                       caption);
        } else if (Is(n, "TEdit") || Is(n, "TMemo") || Is(n, "TComboBox") || Is(n, "TSpinEdit") ||
                   Is(n, "TListBox")) {
            p.fillRect(r, Qt::white);
            p.setPen(QColor(0x80, 0x80, 0x80));
            p.drawRect(r.adjusted(0, 0, -1, -1));
            p.setPen(Qt::black);
            QString text = StoredText(n, "Text");
            if (text.isEmpty() && !FindProperty(n, "Text")) text = QString::fromStdString(n.Name);
            p.drawText(r.adjusted(4, 0, -4, 0), Qt::AlignVCenter | Qt::AlignLeft, text);
        } else {
            // Panels, group boxes and classes the designer does not know: a raised frame.
            p.setPen(Qt::white);
            p.drawLine(r.topLeft(), r.topRight());
            p.drawLine(r.topLeft(), r.bottomLeft());
            p.setPen(QColor(0x80, 0x80, 0x80));
            p.drawLine(r.bottomLeft(), r.bottomRight());
            p.drawLine(r.topRight(), r.bottomRight());
            p.setPen(Qt::black);
            p.drawText(r, Qt::AlignCenter | Qt::TextShowMnemonic,
                       caption.isEmpty() ? QString::fromStdString(n.Name) : caption);
        }
    }
    if (FSelected && FSelected != &root) {
        QRect r = BoundsOf(*FSelected);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        for (QPoint h : {r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight(),
                         QPoint(r.center().x(), r.top()), QPoint(r.center().x(), r.bottom()),
                         QPoint(r.left(), r.center().y()), QPoint(r.right(), r.center().y())})
            p.drawRect(QRect(h - QPoint(2, 2), QSize(5, 5)));
    }
}

void TFormView::mousePressEvent(QMouseEvent* Event) {
    if (!FDocument) return;
    const TFormNode* hit = nullptr;
    // The last drawn lies on top.
    for (const TPlaced& c : FPlaced)
        if (c.Bounds.contains(Event->position().toPoint()) ||
            c.Tab.contains(Event->position().toPoint()))
            hit = c.Node;
    if (!hit) return;
    SetSelected(hit);
    if (OnSelect) OnSelect(hit);
}

}  // namespace designer
