// TTabbedNotebook: pages behind tabs, one shown at a time. Each page (TTabPage) is a container
// with a caption, the tab's text; controls placed on a page show only while it is the active
// page. In a form file the pages are objects of their own inside the notebook, in tab order.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "zk/host/forms/Controls.h"

namespace zk::forms {

class TTabbedNotebook;

class TTabPage : public TWinControl {
    ZK_CLASS(TTabPage)
  public:
    explicit TTabPage(TComponent* AOwner);
    std::unique_ptr<TWSPeer> CreatePeer(TUiBackend& Ui) override;

    // Visible, on a showing notebook, and its active page.
    bool Showing() const override;

  private:
    friend class TTabbedNotebook;
};

class TTabbedNotebook : public TWinControl {
    ZK_CLASS(TTabbedNotebook)
  public:
    explicit TTabbedNotebook(TComponent* AOwner);
    std::unique_ptr<TWSPeer> CreatePeer(TUiBackend& Ui) override;

    // The pages placed on the notebook, in order, and their captions.
    int32_t PageCount() const;
    TTabPage* Page(int32_t Index) const;
    std::vector<std::string> Pages() const;

    // Index of the active page. A value out of range is ignored (while a form file is read it
    // is kept, and checked once the pages are there).
    int32_t PageIndex() const { return FPageIndex; }
    void SetPageIndex(int32_t Value);
    // The active page, or null when there is none.
    TTabPage* ActivePage() const;

    void Loaded() override;

  protected:
    // The pages cover the area below the tabs.
    void AdjustClientRect(TRect& Rect) const override;

  private:
    std::vector<TTabPage*> PageList() const;

    int32_t FPageIndex = 0;
};

}  // namespace zk::forms
