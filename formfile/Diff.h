// Unified diffs of form files, for the commands' --dry-run.
#pragma once

#include <string>
#include <string_view>

namespace zk::formfile {

// The unified diff (three lines of context, "--- a/NAME", "+++ b/NAME") that turns Old into
// New; empty when they are equal. Made for the edits the commands make (lines changed, inserted
// or removed here and there), in time linear in the files' length.
std::string UnifiedDiff(const std::string& Name, std::string_view Old, std::string_view New);

}  // namespace zk::formfile
