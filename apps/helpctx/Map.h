// The help compiler's files made from a project: the map file (#define per context string) and
// the alias file (context string = topic).
#pragma once

#include <string>
#include <vector>

namespace helpctx {

struct TMapOptions {
    std::string Header;  // the map file (.h)
    std::string Alias;   // the alias file (.ali); empty: none
    std::string Prefix = "IDH_";
    std::string Topics = "<form>.htm#<component>";
};

// Whether every character of S may stand in a context string: letters, digits, '_', '.'.
bool IsContextSafe(const std::string& S);

// Writes the files (each replaced atomically; a failure leaves both as they were). Raises
// TFailure.
int Map(const std::vector<std::string>& Project, const TMapOptions& Options);

}  // namespace helpctx
