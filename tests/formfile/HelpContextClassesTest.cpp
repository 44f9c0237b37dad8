#include <gtest/gtest.h>

#include "zk/formfile/HelpContextClasses.h"
#include "tests/support/Namespaces.h"

namespace {

TEST(HelpContextClassesTest, EachLibraryDecidesByItsOwnTable) {
    const auto Yes = THelpPublishing::Yes, No = THelpPublishing::No,
               Unknown = THelpPublishing::Unknown;
    struct Row {
        const char* Class;
        THelpPublishing Delphi, Lazarus;
    } rows[] = {
        {"TForm", Yes, Yes},
        {"TButton", Yes, Yes},
        {"tedit", Yes, Yes},
        {"TPanel", Yes, Yes},
        {"TStringGrid", Yes, Yes},
        {"TPageControl", Yes, Yes},
        {"TLabel", No, Yes},
        {"TImage", No, Yes},
        {"TShape", No, Yes},
        {"TBevel", No, Yes},
        {"TSpeedButton", No, Yes},
        {"TPaintBox", No, Yes},
        {"TTimer", No, No},
        {"TMainMenu", No, No},
        {"TPopupMenu", Yes, Unknown},
        {"TMenuItem", Yes, Yes},
        {"TActionList", No, No},
        {"TImageList", No, No},
        {"TOpenDialog", Yes, Unknown},
        {"TDataSource", No, No},
        {"TTable", No, Unknown},
        {"TMyGadget", Unknown, Unknown},
        {"TAction", Yes, Yes},
        {"TToggleBox", Unknown, Yes},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(PublishesHelpContext(TFormLibrary::Delphi, r.Class), r.Delphi) << r.Class;
        EXPECT_EQ(PublishesHelpContext(TFormLibrary::Lazarus, r.Class), r.Lazarus) << r.Class;
    }
    EXPECT_EQ(LibraryOfFile("dir/Main.LFM"), TFormLibrary::Lazarus);
    EXPECT_EQ(LibraryOfFile("Main.dfm"), TFormLibrary::Delphi);
}

}  // namespace
