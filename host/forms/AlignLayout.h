// Where controls stand at run time, computed from what a form file stores: the bounds of each
// control, its Align, Anchors and Visible, and the size of the form's client area. Pure: no
// controls, no back end; the designer's surface and its --layout output use it.
//
// The rules are those Delphi's VCL and Lazarus' LCL document for TWinControl.AlignControls:
// in a parent's client area first the alTop controls from the top down (ordered by their stored
// Top), then alBottom from the bottom up (the lowest stored bottom edge first), then alLeft (by
// stored Left) and alRight (the rightmost first); each takes its stored height or width and the
// whole free breadth, and narrows what is left. alClient controls then take all that is left.
// Controls with equal keys keep their order in the file. Hidden controls take no room and keep
// their stored bounds. A control that is not aligned keeps its distance to the parent's edges
// its Anchors name when the parent ends up another size than stored: left and right anchored
// it stretches, right only it moves, neither it keeps its centre at the same proportion.
// An aligned control keeps its Spacing (Lazarus' BorderSpacing: each side plus Around) free
// around it inside the room it takes.
// Tool bars (Flow) set their visible controls in rows, left to right in stored order, starting
// a new row when the next one would pass the right edge.
#pragma once

#include <cstdint>
#include <vector>

#include "zk/host/forms/Controls.h"

namespace zk::forms {

enum TAnchorKind : uint8_t { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };
// What a control stores without an Anchors property.
inline constexpr uint8_t kDefaultAnchors = akLeft | akTop;

struct TLayoutBox {
    int32_t Parent = -1;  // index of the box it sits on; -1 only for the form, the first box
    TRect Stored;         // bounds as stored, relative to the parent's top left corner
    TAlign Align = alNone;
    uint8_t Anchors = kDefaultAnchors;
    bool Visible = true;
    // What borders, captions and tabs take off each edge of the area aligned children share.
    TRect Insets;
    bool Flow = false;  // a tool bar: its children set in rows
    TRect Spacing;      // the room kept free on each side of an aligned control
};

// The rectangle of every box in the form's client coordinates, by index. Boxes[0] is the form,
// whose client area is its Stored size; a parent comes before its children. Children are laid
// out in the order of Boxes.
std::vector<TRect> LayOut(const std::vector<TLayoutBox>& Boxes);

}  // namespace zk::forms
