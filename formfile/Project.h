// A project: the form files under some folders (or named one by one), read whole as lossless
// documents, with the components of each that publish HelpContext and their numbers.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "zk/formfile/FormDocument.h"
#include "zk/formfile/HelpContextClasses.h"

namespace zk::formfile {

// A failure that ends the run with status 1; each line of the text is printed after "helpctx: ".
struct TFailure {
    std::string Message;
};

// The whole file at Path; TFailure with the reason when it cannot be read.
std::string ReadFileOrFail(const std::string& Path);

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

// A form file that cannot be read or is malformed: the reader's complete message
// ("FILE:LINE:COLUMN: what", "FILE: byte N: what" or "cannot read FILE: why"), and the line it
// names (0 when none).
struct TUnreadable {
    std::string Path;
    std::string Message;
    int Line = 0;
};

struct TProject {
    std::vector<TProjectForm> Forms;
    std::vector<TUnreadable> Unreadable;  // in the order found
};

// Reads every form file of Args: those that can be read become Forms, the others Unreadable.
TProject LoadProject(const std::vector<std::string>& Args);

// Reads every form file of Args for a command that changes files, which no form may be
// missing from: any unreadable one raises TFailure naming each of them, a line each.
std::vector<TProjectForm> LoadWholeProject(const std::vector<std::string>& Args);

// The form file Path whose content is Bytes; a malformed one raises TFailure.
TProjectForm ReadForm(const std::string& Path, std::string Bytes);

// The form file Path ("-": standard input) read whole; raises TFailure.
TProjectForm OpenForm(const std::string& Path);
// "FILE:LINE: ..." when Doc's file holds a second form after the first one's end (kept, not
// read); empty when it holds one form.
std::string TrailingFormWarning(const TFormDocument& Doc);

// Where a target stands: "FILE:LINE" (binary forms have line 0).
std::string Where(const TProjectForm& Form, const THelpTarget& Target);

// Replaces each (path, bytes) as one change: all files or none (see ReplaceFiles). Raises
// TFailure.
void Store(const std::vector<std::pair<std::string, std::string>>& Files);

}  // namespace zk::formfile
