#include "zk/formfile/HelpContextClasses.h"

#include <string>
#include <unordered_map>

#include "zk/host/platform/Ascii.h"

namespace zk::formfile {

namespace {

constexpr THelpPublishing Y = THelpPublishing::Yes;
constexpr THelpPublishing N = THelpPublishing::No;
constexpr THelpPublishing U = THelpPublishing::Unknown;

struct TPaletteClass {
    const char* Name;
    THelpPublishing Delphi;   // Delphi 5's VCL
    THelpPublishing Lazarus;  // Lazarus's LCL
};

// The standard palettes. In the VCL the windowed controls, the forms, menu items, popup menus,
// actions and the common dialogs publish HelpContext, graphic controls do not; in the LCL every
// control does. Where a library lacks the class, or its documentation leaves the answer open,
// the entry says Unknown, and the form file decides (a stored HelpContext means published).
const TPaletteClass kPalette[] = {
    // Forms and frames.
    {"TForm", Y, Y},
    {"TFrame", Y, Y},
    {"TDataModule", N, N},
    // Standard page.
    {"TButton", Y, Y},
    {"TEdit", Y, Y},
    {"TMemo", Y, Y},
    {"TToggleBox", U, Y},
    {"TCheckBox", Y, Y},
    {"TRadioButton", Y, Y},
    {"TListBox", Y, Y},
    {"TComboBox", Y, Y},
    {"TScrollBar", Y, Y},
    {"TGroupBox", Y, Y},
    {"TRadioGroup", Y, Y},
    {"TCheckGroup", U, Y},
    {"TPanel", Y, Y},
    {"TLabel", N, Y},
    {"TActionList", N, N},
    {"TAction", Y, Y},
    {"TMainMenu", N, N},
    {"TPopupMenu", Y, U},
    {"TMenuItem", Y, Y},
    // Additional page.
    {"TBitBtn", Y, Y},
    {"TSpeedButton", N, Y},
    {"TMaskEdit", Y, Y},
    {"TStringGrid", Y, Y},
    {"TDrawGrid", Y, Y},
    {"TImage", N, Y},
    {"TShape", N, Y},
    {"TBevel", N, Y},
    {"TScrollBox", Y, Y},
    {"TCheckListBox", Y, Y},
    {"TSplitter", N, Y},
    {"TStaticText", Y, Y},
    {"TControlBar", Y, Y},
    {"TApplicationEvents", N, N},
    {"TApplicationProperties", U, N},
    {"TLabeledEdit", Y, Y},
    {"TColorBox", Y, Y},
    {"TColorListBox", U, Y},
    {"TValueListEditor", Y, Y},
    {"TPaintBox", N, Y},
    {"TArrow", U, Y},
    {"TChart", U, Y},
    // Win32 / common controls page.
    {"TTabControl", Y, Y},
    {"TPageControl", Y, Y},
    {"TTabSheet", Y, Y},
    {"TImageList", N, N},
    {"TRichEdit", Y, U},
    {"TRichMemo", U, Y},
    {"TTrackBar", Y, Y},
    {"TProgressBar", Y, Y},
    {"TUpDown", Y, Y},
    {"THotKey", Y, U},
    {"TAnimate", Y, U},
    {"TDateTimePicker", Y, Y},
    {"TMonthCalendar", Y, U},
    {"TTreeView", Y, Y},
    {"TListView", Y, Y},
    {"THeaderControl", Y, Y},
    {"TStatusBar", Y, Y},
    {"TToolBar", Y, Y},
    {"TToolButton", N, Y},
    {"TCoolBar", Y, Y},
    {"TPageScroller", Y, U},
    {"TComboBoxEx", Y, U},
    // System page.
    {"TTimer", N, N},
    {"TIdleTimer", U, N},
    {"TMediaPlayer", Y, U},
    {"TOleContainer", Y, U},
    {"TDdeClientConv", N, N},
    {"TDdeClientItem", N, N},
    {"TDdeServerConv", N, N},
    {"TDdeServerItem", N, N},
    {"TProcess", U, N},
    {"TEventLog", U, N},
    {"TTrayIcon", N, N},
    {"TXMLPropStorage", U, N},
    {"TIniPropStorage", U, N},
    {"TUniqueInstance", U, N},
    {"TXPManifest", N, U},
    // Win 3.1 page and Lazarus's misc page.
    {"TTabbedNotebook", Y, U},
    {"TNotebook", Y, Y},
    {"TPage", U, Y},
    {"THeader", Y, U},
    {"TOutline", Y, U},
    {"TFileListBox", Y, Y},
    {"TDirectoryListBox", Y, Y},
    {"TDriveComboBox", Y, U},
    {"TFilterComboBox", Y, Y},
    {"TDirectoryOutline", Y, U},
    {"TPairSplitter", U, Y},
    {"TShellTreeView", U, Y},
    {"TShellListView", U, Y},
    {"TEditButton", U, Y},
    {"TFileNameEdit", U, Y},
    {"TDirectoryEdit", U, Y},
    {"TDateEdit", U, Y},
    {"TTimeEdit", U, Y},
    {"TCalcEdit", U, Y},
    {"TColorButton", U, Y},
    {"TFloatSpinEdit", U, Y},
    // Dialogs: TCommonDialog publishes HelpContext in the VCL.
    {"TOpenDialog", Y, U},
    {"TSaveDialog", Y, U},
    {"TOpenPictureDialog", Y, U},
    {"TSavePictureDialog", Y, U},
    {"TFontDialog", Y, U},
    {"TColorDialog", Y, U},
    {"TPrintDialog", Y, U},
    {"TPrinterSetupDialog", Y, U},
    {"TPageSetupDialog", U, U},
    {"TFindDialog", Y, U},
    {"TReplaceDialog", Y, U},
    {"TSelectDirectoryDialog", U, U},
    {"TCalendarDialog", U, U},
    {"TCalculatorDialog", U, U},
    {"TTaskDialog", U, U},
    // Data access: non-visual.
    {"TDataSource", N, N},
    {"TTable", N, U},
    {"TQuery", N, U},
    {"TDatabase", N, U},
    {"TSession", N, U},
    {"TStoredProc", N, U},
    {"TUpdateSQL", N, U},
    {"TBatchMove", N, U},
    {"TClientDataSet", N, U},
    {"TDataSetProvider", N, U},
    {"TBufDataset", U, N},
    {"TMemDataset", U, N},
    {"TSQLQuery", U, N},
    {"TSQLTransaction", U, N},
    {"TDbf", U, N},
    {"TActionManager", N, U},
    // Data controls.
    {"TDBGrid", Y, Y},
    {"TDBNavigator", Y, Y},
    {"TDBText", N, Y},
    {"TDBEdit", Y, Y},
    {"TDBMemo", Y, Y},
    {"TDBImage", Y, Y},
    {"TDBListBox", Y, Y},
    {"TDBComboBox", Y, Y},
    {"TDBCheckBox", Y, Y},
    {"TDBRadioGroup", Y, Y},
    {"TDBLookupListBox", Y, Y},
    {"TDBLookupComboBox", Y, Y},
    {"TDBRichEdit", Y, U},
    {"TDBCtrlGrid", Y, U},
    // Samples page.
    {"TGauge", N, U},
    {"TColorGrid", Y, U},
    {"TSpinButton", Y, U},
    {"TSpinEdit", Y, Y},
    {"TCalendar", Y, Y},
};

std::string Lower(std::string_view S) {
    std::string out(S);
    for (char& c : out) c = zk::platform::LowerAscii(c);
    return out;
}

using TTable = std::unordered_map<std::string, const TPaletteClass*>;

const TTable& Palette() {
    static const TTable table = [] {
        TTable t;
        for (const TPaletteClass& c : kPalette) t.emplace(Lower(c.Name), &c);
        return t;
    }();
    return table;
}

bool Stores(const TFormNode& N, std::string_view Prop) { return FindProperty(N, Prop) != nullptr; }

void Collect(TFormLibrary Lib, const TFormNode& N, const std::string& Owner, bool IsRoot,
             std::vector<THelpTarget>& Out) {
    std::string path = Owner.empty() ? N.Name : Owner + "." + N.Name;
    if (PublishesHelpContext(Lib, N, IsRoot)) Out.push_back({&N, path});
    std::string owner = IsRoot || N.Kind == TFormObjectKind::Inline ? path : Owner;
    for (const TFormNode& c : N.Children) Collect(Lib, c, owner, false, Out);
}

}  // namespace

TFormLibrary LibraryOfFile(std::string_view FileName) {
    if (FileName.size() >= 4 && Lower(FileName.substr(FileName.size() - 4)) == ".lfm")
        return TFormLibrary::Lazarus;
    return TFormLibrary::Delphi;
}

THelpPublishing PublishesHelpContext(TFormLibrary Library, std::string_view ClassName) {
    auto it = Palette().find(Lower(ClassName));
    if (it == Palette().end()) return THelpPublishing::Unknown;
    return Library == TFormLibrary::Lazarus ? it->second->Lazarus : it->second->Delphi;
}

bool PublishesHelpContext(TFormLibrary Library, const TFormNode& Node, bool Root) {
    THelpPublishing t = PublishesHelpContext(Library, Node.ClassName);
    if (t != THelpPublishing::Unknown) return t == THelpPublishing::Yes;
    if (Stores(Node, "helpcontext")) return true;
    if (Node.Kind == TFormObjectKind::Inline) return true;  // a frame
    if (!Root) return false;
    // A data module has no HelpContext; unlike a form (or an inherited one, which stores only
    // what differs) it stores no client size and no caption.
    if (Lower(Node.ClassName).find("datamodule") != std::string::npos) return false;
    return Node.Kind != TFormObjectKind::Object || Stores(Node, "clientheight") ||
           Stores(Node, "clientwidth") || Stores(Node, "caption");
}

std::vector<THelpTarget> HelpContextTargets(TFormLibrary Library, const TFormNode& Root) {
    std::vector<THelpTarget> out;
    Collect(Library, Root, "", true, out);
    return out;
}

}  // namespace zk::formfile
