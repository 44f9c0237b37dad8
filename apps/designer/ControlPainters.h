// How the design surface draws a control, looked up by class: the control's own class first,
// then the classes it is like or derives from (zk::forms::ClassChain). A class with no painter
// on its way up is one the designer does not know: a framed placeholder with its name and class.
#pragma once

#include <QPainter>
#include <QRect>
#include <QString>
#include <QWidget>
#include <string>
#include <vector>

#include "zk/formfile/FormTree.h"

namespace designer {

struct TPaintCall {
    QPainter& Painter;
    QWidget& Widget;  // its style and font
    QRect Bounds;
    const zk::formfile::TFormNode& Node;
    QString Text;  // the stored Caption, else the stored Text ("" when neither is stored)
};

using TPainter = void (*)(const TPaintCall&);

// The painter of the nearest class of Chain that has one; the placeholder's when none has.
TPainter PainterFor(const std::vector<std::string>& Chain);

// A non-visual component: a tile with a short label of its class.
void PaintIcon(const TPaintCall& Call);

}  // namespace designer
