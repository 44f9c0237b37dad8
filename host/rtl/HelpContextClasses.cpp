#include "host/rtl/HelpContextClasses.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace zk::rtl {

namespace {

// Delphi 5: descendants of TWinControl on the standard, additional, Win32, system, data
// controls, samples and dialogs pages, and the form classes. These publish HelpContext.
const char* const kDelphiWindowed[] = {
    "TForm",           "TFrame",          "TButton",           "TEdit",
    "TMemo",           "TCheckBox",       "TRadioButton",      "TListBox",
    "TComboBox",       "TScrollBar",      "TGroupBox",         "TRadioGroup",
    "TPanel",          "TBitBtn",         "TMaskEdit",         "TStringGrid",
    "TDrawGrid",       "TScrollBox",      "TCheckListBox",     "TStaticText",
    "TControlBar",     "TTabControl",     "TPageControl",      "TTabSheet",
    "TRichEdit",       "TTrackBar",       "TProgressBar",      "TUpDown",
    "THotKey",         "TAnimate",        "TDateTimePicker",   "TMonthCalendar",
    "TTreeView",       "TListView",       "THeaderControl",    "TStatusBar",
    "TToolBar",        "TCoolBar",        "TPageScroller",     "TNotebook",
    "TTabbedNotebook", "THeader",         "TOutline",          "TMediaPlayer",
    "TOleContainer",   "TDBGrid",         "TDBNavigator",      "TDBEdit",
    "TDBMemo",         "TDBImage",        "TDBListBox",        "TDBComboBox",
    "TDBCheckBox",     "TDBRadioGroup",   "TDBLookupListBox",  "TDBLookupComboBox",
    "TDBRichEdit",     "TDBCtrlGrid",     "TSpinEdit",         "TSpinButton",
    "TColorGrid",      "TCalendar",       "TDirectoryListBox", "TFileListBox",
    "TDriveComboBox",  "TFilterComboBox", "TDirectoryOutline", "TValueListEditor",
    "TLabeledEdit",    "TColorBox",       "TComboBoxEx"};

// Delphi 5: descendants of TGraphicControl. Controls, but without a published HelpContext.
const char* const kDelphiGraphic[] = {"TLabel",       "TImage",      "TShape",    "TBevel",
                                      "TSpeedButton", "TPaintBox",   "TSplitter", "TGauge",
                                      "TDBText",      "TToolButton", "TChart"};

// Lazarus: TControl descendants of the standard, additional, common controls, dialogs, misc,
// data controls and system pages. All publish HelpContext.
const char* const kLazarusControls[] = {"TForm",
                                        "TFrame",
                                        "TButton",
                                        "TEdit",
                                        "TMemo",
                                        "TToggleBox",
                                        "TCheckBox",
                                        "TRadioButton",
                                        "TListBox",
                                        "TComboBox",
                                        "TScrollBar",
                                        "TGroupBox",
                                        "TRadioGroup",
                                        "TCheckGroup",
                                        "TPanel",
                                        "TLabel",
                                        "TImage",
                                        "TShape",
                                        "TBevel",
                                        "TSpeedButton",
                                        "TPaintBox",
                                        "TSplitter",
                                        "TStaticText",
                                        "TBitBtn",
                                        "TMaskEdit",
                                        "TStringGrid",
                                        "TDrawGrid",
                                        "TScrollBox",
                                        "TCheckListBox",
                                        "TLabeledEdit",
                                        "TSpinEdit",
                                        "TFloatSpinEdit",
                                        "TTrackBar",
                                        "TProgressBar",
                                        "TTreeView",
                                        "TListView",
                                        "TStatusBar",
                                        "TToolBar",
                                        "TToolButton",
                                        "TUpDown",
                                        "TPageControl",
                                        "TTabSheet",
                                        "TTabControl",
                                        "TDateEdit",
                                        "TTimeEdit",
                                        "TCalendar",
                                        "TColorBox",
                                        "TColorListBox",
                                        "TEditButton",
                                        "TFileNameEdit",
                                        "TDirectoryEdit",
                                        "TCalcEdit",
                                        "TColorButton",
                                        "TArrow",
                                        "TNotebook",
                                        "TPage",
                                        "TPairSplitter",
                                        "TValueListEditor",
                                        "THeaderControl",
                                        "TCoolBar",
                                        "TControlBar",
                                        "TRichMemo",
                                        "TDateTimePicker",
                                        "TDBGrid",
                                        "TDBNavigator",
                                        "TDBEdit",
                                        "TDBMemo",
                                        "TDBText",
                                        "TDBImage",
                                        "TDBListBox",
                                        "TDBComboBox",
                                        "TDBCheckBox",
                                        "TDBRadioGroup",
                                        "TDBLookupListBox",
                                        "TDBLookupComboBox",
                                        "TShellTreeView",
                                        "TShellListView",
                                        "TFilterComboBox",
                                        "TFileListBox",
                                        "TDirectoryListBox",
                                        "TChart"};

// Both: non-visual components, which are no controls and have no HelpContext.
const char* const kNonVisual[] = {"TTimer",
                                  "TMainMenu",
                                  "TPopupMenu",
                                  "TMenuItem",
                                  "TActionList",
                                  "TAction",
                                  "TImageList",
                                  "TOpenDialog",
                                  "TSaveDialog",
                                  "TOpenPictureDialog",
                                  "TSavePictureDialog",
                                  "TFontDialog",
                                  "TColorDialog",
                                  "TPrintDialog",
                                  "TPrinterSetupDialog",
                                  "TFindDialog",
                                  "TReplaceDialog",
                                  "TSelectDirectoryDialog",
                                  "TCalendarDialog",
                                  "TCalculatorDialog",
                                  "TTaskDialog",
                                  "TDataSource",
                                  "TTable",
                                  "TQuery",
                                  "TDatabase",
                                  "TSession",
                                  "TStoredProc",
                                  "TUpdateSQL",
                                  "TBatchMove",
                                  "TClientDataSet",
                                  "TDataSetProvider",
                                  "TBufDataset",
                                  "TMemDataset",
                                  "TSQLQuery",
                                  "TSQLTransaction",
                                  "TDbf",
                                  "TApplicationEvents",
                                  "TApplicationProperties",
                                  "TDdeClientConv",
                                  "TDdeClientItem",
                                  "TDdeServerConv",
                                  "TDdeServerItem",
                                  "TXPManifest",
                                  "TIdleTimer",
                                  "TTrayIcon",
                                  "TProcess",
                                  "TEventLog",
                                  "TDataModule",
                                  "TActionManager",
                                  "TPageSetupDialog",
                                  "TUniqueInstance",
                                  "TXMLPropStorage",
                                  "TIniPropStorage"};

bool Contains(const char* const* Begin, const char* const* End, std::string_view Name) {
    return std::any_of(Begin, End, [&](const char* c) {
        std::string_view s(c);
        if (s.size() != Name.size()) return false;
        for (size_t i = 0; i < s.size(); ++i)
            if (std::tolower(static_cast<unsigned char>(s[i])) !=
                std::tolower(static_cast<unsigned char>(Name[i])))
                return false;
        return true;
    });
}

template <size_t N>
bool In(const char* const (&Table)[N], std::string_view Name) {
    return Contains(Table, Table + N, Name);
}

}  // namespace

TFormLibrary LibraryOfFile(std::string_view FileName) {
    if (FileName.size() >= 4) {
        std::string ext(FileName.substr(FileName.size() - 4));
        for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (ext == ".lfm") return TFormLibrary::Lazarus;
    }
    return TFormLibrary::Delphi;
}

THelpPublishing PublishesHelpContext(TFormLibrary Library, std::string_view ClassName) {
    if (In(kNonVisual, ClassName)) return THelpPublishing::No;
    if (Library == TFormLibrary::Lazarus)
        return In(kLazarusControls, ClassName) ? THelpPublishing::Yes : THelpPublishing::Unknown;
    if (In(kDelphiWindowed, ClassName)) return THelpPublishing::Yes;
    if (In(kDelphiGraphic, ClassName)) return THelpPublishing::No;
    return THelpPublishing::Unknown;
}

}  // namespace zk::rtl
