#include "apps/designer/FormView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStringDecoder>

#include "apps/designer/ControlPainters.h"

namespace designer {

using namespace zk::rtl;
using namespace zk::formfile;
using zk::forms::TFormLayout;
using zk::forms::TLaidPart;
using zk::forms::TPageStyle;

namespace {

const int kMargin = 12;
const int kTitle = 24;
const int kMenuBar = 20;

QString Codes(const std::u16string& S) {
    std::string bytes;
    for (char16_t c : S) {
        if (c > 0xFF) return QString::fromUtf16(S.data(), qsizetype(S.size()));
        bytes += static_cast<char>(c);
    }
    return FormFileText(bytes);
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

QString StringText(const TFormNodeValue& Value) {
    return Value.Type == TFormValueType::String ? Codes(Value.Str) : QString();
}

QString StoredText(const TFormNode& Node, const char* Name) {
    const TFormNodeProperty* p = FindProperty(Node, Name);
    return p ? StringText(p->Value) : QString();
}

std::string StoredIdent(const TFormNode& Node, const char* Name) {
    const TFormNodeProperty* p = FindProperty(Node, Name);
    return p && p->Value.Type == TFormValueType::Ident ? p->Value.Text : std::string();
}

TFormView::TFormView(QWidget* Parent) : QWidget(Parent) {
    setMinimumSize(200, 150);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0x80, 0x80, 0x80));
    setPalette(pal);
}

const TFormNode& TFormView::NodeOf(int32_t Part) const {
    return *FForm->Parts()[static_cast<size_t>(Part)].Node;
}

void TFormView::SetForm(const zk::forms::TDesignedForm* Form) {
    FForm = Form;
    FLayout = Form ? std::make_unique<TFormLayout>(*Form) : nullptr;
    FSelected = Form ? &Form->Document().Root() : nullptr;
    FShownPage.clear();
    FMenu = -1;
    if (Form) {
        const std::string menu = StoredIdent(Form->Document().Root(), "Menu");
        const auto& parts = FLayout->Parts();
        for (size_t i = 1; i < parts.size(); ++i) {
            if (!menu.empty() && parts[i].Parent == 0 && SameIdent(NodeOf(int32_t(i)).Name, menu))
                FMenu = int32_t(i);
            if (int32_t page = FLayout->StoredActivePage(int32_t(i)); page >= 0)
                FShownPage[int32_t(i)] = page;
        }
    }
    Place();
}

QRect TFormView::OnWidget(const zk::forms::TRect& R) const {
    return QRect(FClient.left() + R.Left, FClient.top() + R.Top, R.Width(), R.Height());
}

bool TFormView::OnShownPages(int32_t Part) const {
    const auto& parts = FLayout->Parts();
    for (int32_t p = Part; p > 0; p = parts[size_t(p)].Parent) {
        if (parts[size_t(p)].Page != p) continue;
        auto shown = FShownPage.find(parts[size_t(p)].Parent);
        if (shown == FShownPage.end() || shown->second != p) return false;
    }
    return true;
}

void TFormView::ShowPagesOf(int32_t Part) {
    const auto& parts = FLayout->Parts();
    for (int32_t p = Part; p > 0; p = parts[size_t(p)].Parent)
        if (parts[size_t(p)].Page == p) FShownPage[parts[size_t(p)].Parent] = p;
}

void TFormView::Place() {
    FPlaced.clear();
    if (FForm) {
        const auto& parts = FLayout->Parts();
        const int menu = FMenu >= 0 ? kMenuBar : 0;
        FClient = QRect(kMargin, kMargin + kTitle + menu, FLayout->ClientWidth(),
                        FLayout->ClientHeight());
        FPlaced.push_back({0, FClient.adjusted(0, -kTitle - menu, 0, 0), {}});
        std::vector<TPlaced> icons;
        for (size_t i = 1; i < parts.size(); ++i) {
            const TLaidPart& l = parts[i];
            const auto part = int32_t(i);
            if (!l.Drawn) continue;
            if (!l.Visual) {
                if (OnShownPages(part)) icons.push_back({part, OnWidget(l.Bounds), {}});
            } else if (l.Page == part) {
                if (part == FLayout->PagesOf(l.Parent).front() && OnShownPages(l.Parent))
                    PlaceTabs(l.Parent);
            } else if (OnShownPages(part)) {
                FPlaced.push_back({part, OnWidget(l.Bounds), {}});
            }
        }
        FPlaced.insert(FPlaced.end(), icons.begin(), icons.end());
        setFixedSize(std::max(FClient.right(), 200) + kMargin, FClient.bottom() + kMargin);
    }
    update();
}

// A container's pages, each with its tab: the shown one over the page area, the others as
// their tab alone.
void TFormView::PlaceTabs(int32_t Container) {
    const std::vector<int32_t>& pages = FLayout->PagesOf(Container);
    const bool tabs = FLayout->Parts()[size_t(Container)].Style == TPageStyle::Pages;
    const QRect box = OnWidget(FLayout->Parts()[size_t(Container)].Bounds);
    const int tabHeight = fontMetrics().height() + 6;
    int x = box.left() + 2;
    for (int32_t page : pages) {
        QString caption = StoredText(NodeOf(page), "Caption");
        if (caption.isEmpty()) caption = QString::fromStdString(NodeOf(page).Name);
        QRect tab;
        if (tabs) {
            tab = QRect(x, box.top() + 2, fontMetrics().horizontalAdvance(caption) + 14, tabHeight);
            x = tab.right() + 1;
        }
        if (FShownPage[Container] == page)
            FPlaced.push_back({page, OnWidget(FLayout->Parts()[size_t(page)].Bounds), tab});
        else if (tabs)
            FPlaced.push_back({page, tab, tab});
    }
}

void TFormView::SetSelected(const TFormNode* Node) {
    FSelected = Node;
    if (FForm && Node) {
        if (int32_t part = FForm->PartOf(*Node); part >= 0) {
            std::map<int32_t, int32_t> before = FShownPage;
            ShowPagesOf(part);
            if (FShownPage != before) Place();
        }
    }
    update();
}

QRect TFormView::BoundsOf(const TFormNode& Node) const {
    if (!FForm) return {};
    const int32_t part = FForm->PartOf(Node);
    for (const TPlaced& p : FPlaced)
        if (p.Part == part) return p.Bounds;
    return {};
}

void TFormView::PaintTabs(QPainter& P, const TPlaced& Page) const {
    const TFormNode& n = NodeOf(Page.Part);
    const bool shown = Page.Bounds != Page.Tab;
    QRect tab = shown ? Page.Tab.adjusted(0, -2, 0, 1) : Page.Tab;
    P.fillRect(tab, shown ? QColor(0xd4, 0xd0, 0xc8) : QColor(0xc0, 0xbc, 0xb4));
    P.setPen(Qt::white);
    P.drawLine(tab.bottomLeft(), tab.topLeft());
    P.drawLine(tab.topLeft(), tab.topRight());
    P.setPen(QColor(0x80, 0x80, 0x80));
    P.drawLine(tab.topRight(), tab.bottomRight());
    P.setPen(Qt::black);
    QString caption = StoredText(n, "Caption");
    P.drawText(tab, Qt::AlignCenter | Qt::TextShowMnemonic,
               caption.isEmpty() ? QString::fromStdString(n.Name) : caption);
}

void TFormView::PaintMenuBar(QPainter& P) const {
    QRect bar(FClient.left(), FClient.top() - kMenuBar, FClient.width(), kMenuBar);
    P.fillRect(bar, QColor(0xd4, 0xd0, 0xc8));
    P.setPen(Qt::black);
    int x = bar.left() + 6;
    for (const TFormNode& item : NodeOf(FMenu).Children) {
        QString caption = StoredText(item, "Caption");
        if (caption.isEmpty() || caption == "-") continue;
        QString plain = caption;
        plain.remove('&');
        int w = fontMetrics().horizontalAdvance(plain) + 12;
        P.drawText(QRect(x, bar.top(), w, bar.height()), Qt::AlignCenter | Qt::TextShowMnemonic,
                   caption);
        x += w;
    }
}

void TFormView::paintEvent(QPaintEvent*) {
    if (!FForm) return;
    QPainter p(this);
    const TFormNode& root = NodeOf(0);
    const int menu = FMenu >= 0 ? kMenuBar : 0;
    QRect frame = FClient.adjusted(-1, -kTitle - menu - 1, 1, 1);
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
    if (FMenu >= 0) PaintMenuBar(p);
    p.fillRect(FClient, QColor(0xd4, 0xd0, 0xc8));
    p.setPen(QColor(0x40, 0x40, 0x40));
    for (int x = FClient.left(); x < FClient.right(); x += 8)
        for (int y = FClient.top(); y < FClient.bottom(); y += 8) p.drawPoint(x, y);

    p.setClipRect(FClient);
    for (const TPlaced& c : FPlaced) {
        if (c.Part == 0) continue;
        const TFormNode& n = NodeOf(c.Part);
        const TLaidPart& l = FLayout->Parts()[size_t(c.Part)];
        QString text = StoredText(n, "Caption");
        if (text.isEmpty()) text = StoredText(n, "Text");
        TPaintCall call{p, *this, c.Bounds, n, text};
        p.setOpacity(l.Shown ? 1.0 : 0.4);
        if (!c.Tab.isNull()) {
            PaintTabs(p, c);
            if (c.Bounds == c.Tab) continue;
        }
        if (!l.Visual)
            PaintIcon(call);
        else
            PainterFor(l.Chain)(call);
    }
    p.setOpacity(1.0);
    p.setClipping(false);
    if (FSelected && FSelected != &root) {
        QRect r = BoundsOf(*FSelected);
        if (r.isNull()) return;
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        for (QPoint h : {r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight(),
                         QPoint(r.center().x(), r.top()), QPoint(r.center().x(), r.bottom()),
                         QPoint(r.left(), r.center().y()), QPoint(r.right(), r.center().y())})
            p.drawRect(QRect(h - QPoint(2, 2), QSize(5, 5)));
    }
}

void TFormView::mousePressEvent(QMouseEvent* Event) {
    if (!FForm) return;
    const QPoint at = Event->position().toPoint();
    int32_t hit = -1;
    // The last drawn lies on top.
    for (const TPlaced& c : FPlaced)
        if (c.Bounds.contains(at) || c.Tab.contains(at)) hit = c.Part;
    if (hit < 0) return;
    const TFormNode* node = &NodeOf(hit);
    SetSelected(node);
    if (OnSelect) OnSelect(node);
}

}  // namespace designer
