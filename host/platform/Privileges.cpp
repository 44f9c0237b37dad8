#include "zk/host/platform/Privileges.h"

#include <grp.h>
#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace zk::platform {

void DropPrivileges(const std::string& User) {
    if (geteuid() != 0 || User == "root") return;
    const passwd* pw = getpwnam(User.c_str());
    if (!pw) throw std::runtime_error("no user " + User + " to run as");
    const uid_t uid = pw->pw_uid;
    const gid_t gid = pw->pw_gid;
    auto fail = [&](const char* call) {
        throw std::runtime_error(std::string("cannot become ") + User + ": " + call + ": " +
                                 std::strerror(errno));
    };
    if (setgroups(0, nullptr) < 0) fail("setgroups");
    if (setgid(gid) < 0) fail("setgid");
    if (setuid(uid) < 0) fail("setuid");
    if (uid != 0 && setuid(0) == 0) {
        errno = EPERM;
        fail("root could be taken back");
    }
}

}  // namespace zk::platform
