// A fresh headless back end installed for each test, so that records and queued scripts of one
// test never reach another.
#pragma once

#include <gtest/gtest.h>

#include "zk/host/interfaces/headless/HeadlessUi.h"
#include "tests/support/Namespaces.h"

namespace zktest {

class HeadlessTest : public ::testing::Test {
  protected:
    THeadlessUi Ui;

  private:
    TUiBackendScope FScope{Ui};
};

}  // namespace zktest
