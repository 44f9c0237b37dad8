// The reader of the text form format (.dfm, .lfm as Delphi and Lazarus write them) into the
// lossless tree: every object, property and value with its place in the text.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "zk/formfile/FormTree.h"

namespace zk::formfile {

struct TFormTextRead {
    TFormNode Root;
    // Where a second form starts after the first one's 'end' (0 when only blanks follow).
    size_t TrailingAt = 0;
};

// Reads the first form of Text; raises EFormFileError "FILE:LINE:COLUMN: expected ...".
TFormTextRead ReadFormText(std::string_view Text, const std::string& FileName);

}  // namespace zk::formfile
