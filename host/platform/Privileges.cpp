#include "zk/host/platform/Privileges.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>

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
    // The environment still names root's own folders. The runtime folder picks the slot
    // directory: the new user's, where it has one, else none (the slot directory then falls
    // back to one of its own).
    const std::string runtime = "/run/user/" + std::to_string(uid);
    struct stat st {};
    if (::stat(runtime.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == uid)
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    else
        unsetenv("XDG_RUNTIME_DIR");
    setenv("HOME", pw->pw_dir, 1);
    setenv("USER", User.c_str(), 1);
}

}  // namespace zk::platform
