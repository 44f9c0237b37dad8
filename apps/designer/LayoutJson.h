// designer --layout: the designed form's components as the surface lays them out, as JSON,
// for scripts and tests (docs/designer.md describes the fields).
#pragma once

#include <string>

#include "zk/host/forms/DesignedForm.h"

namespace designer {

// The layout of Form as JSON text (ending in a newline).
std::string LayoutJson(const zk::forms::TDesignedForm& Form);

}  // namespace designer
