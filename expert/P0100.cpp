#include "zk/expert/P0100.h"

#include "P0100_dfm.h"
#include "zk/host/rtl/TypInfo.h"

namespace zk::expert {

using namespace zk::forms;
using namespace zk::rtl;

const TClassInfo& Tpx0100::StaticClass() {
    static const TClassInfo info = TClassBuilder<Tpx0100>("Tpx0100", &TForm::StaticClass())
                                       .Field("pnlMessage", &Tpx0100::pnlMessage)
                                       .Field("Panel2", &Tpx0100::Panel2)
                                       .Field("memError", &Tpx0100::memError)
                                       .Field("pnlBottom", &Tpx0100::pnlBottom)
                                       .Field("btnClose", &Tpx0100::btnClose)
                                       .Field("Button2", &Tpx0100::Button2)
                                       .Method("btnCloseClick", &Tpx0100::btnCloseClick)
                                       .Method("Button2Click", &Tpx0100::Button2Click)
                                       .Build();
    return info;
}

Tpx0100::Tpx0100(TComponent* AOwner) : TForm(AOwner) { InitFromText(P0100_dfm); }

void Tpx0100::btnCloseClick(TObject* /*Sender*/) { Close(); }

void Tpx0100::Button2Click(TObject* /*Sender*/) { Application.HelpJump("Help2000"); }

}  // namespace zk::expert
