#include "zk/host/forms/PaletteClasses.h"

#include <algorithm>

#include "zk/host/platform/Ascii.h"

namespace zk::forms {

namespace {

constexpr bool V = true;   // visual
constexpr bool N = false;  // non-visual

// The host's own classes too, for where the host does not stand in for one (another
// HelpContext rule in the file's library). Delphi's Standard, Additional, Win32, System, Data
// Access/Controls and Dialogs pages and Lazarus' Standard, Additional, Common Controls, Dialogs,
// Misc and LazControls pages.
const TPaletteClass kPalette[] = {
    {"TActionList", "", N, alNone},
    {"TActionMainMenuBar", "TToolBar", V, alTop},
    {"TActionManager", "", N, alNone},
    {"TActionToolBar", "TToolBar", V, alTop},
    {"TAnimate", "", V, alNone},
    {"TApplicationEvents", "", N, alNone},
    {"TApplicationProperties", "", N, alNone},
    {"TArrow", "", V, alNone},
    {"TBevel", "", V, alNone},
    {"TBitBtn", "TButton", V, alNone},
    {"TButton", "", V, alNone},
    {"TButtonPanel", "TPanel", V, alBottom},
    {"TCalcEdit", "TEdit", V, alNone},
    {"TCalendar", "", V, alNone},
    {"TCheckBox", "", V, alNone},
    {"TCheckGroup", "TGroupBox", V, alNone},
    {"TCheckListBox", "TListBox", V, alNone},
    {"TClientDataSet", "", N, alNone},
    {"TColorBox", "TComboBox", V, alNone},
    {"TColorButton", "TButton", V, alNone},
    {"TColorDialog", "", N, alNone},
    {"TColorListBox", "TListBox", V, alNone},
    {"TComboBox", "", V, alNone},
    {"TComboBoxEx", "TComboBox", V, alNone},
    {"TControlBar", "TPanel", V, alNone},
    {"TCoolBar", "TPanel", V, alTop},
    {"TDataSource", "", N, alNone},
    {"TDateEdit", "TEdit", V, alNone},
    {"TDateTimePicker", "TComboBox", V, alNone},
    {"TDBCheckBox", "TCheckBox", V, alNone},
    {"TDBComboBox", "TComboBox", V, alNone},
    {"TDBEdit", "TEdit", V, alNone},
    {"TDBGrid", "TStringGrid", V, alNone},
    {"TDBImage", "TImage", V, alNone},
    {"TDBListBox", "TListBox", V, alNone},
    {"TDBLookupComboBox", "TComboBox", V, alNone},
    {"TDBMemo", "TMemo", V, alNone},
    {"TDBNavigator", "TPanel", V, alNone},
    {"TDBRadioGroup", "TGroupBox", V, alNone},
    {"TDBText", "TLabel", V, alNone},
    {"TDirectoryEdit", "TEdit", V, alNone},
    {"TDividerBevel", "TBevel", V, alNone},
    {"TDrawGrid", "TStringGrid", V, alNone},
    {"TEdit", "", V, alNone},
    {"TEditButton", "TEdit", V, alNone},
    {"TExtendedNotebook", "TPageControl", V, alNone},
    {"TFileNameEdit", "TEdit", V, alNone},
    {"TFindDialog", "", N, alNone},
    {"TFloatSpinEdit", "TEdit", V, alNone},
    {"TFlowPanel", "TPanel", V, alNone},
    {"TFontDialog", "", N, alNone},
    {"TFrame", "TPanel", V, alNone},
    {"TGridPanel", "TPanel", V, alNone},
    {"TGroupBox", "", V, alNone},
    {"THeaderControl", "TPanel", V, alTop},
    {"THotKey", "TEdit", V, alNone},
    {"TIdleTimer", "", N, alNone},
    {"TImage", "", V, alNone},
    {"TImageList", "", N, alNone},
    {"TLabel", "", V, alNone},
    {"TLabeledEdit", "TEdit", V, alNone},
    {"TListBox", "", V, alNone},
    {"TListView", "TListBox", V, alNone},
    {"TMainMenu", "", N, alNone},
    {"TMaskEdit", "TEdit", V, alNone},
    {"TMemo", "TEdit", V, alNone},
    {"TMenuItem", "", N, alNone},
    {"TMonthCalendar", "TCalendar", V, alNone},
    {"TNotebook", "", V, alNone},
    {"TOpenDialog", "", N, alNone},
    {"TOpenPictureDialog", "", N, alNone},
    {"TPage", "", V, alNone},
    {"TPageControl", "", V, alNone},
    {"TPaintBox", "", V, alNone},
    {"TPairSplitter", "TPanel", V, alNone},
    {"TPairSplitterSide", "TPanel", V, alNone},
    {"TPanel", "", V, alNone},
    {"TPopupMenu", "", N, alNone},
    {"TPrintDialog", "", N, alNone},
    {"TPrinterSetupDialog", "", N, alNone},
    {"TProgressBar", "", V, alNone},
    {"TRadioButton", "", V, alNone},
    {"TRadioGroup", "TGroupBox", V, alNone},
    {"TReplaceDialog", "", N, alNone},
    {"TRichEdit", "TMemo", V, alNone},
    {"TSaveDialog", "", N, alNone},
    {"TSavePictureDialog", "", N, alNone},
    {"TScrollBar", "", V, alNone},
    {"TScrollBox", "TPanel", V, alNone},
    {"TSelectDirectoryDialog", "", N, alNone},
    {"TShape", "", V, alNone},
    {"TSpeedButton", "TButton", V, alNone},
    {"TSpinButton", "TButton", V, alNone},
    {"TSpinEdit", "TEdit", V, alNone},
    {"TSplitter", "", V, alLeft},
    {"TStaticText", "TLabel", V, alNone},
    {"TStatusBar", "", V, alBottom},
    {"TStringGrid", "", V, alNone},
    {"TTabbedNotebook", "", V, alNone},
    {"TTabControl", "", V, alNone},
    {"TTabPage", "", V, alNone},
    {"TTabSheet", "", V, alNone},
    {"TTimer", "", N, alNone},
    {"TToggleBox", "TButton", V, alNone},
    {"TToolBar", "", V, alTop},
    {"TToolButton", "", V, alNone},
    {"TTrackBar", "TProgressBar", V, alNone},
    {"TTrayIcon", "", N, alNone},
    {"TTreeView", "TListBox", V, alNone},
    {"TUpDown", "TScrollBar", V, alNone},
    {"TValueListEditor", "TStringGrid", V, alNone},
    {"TXMLConfig", "", N, alNone},
    {"TXMLDocument", "", N, alNone},
};

bool LessIgnoringCase(std::string_view A, std::string_view B) {
    return std::lexicographical_compare(A.begin(), A.end(), B.begin(), B.end(), [](char a, char b) {
        return platform::LowerAscii(a) < platform::LowerAscii(b);
    });
}

}  // namespace

const TPaletteClass* FindPaletteClass(std::string_view ClassName) {
    auto it = std::lower_bound(
        std::begin(kPalette), std::end(kPalette), ClassName,
        [](const TPaletteClass& C, std::string_view N) { return LessIgnoringCase(C.Name, N); });
    return it != std::end(kPalette) && platform::SameAsciiText(it->Name, ClassName) ? it : nullptr;
}

std::vector<std::string> ClassChain(std::string_view ClassName, const rtl::TClassInfo* Host) {
    std::vector<std::string> chain{std::string(ClassName)};
    for (const TPaletteClass* p = FindPaletteClass(ClassName); p && !p->Like.empty();
         p = FindPaletteClass(p->Like))
        chain.emplace_back(p->Like);
    for (const rtl::TClassInfo* c = Host ? Host->Parent() : nullptr; c; c = c->Parent())
        chain.push_back(c->Name());
    return chain;
}

bool ChainHas(const std::vector<std::string>& Chain, std::string_view Class) {
    return std::any_of(Chain.begin(), Chain.end(),
                       [&](const std::string& c) { return platform::SameAsciiText(c, Class); });
}

}  // namespace zk::forms
