#include "zk/host/forms/FormLayout.h"

#include "zk/host/forms/PaletteClasses.h"

namespace zk::forms {

using formfile::FindProperty;
using formfile::TFormNode;
using formfile::TFormValueType;

namespace {

int32_t Int(const TFormNode& N, std::string_view Name, int32_t Default) {
    const formfile::TFormNodeProperty* p = FindProperty(N, Name);
    return p && p->Value.Type == TFormValueType::Integer ? static_cast<int32_t>(p->Value.Int)
                                                         : Default;
}

std::string Ident(const TFormNode& N, std::string_view Name) {
    const formfile::TFormNodeProperty* p = FindProperty(N, Name);
    return p && p->Value.Type == TFormValueType::Ident ? p->Value.Text : std::string();
}

bool Stored(const TFormNode& N, std::string_view Name) { return FindProperty(N, Name) != nullptr; }

const TPaletteClass* PaletteEntry(const std::vector<std::string>& Chain) {
    for (const std::string& c : Chain)
        if (const TPaletteClass* p = FindPaletteClass(c)) return p;
    return nullptr;
}

// A class neither the host nor the palette knows: visual when its object has bounds or an
// Align, or holds objects without having a design position of a non-visual component.
bool LooksVisual(const TFormNode& N) {
    if (Stored(N, "Width") || Stored(N, "Height") || Stored(N, "Align")) return true;
    return !N.Children.empty() && !Stored(N, "DesignInfo") && !Stored(N, "Left");
}

TAlign AlignOf(const TFormNode& N, const std::vector<std::string>& Chain) {
    static const char* const kNames[] = {"alNone", "alTop",   "alBottom",
                                         "alLeft", "alRight", "alClient"};
    const std::string stored = Ident(N, "Align");
    for (int a = 0; a < 6; ++a)
        if (!stored.empty() && formfile::SameIdent(stored, kNames[a]))
            return static_cast<TAlign>(a);
    const TPaletteClass* p = PaletteEntry(Chain);
    return p ? p->DefaultAlign : alNone;
}

uint8_t AnchorsOf(const TFormNode& N) {
    const formfile::TFormNodeProperty* p = FindProperty(N, "Anchors");
    if (!p || p->Value.Type != TFormValueType::Set) return kDefaultAnchors;
    uint8_t anchors = 0;
    for (const formfile::TFormNodeValue& i : p->Value.Items) {
        if (formfile::SameIdent(i.Text, "akLeft")) anchors |= akLeft;
        if (formfile::SameIdent(i.Text, "akTop")) anchors |= akTop;
        if (formfile::SameIdent(i.Text, "akRight")) anchors |= akRight;
        if (formfile::SameIdent(i.Text, "akBottom")) anchors |= akBottom;
    }
    return anchors;
}

// What borders, bevels, captions and tabs take off the area aligned children share.
TRect InsetsOf(const TFormNode& N, const std::vector<std::string>& Chain, TPageStyle Style) {
    if (Style == TPageStyle::Pages || Style == TPageStyle::TabsOnly) return {4, 24, 4, 4};
    if (ChainHas(Chain, "TGroupBox")) return {2, 16, 2, 2};
    if (ChainHas(Chain, "TToolBar")) return {0, 2, 0, 0};
    if (ChainHas(Chain, "TPanel")) {
        const int32_t bevel = Int(N, "BevelWidth", 1);
        std::string outer = Ident(N, "BevelOuter"), inner = Ident(N, "BevelInner");
        int32_t i = Int(N, "BorderWidth", 0);
        if (!formfile::SameIdent(outer, "bvNone")) i += bevel;
        if (!inner.empty() && !formfile::SameIdent(inner, "bvNone")) i += bevel;
        return {i, i, i, i};
    }
    return {};
}

TPageStyle StyleOf(const std::vector<std::string>& Chain) {
    if (ChainHas(Chain, "TPageControl") || ChainHas(Chain, "TTabbedNotebook"))
        return TPageStyle::Pages;
    if (ChainHas(Chain, "TNotebook")) return TPageStyle::PlainPages;
    if (ChainHas(Chain, "TTabControl")) return TPageStyle::TabsOnly;
    return TPageStyle::None;
}

}  // namespace

TFormLayout::TFormLayout(const TDesignedForm& Form)
    : FForm(Form), FParts(Form.Parts().size()), FPages(Form.Parts().size()) {
    const TFormNode& root = *Form.Parts().front().Node;
    // A form that stores only its outer size: less the borders, title bar and menu bar of
    // the classic window frame (4 + 4, 19 + 4 + 4, 19).
    const int32_t menu = Stored(root, "Menu") ? 19 : 0;
    FClientWidth = Int(root, "ClientWidth", Int(root, "Width", 328) - 8);
    FClientHeight = Int(root, "ClientHeight", Int(root, "Height", 267 + menu) - 27 - menu);
    for (size_t i = 0; i < FParts.size(); ++i) Classify(static_cast<int32_t>(i));

    std::vector<int32_t> partOfBox;
    std::vector<TLayoutBox> boxes = Boxes(partOfBox);
    std::vector<TRect> rects = LayOut(boxes);
    for (size_t b = 0; b < rects.size(); ++b)
        FParts[static_cast<size_t>(partOfBox[b])].Bounds = rects[b];
    // Icons last: they sit on the rectangle of what holds them.
    for (size_t i = 1; i < FParts.size(); ++i) {
        TLaidPart& p = FParts[i];
        if (p.Visual || !p.Shown) continue;
        const TFormNode& n = *Form.Parts()[i].Node;
        int32_t x = Int(n, "Left", 0), y = Int(n, "Top", 0);
        if (const formfile::TFormNodeProperty* d = FindProperty(n, "DesignInfo");
            d && d->Value.Type == TFormValueType::Integer) {
            x = static_cast<int16_t>(d->Value.Int & 0xFFFF);
            y = static_cast<int16_t>((d->Value.Int >> 16) & 0xFFFF);
        }
        const TRect& on = FParts[static_cast<size_t>(p.Parent)].Bounds;
        p.Bounds = {on.Left + x, on.Top + y, on.Left + x + kIconSize, on.Top + y + kIconSize};
    }
}

void TFormLayout::Classify(int32_t Index) {
    const TDesignedForm::TPart& part = FForm.Parts()[static_cast<size_t>(Index)];
    TLaidPart& l = FParts[static_cast<size_t>(Index)];
    l.Parent = part.Parent;
    l.Chain = ClassChain(part.Node->ClassName, &part.Component->ClassType());
    const formfile::TFormNodeProperty* v = FindProperty(*part.Node, "Visible");
    l.Visible = !v || v->Value.Type != TFormValueType::False;
    if (part.Parent < 0) {
        l.Visual = l.Shown = l.Drawn = true;
        l.Style = StyleOf(l.Chain);
        return;
    }
    const TLaidPart& parent = FParts[static_cast<size_t>(part.Parent)];
    l.Page = parent.Page;
    if (!parent.Visual) return;  // a menu item, an action: inside its component
    const bool designed = dynamic_cast<const TDesignedComponent*>(part.Component) != nullptr;
    if (!designed)
        l.Visual = part.Component->ClassType().InheritsFrom(TControl::StaticClass());
    else if (const TPaletteClass* p = PaletteEntry(l.Chain))
        l.Visual = p->Visual;
    else
        l.Visual = LooksVisual(*part.Node);
    l.Shown = parent.Shown && (l.Visible || !l.Visual);
    l.Drawn = parent.Drawn;
    if (!l.Visual) return;
    l.Style = StyleOf(l.Chain);
    if (parent.Style == TPageStyle::Pages || parent.Style == TPageStyle::PlainPages) {
        l.Page = Index;
        FPages[static_cast<size_t>(part.Parent)].push_back(Index);
    }
}

std::vector<TLayoutBox> TFormLayout::Boxes(std::vector<int32_t>& PartOfBox) const {
    std::vector<TLayoutBox> boxes;
    std::vector<int32_t> boxOfPart(FParts.size(), -1);
    for (size_t i = 0; i < FParts.size(); ++i) {
        const TLaidPart& l = FParts[i];
        if (!l.Visual || (i > 0 && boxOfPart[static_cast<size_t>(l.Parent)] < 0)) continue;
        const TFormNode& n = *FForm.Parts()[i].Node;
        TLayoutBox b;
        b.Insets = InsetsOf(n, l.Chain, l.Style);
        b.Flow = ChainHas(l.Chain, "TToolBar");
        if (i == 0) {
            b.Stored = {0, 0, FClientWidth, FClientHeight};
        } else {
            const size_t parentBox = static_cast<size_t>(boxOfPart[static_cast<size_t>(l.Parent)]);
            const TLayoutBox& parent = boxes[parentBox];
            const TFormNode& pn = *FForm.Parts()[static_cast<size_t>(l.Parent)].Node;
            int32_t w = Int(n, "Width", Int(n, "ClientWidth", 75));
            int32_t h = Int(n, "Height", Int(n, "ClientHeight", 25));
            if (ChainHas(l.Chain, "TToolButton")) {
                const std::string style = Ident(n, "Style");
                const bool gap = formfile::SameIdent(style, "tbsSeparator") ||
                                 formfile::SameIdent(style, "tbsDivider");
                w = Int(n, "Width", gap ? 8 : Int(pn, "ButtonWidth", 23));
                h = Int(n, "Height", Int(pn, "ButtonHeight", 22));
            }
            b.Parent = boxOfPart[static_cast<size_t>(l.Parent)];
            b.Align = AlignOf(n, l.Chain);
            if (l.Page == static_cast<int32_t>(i)) {
                // A page fills its container's page area, as large as it was designed.
                b.Align = alClient;
                w = parent.Stored.Width() - parent.Insets.Left - parent.Insets.Right;
                h = parent.Stored.Height() - parent.Insets.Top - parent.Insets.Bottom;
            }
            const int32_t x = Int(n, "Left", 0), y = Int(n, "Top", 0);
            b.Stored = {x, y, x + w, y + h};
            b.Anchors = AnchorsOf(n);
            const int32_t around = Int(n, "BorderSpacing.Around", 0);
            b.Spacing = {around + Int(n, "BorderSpacing.Left", 0),
                         around + Int(n, "BorderSpacing.Top", 0),
                         around + Int(n, "BorderSpacing.Right", 0),
                         around + Int(n, "BorderSpacing.Bottom", 0)};
            b.Visible = l.Visible;
        }
        boxOfPart[i] = static_cast<int32_t>(boxes.size());
        PartOfBox.push_back(static_cast<int32_t>(i));
        boxes.push_back(b);
    }
    return boxes;
}

const std::vector<int32_t>& TFormLayout::PagesOf(int32_t Container) const {
    return FPages[static_cast<size_t>(Container)];
}

int32_t TFormLayout::StoredActivePage(int32_t Container) const {
    const std::vector<int32_t>& pages = PagesOf(Container);
    if (pages.empty()) return -1;
    const TFormNode& n = *FForm.Parts()[static_cast<size_t>(Container)].Node;
    if (const formfile::TFormNodeProperty* a = FindProperty(n, "ActivePage")) {
        for (int32_t page : pages) {
            const TFormNode& pn = *FForm.Parts()[static_cast<size_t>(page)].Node;
            if (a->Value.Type == TFormValueType::Ident &&
                formfile::SameIdent(pn.Name, a->Value.Text))
                return page;
            const formfile::TFormNodeProperty* c = FindProperty(pn, "Caption");
            if (a->Value.Type == TFormValueType::String && c &&
                c->Value.Type == TFormValueType::String && c->Value.Str == a->Value.Str)
                return page;
        }
    }
    const int32_t index = Int(n, "PageIndex", Int(n, "TabIndex", 0));
    return index >= 0 && static_cast<size_t>(index) < pages.size()
               ? pages[static_cast<size_t>(index)]
               : pages.front();
}

}  // namespace zk::forms
