// How every program answers a command line it cannot take: its own name first, one line that
// says what is wrong, exit status 2.
#pragma once

#include <CLI/CLI.hpp>

#include <cstdio>
#include <string>

namespace zk_apps {

// Handles what App.parse raised: prints --help and --version as asked and returns 0 for them;
// otherwise prints "PROGRAM: REASON" on standard error and returns 2. A word left over where a
// program with commands expects one is named as an unknown command.
inline int ParseFailure(CLI::App& App, const CLI::ParseError& Error) {
    if (Error.get_exit_code() == 0) return App.exit(Error);
    std::string reason = Error.what();
    const bool hasCommands = !App.get_subcommands([](CLI::App*) { return true; }).empty();
    if (hasCommands && App.get_subcommands().empty() && !App.remaining().empty() &&
        App.remaining()[0].rfind('-', 0) != 0)
        reason = "unknown command '" + App.remaining()[0] + "'";
    std::fprintf(stderr, "%s: %s\n", App.get_name().c_str(), reason.c_str());
    return 2;
}

}  // namespace zk_apps
