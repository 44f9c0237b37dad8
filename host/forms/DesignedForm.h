// A form as the designer holds it: built from a user's form file (formfile/FormDocument.h),
// whose form class this program does not have ("object Form1: TForm1"). It is a TForm that
// answers the file's class name, with the form and every component on it marked csDesigning.
// The document stays the truth about the file: saving writes back the HelpContext values the
// components have now and nothing else.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "zk/formfile/FormDocument.h"
#include "zk/formfile/HelpContextClasses.h"
#include "zk/host/forms/Forms.h"
#include "zk/host/rtl/HelpContext.h"

namespace zk::forms {

// A component of a class the host does not have (or has with another HelpContext rule than
// the file's library). It answers the file's class name and publishes HelpContext when that
// library's class does, and Caption (read-only) when the file stores one; the rest of its
// properties, handlers included, stay in the document as they were.
class TDesignedComponent : public rtl::TComponent {
  public:
    TDesignedComponent(TComponent* AOwner, const rtl::TClassInfo& Class, std::string Caption)
        : TComponent(AOwner), FClass(&Class), FCaption(std::move(Caption)) {}
    const rtl::TClassInfo& ClassType() const override { return *FClass; }

    rtl::THelpContext HelpContext() const { return FHelpContext; }
    void SetHelpContext(rtl::THelpContext Value) { FHelpContext = Value; }
    const std::string& Caption() const { return FCaption; }

  private:
    const rtl::TClassInfo* FClass;
    std::string FCaption;
    rtl::THelpContext FHelpContext = 0;
};

class TDesignedForm : public TForm {
  public:
    // Builds the form from Doc. Objects of classes the host has become those classes, with the
    // properties they publish set from the file where the values fit; every other object
    // becomes a TDesignedComponent. Components inside panels and the like are owned by the
    // form, those inside an inline frame by the frame. Raises EFormFileError for a stored
    // HelpContext that is no 32-bit integer or a component name the form cannot take.
    explicit TDesignedForm(formfile::TFormDocument Doc);
    // Reads Bytes (text or binary) as the form file FileName, whose extension picks the library.
    explicit TDesignedForm(std::string Bytes, const std::string& FileName = "Form.dfm");

    // Class information of the file's class, derived from TForm's.
    const rtl::TClassInfo& ClassType() const override { return FClass; }

    // The file with the components' HelpContext values written back; with none changed, the
    // bytes read.
    std::string Save();
    // Whether Save gives other bytes than the file read.
    bool Modified() const;

    // A component of the form with the object of the file it came from and the index of the
    // one it sits on (its parent control, or the component whose object holds it).
    struct TPart {
        rtl::TComponent* Component;
        const formfile::TFormNode* Node;
        int32_t Parent;  // -1 for the form itself
    };
    // The form (first) and every component built from the file, in the file's order.
    const std::vector<TPart>& Parts() const { return FParts; }
    // The index in Parts() of the component built from Node, or -1.
    int32_t PartOf(const formfile::TFormNode& Node) const;
    // Whether Save writes C's property Prop back into the file: HelpContext of the components
    // that publish it, nothing else.
    bool WritesBack(const rtl::TComponent& C, std::string_view Prop) const;
    // The file as read, with the numbers written back by the last Save.
    const formfile::TFormDocument& Document() const { return FDocument; }

  private:
    void Build(const formfile::TFormNode& Node, TComponent* Owner, TComponent* Parent,
               int32_t ParentPart);
    void WriteBack();

    formfile::TFormDocument FDocument;
    formfile::TFormLibrary FLibrary;
    rtl::TClassInfo FClass;
    // Each component that publishes HelpContext and the object of the file it came from.
    std::vector<std::pair<TComponent*, const formfile::TFormNode*>> FHelpBindings;
    std::vector<TPart> FParts;
    std::unordered_map<const formfile::TFormNode*, int32_t> FPartOfNode;
};

}  // namespace zk::forms
