// A project: the form files under some folders (or named one by one), read whole as lossless
// documents, with the components of each that publish HelpContext and their numbers.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "formfile/FormDocument.h"
#include "formfile/HelpContextClasses.h"

namespace zk::formfile {

// A failure that ends the run with status 1; the text is printed after "helpctx: ".
struct TFailure {
    std::string Message;
};

struct TProjectForm {
    std::string Path;  // as found: the folder given joined with the path below it
    std::unique_ptr<TFormDocument> Doc;
    std::vector<THelpTarget> Targets;
    std::vector<int64_t> Numbers;  // one per target, 0 when none is stored
    std::string FormName() const { return Doc->Root().Name; }
};

// The form files that Args name: files as given, folders searched recursively for .dfm and
// .lfm files (case ignored), a folder's sorted by path. In the order given, each once. Raises
// TFailure when there is none.
std::vector<std::string> FindFormFiles(const std::vector<std::string>& Args);

// Reads every form file of Args; the first that cannot be read or is malformed raises
// TFailure with the reader's message.
std::vector<TProjectForm> LoadProject(const std::vector<std::string>& Args);

// The form file Path whose content is Bytes; a malformed one raises TFailure.
TProjectForm ReadForm(const std::string& Path, std::string Bytes);

// Where a target stands: "FILE:LINE" (binary forms have line 0).
std::string Where(const TProjectForm& Form, const THelpTarget& Target);

// Replaces each (path, bytes) as one change: all files or none (see ReplaceFiles). Raises
// TFailure.
void Store(const std::vector<std::pair<std::string, std::string>>& Files);

// S quoted as a JSON string.
std::string Json(const std::string& S);

}  // namespace zk::formfile
