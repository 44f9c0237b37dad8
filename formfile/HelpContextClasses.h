// Which classes of the standard component palettes publish a HelpContext property. The two
// libraries differ: in Lazarus's LCL the base control class publishes it for every control; in
// Delphi 5's VCL the windowed controls and forms publish it, graphic controls (labels, images,
// shapes, bevels, speed buttons, ...) do not. Non-visual components publish it in neither.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "zk/formfile/FormDocument.h"

namespace zk::formfile {

enum class TFormLibrary { Delphi, Lazarus };

// The library a form file belongs to by its name: ".lfm" is Lazarus, anything else Delphi.
TFormLibrary LibraryOfFile(std::string_view FileName);

enum class THelpPublishing { Yes, No, Unknown };

// What the palette tables say about ClassName (case ignored); Unknown for a class outside them.
THelpPublishing PublishesHelpContext(TFormLibrary Library, std::string_view ClassName);

// Whether an object of a form file publishes HelpContext: the table's answer, else whether
// the file stores one; an inline frame does, and so does the form itself unless it is a data
// module (Root: Node is the file's top object, whose class is the user's own).
bool PublishesHelpContext(TFormLibrary Library, const TFormNode& Node, bool Root);

struct THelpTarget {
    const TFormNode* Node;
    std::string Path;  // Form.Component; components of an inline frame go through the frame
};

// The objects of Root's tree that publish HelpContext, in tree order. Components on a form
// (also those inside panels) belong to the form; those inside an inline frame to the frame.
std::vector<THelpTarget> HelpContextTargets(TFormLibrary Library, const TFormNode& Root);

}  // namespace zk::formfile
