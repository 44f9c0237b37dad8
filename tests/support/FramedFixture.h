// Ground for the framed receivers' tests: a slot of the test's own, a spy on every event, a
// plain listener that shows the exact bytes a sender writes, and the receiver of format R.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "zk/mailslot/Zkmailslot.h"
#include "tests/support/FramedSpy.h"
#include "tests/support/Namespaces.h"
#include "tests/support/TestSupport.h"

namespace zktest {

template <class R>
class FramedTest : public ::testing::Test {
  protected:
    using Lines = std::vector<std::string>;

    SlotDir FDir;
    std::string FName = UniqueSlotName("framed");
    FramedSpy FSpy;

    // A plain endpoint on the slot, to see the exact bytes a sender writes.
    Owned<TzkMailSlot> PlainListener() {
        Owned<TzkMailSlot> e(new TzkMailSlot(nullptr));
        e->SetSlot(FName);
        FSpy.Attach(*e);
        e->Open();
        return e;
    }
    // The receiver under test, open, with its events on the spy and the log cleared.
    Owned<R> Receiver() {
        Owned<R> e(new R(nullptr));
        e->SetSlot(FName);
        FSpy.AttachFramed(*e);
        e->Open();
        FSpy.Log.clear();
        return e;
    }
    void SendRaw(const std::string& Frame) {
        ASSERT_TRUE(
            SendBufToMailSlot(".", FName, Frame.data(), static_cast<int32_t>(Frame.size())));
    }
    // Waits until the log holds Count entries.
    bool Logged(size_t Count) {
        return WaitUntil([&] { return FSpy.Log.size() >= Count; });
    }
};

}  // namespace zktest
