// designer: a terminal stand-in for the IDE's form designer. It opens a form file, loads the
// Help Expert package (its menu goes into the IDE's main menu), presses the ellipsis of a
// component's HelpContext property in the object inspector, and lets the person at the
// terminal work in the windows that opens (see FormDriver.h for the commands). Afterwards it
// prints every help-context number and, when one changed or --out is given, stores the form:
// the file as read with only its HelpContext values changed.
#include <CLI/CLI.hpp>

#include <iostream>

#include "apps/designer/FormDriver.h"
#include "expert/P0200.h"
#include "host/forms/DesignedForm.h"
#include "host/platform/FileReplace.h"
#include "host/platform/LargeHeap.h"
#include "host/registry/Registry.h"
#include "host/rtl/TypInfo.h"

using namespace zk::expert;
using namespace zk::forms;
using namespace zk::registry;
using namespace zk::rtl;

namespace {

void PrintMenuBar() {
    TIMenuItemIntf* bar = ToolServices->GetMainMenu()->GetMenuItems();
    std::cout << "IDE menu:";
    for (int32_t i = 0; i < bar->GetItemCount(); ++i)
        std::cout << (i ? " | " : " ") << bar->GetItem(i)->GetCaption();
    std::cout << "\n";
}

void PrintHelpContexts(TComponent* Form) {
    auto print = [](TComponent* c, const std::string& label) {
        if (const TPropInfo* p = GetPropInfo(c, "HelpContext"))
            std::cout << "  " << label << ".HelpContext = " << GetOrdProp(c, p) << "\n";
    };
    print(Form, Form->Name());
    for (int32_t i = 0; i < Form->ComponentCount(); ++i)
        print(Form->Components(i), Form->Components(i)->Name());
}

}  // namespace

static int Run(int argc, char** argv) {
    CLI::App app{"Opens a form file in a terminal form designer and runs the Help Expert on it.",
                 "designer"};
    app.set_version_flag("--version", "designer " ZK_VERSION);
    std::string formFile, component, outFile, setPath;
    app.add_option("FORM", formFile, "Form file (.dfm or .lfm, text or binary)")->required();
    app.add_option("--component", component,
                   "Component whose HelpContext ellipsis is pressed (default: the form)");
    app.add_option("--out", outFile,
                   "Store the form here afterwards (default: replace FORM when a number changed; "
                   "- is standard output)");
    app.add_option("--set-path", setPath,
                   "First store this command line as the authoring application's \"Path\"");
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        int code = app.exit(e);
        return e.get_exit_code() == 0 ? code : 2;
    }

    THeadlessUi ui;
    TUiBackendScope uiScope(ui);
    TIdeHost ide;
    P0200::Initialization();
    P0200::Register();
    int status = 0;
    try {
        if (!setPath.empty()) {
            TRegistry reg;
            reg.OpenKey("Software\\Vdx", true);
            reg.WriteString("Path", setPath);
        }
        PrintMenuBar();
        std::string bytes = zk::platform::ReadWholeFile(formFile);
        // The document and the components take about forty times the file's size.
        zk::platform::PrepareHeapFor(bytes.size() * 40);
        TDesignedForm form(std::move(bytes), formFile);
        TComponent* target = component.empty() ? &form : form.FindComponent(component);
        if (!target) throw Exception("no component " + component + " on " + form.Name());
        TFormDesigner formDesigner(&form);
        TObjectInspector inspector(&formDesigner);
        std::cout << "Inspector: " << target->Name()
                  << ".HelpContext = " << inspector.GetValue(target, "HelpContext") << "  [...]\n";
        designer::TFormDriver driver(ui, std::cin, std::cout);
        driver.Arm();
        std::cout << "Pressing the ellipsis: starting \"" << P0200::ReadDocuvanePath() << "\"\n";
        inspector.PressEllipsis(target, "HelpContext");
        std::cout << "Help contexts now:\n";
        PrintHelpContexts(&form);
        if (!outFile.empty() || form.Modified()) {
            const std::string& to = outFile.empty() ? formFile : outFile;
            std::string bytes = form.Save();
            std::cout.flush();
            zk::platform::ReplaceFile(to, bytes);
            if (to != "-") std::cout << "Stored " << to << "\n";
        } else {
            std::cout << "No number changed; " << formFile << " is left as it was\n";
        }
    } catch (const Exception& e) {
        std::cerr << "designer: " << e.Message() << "\n";
        status = 1;
    } catch (const zk::platform::EFileError& e) {
        std::cerr << "designer: " << e.what() << "\n";
        status = 1;
    }
    P0200::Finalization();
    return status;
}

int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const std::exception& e) {
        std::cerr << "designer: " << e.what() << "\n";
        return 1;
    }
}
