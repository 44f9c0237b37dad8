// designer: the IDE's form designer with the Help Expert package. It loads the package (a
// shared library: its menu goes into the IDE's main menu, its HelpContext editor into the
// object inspector), opens a form file and, on a display, shows the designer's window: the
// form, its component tree and the object inspector, whose HelpContext ellipsis runs the Help
// Expert. With --script (or without a display) it is a terminal driver instead: it presses the
// ellipsis of one component's HelpContext and lets the person at the terminal work in the
// windows that opens (see FormDriver.h for the commands); afterwards it prints every
// help-context number and, when one changed or --out is given, stores the form: the file as
// read with only its HelpContext values changed.
#include <CLI/CLI.hpp>

#include <cstdlib>
#include <iostream>

#include "apps/UsageError.h"
#include "apps/designer/ExpertPackage.h"
#include "apps/designer/FormDriver.h"
#include "apps/designer/FormSession.h"
#include "apps/designer/LayoutJson.h"
#include "zk/host/ide/ToolIntf.h"
#include "zk/host/interfaces/headless/HeadlessUi.h"
#include "zk/host/platform/FileReplace.h"
#include "zk/host/registry/Registry.h"
#include "zk/host/rtl/TypInfo.h"
#ifdef ZK_DESIGNER_WINDOW
#include "apps/designer/DesignerWindow.h"
#endif

using namespace zk::forms;
using namespace zk::ide;
using namespace zk::registry;
using namespace zk::rtl;

namespace {

struct TOptions {
    std::string FormFile, Component, OutFile, SetPath, Package;
    bool Script = false, ReplyChannel = false, KeepGoing = false, Layout = false;
};

void PrintMenuBar(std::ostream& Out) {
    TIMenuItemIntf* bar = ToolServices->GetMainMenu()->GetMenuItems();
    Out << "IDE menu:";
    for (int32_t i = 0; i < bar->GetItemCount(); ++i)
        Out << (i ? " | " : " ") << bar->GetItem(i)->GetCaption();
    Out << "\n";
}

void PrintHelpContexts(std::ostream& Out, TComponent* Form) {
    auto print = [&Out](TComponent* c, const std::string& label) {
        if (const TPropInfo* p = GetPropInfo(c, "HelpContext"))
            Out << "  " << label << ".HelpContext = " << GetOrdProp(c, p) << "\n";
    };
    print(Form, Form->Name());
    for (int32_t i = 0; i < Form->ComponentCount(); ++i)
        print(Form->Components(i), Form->Components(i)->Name());
}

std::string ReadDocuvanePath() {
    TRegistry reg;
    std::string path;
    if (reg.OpenKey("Software\\Vdx", true)) path = reg.ReadString("Path");
    return path;
}

// --set-path: stores Command as "Path"; an empty one removes the value.
void StoreDocuvanePath(const std::string& Command) {
    TRegistry reg;
    reg.OpenKey("Software\\Vdx", true);
    if (Command.empty())
        reg.DeleteValue("Path");
    else
        reg.WriteString("Path", Command);
}

#ifdef ZK_DESIGNER_WINDOW
bool HaveDisplay() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        if (const char* v = std::getenv(name); v && *v) return true;
    return false;
}
#endif

int RunTerminal(const TOptions& O) {
    THeadlessUi ui;
    TUiBackendScope uiScope(ui);
    TIdeHost ide;
    designer::TExpertPackage package;
    int status = 0;
    try {
        package.Load(O.Package);
        if (O.ReplyChannel) package.SetReplyChannel(true);
        // With the form going to standard output, the session's transcript goes beside it.
        std::ostream& out = O.OutFile == "-" ? std::cerr : std::cout;
        PrintMenuBar(out);
        designer::TFormSession session(O.FormFile);
        TDesignedForm& form = session.Form();
        TComponent* target = O.Component.empty() ? &form : form.FindComponent(O.Component);
        if (!target) throw Exception("no component " + O.Component + " on " + form.Name());
        if (!GetPropInfo(target, "HelpContext"))
            throw Exception(target->Name() + " (" + target->ClassName() +
                            ") has no HelpContext property");
        TObjectInspector& inspector = session.Inspector();
        out << "Inspector: " << target->Name()
            << ".HelpContext = " << inspector.GetValue(target, "HelpContext") << "  [...]\n";
        const std::string path = ReadDocuvanePath();
        if (path.empty())
            throw Exception(
                "no \"Path\" is stored under Software\\Vdx; set one with --set-path COMMAND");
        designer::TFormDriver driver(ui, std::cin, out, form);
        driver.Arm();
        out << "Pressing the ellipsis: starting \"" << path << "\"\n";
        inspector.PressEllipsis(target, "HelpContext");
        out << "Help contexts now:\n";
        PrintHelpContexts(out, &form);
        if (driver.CommandFailed()) {
            status = 1;
            if (!O.KeepGoing) {
                out.flush();
                std::cerr << "designer: a command failed; the form is not stored (--keep-going "
                             "stores it all the same)\n";
                return status;
            }
        }
        if (!O.OutFile.empty() || session.Modified()) {
            out.flush();
            session.SaveAs(O.OutFile.empty() ? O.FormFile : O.OutFile);
            if (session.FileName() != "-") out << "Stored " << session.FileName() << "\n";
        } else {
            out << "No number changed; " << O.FormFile << " is left as it was\n";
        }
    } catch (const Exception& e) {
        std::cerr << "designer: " << e.Message() << "\n";
        status = 1;
    } catch (const std::runtime_error& e) {  // files and the package
        std::cerr << "designer: " << e.what() << "\n";
        status = 1;
    }
    return status;
}

