// The project commands that read and judge: check (for CI) and report.
#pragma once

#include <string>
#include <vector>

namespace helpctx {

// Prints one "FILE:LINE: message" line per problem; 0 when there is none, else 1.
int Check(const std::vector<std::string>& Project, const std::string& PlanFile);

// Counts per form and in total, as text or as one JSON document.
int Report(const std::vector<std::string>& Project, bool AsJson);

}  // namespace helpctx
