#include "apps/designer/FormDriver.h"

#include <istream>
#include <ostream>
#include <utility>

#include "zk/host/forms/ComCtrls.h"
#include "zk/host/forms/Forms.h"
#include "zk/host/forms/Menus.h"
#include "zk/host/forms/Spin.h"
#include "zk/host/forms/StdCtrls.h"
#include "zk/host/forms/TabNotbk.h"
#include "zk/host/rtl/TypInfo.h"

using namespace zk::rtl;

using namespace zk::forms;

namespace designer {

namespace {

const char kCommands[] = "show, select, id, type, click, page, menu, key, close";

// What each command takes, for the message about a missing argument.
const char* Usage(const std::string& Verb) {
    if (Verb == "select") return "select N | TEXT";
    if (Verb == "id") return "id NUMBER";
    if (Verb == "type") return "type CONTROL [TEXT]";
    if (Verb == "click") return "click CONTROL";
    if (Verb == "page") return "page N";
    if (Verb == "menu") return "menu ITEM";
    if (Verb == "key") return "key CODE";
    return "";
}

// Splits "word rest of line" at the first blanks; both parts without surrounding blanks.
std::pair<std::string, std::string> FirstWord(const std::string& Text) {
    const char* blanks = " \t\r";
    size_t begin = Text.find_first_not_of(blanks);
    if (begin == std::string::npos) return {};
    size_t end = Text.find_first_of(blanks, begin);
    std::string word = Text.substr(begin, end == std::string::npos ? end : end - begin);
    std::string rest;
    if (end != std::string::npos) {
        size_t from = Text.find_first_not_of(blanks, end);
        size_t to = Text.find_last_not_of(blanks);
        if (from != std::string::npos) rest = Text.substr(from, to - from + 1);
    }
    return {word, rest};
}

bool IsNumber(const std::string& Text) {
    return !Text.empty() && Text.size() <= 9 &&
           Text.find_first_not_of("0123456789") == std::string::npos;
}

// A count or index given as an argument: decimal digits only.
int32_t NumberArgument(const std::string& Text) {
    if (!IsNumber(Text)) {
        std::string digits = Text.substr(Text.rfind('-', 0) == 0 ? 1 : 0);
        bool number =
            !digits.empty() && digits.find_first_not_of("0123456789") == std::string::npos;
        const char* why = !number                       ? "not a number"
                          : digits.size() < Text.size() ? "below 0"
                                                        : "too large";
        throw Exception("'" + Text + "' is " + why);
    }
    return static_cast<int32_t>(std::stol(Text));
}

TMenuItem* FindMenuItem(TMenuItem* Item, const std::string& Key) {
    if (!Item) return nullptr;
    if (StrIComp(Item->Name().c_str(), Key.c_str()) == 0 || Item->Caption() == Key) return Item;
    for (int32_t i = 0; i < Item->Count(); ++i)
        if (TMenuItem* found = FindMenuItem(Item->Items(i), Key)) return found;
    return nullptr;
}

// The node of the designed component named Name, case ignored: the window lists the form as node
// 0, then every component that publishes HelpContext in the form's order. nullptr when none.
TTreeNode* NodeOfComponent(TTreeView& Tree, TComponent& Designed, const std::string& Name) {
    int32_t index = StrIComp(Designed.Name().c_str(), Name.c_str()) == 0 ? 0 : -1;
    for (int32_t i = 0, node = 1; index < 0 && i < Designed.ComponentCount(); ++i) {
        TComponent* c = Designed.Components(i);
        if (!GetPropInfo(c, "HelpContext")) continue;
        if (StrIComp(c->Name().c_str(), Name.c_str()) == 0) index = node;
        ++node;
    }
    return index >= 0 && index < Tree.Items().Count() ? Tree.Items().Item(index) : nullptr;
}

template <class T>
T* FirstOf(TForm& Form) {
    for (int32_t i = 0; i < Form.ComponentCount(); ++i)
        if (auto* c = dynamic_cast<T*>(Form.Components(i))) return c;
    return nullptr;
}

template <class T>
T* Control(TForm& Form, const std::string& Name) {
    auto* c = dynamic_cast<T*>(Form.FindComponent(Name));
    if (!c) throw Exception("no such control: " + Name);
    return c;
}

// Prints a box's text after its label; further lines of the text line up under the first.
void PrintBox(std::ostream& Out, const std::string& Label, const std::string& Text) {
    std::string indent(Label.size() + 1, ' ');
    Out << Label << ' ';
    for (size_t i = 0; i < Text.size(); ++i) {
        if (Text[i] == '\r' || Text[i] == '\n') {
            if (Text[i] == '\r' && i + 1 < Text.size() && Text[i + 1] == '\n') ++i;
            Out << '\n' << indent;
        } else {
            Out << Text[i];
        }
    }
    Out << '\n';
}

}  // namespace

void TFormDriver::Arm() {
    FUi.OnModal([this](TForm& Form) { Drive(Form); });
}

void TFormDriver::PrintShown() {
    const std::vector<std::string>& log = FUi.Log();
    if (log.size() < FLogSeen) FLogSeen = FMessagesSeen = FErrorsSeen = FHelpJumpsSeen = 0;
    // The log gives the order; the records give the texts.
    for (; FLogSeen < log.size(); ++FLogSeen) {
        const std::string& entry = log[FLogSeen];
        if (entry.rfind("message ", 0) == 0 && FMessagesSeen < FUi.Messages().size()) {
            PrintBox(FOut, "[message]", FUi.Messages()[FMessagesSeen++]);
        } else if (entry.rfind("error ", 0) == 0 && FErrorsSeen < FUi.Errors().size()) {
            PrintBox(FOut, "[error]", FUi.Errors()[FErrorsSeen++]);
        } else if (entry.rfind("help ", 0) == 0 && FHelpJumpsSeen < FUi.HelpJumps().size()) {
            const THelpJumpRecord& jump = FUi.HelpJumps()[FHelpJumpsSeen++];
            FOut << "[help] " << (jump.HelpFile.empty() ? "(no help file)" : jump.HelpFile) << ": "
                 << jump.JumpId << "\n";
        }
    }
}

void TFormDriver::Drive(TForm& Form) {
    PrintShown();
    FOut << THeadlessUi::Render(Form);
    FOut << "(commands: " << kCommands << ")\n";
    std::string line;
    // A modal form that was closed keeps showing until its loop ends; its modal result says so.
    auto open = [&] { return Form.Visible() && Form.ModalResult() == mrNone; };
    while (open() && std::getline(FIn, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        auto [verb, args] = FirstWord(line);
        if (verb.empty() || verb[0] == '#') continue;
        FOut << "> " << line << "\n";
        try {
            Execute(Form, verb, args);
        } catch (const std::exception& e) {
            const auto* own = dynamic_cast<const Exception*>(&e);
            FOut << "? " << verb << ": " << (own ? own->Message() : std::string(e.what())) << "\n";
            FCommandFailed = true;
        }
        PrintShown();
    }
    if (open()) {
        FOut << THeadlessUi::Render(Form);
        FUi.CloseWindow(Form);
        PrintShown();
    }
    FOut << "[closed] " << Form.Caption() << "\n";
}

void TFormDriver::Execute(TForm& Form, const std::string& Verb, const std::string& Args) {
    bool known = Verb == "show" || Verb == "close" || *Usage(Verb) != '\0';
    if (!known) throw Exception(std::string("unknown command (commands: ") + kCommands + ")");
    if (Verb == "show" || Verb == "close") {
        if (!Args.empty()) throw Exception("takes nothing, not '" + Args + "'");
    } else if (Args.empty()) {
        throw Exception(std::string("missing argument (") + Usage(Verb) + ")");
    }

    if (Verb == "show") {
        FOut << THeadlessUi::Render(Form);
    } else if (Verb == "close") {
        FUi.CloseWindow(Form);
    } else if (Verb == "select") {
        auto* tree = FirstOf<TTreeView>(Form);
        if (!tree) throw Exception("this form has no tree");
        TTreeNode* target = NodeOfComponent(*tree, FDesigned, Args);
        for (TTreeNode* n = tree->Items().GetFirstNode(); n && !target; n = n->GetNext())
            if (n->Text().rfind(Args, 0) == 0) target = n;
        if (!target && Args.find_first_not_of("0123456789") == std::string::npos) {
            int32_t index = NumberArgument(Args);
            int32_t count = tree->Items().Count();
            if (index >= count)
                throw Exception("no node " + Args + " (the tree has " + std::to_string(count) +
                                (count == 1 ? " node)" : " nodes)"));
            target = tree->Items().Item(index);
        }
        if (!target) throw Exception("no node whose text starts with '" + Args + "'");
        FUi.Select(*tree, *target);
    } else if (Verb == "id") {
        FUi.Type(*Control<TCustomEdit>(Form, "_10edit"), Args);
    } else if (Verb == "type") {
        auto [name, text] = FirstWord(Args);
        FUi.Type(*Control<TCustomEdit>(Form, name), text);
    } else if (Verb == "click") {
        FUi.Click(*Control<TControl>(Form, Args));
    } else if (Verb == "page") {
        auto* notebook = FirstOf<TTabbedNotebook>(Form);
        if (!notebook) throw Exception("this form has no notebook");
        int32_t index = NumberArgument(Args);
        int32_t count = notebook->PageCount();
        if (index >= count)
            throw Exception("no page " + Args + " (the notebook has pages 0 to " +
                            std::to_string(count - 1) + ")");
        FUi.SelectPage(*notebook, index);
    } else if (Verb == "menu") {
        TMenuItem* item = Form.Menu() ? FindMenuItem(Form.Menu()->Items(), Args) : nullptr;
        if (!item) throw Exception("no menu command " + Args);
        FUi.Choose(*item);
    } else if (Verb == "key") {
        int32_t code = NumberArgument(Args);
        if (code > 0xFFFF) throw Exception("'" + Args + "' is no key code (0 to 65535)");
        if (!FUi.PressShortCut(Form, static_cast<TShortCut>(code)))
            FOut << "(no command has that short cut)\n";
    }
}

}  // namespace designer
