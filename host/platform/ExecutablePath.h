// Where the running program's file is, for finding what is installed beside it.
#pragma once

#include <string>

namespace zk::platform {

// The absolute path of the running program's file (symbolic links resolved); empty when the
// system does not say.
std::string ExecutablePath();

}  // namespace zk::platform
