// THelpContext: the type of every HelpContext property, an integer type of its own so that a
// property editor can be registered for it alone.
#pragma once

#include <cstdint>

#include "zk/host/rtl/TypInfo.h"

namespace zk::rtl {

using THelpContext = int32_t;

// Type information of THelpContext: tkInteger named "THelpContext", range
// -2147483647..2147483647 (the 32-bit range without its lowest value).
const TTypeInfo& TypeInfo_THelpContext();

}  // namespace zk::rtl
