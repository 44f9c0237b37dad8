// Giving up root once a daemon holds its privileged ports.
#pragma once

#include <string>

namespace zk::platform {

// As root: becomes User (its uid, its primary group, no supplementary groups), for good: a
// later setuid(0) fails. Not root: nothing to give up, returns at once (a service started with
// only CAP_NET_BIND_SERVICE). "root" keeps root. Throws std::runtime_error naming the user and
// the call that failed; the process must not go on as root then. The environment follows the
// user: HOME, USER, and XDG_RUNTIME_DIR (its /run/user/UID, or unset when it has none).
void DropPrivileges(const std::string& User);

}  // namespace zk::platform
