// The widget set's common controls: the tree view, the tabbed notebook with its pages, and the
// spin edit.
#pragma once

#include "zk/host/widgetset/WSControls.h"

namespace zk::forms {

class TSpinEdit;
class TTabbedNotebook;
class TTabPage;
class TTreeView;

class TWSComCtrls {
  public:
    virtual ~TWSComCtrls() = default;
    // A person's selection goes through TTreeView::SetSelected (OnChanging while Selected is
    // still the old node, then OnChange), then OnClick; a vetoed change shows the old node again.
    virtual TWSPeerPtr CreateTreeView(TTreeView& Tree) = 0;
    // A click on a tab goes through SetPageIndex; the notebook's Changed also tells its pages.
    virtual TWSPeerPtr CreateTabbedNotebook(TTabbedNotebook& Notebook) = 0;
    virtual TWSPeerPtr CreateTabPage(TTabPage& Page) = 0;
    // Typing goes through the edit's text; the arrows through Value and Increment.
    virtual TWSPeerPtr CreateSpinEdit(TSpinEdit& SpinEdit) = 0;
};

}  // namespace zk::forms
