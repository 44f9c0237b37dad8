// The writer of the text form format: values and whole trees in the IDEs' layout.
#pragma once

#include <string>

#include "zk/formfile/FormTree.h"

namespace zk::formfile {

// A float as form text writes it ("1.5", "2.5s", "45000.5d", "125000c"); empty when it is not
// finite.
std::string FormFloatText(const TFormNodeValue& V);
// A value as text; lists, binary data and collections break their lines with LineEnd and
// indent them two spaces past Indent. Raises EFormFileError for a float that is not finite.
std::string FormValueText(const TFormNodeValue& V, const std::string& Indent,
                          const std::string& LineEnd);
// Prints a tree as text in the IDEs' layout (two spaces a level); raises EFormFileError for a
// value text cannot hold (a float that is not finite).
std::string PrintFormTree(const TFormNode& Root, const std::string& LineEnd);

}  // namespace zk::formfile
