// What the form benchmarks share: a large text form as the IDE writes it.
#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace zkbench {

// A form as the IDE writes it: components in panels, some already numbered, handlers.
inline std::string BigForm(int Components) {
    std::string s = "object BigForm: TBigForm\r\n  Caption = 'Big'\r\n  ClientHeight = 480\r\n";
    for (int i = 0; i < Components; ++i) {
        std::string n = std::to_string(i);
        if (i % 100 == 0) {
            if (i) s += "  end\r\n";
            s += "  object Panel" + n + ": TPanel\r\n    Left = 0\r\n";
        }
        s += "    object Edit" + n + ": TEdit\r\n      Top = " + n + "\r\n      Text = 'Edit " + n +
             "'\r\n";
        if (i % 3 == 0) s += "      HelpContext = " + n + "\r\n";
        s += "    end\r\n";
    }
    s += "  end\r\nend\r\n";
    return s;
}

// Runs Args[0] with Args, its standard output thrown away; true when it exits with 0.
inline bool RunQuietly(std::vector<std::string> Args) {
    std::vector<char*> argv;
    for (std::string& a : Args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    int started = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    return started == 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

}  // namespace zkbench
