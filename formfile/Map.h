// The help compiler's files made from a project: the map file (#define per context string) and
// the alias file (context string = topic).
#pragma once

#include <map>
#include <string>
#include <vector>

#include "zk/formfile/Project.h"

namespace zk::formfile {

struct TMapOptions {
    std::string Header;  // the map file (.h)
    std::string Alias;   // the alias file (.ali); empty: none
    std::string Prefix = "IDH_";
    std::string Topics = "<form>.htm#<component>";
};

// Whether every character of S may stand in a context string: letters, digits, '_', '.'.
bool IsContextSafe(const std::string& S);

// What a context string names: the form and component parts (made safe) and the target.
struct TContext {
    std::string Form, Component;  // Component empty for the form itself
    const TProjectForm* File;
    size_t Target;
};

// The context string (Prefix + FORM + "_" + COMPONENT) of every target of Forms, those
// without a number too when WithUnset. Raises TFailure when two targets would share one.
std::map<std::string, TContext> ContextStrings(const std::vector<TProjectForm>& Forms,
                                               const std::string& Prefix, bool WithUnset);

// Writes the files (together: a failure leaves both as they were). Raises
// TFailure.
int Map(const std::vector<std::string>& Project, const TMapOptions& Options);

}  // namespace zk::formfile
