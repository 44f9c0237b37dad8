#include "apps/designer/FormView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionButton>

namespace designer {

using namespace zk::rtl;

namespace {

const int kMargin = 12;
const int kTitle = 24;

const TFormNodeProperty* Find(const TFormNode& Node, const char* Name) {
    for (const TFormNodeProperty& p : Node.Properties)
        if (StrIComp(p.Name.c_str(), Name) == 0) return &p;
    return nullptr;
}

QString Codes(const std::u16string& S) {
    QString out;
    for (char16_t c : S) out += QChar(c);
    return out;
}

bool Is(const TFormNode& Node, const char* Class) {
    return StrIComp(Node.ClassName.c_str(), Class) == 0;
}

}  // namespace

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
    const TFormNodeProperty* p = Find(Node, Name);
    return p && p->Value.Type == TFormValueType::Integer ? p->Value.Int : Default;
}

QString StoredText(const TFormNode& Node, const char* Name) {
    const TFormNodeProperty* p = Find(Node, Name);
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
    FPlaced.clear();
    if (Document) {
        const TFormNode& root = Document->Root();
        int w = int(StoredInt(root, "ClientWidth", StoredInt(root, "Width", 320)));
        int h = int(StoredInt(root, "ClientHeight", StoredInt(root, "Height", 240)));
        FClient = QRect(kMargin, kMargin + kTitle, w, h);
        FPlaced.push_back({&root, FClient.adjusted(0, -kTitle, 0, 0), true});
        for (const TFormNode& child : root.Children) Place(child, FClient.topLeft());
        setFixedSize(FClient.right() + kMargin, FClient.bottom() + kMargin);
    }
    update();
}

void TFormView::Place(const TFormNode& Node, QPoint Origin) {
    bool visual = Find(Node, "Width") || Find(Node, "Height");
    QPoint at = Origin + QPoint(int(StoredInt(Node, "Left", 0)), int(StoredInt(Node, "Top", 0)));
    QRect bounds = visual ? QRect(at, QSize(int(StoredInt(Node, "Width", 75)),
                                            int(StoredInt(Node, "Height", 25))))
                          : QRect(at, QSize(28, 28));
    FPlaced.push_back({&Node, bounds, visual});
    for (const TFormNode& child : Node.Children) Place(child, visual ? bounds.topLeft() : Origin);
}

void TFormView::SetSelected(const TFormNode* Node) {
    FSelected = Node;
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
        if (!c.Visual) {
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
            p.drawText(r, Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, caption);
        } else if (Is(n, "TEdit") || Is(n, "TMemo") || Is(n, "TComboBox") || Is(n, "TSpinEdit") ||
                   Is(n, "TListBox")) {
            p.fillRect(r, Qt::white);
            p.setPen(QColor(0x80, 0x80, 0x80));
            p.drawRect(r.adjusted(0, 0, -1, -1));
            p.setPen(Qt::black);
            QString text = StoredText(n, "Text");
            if (text.isEmpty() && !Find(n, "Text")) text = QString::fromStdString(n.Name);
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
            p.drawText(r, Qt::AlignCenter,
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
        if (c.Bounds.contains(Event->position().toPoint())) hit = c.Node;
    if (!hit) return;
    SetSelected(hit);
    if (OnSelect) OnSelect(hit);
}

}  // namespace designer
