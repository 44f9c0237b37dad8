// A designed form as its design surface shows it: every component with whether it is visual,
// the page that shows it and its rectangle after alignment (host/forms/AlignLayout.h), in the
// form's client coordinates. Visual or not comes from the class (the host's classes, then the
// palette table) and, for a class neither knows, from what its object holds. Non-visual
// components sit at their stored design position (Delphi's DesignInfo: Left in the low word,
// Top in the high word; Lazarus' Left and Top) as icons; what they hold (menu items, actions)
// is not on the surface.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "zk/host/forms/AlignLayout.h"
#include "zk/host/forms/DesignedForm.h"

namespace zk::forms {

// How a container shows what is on it.
enum class TPageStyle {
    None,
    Pages,       // one page at a time, chosen by its tab (TPageControl, TTabbedNotebook)
    PlainPages,  // one page at a time, no tabs (TNotebook)
    TabsOnly,    // tabs over controls that are always there (TTabControl)
};

struct TLaidPart {
    int32_t Parent = -1;             // as in TDesignedForm::Parts()
    std::vector<std::string> Chain;  // the class names to look things up by (ClassChain)
    bool Visual = false;
    bool Visible = true;  // its own stored Visible
    bool Shown = false;   // it and its parents visible, and not inside a non-visual component
    // On the design surface: not inside a non-visual component. Hidden controls are drawn too,
    // dimmed, as the IDEs' designers still show them, so their numbers can be found.
    bool Drawn = false;
    int32_t Page = -1;    // the nearest page on the way up (itself for a page), -1 when none
    TPageStyle Style = TPageStyle::None;
    TRect Bounds;  // after alignment; an icon's square at its design position
};

class TFormLayout {
  public:
    explicit TFormLayout(const TDesignedForm& Form);

    // One entry per part of the form, by the same index.
    const std::vector<TLaidPart>& Parts() const { return FParts; }
    int32_t ClientWidth() const { return FClientWidth; }
    int32_t ClientHeight() const { return FClientHeight; }
    // The pages of a container with pages, in order.
    const std::vector<int32_t>& PagesOf(int32_t Container) const;
    // The page a container shows when the form opens: its stored ActivePage (a name, or a
    // caption in notebooks), else PageIndex or TabIndex, else its first page; -1 without pages.
    int32_t StoredActivePage(int32_t Container) const;

    // The size of a non-visual component's icon.
    static constexpr int32_t kIconSize = 28;

  private:
    void Classify(int32_t Index);
    std::vector<TLayoutBox> Boxes(std::vector<int32_t>& PartOfBox) const;

    const TDesignedForm& FForm;
    std::vector<TLaidPart> FParts;
    std::vector<std::vector<int32_t>> FPages;
    int32_t FClientWidth = 0;
    int32_t FClientHeight = 0;
};

}  // namespace zk::forms
