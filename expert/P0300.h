// The Help Expert window: a tree of the designed form and every component it owns that has a
// published HelpContext property, an "ID:" field to give each node its number, display settings
// that persist in the registry, the write-back of all numbers, and the commands and replies
// exchanged with the authoring application.
#pragma once

#include <cstdint>
#include <string>

#include "zk/host/forms/ComCtrls.h"
#include "zk/host/forms/Forms.h"
#include "zk/host/forms/Menus.h"
#include "zk/host/forms/Spin.h"
#include "zk/host/forms/StdCtrls.h"
#include "zk/host/forms/TabNotbk.h"

namespace zk {
class TzkMailSlot;
}

namespace zk::expert {

// The record each tree node owns: which component it stands for and the number being edited.
class tDocuvaneRef : public rtl::TObject {
  public:
    int32_t CompIndex = 0;  // position in the designed form's components; -1: the form itself
    std::string CompCaption;
    std::string CompName;
    std::string CompClassName;
    int32_t ContextId = 0;
};

// A node's text: name, class name and caption as the three settings say, then the number, each
// piece behind a comma and a blank (the first one too, when there is no name). Name and Caption
// are taken only when the subject publishes them.
std::string ComposeNodeText(rtl::TComponent* Subject, bool ShowName, bool ShowClassName,
                            bool ShowCaption, int32_t Number);

class Tfrm0300 : public forms::TForm {
    ZK_CLASS(Tfrm0300)
  public:
    // Reads the window's layout (P0300.dfm); OnCreate then selects the first page and loads the
    // display settings.
    explicit Tfrm0300(TComponent* AOwner);

    forms::TPanel* pnlTop = nullptr;
    forms::TTreeView* tv1 = nullptr;
    forms::TPanel* pnlBottom = nullptr;
    forms::TTabbedNotebook* tbNb = nullptr;
    forms::TLabel* _10lblNodeSelected = nullptr;
    forms::TLabel* _10Selected = nullptr;
    forms::TLabel* _10lblId = nullptr;
    forms::TSpinEdit* _10edit = nullptr;
    forms::TLabel* _10lblTopicId = nullptr;
    forms::TEdit* _10edtTopic = nullptr;
    forms::TLabel* _10lblHCI = nullptr;
    forms::TEdit* _10edtHCI = nullptr;
    forms::TButton* _10btnNewTopic = nullptr;
    forms::TButton* _10btnEditTopic = nullptr;
    forms::TLabel* _10lblCCKeyword = nullptr;
    forms::TMemo* _10memCCKeywords = nullptr;
    forms::TLabel* _10lblCCAKeywords = nullptr;
    forms::TMemo* _10memCCAKeyWords = nullptr;
    forms::TCheckBox* cb3 = nullptr;
    forms::TCheckBox* cb1 = nullptr;
    forms::TCheckBox* cb2 = nullptr;
    forms::TMainMenu* mmMain = nullptr;
    forms::TMenuItem* mnuFile = nullptr;
    forms::TMenuItem* mnuFileExit = nullptr;
    forms::TMenuItem* Exit1 = nullptr;
    forms::TMenuItem* mnuHelp1 = nullptr;
    forms::TMenuItem* mnuHelpContext1 = nullptr;
    forms::TMenuItem* mnuHelpN1 = nullptr;
    forms::TMenuItem* mnuHelpAbout1 = nullptr;

    void FormCreate(TObject* Sender);
    // Builds the tree from the designed form. With the reply channel on (ReplyChannel.h) it
    // also opens the window's reply slot and shows the topic controls.
    void FormShow(TObject* Sender);
    // Closes the reply slot, if one is open.
    void FormDestroy(TObject* Sender);
    // Commits the spin edit's value into the node being left, then loads the new node's number.
    void tv1Changing(TObject* Sender, forms::TTreeNode* Node, bool& AllowChange);
    void tv1Click(TObject* Sender);
    // Destroys the node's record.
    void tv1Deletion(TObject* Sender, forms::TTreeNode* Node);
    void cb3Click(TObject* Sender);
    // "E&xit and Save Changes": writes every node's number into its HelpContext, then closes.
    void mnuFileExitClick(TObject* Sender);
    // "&Exit": saves the display settings, then closes without writing numbers.
    void Exit1Click(TObject* Sender);
    void mnuHelpContext1Click(TObject* Sender);
    void mnuHelpAbout1Click(TObject* Sender);
    void _10btnNewTopicClick(TObject* Sender);
    void _10btnEditTopicClick(TObject* Sender);
    // Handles one reply of the authoring application (an endpoint's OnMessageAvail shape).
    void zksMailMessageAvail(TObject* Sender, std::string Msg);

    // Recomposes every node's text from its record and the display settings.
    void RefreshTree();
    void RegistryLoad();
    void RegistrySave();

    // The form being designed, set by the property editor before the window is shown; not owned.
    void SetDesignForm(TForm* Value) { FDesignForm = Value; }
    TForm* DesignForm() const { return FDesignForm; }
    int32_t TopicStep() const { return FTopicStep; }
    int32_t TopicNumber() const { return FTopicNumber; }
    const std::string& FirstPrefix() const { return FFirstPrefix; }
    const std::string& SecondPrefix() const { return FSecondPrefix; }
    // The endpoint that receives the replies while the window is shown with the reply channel
    // on; null when the channel is off. Owned by the window.
    TzkMailSlot* ReplySlot() const { return FReplySlot; }

  private:
    // The component a record stands for: the designed form for -1, else its owned component.
    TComponent* Subject(const tDocuvaneRef& Ref) const;
    std::string Compose(TComponent* Subject, int32_t Number) const;
    // Sends Command to the authoring application, named reply slot first when there is one.
    void Send(const std::string& Command);
    void OpenReplyChannel();

    int32_t FTopicStep = 0;
    int32_t FTopicNumber = 0;
    std::string FFirstPrefix;
    std::string FSecondPrefix;
    TForm* FDesignForm = nullptr;
    TzkMailSlot* FReplySlot = nullptr;
};

// The slot of the authoring application and the machine it runs on.
inline const char* const DocuvaneSlot = "HS";
inline const char* const DocuvaneServer = ".";
// The registry key of the authoring application's path and the window's display settings.
inline const char* const DocuvaneRegistryKey = "Software\\Vdx";
// The maker's notice shown by the About boxes.
inline const char* const MakersNotice =
    "Docuvane Help Expert for Linux, written from the ground up";

}  // namespace zk::expert