int PrintLayout(const std::string& Path) {
    try {
        std::cout << designer::LayoutJson(TDesignedForm(zk::platform::ReadWholeFile(Path), Path));
        return 0;
    } catch (const Exception& e) {
        std::cerr << "designer: " << e.Message() << "\n";
    } catch (const std::runtime_error& e) {
        std::cerr << "designer: " << e.what() << "\n";
    }
    return 1;
}

}  // namespace

static int Run(int argc, char** argv) {
    CLI::App app{"Opens a form file in the form designer with the Help Expert package.",
                 "designer"};
    app.set_version_flag("--version", "designer " ZK_VERSION);
    TOptions o;
    o.Package = designer::TExpertPackage::DefaultPath();
    app.add_option("FORM", o.FormFile, "Form file (.dfm or .lfm, text or binary)");
    app.add_flag("--script", o.Script,
                 "Terminal driver: press the ellipsis and read the window's commands from "
                 "standard input (also without a display)");
    app.add_option("--component", o.Component,
                   "--script: component whose HelpContext ellipsis is pressed (default: the form)");
    app.add_option("--out", o.OutFile,
                   "--script: store the form here afterwards (default: replace FORM when a number "
                   "changed; - is standard output, and the transcript goes to standard error)");
    CLI::Option* setPath =
        app.add_option("--set-path", o.SetPath,
                       "First store this command line as the authoring application's \"Path\" "
                       "(an empty one removes it)")
            ->type_name("COMMAND");
    app.add_flag("--keep-going", o.KeepGoing,
                 "--script: store the form even when a command failed (the exit status is 1 "
                 "all the same)");
    app.add_flag("--reply-channel", o.ReplyChannel,
                 "Let the Help Expert window receive the authoring application's replies "
                 "(as the registry value Software\\Vdx\\ReplyChannel = 1 does)");
    app.add_flag("--layout", o.Layout,
                 "Print every component of FORM with its class, parent, page and rectangle "
                 "after alignment, as JSON, and end");
    app.add_option("--package", o.Package,
                   "The Help Expert package to load (default: ../lib/docuvane/HelpExpert.so from "
                   "the program's folder; run from the build tree, the one built there)")
        ->type_name("FILE");
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return zk_apps::ParseFailure(app, e);
    }
    if (setPath->count() > 0) {
        try {
            StoreDocuvanePath(o.SetPath);
        } catch (const Exception& e) {
            std::cerr << "designer: " << e.Message() << "\n";
            return 1;
        }
    }
    if (o.Layout && o.FormFile.empty()) {
        std::cerr << "designer: --layout needs a FORM\n";
        return 2;
    }
    if (o.Layout) return PrintLayout(o.FormFile);
#ifdef ZK_DESIGNER_WINDOW
    if (!o.Script && HaveDisplay())
        return designer::RunWindow(argc, argv, o.FormFile, o.Package, o.ReplyChannel);
    if (!o.Script)
        std::cerr << "designer: no display (DISPLAY is not set); running the terminal driver\n";
#endif
    if (o.FormFile.empty()) {
        std::cerr << "designer: the terminal driver needs a FORM\n";
        return 2;
    }
    return RunTerminal(o);
}

int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const std::exception& e) {
        std::cerr << "designer: " << e.what() << "\n";
        return 1;
    }
}
