// Which classes of the standard component palettes publish a HelpContext property. The two
// libraries differ: in Lazarus's LCL the base control class publishes it for every control; in
// Delphi 5's VCL the windowed controls and forms publish it, graphic controls (labels, images,
// shapes, bevels, speed buttons, ...) do not. Non-visual components publish it in neither.
#pragma once

#include <string_view>

namespace zk::rtl {

enum class TFormLibrary { Delphi, Lazarus };

// The library a form file belongs to by its name: ".lfm" is Lazarus, anything else Delphi.
TFormLibrary LibraryOfFile(std::string_view FileName);

enum class THelpPublishing { Yes, No, Unknown };

// What the palette tables say about ClassName (case ignored); Unknown for a class outside them.
THelpPublishing PublishesHelpContext(TFormLibrary Library, std::string_view ClassName);

}  // namespace zk::rtl
