// One form file open in the designer: the designed form built from it (with its document:
// layout and every property as the file keeps them, for showing), the form designer and the
// object inspector over it. Saving writes what the form's document gives (the file as read with
// only its HelpContext values changed).
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "zk/formfile/FormDocument.h"
#include "zk/host/forms/DesignedForm.h"
#include "zk/host/ide/DesignIntf.h"

namespace designer {

class TFormSession {
  public:
    // Reads the form file Path. Raises zk::platform::EFileError when it cannot be read and
    // zk::rtl::Exception (EFormFileError and the like) when it is no form the host can build.
    explicit TFormSession(const std::string& Path);

    const std::string& FileName() const { return FFileName; }
    zk::forms::TDesignedForm& Form() { return *FForm; }
    const zk::formfile::TFormDocument& Document() const { return FForm->Document(); }
    zk::ide::TFormDesigner& Designer() { return *FDesigner; }
    zk::ide::TObjectInspector& Inspector() { return *FInspector; }

    // The component built from Node of Document(): the form for the root; null for objects
    // that did not become components.
    zk::rtl::TComponent* ComponentOf(const zk::formfile::TFormNode& Node);

    // Whether saving would write other bytes than the file holds now.
    bool Modified();
    // Stores the form at Path (atomically) and makes Path the session's file. Raises
    // zk::platform::EFileError.
    void SaveAs(const std::string& Path);
    void Save() { SaveAs(FFileName); }

    // Gives the components that publish HelpContext and have no number the numbers Start,
    // Start+Step, ... in tree order, skipping the numbers the form uses. Returns how many got
    // one; they can be taken back with UndoNumbering until the next numbering or saving.
    int32_t NumberUnset(int64_t Start, int64_t Step);
    bool CanUndoNumbering() const { return !FUndo.empty(); }
    void UndoNumbering();
    // The highest number the form uses (0 when none).
    int64_t HighestNumber();
    // The help-context report (one HTML page) on the form files of this form's folder, this
    // one as it stands now; files that cannot be read are named at the end of Skipped.
    std::string ReportHtml(std::vector<std::string>& Skipped);

  private:
    // The components that publish HelpContext, in tree order, with their numbers.
    std::vector<std::pair<zk::rtl::TComponent*, int32_t>> HelpContexts();

    std::string FFileName;
    std::unique_ptr<zk::forms::TDesignedForm> FForm;
    std::unique_ptr<zk::ide::TFormDesigner> FDesigner;
    std::unique_ptr<zk::ide::TObjectInspector> FInspector;
    std::string FStored;  // the bytes the file holds, as far as this session knows
    std::vector<zk::rtl::TComponent*> FHelpTargets;  // by the file as read, in tree order
    std::vector<std::pair<zk::rtl::TComponent*, int32_t>> FUndo;  // the last numbering's
};

}  // namespace designer
