// The Help Expert package loaded into the designer's own host with dlopen: loading installs the
// menu and the editor in the program's IDE, unloading takes both away again, and a package that
// is not there is refused with the loader's reason.
#include <gtest/gtest.h>

#include "apps/designer/ExpertPackage.h"
#include "zk/host/ide/DesignIntf.h"
#include "zk/host/ide/ToolIntf.h"
#include "zk/host/rtl/HelpContext.h"
#include "zk/formfile/HelpContextClasses.h"

using namespace zk::ide;
using namespace zk::rtl;
using namespace zk::formfile;

namespace {

std::string EditorOfHelpContext() {
    TClassInfo cls("TSomething", &TPersistent::StaticClass());
    TPropInfo p;
    p.Name = "HelpContext";
    p.PropType = &TypeInfo_THelpContext();
    return GetEditorClass(&p, cls).Name();
}

std::vector<std::string> DefaultNames() {
    std::vector<std::string> names;
    for (const TIdeMenu& m : TIdeHost::DefaultMenus()) names.push_back(m.Name);
    return names;
}

}  // namespace

TEST(PackageLoadTest, LoadingInstallsMenuAndEditorAndUnloadingRemovesBoth) {
    TIdeHost ide;
    designer::TExpertPackage package;
    for (int round = 0; round < 2; ++round) {  // a second load starts afresh
        package.Load(designer::TExpertPackage::DefaultPath());
        std::vector<std::string> names = DefaultNames();
        names.insert(names.end() - 1, "DocuvaneMenu");
        EXPECT_EQ(ide.TopLevelNames(), names);
        EXPECT_NE(ToolServices->GetMainMenu()->FindMenuItem("DocuvaneAboutItem"), nullptr);
        EXPECT_EQ(EditorOfHelpContext(), "TDocuvaneContextProperty");
        package.Unload();
        EXPECT_EQ(ide.TopLevelNames(), DefaultNames());
        EXPECT_EQ(EditorOfHelpContext(), "TIntegerProperty");
    }
}

TEST(PackageLoadTest, MissingPackageIsRefusedWithTheReason) {
    TIdeHost ide;
    designer::TExpertPackage package;
    try {
        package.Load("/nonexistent/HelpExpert.so");
        FAIL() << "loaded";
    } catch (const zk::platform::EPackageError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("cannot load /nonexistent/HelpExpert.so: ", 0), 0u)
            << e.what();
    }
    EXPECT_FALSE(package.Loaded());
    EXPECT_EQ(ide.TopLevelNames(), DefaultNames());
}
