#include "zk/mailslot/Zkmailslot.h"

#include <atomic>

#include "zk/host/rtl/TypInfo.h"
#include "zk/host/win32/Windows.h"

namespace zk {

using namespace win32;

using namespace rtl;

namespace {

std::atomic<int> gInitCount{0};

// The unit's initialisation runs when a program that uses the library starts.
struct TUnitInit {
    TUnitInit() { ZkmailslotInitialization(); }
    ~TUnitInit() { ZkmailslotFinalization(); }
} gUnitInit;

}  // namespace

void ZkmailslotInitialization() {
    if (gInitCount.fetch_add(1) == 0) Randomize();
}

void ZkmailslotFinalization() { gInitCount.fetch_sub(1); }

void Register() {}

void RegisterMailSlotClasses() {
    RegisterClass(TzkMailSlot::StaticClass());
    RegisterClass(TzkAutoMailSlot::StaticClass());
    RegisterClass(TzkSecureMail::StaticClass());
    RegisterClass(TzkNoErrMail::StaticClass());
    RegisterClass(TzkSafeMail::StaticClass());
    RegisterClass(TzkWinPopup::StaticClass());
    RegisterClass(TzkLongMail::StaticClass());
}

uint16_t DrawFrameTag() { return static_cast<uint16_t>(Random(GetTickCount()) & 0xFFFF); }

}  // namespace zk
