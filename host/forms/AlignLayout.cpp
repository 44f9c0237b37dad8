#include "zk/host/forms/AlignLayout.h"

#include <algorithm>

namespace zk::forms {

namespace {

using TChildren = std::vector<std::vector<size_t>>;

int32_t Clamped(int32_t Size) { return std::max<int32_t>(Size, 0); }

TRect Sized(int32_t Left, int32_t Top, int32_t Width, int32_t Height) {
    return {Left, Top, Left + Clamped(Width), Top + Clamped(Height)};
}

// One axis of an anchored control: Start and Size as stored, Delta what the parent grew, Parent
// its stored extent. Returns the new start and size.
std::pair<int32_t, int32_t> Anchored(int32_t Start, int32_t Size, bool Near, bool Far,
                                     int32_t Delta, int32_t Parent) {
    if (Near && Far) return {Start, Size + Delta};
    if (Far) return {Start + Delta, Size};
    if (Near || Parent <= 0) return {Start, Size};
    // The centre keeps its proportion of the parent's extent (rounded as MulDiv rounds).
    int64_t centre = Start + Size / 2;
    int64_t moved = (centre * (Parent + Delta) + Parent / 2) / Parent;
    return {static_cast<int32_t>(moved - Size / 2), Size};
}

TRect AnchoredRect(const TLayoutBox& B, int32_t Dx, int32_t Dy, TRect ParentStored) {
    auto [left, width] = Anchored(B.Stored.Left, B.Stored.Width(), B.Anchors & akLeft,
                                  B.Anchors & akRight, Dx, ParentStored.Width());
    auto [top, height] = Anchored(B.Stored.Top, B.Stored.Height(), B.Anchors & akTop,
                                  B.Anchors & akBottom, Dy, ParentStored.Height());
    return Sized(left, top, width, height);
}

// Whether A goes before B among controls of Align (strictly: equal keys keep file order).
bool Before(const TRect& A, const TRect& B, TAlign Align) {
    switch (Align) {
        case alTop:
            return A.Top < B.Top;
        case alBottom:
            return A.Bottom > B.Bottom;
        case alLeft:
            return A.Left < B.Left;
        case alRight:
            return A.Right > B.Right;
        default:
            return false;
    }
}

void AlignChildren(const std::vector<TLayoutBox>& Boxes, const std::vector<size_t>& Kids,
                   TRect Free, std::vector<TRect>& Local) {
    for (TAlign align : {alTop, alBottom, alLeft, alRight, alClient}) {
        std::vector<size_t> order;
        for (size_t k : Kids)
            if (Boxes[k].Align == align && Boxes[k].Visible) order.push_back(k);
        std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
            return Before(Boxes[a].Stored, Boxes[b].Stored, align);
        });
        for (size_t k : order) {
            const TRect& s = Boxes[k].Spacing;
            const int32_t w = Boxes[k].Stored.Width(), h = Boxes[k].Stored.Height();
            const int32_t across = Free.Width() - s.Left - s.Right;
            const int32_t down = Free.Height() - s.Top - s.Bottom;
            switch (align) {
                case alTop:
                    Local[k] = Sized(Free.Left + s.Left, Free.Top + s.Top, across, h);
                    Free.Top += s.Top + h + s.Bottom;
                    break;
                case alBottom:
                    Local[k] = Sized(Free.Left + s.Left, Free.Bottom - s.Bottom - h, across, h);
                    Free.Bottom -= s.Top + h + s.Bottom;
                    break;
                case alLeft:
                    Local[k] = Sized(Free.Left + s.Left, Free.Top + s.Top, w, down);
                    Free.Left += s.Left + w + s.Right;
                    break;
                case alRight:
                    Local[k] = Sized(Free.Right - s.Right - w, Free.Top + s.Top, w, down);
                    Free.Right -= s.Left + w + s.Right;
                    break;
                default:
                    Local[k] = Sized(Free.Left + s.Left, Free.Top + s.Top, across, down);
                    break;
            }
        }
    }
}

void FlowChildren(const std::vector<TLayoutBox>& Boxes, std::vector<size_t> Kids, TRect Free,
                  std::vector<TRect>& Local) {
    std::stable_sort(Kids.begin(), Kids.end(), [&](size_t a, size_t b) {
        const TRect& A = Boxes[a].Stored;
        const TRect& B = Boxes[b].Stored;
        return A.Top != B.Top ? A.Top < B.Top : A.Left < B.Left;
    });
    int32_t x = Free.Left, y = Free.Top, row = 0;
    for (size_t k : Kids) {
        if (!Boxes[k].Visible) continue;
        int32_t w = Boxes[k].Stored.Width(), h = Boxes[k].Stored.Height();
        if (x > Free.Left && x + w > Free.Right) {
            x = Free.Left;
            y += row;
            row = 0;
        }
        Local[k] = Sized(x, y, w, h);
        x += w;
        row = std::max(row, h);
    }
}

// Lays out the children of Index, whose own rectangle Local[Index] is settled.
void LayChildren(const std::vector<TLayoutBox>& Boxes, const TChildren& Children, size_t Index,
                 std::vector<TRect>& Local) {
    const TLayoutBox& box = Boxes[Index];
    const TRect& actual = Local[Index];
    const int32_t dx = actual.Width() - box.Stored.Width();
    const int32_t dy = actual.Height() - box.Stored.Height();
    const std::vector<size_t>& kids = Children[Index];
    for (size_t k : kids) {
        const TLayoutBox& kid = Boxes[k];
        Local[k] = kid.Visible && kid.Align == alNone && !box.Flow
                       ? AnchoredRect(kid, dx, dy, box.Stored)
                       : kid.Stored;
    }
    TRect free{box.Insets.Left, box.Insets.Top, actual.Width() - box.Insets.Right,
               actual.Height() - box.Insets.Bottom};
    if (box.Flow)
        FlowChildren(Boxes, kids, free, Local);
    else
        AlignChildren(Boxes, kids, free, Local);
    for (size_t k : kids) LayChildren(Boxes, Children, k, Local);
}

}  // namespace

std::vector<TRect> LayOut(const std::vector<TLayoutBox>& Boxes) {
    std::vector<TRect> local(Boxes.size());
    if (Boxes.empty()) return local;
    TChildren children(Boxes.size());
    for (size_t i = 1; i < Boxes.size(); ++i)
        children[static_cast<size_t>(Boxes[i].Parent)].push_back(i);
    local[0] = Sized(0, 0, Boxes[0].Stored.Width(), Boxes[0].Stored.Height());
    LayChildren(Boxes, children, 0, local);
    // Parents come first, so each parent is in form coordinates before its children move.
    std::vector<TRect> out(local);
    for (size_t i = 1; i < Boxes.size(); ++i) {
        const TRect& p = out[static_cast<size_t>(Boxes[i].Parent)];
        out[i] = {local[i].Left + p.Left, local[i].Top + p.Top, local[i].Right + p.Left,
                  local[i].Bottom + p.Top};
    }
    return out;
}

}  // namespace zk::forms
