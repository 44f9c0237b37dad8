#include "zk/host/forms/Forms.h"

#include <algorithm>
#include <mutex>

#include "zk/host/forms/ComCtrls.h"
#include "zk/host/forms/Menus.h"
#include "zk/host/forms/Spin.h"
#include "zk/host/forms/StdCtrls.h"
#include "zk/host/forms/Streaming.h"
#include "zk/host/forms/TabNotbk.h"
#include "zk/host/forms/Widgets.h"

namespace zk::forms {

using namespace zk::rtl;

const TTypeInfo& TypeInfo_TPosition() {
    static const TTypeInfo t{
        "TPosition",
        TTypeKind::tkEnumeration,
        poDesigned,
        poScreenCenter,
        {"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly", "poScreenCenter"}};
    return t;
}

const TTypeInfo& TypeInfo_TFormBorderStyle() {
    static const TTypeInfo t{
        "TFormBorderStyle",
        TTypeKind::tkEnumeration,
        bsNone,
        bsSizeToolWin,
        {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"}};
    return t;
}

// --- TForm -------------------------------------------------------------------------------------

const TClassInfo& TForm::StaticClass() {
    static const TClassInfo info = [] {
        TClassBuilder<TForm> b("TForm", &TWinControl::StaticClass());
        // A form stores either its outer size or its client size, whichever it was given.
        b.Ord("Width", TypeInfo_Integer(), &TControl::Width, &TControl::SetWidth, std::nullopt,
              [](TForm& f) { return !f.FClientSized; });
        b.Ord("Height", TypeInfo_Integer(), &TControl::Height, &TControl::SetHeight, std::nullopt,
              [](TForm& f) { return !f.FClientSized; });
        b.Ord("ClientWidth", TypeInfo_Integer(), &TForm::ClientWidth, &TForm::SetClientWidth,
              std::nullopt, [](TForm& f) { return f.FClientSized; });
        b.Ord("ClientHeight", TypeInfo_Integer(), &TForm::ClientHeight, &TForm::SetClientHeight,
              std::nullopt, [](TForm& f) { return f.FClientSized; });
        // Visibility is run-time state: Show, Hide and ShowModal decide it, never a form file.
        b.Ord("Visible", TypeInfo_Boolean(), &TControl::Visible, nullptr, false,
              [](TForm&) { return false; });
        PublishCaption(b);
        b.Ord(
            "BorderStyle", TypeInfo_TFormBorderStyle(), &TForm::BorderStyle,
            [](TForm& f, int64_t v) { f.SetBorderStyle(static_cast<TFormBorderStyle>(v)); },
            bsSizeable);
        b.Ord(
            "Position", TypeInfo_TPosition(), &TForm::Position,
            [](TForm& f, int64_t v) { f.SetPosition(static_cast<TPosition>(v)); }, poDesigned);
        b.Str("HelpFile", &TForm::HelpFile, &TForm::SetHelpFile);
        b.Ref("Menu", &TForm::Menu, [](TForm& f, TObject* v) {
            auto* menu = dynamic_cast<TMainMenu*>(v);
            if (v && !menu) throw EPropertyError("Menu must be a TMainMenu");
            f.SetMenu(menu);
        });
        b.Event("OnCreate", &TForm::OnCreate, &TForm::SetOnCreate);
        b.Event("OnShow", &TForm::OnShow, &TForm::SetOnShow);
        b.Event("OnDestroy", &TForm::OnDestroy, &TForm::SetOnDestroy);
        return b.Build();
    }();
    return info;
}

TForm::TForm(TComponent* AOwner) : TWinControl(AOwner) {
    TControl::SetVisible(false);
    SetBounds(0, 0, 320, 240);
}

TForm::~TForm() {
    if (FMenu) FMenu->FWindow = nullptr;
    std::erase(Application.FShownForms, this);
}

void TForm::BeforeDestruction() {
    DoDestroy();
    Hide();
    TWinControl::BeforeDestruction();
}

void TForm::InitFromText(const std::string& Text) {
    ReadComponentText(Text, this);
    DoCreate();
}

void TForm::DoCreate() {
    if (FOnCreate && !ComponentState().Contains(csDesigning)) FOnCreate(this);
}

void TForm::DoShow() {
    if (FOnShow && !ComponentState().Contains(csDesigning)) FOnShow(this);
}

void TForm::DoDestroy() {
    if (FOnDestroy && !ComponentState().Contains(csDesigning)) FOnDestroy(this);
}

TPoint TForm::NonClientSize() const {
    int32_t frame = 0;
    int32_t title = 0;
    switch (FBorderStyle) {
        case bsNone:
            break;
        case bsToolWindow:
            frame = 3, title = 16;
            break;
        case bsSizeToolWin:
            frame = 4, title = 16;
            break;
        case bsSizeable:
            frame = 4, title = 19;
            break;
        default:
            frame = 3, title = 19;
            break;
    }
    int32_t menuBar = FMenu ? 19 : 0;
    return {2 * frame, 2 * frame + title + menuBar};
}

int32_t TForm::ClientWidth() const { return std::max(Width() - NonClientSize().X, 0); }
int32_t TForm::ClientHeight() const { return std::max(Height() - NonClientSize().Y, 0); }

void TForm::SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight) {
    if (AWidth != Width() || AHeight != Height()) FClientSized = false;
    TWinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TForm::ApplyClientSize(int32_t AClientWidth, int32_t AClientHeight) {
    TPoint nc = NonClientSize();
    TWinControl::SetBounds(Left(), Top(), AClientWidth + nc.X, AClientHeight + nc.Y);
    FClientSized = true;
}

void TForm::SetClientWidth(int32_t Value) {
    if (ComponentState().Contains(csLoading)) {
        FPendingClientWidth = Value;
        FClientSized = true;
    } else {
        ApplyClientSize(Value, ClientHeight());
    }
}

void TForm::SetClientHeight(int32_t Value) {
    if (ComponentState().Contains(csLoading)) {
        FPendingClientHeight = Value;
        FClientSized = true;
    } else {
        ApplyClientSize(ClientWidth(), Value);
    }
}

void TForm::SetBorderStyle(TFormBorderStyle Value) {
    if (Value == FBorderStyle) return;
    int32_t cw = ClientWidth();
    int32_t ch = ClientHeight();
    FBorderStyle = Value;
    if (FClientSized && !ComponentState().Contains(csLoading)) ApplyClientSize(cw, ch);
    Realign();
    Changed();
}

void TForm::SetMenu(TMainMenu* Value) {
    if (Value == FMenu) return;
    int32_t cw = ClientWidth();
    int32_t ch = ClientHeight();
    TMainMenu* previous = FMenu;
    if (FMenu) FMenu->FWindow = nullptr;
    if (Value && Value->FWindow) Value->FWindow->SetMenu(nullptr);
    FMenu = Value;
    if (FMenu) FMenu->FWindow = this;
    if (Peer()) {
        // A menu bar taken off or put on a form that shows.
        if (previous) previous->FPeer.reset();
        if (FMenu && !FMenu->FPeer) FMenu->FPeer = UiBackend().Menus().CreateMainMenu(*FMenu);
    }
    if (FClientSized && !ComponentState().Contains(csLoading)) ApplyClientSize(cw, ch);
    Realign();
    Changed();
}

void TForm::Loaded() {
    if (FPendingClientWidth >= 0 || FPendingClientHeight >= 0)
        ApplyClientSize(FPendingClientWidth >= 0 ? FPendingClientWidth : ClientWidth(),
                        FPendingClientHeight >= 0 ? FPendingClientHeight : ClientHeight());
    FPendingClientWidth = FPendingClientHeight = -1;
    TWinControl::Loaded();
}

void TForm::SetVisible(bool Value) {
    if (Value)
        Show();
    else
        Hide();
}

void TForm::SetVisibleState(bool Value) {
    TControl::SetVisible(Value);
    auto& shown = Application.FShownForms;
    std::erase(shown, this);
    if (Value) shown.push_back(this);
}

std::unique_ptr<TWSPeer> TForm::CreatePeer(TUiBackend& Ui) {
    std::unique_ptr<TWSFormPeer> peer = Ui.Forms().CreateForm(*this);
    FFormPeer = peer.get();
    return peer;
}

void TForm::CreatePeers(TUiBackend& Ui) {
    TWinControl::CreatePeers(Ui);
    if (FMenu && !FMenu->FPeer) FMenu->FPeer = Ui.Menus().CreateMainMenu(*FMenu);
}

void TForm::DestroyPeers() {
    if (FMenu) FMenu->FPeer.reset();
    TWinControl::DestroyPeers();
    FFormPeer = nullptr;
}

void TForm::Show() {
    if (Visible()) return;
    TUiBackend& ui = UiBackend();
    if (FPosition == poScreenCenter) {
        TPoint screen = ui.Forms().ScreenSize();
        SetBounds((screen.X - Width()) / 2, (screen.Y - Height()) / 2, Width(), Height());
    }
    SetVisibleState(true);
    DoShow();
    if (!Visible()) return;  // OnShow hid it again
    CreatePeers(ui);
    FFormPeer->Show();
}

void TForm::Hide() {
    if (!Visible()) return;
    SetVisibleState(false);
    if (FFormPeer) FFormPeer->Hide();
    DestroyPeers();
}

TModalResult TForm::ShowModal() {
    if (Visible() || FModal) throw EInvalidOperation("Cannot make a visible window modal");
    FModalResult = mrNone;
    FModal = true;
    try {
        Show();
        while (FModalResult == mrNone) {
            // Hidden by something else than Close: the loop ends as if closed.
            if (!FFormPeer) {
                FModalResult = mrCancel;
                break;
            }
            FFormPeer->HandleMessage();
        }
    } catch (...) {
        Hide();
        FModal = false;
        throw;
    }
    Hide();
    FModal = false;
    return FModalResult;
}

void TForm::Close() {
    if (FModal)
        FModalResult = mrCancel;
    else
        Hide();
}

// --- TApplication ------------------------------------------------------------------------------

ZK_IMPLEMENT_CLASS(TApplication, TComponent)

TApplication::TApplication() : TComponent(nullptr) {}

TApplication Application;

TForm* TApplication::ActiveForm() const {
    return FShownForms.empty() ? nullptr : FShownForms.back();
}

std::string TApplication::CurrentHelpFile() const {
    TForm* active = ActiveForm();
    if (active && !active->HelpFile().empty()) return active->HelpFile();
    return FHelpFile;
}

bool TApplication::HelpJump(const std::string& JumpID) {
    return UiBackend().Dialogs().HelpJump(CurrentHelpFile(), JumpID);
}

void TApplication::HandleException(const Exception& E) {
    UiBackend().Dialogs().ShowError(E.Message());
}

void ShowMessage(const std::string& Msg) { UiBackend().Dialogs().ShowMessage(Msg); }

TForm* GetParentForm(const TControl* Control) {
    if (!Control) return nullptr;
    while (Control->Parent()) Control = Control->Parent();
    return dynamic_cast<TForm*>(const_cast<TControl*>(Control));
}

void RegisterFormClasses() {
    static std::once_flag once;
    std::call_once(once, [] {
        for (const TClassInfo* c :
             {&TForm::StaticClass(), &TPanel::StaticClass(), &TLabel::StaticClass(),
              &TEdit::StaticClass(), &TButton::StaticClass(), &TMemo::StaticClass(),
              &TCheckBox::StaticClass(), &TTreeView::StaticClass(), &TSpinEdit::StaticClass(),
              &TTabbedNotebook::StaticClass(), &TTabPage::StaticClass(), &TMainMenu::StaticClass(),
              &TMenuItem::StaticClass()})
            RegisterClass(*c);
    });
}

namespace {

// The form library's initialisation: its classes are known before any form is read.
struct TUnitInit {
    TUnitInit() { RegisterFormClasses(); }
} gUnitInit;

}  // namespace

}  // namespace zk::forms
