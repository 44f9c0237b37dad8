#include "zk/expert/P0200.h"

#include <vector>

#include "zk/expert/P0100.h"
#include "zk/expert/P0300.h"
#include "zk/host/forms/Forms.h"
#include "zk/host/registry/Registry.h"
#include "zk/host/rtl/HelpContext.h"
#include "zk/host/win32/WinProcess.h"
#include "zk/host/win32/Windows.h"

using namespace zk::ide;

namespace zk::expert {

using namespace zk::rtl;
using namespace zk::win32;
using namespace zk::forms;
using namespace zk::registry;

ZK_IMPLEMENT_CLASS(TDocuvaneContextProperty, TIntegerProperty)

namespace {

int gInitCount = 0;

const TIMenuFlags kMenuFlags{mfEnabled, mfVisible};

// Runs Form modally and destroys it afterwards, whatever happens.
void ShowAndFree(TForm* Form) {
    TOwned<TForm> owned(Form);
    Form->ShowModal();
}

}  // namespace

namespace P0200 {

std::string ReadDocuvanePath() {
    TRegistry reg;
    std::string path;
    if (reg.OpenKey(DocuvaneRegistryKey, true)) path = reg.ReadString("Path");
    reg.CloseKey();
    return path;
}

void InstallMenu() {
    if (!ToolServices) return;
    TIMenuItemIntf* bar = ToolServices->GetMainMenu()->GetMenuItems();
    int32_t helpIndex = -1;
    for (int32_t i = 0; i < bar->GetItemCount(); ++i)
        if (bar->GetItem(i)->GetName() == "HelpMenu") helpIndex = i;
    if (helpIndex < 0) return;
    TIMenuItemIntf* menu = bar->InsertItem(helpIndex, "Docu&vane", "DocuvaneMenu", "Docuvane", 0, 0,
                                           0, kMenuFlags, {});
    menu->InsertItem(-1, "&Start Docuvane", "DocuvaneItem", "Start Docuvane", 0, 0, 0, kMenuFlags,
                     TIMenuClickEvent(&TMenuClickClass::StartClick, nullptr, "StartClick"));
    menu->InsertItem(-1, "-", "M1Sep1", "", 0, 0, 0, kMenuFlags, {});
    menu->InsertItem(-1, "&About", "DocuvaneAboutItem", "About Docuvane", 0, 0, 0, kMenuFlags,
                     TIMenuClickEvent(&TMenuClickClass::AboutClick, nullptr, "AboutClick"));
}

void RemoveMenu() {
    if (!ToolServices) return;
    TIMenuItemIntf* bar = ToolServices->GetMainMenu()->GetMenuItems();
    for (int32_t i = 0; i < bar->GetItemCount(); ++i)
        if (bar->GetItem(i)->GetName() == "DocuvaneMenu") {
            bar->GetItem(i)->DestroyMenuItem();
            return;
        }
}

void Initialization() {
    if (gInitCount++ == 0) InstallMenu();
}

void Finalization() {
    if (gInitCount > 0 && --gInitCount == 0) RemoveMenu();
}

void Register() {
    RegisterPropertyEditor(&TypeInfo_THelpContext(), &TPersistent::StaticClass(), "HelpContext",
                           PropertyEditorClass<TDocuvaneContextProperty>());
}

}  // namespace P0200

void TMenuClickClass::StartClick(TIMenuItemIntf* /*Sender*/) {
    std::string path = P0200::ReadDocuvanePath();
    HINST result = ShellExecuteA(0, "open", path.c_str(), "", "", SW_SHOWNORMAL);
    if (result <= 32) ShowMessage("Docuvane failed to Start.");
}

void TMenuClickClass::AboutClick(TIMenuItemIntf* /*Sender*/) {
    ShowMessage(std::string("Docuvane Expert 3.0 (Beta Release 4)") + '\n' + MakersNotice);
}

void TDocuvaneContextProperty::Edit() {
    std::string path = P0200::ReadDocuvanePath();
    std::vector<char> commandLine(path.begin(), path.end());
    commandLine.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWMINIMIZED;
    PROCESS_INFORMATION process{};
    if (CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, true,
                       CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup,
                       &process)) {
        // Nothing here uses the started program's handles.
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
        Sleep(1000);
        auto* window = new Tfrm0300(nullptr);
        window->SetDesignForm(Designer() ? dynamic_cast<TForm*>(Designer()->Form()) : nullptr);
        ShowAndFree(window);
    } else {
        ShowAndFree(new Tpx0100(nullptr));
    }
}

TPropertyAttributes TDocuvaneContextProperty::GetAttributes() {
    TPropertyAttributes attributes = TPropertyEditor::GetAttributes();
    attributes.Include(paDialog);
    return attributes;
}

std::string TDocuvaneContextProperty::GetValue() { return IntToStr(GetOrdValue()); }

void TDocuvaneContextProperty::SetValue(const std::string& Value) {
    TIntegerProperty::SetValue(IntToStr(StrToInt(Value)));
}

}  // namespace zk::expert
