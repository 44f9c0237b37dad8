// The application-not-running dialog: tells the developer that the authoring application must
// be running. Constructed with no owner, shown modally and destroyed by its creator.
#pragma once

#include "zk/host/forms/Forms.h"
#include "zk/host/forms/StdCtrls.h"

namespace zk::expert {

class Tpx0100 : public forms::TForm {
    ZK_CLASS(Tpx0100)
  public:
    // Reads the dialog's layout (P0100.dfm) and binds its handlers.
    explicit Tpx0100(TComponent* AOwner);

    forms::TPanel* pnlMessage = nullptr;
    forms::TPanel* Panel2 = nullptr;
    forms::TMemo* memError = nullptr;
    forms::TPanel* pnlBottom = nullptr;
    forms::TButton* btnClose = nullptr;
    forms::TButton* Button2 = nullptr;

    // "Close": ends the modal loop.
    void btnCloseClick(TObject* Sender);
    // "Help": jumps to "Help2000" in the help file current at the time; the dialog stays open.
    void Button2Click(TObject* Sender);
};

}  // namespace zk::expert
