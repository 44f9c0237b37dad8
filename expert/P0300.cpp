#include "zk/expert/P0300.h"

#include "P0300_dfm.h"
#include "zk/expert/ReplyChannel.h"
#include "zk/host/registry/Registry.h"
#include "zk/host/rtl/TypInfo.h"
#include "zk/mailslot/ZkEndpoint.h"
#include "zk/mailslot/ZkSend.h"
#include "zk/words/_stl_wrd.h"

namespace zk::expert {

using namespace zk::forms;
using namespace zk::rtl;
using namespace zk::registry;

const TClassInfo& Tfrm0300::StaticClass() {
    static const TClassInfo info =
        TClassBuilder<Tfrm0300>("Tfrm0300", &TForm::StaticClass())
            .Field("pnlTop", &Tfrm0300::pnlTop)
            .Field("tv1", &Tfrm0300::tv1)
            .Field("pnlBottom", &Tfrm0300::pnlBottom)
            .Field("tbNb", &Tfrm0300::tbNb)
            .Field("_10lblNodeSelected", &Tfrm0300::_10lblNodeSelected)
            .Field("_10Selected", &Tfrm0300::_10Selected)
            .Field("_10lblId", &Tfrm0300::_10lblId)
            .Field("_10edit", &Tfrm0300::_10edit)
            .Field("_10lblTopicId", &Tfrm0300::_10lblTopicId)
            .Field("_10edtTopic", &Tfrm0300::_10edtTopic)
            .Field("_10lblHCI", &Tfrm0300::_10lblHCI)
            .Field("_10edtHCI", &Tfrm0300::_10edtHCI)
            .Field("_10btnNewTopic", &Tfrm0300::_10btnNewTopic)
            .Field("_10btnEditTopic", &Tfrm0300::_10btnEditTopic)
            .Field("_10lblCCKeyword", &Tfrm0300::_10lblCCKeyword)
            .Field("_10memCCKeywords", &Tfrm0300::_10memCCKeywords)
            .Field("_10lblCCAKeywords", &Tfrm0300::_10lblCCAKeywords)
            .Field("_10memCCAKeyWords", &Tfrm0300::_10memCCAKeyWords)
            .Field("cb3", &Tfrm0300::cb3)
            .Field("cb1", &Tfrm0300::cb1)
            .Field("cb2", &Tfrm0300::cb2)
            .Field("mmMain", &Tfrm0300::mmMain)
            .Field("mnuFile", &Tfrm0300::mnuFile)
            .Field("mnuFileExit", &Tfrm0300::mnuFileExit)
            .Field("Exit1", &Tfrm0300::Exit1)
            .Field("mnuHelp1", &Tfrm0300::mnuHelp1)
            .Field("mnuHelpContext1", &Tfrm0300::mnuHelpContext1)
            .Field("mnuHelpN1", &Tfrm0300::mnuHelpN1)
            .Field("mnuHelpAbout1", &Tfrm0300::mnuHelpAbout1)
            .Method("FormCreate", &Tfrm0300::FormCreate)
            .Method("FormShow", &Tfrm0300::FormShow)
            .Method("FormDestroy", &Tfrm0300::FormDestroy)
            .Method("tv1Changing", &Tfrm0300::tv1Changing)
            .Method("tv1Click", &Tfrm0300::tv1Click)
            .Method("tv1Deletion", &Tfrm0300::tv1Deletion)
            .Method("cb3Click", &Tfrm0300::cb3Click)
            .Method("mnuFileExitClick", &Tfrm0300::mnuFileExitClick)
            .Method("Exit1Click", &Tfrm0300::Exit1Click)
            .Method("mnuHelpContext1Click", &Tfrm0300::mnuHelpContext1Click)
            .Method("mnuHelpAbout1Click", &Tfrm0300::mnuHelpAbout1Click)
            .Method("_10btnNewTopicClick", &Tfrm0300::_10btnNewTopicClick)
            .Method("_10btnEditTopicClick", &Tfrm0300::_10btnEditTopicClick)
            .Method("zksMailMessageAvail", &Tfrm0300::zksMailMessageAvail)
            .Build();
    return info;
}

namespace {

const char* const kSeparator = ", ";

// Delphi integers wrap silently; stepping past the top must not be undefined here.
int32_t WrappingAdd(int32_t A, int32_t B) {
    return static_cast<int32_t>(static_cast<uint32_t>(A) + static_cast<uint32_t>(B));
}

tDocuvaneRef* RefOf(const TTreeNode* Node) {
    return Node ? static_cast<tDocuvaneRef*>(Node->Data()) : nullptr;
}

}  // namespace

std::string ComposeNodeText(TComponent* Subject, bool ShowName, bool ShowClassName,
                            bool ShowCaption, int32_t Number) {
    std::string text;
    if (ShowName && GetPropInfo(Subject, "Name")) text = Subject->Name();
    if (ShowClassName) text += kSeparator + Subject->ClassName();
    if (ShowCaption) {
        if (const TPropInfo* caption = GetPropInfo(Subject, "Caption"))
            text += kSeparator + GetStrProp(Subject, caption);
    }
    return text + kSeparator + IntToStr(Number);
}

Tfrm0300::Tfrm0300(TComponent* AOwner) : TForm(AOwner) { InitFromText(P0300_dfm); }

TComponent* Tfrm0300::Subject(const tDocuvaneRef& Ref) const {
    if (Ref.CompIndex == -1) return FDesignForm;
    return FDesignForm->Components(Ref.CompIndex);
}

std::string Tfrm0300::Compose(TComponent* Subject, int32_t Number) const {
    return ComposeNodeText(Subject, cb1->Checked(), cb2->Checked(), cb3->Checked(), Number);
}

void Tfrm0300::FormCreate(TObject* /*Sender*/) {
    tbNb->SetPageIndex(0);
    RegistryLoad();
}

void Tfrm0300::FormShow(TObject* /*Sender*/) {
    if (!FDesignForm) return;  // nothing to show rather than a crash
    auto* root = new tDocuvaneRef;
    root->CompIndex = -1;
    root->CompCaption = FDesignForm->Caption();
    root->CompName = FDesignForm->Name();
    root->CompClassName = FDesignForm->ClassName();
    root->ContextId = FDesignForm->HelpContext();
    TTreeNode* rootNode = tv1->Items().AddObject(nullptr, FDesignForm->Name(), root);
    tv1->Items().BeginUpdate();
    for (int32_t i = 0; i < FDesignForm->ComponentCount(); ++i) {
        TComponent* comp = FDesignForm->Components(i);
        const TPropInfo* help = GetPropInfo(comp, "HelpContext");
        if (!help) continue;
        auto number = static_cast<int32_t>(GetOrdProp(comp, help));
        auto* ref = new tDocuvaneRef;
        ref->CompIndex = i;
        if (const TPropInfo* caption = GetPropInfo(comp, "Caption"))
            ref->CompCaption = GetStrProp(comp, caption);
        ref->CompName = comp->Name();
        ref->CompClassName = comp->ClassName();
        ref->ContextId = number;
        tv1->Items().AddChildObject(rootNode, Compose(comp, number), ref);
    }
    tv1->Items().EndUpdate();
    tv1->FullExpand();
    if (ReplyChannelEnabled()) OpenReplyChannel();
}

void Tfrm0300::OpenReplyChannel() {
    if (!FReplySlot) {
        FReplySlot = new TzkMailSlot(this);
        FReplySlot->SetOnMessageAvail(TmsMessageAvail::Bind(this, &Tfrm0300::zksMailMessageAvail));
    }
    try {
        OpenReplySlot(*FReplySlot);
    } catch (const EzkMailSlot& e) {
        // The window still works as it does without the channel; the person learns why.
        ShowMessage("Replies of Docuvane cannot be received: " + e.Message());
        return;
    }
    for (TControl* c : std::initializer_list<TControl*>{_10lblTopicId, _10edtTopic, _10lblHCI,
                                                        _10edtHCI, _10btnNewTopic, _10btnEditTopic})
        c->SetVisible(true);
}

void Tfrm0300::FormDestroy(TObject* /*Sender*/) {
    // The slot goes with the window and no reply is handed to it any more.
    if (FReplySlot) FReplySlot->Close();
}

void Tfrm0300::Send(const std::string& Command) {
    if (FReplySlot && FReplySlot->Active())
        SendToMailSlot(DocuvaneServer, DocuvaneSlot, ReplyToMessage(FReplySlot->Slot()));
    SendToMailSlot(DocuvaneServer, DocuvaneSlot, Command);
}

void Tfrm0300::tv1Changing(TObject* /*Sender*/, TTreeNode* Node, bool& /*AllowChange*/) {
    if (tDocuvaneRef* current = RefOf(tv1->Selected())) {
        current->ContextId = _10edit->Value();
        RefreshTree();
    }
    if (tDocuvaneRef* next = RefOf(Node)) _10edit->SetValue(next->ContextId);
}

void Tfrm0300::tv1Click(TObject* /*Sender*/) {}

void Tfrm0300::tv1Deletion(TObject* /*Sender*/, TTreeNode* Node) {
    delete RefOf(Node);
    Node->SetData(nullptr);
}

void Tfrm0300::cb3Click(TObject* /*Sender*/) { RefreshTree(); }

void Tfrm0300::RefreshTree() {
    tv1->Items().BeginUpdate();
    try {
        for (TTreeNode* node = tv1->Items().GetFirstNode(); node; node = node->GetNext()) {
            tDocuvaneRef* ref = RefOf(node);
            if (!ref) continue;
            TComponent* subject = Subject(*ref);
            node->SetText(GetPropInfo(subject, "HelpContext") ? Compose(subject, ref->ContextId)
                                                              : "");
        }
    } catch (...) {
        tv1->Items().EndUpdate();
        throw;
    }
    tv1->Items().EndUpdate();
}

void Tfrm0300::mnuFileExitClick(TObject* /*Sender*/) {
    for (TTreeNode* node = tv1->Items().GetFirstNode(); node; node = node->GetNext()) {
        tDocuvaneRef* ref = RefOf(node);
        if (!ref) continue;
        TComponent* subject = Subject(*ref);
        if (const TPropInfo* help = GetPropInfo(subject, "HelpContext"))
            SetOrdProp(subject, help, ref->ContextId);
    }
    Close();
}

void Tfrm0300::Exit1Click(TObject* /*Sender*/) {
    RegistrySave();
    Close();
}

void Tfrm0300::mnuHelpContext1Click(TObject* /*Sender*/) { Application.HelpJump("Help2100"); }

void Tfrm0300::mnuHelpAbout1Click(TObject* /*Sender*/) {
    ShowMessage(std::string("Docuvane Help Expert") + '\r' + MakersNotice);
}

void Tfrm0300::_10btnNewTopicClick(TObject* /*Sender*/) {
    if (!tv1->Selected()) {
        ShowMessage("Please select a Component to create a new Help Topic");
        return;
    }
    FTopicNumber = WrappingAdd(FTopicNumber, FTopicStep);
    _10edit->SetValue(FTopicNumber);
    _10edtTopic->SetText(FFirstPrefix + IntToStr(FTopicNumber));
    _10edtHCI->SetText(FSecondPrefix + IntToStr(FTopicNumber));
    Send("IM3");
}

void Tfrm0300::_10btnEditTopicClick(TObject* /*Sender*/) { Send("EDITDOC"); }

void Tfrm0300::zksMailMessageAvail(TObject* /*Sender*/, std::string Msg) {
    std::string work = Msg;
    std::string keyword = fn_STL_FindWord(work, ",");
    ShowMessage("!" + keyword);
    if (keyword == "FILEOPEN") {
        fn_STL_FindWord(work, ",");
        Send("PRJ?");
    } else if (keyword == "INIT") {
        FFirstPrefix = fn_STL_FindWord(work, ",");
        FSecondPrefix = fn_STL_FindWord(work, ",");
        FTopicStep = StrToInt(fn_STL_FindWord(work, ","));
        FTopicNumber = StrToInt(fn_STL_FindWord(work, ","));
        _10edtTopic->SetText(FSecondPrefix + IntToStr(FTopicNumber));
        _10edtHCI->SetText(FFirstPrefix + IntToStr(FTopicNumber));
    } else if (keyword == "FILECLOSED") {
        ShowMessage("Please open a file in Docuvane");
    } else if (keyword == "PRJ!") {
        Send("DOC1");
    } else if (keyword == "PRJS!") {
        Send("DOC2,");
    } else if (keyword == "PRJX") {
        ShowMessage("Please ensure a file-project is created.");
    }
}

void Tfrm0300::RegistryLoad() {
    TRegistry reg;
    try {
        if (reg.OpenKey(DocuvaneRegistryKey, true)) {
            cb1->SetChecked(reg.ReadBool("ShowName"));
            cb2->SetChecked(reg.ReadBool("ShowClassName"));
            cb3->SetChecked(reg.ReadBool("ShowCaption"));
        }
    } catch (const Exception&) {
        // Missing or malformed settings: all three on, silently.
        cb1->SetChecked(true);
        cb2->SetChecked(true);
        cb3->SetChecked(true);
    }
    reg.CloseKey();
}

void Tfrm0300::RegistrySave() {
    TRegistry reg;
    if (reg.OpenKey(DocuvaneRegistryKey, true)) {
        reg.WriteBool("ShowName", cb1->Checked());
        reg.WriteBool("ShowClassName", cb2->Checked());
        reg.WriteBool("ShowCaption", cb3->Checked());
    }
    reg.CloseKey();
}

}  // namespace zk::expert
