// The Win32 error codes the slot functions report, in the words a person reads after a
// program's "cannot send to ...:".
#pragma once

#include <string>

#include "zk/host/platform/ErrorCodes.h"

namespace zk::platform {

// Why a slot could not be opened or written: "no slot of that name on this machine", "access
// denied", "no such machine", ...; a code without words here as "system error N".
std::string SlotErrorText(DWORD Error);

}  // namespace zk::platform
