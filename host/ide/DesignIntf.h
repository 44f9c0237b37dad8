// The IDE's design-time interface as property editors see it: the form designer, property
// editors with their attributes, the registry that picks an editor for a property, and a small
// object inspector that drives an editor the way the IDE's inspector does.
//
// Everything here runs on the IDE's main thread.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "zk/host/rtl/Classes.h"
#include "zk/host/rtl/HelpContext.h"
#include "zk/host/rtl/TypInfo.h"

namespace zk::ide {

// The form designer that edits one form. The IDE owns it; editors only point at it.
class IFormDesigner {
  public:
    virtual ~IFormDesigner() = default;
    // The form being designed.
    virtual rtl::TComponent* Form() = 0;
    // Tells the IDE that a component of the form changed, so that the form is saved.
    virtual void Modified() = 0;
};

// The designer of the IDE stand-in: remembers its form and counts the modifications.
class TFormDesigner : public IFormDesigner {
  public:
    explicit TFormDesigner(rtl::TComponent* AForm) : FForm(AForm) {}
    rtl::TComponent* Form() override { return FForm; }
    void Modified() override { ++FModifiedCount; }
    int32_t ModifiedCount() const { return FModifiedCount; }

  private:
    rtl::TComponent* FForm;
    int32_t FModifiedCount = 0;
};

// What the inspector offers for a property. paDialog gives it an ellipsis button that calls
// the editor's Edit.
enum TPropertyAttribute {
    paValueList,
    paSubProperties,
    paDialog,
    paMultiSelect,
    paAutoUpdate,
    paSortList,
    paReadOnly,
    paRevertable,
    paFullWidthName
};
using TPropertyAttributes = rtl::TSet<TPropertyAttribute>;

// One edited component and the property's information on it.
struct TInstProp {
    rtl::TPersistent* Instance;
    const rtl::TPropInfo* PropInfo;
};

class TPropertyEditor;
using TGetPropEditProc = std::function<void(TPropertyEditor*)>;
using TGetStrProc = std::function<void(const std::string&)>;

// Edits one property of one or more components (all selected in the designer). The inspector
// creates an editor per use and destroys it afterwards; an editor owns nothing it edits.
class TPropertyEditor : public rtl::TObject {
    ZK_CLASS(TPropertyEditor)
  public:
    // Designer may be null (no designer told of changes). Components must not be empty.
    TPropertyEditor(IFormDesigner* ADesigner, std::vector<TInstProp> AComponents);

    // Virtual operations, in slot order.
    // Called when the inspector selects the property; nothing here.
    virtual void Activate();
    // True when every edited component shows the same value; here: when only one is edited.
    virtual bool AllEqual();
    // Whether the inspector completes typed text from GetValues; true here.
    virtual bool AutoFill();
    // The ellipsis button or a double click: here steps to the value after the current one in
    // GetValues (wrapping), when GetValues offers any.
    virtual void Edit();
    // Here {paMultiSelect, paRevertable}.
    virtual TPropertyAttributes GetAttributes();
    // Longest text the inspector lets the user type; 255 here.
    virtual int32_t GetEditLimit();
    // The property's name.
    virtual std::string GetName();
    // Editors of the sub-properties (for paSubProperties); none here.
    virtual void GetProperties(const TGetPropEditProc& Proc);
    // The value as the inspector shows it; "(Unknown)" here.
    virtual std::string GetValue();
    // The values a drop-down list offers (for paValueList); none here.
    virtual void GetValues(const TGetStrProc& Proc);
    // Called once after construction, before any other use; nothing here.
    virtual void Initialize();
    // Takes text typed into the inspector; ignored here.
    virtual void SetValue(const std::string& Value);

    int32_t PropCount() const { return static_cast<int32_t>(FPropList.size()); }
    rtl::TPersistent* GetComponent(int32_t Index) const;
    // The property information on the first edited component.
    const rtl::TPropInfo* GetPropInfo() const { return FPropList[0].PropInfo; }
    const rtl::TTypeInfo* GetPropType() const { return GetPropInfo()->PropType; }
    IFormDesigner* Designer() const { return FDesigner; }

    // The ordinal value on the first edited component, or on component Index.
    int64_t GetOrdValue() const { return GetOrdValueAt(0); }
    int64_t GetOrdValueAt(int32_t Index) const;
    // Sets the ordinal value on every edited component, then tells the designer.
    void SetOrdValue(int64_t Value);

    // Tells the designer that a component changed.
    void Modified();

  private:
    IFormDesigner* FDesigner;
    std::vector<TInstProp> FPropList;
};

// Ordinal properties: equal when every component holds the same number; 63 characters.
class TOrdinalProperty : public TPropertyEditor {
    ZK_CLASS(TOrdinalProperty)
  public:
    using TPropertyEditor::TPropertyEditor;
    bool AllEqual() override;
    int32_t GetEditLimit() override;
};

// Integer properties: shown in decimal; typed text is converted with StrToInt (EConvertError
// for anything but a decimal integer) and must lie within the property type's MinValue and
// MaxValue, otherwise EPropertyError "Value must be between MIN and MAX"; nothing changes then.
class TIntegerProperty : public TOrdinalProperty {
    ZK_CLASS(TIntegerProperty)
  public:
    using TOrdinalProperty::TOrdinalProperty;
    std::string GetValue() override;
    void SetValue(const std::string& Value) override;
};

// Enumerations and Booleans: the value's name; GetValues lists the type's names, and typed
// text must be one of them (ignoring case), otherwise EPropertyError "Invalid property value".
class TEnumProperty : public TOrdinalProperty {
    ZK_CLASS(TEnumProperty)
  public:
    using TOrdinalProperty::TOrdinalProperty;
    TPropertyAttributes GetAttributes() override;
    std::string GetValue() override;
    void GetValues(const TGetStrProc& Proc) override;
    void SetValue(const std::string& Value) override;
};

// String properties: the text as it stands, taken as typed; equal when every component holds
// the same text.
class TStringProperty : public TPropertyEditor {
    ZK_CLASS(TStringProperty)
  public:
    using TPropertyEditor::TPropertyEditor;
    bool AllEqual() override;
    std::string GetValue() override;
    void SetValue(const std::string& Value) override;
};

// String lists (Lines, Items): shown as "(TStrings)"; edited in a dialog the IDE stand-in does
// not have, so read-only here.
class TStringListProperty : public TPropertyEditor {
    ZK_CLASS(TStringListProperty)
  public:
    using TPropertyEditor::TPropertyEditor;
    TPropertyAttributes GetAttributes() override;
    std::string GetValue() override;
};

// A property-editor class, as RegisterPropertyEditor takes it: a name and a way to create
// an editor. Obtain one with PropertyEditorClass<E>(); compare classes by address.
class TPropertyEditorClass {
  public:
    using TFactory =
        std::function<std::unique_ptr<TPropertyEditor>(IFormDesigner*, std::vector<TInstProp>)>;
    TPropertyEditorClass(std::string Name, TFactory Create)
        : FName(std::move(Name)), FCreate(std::move(Create)) {}
    TPropertyEditorClass(const TPropertyEditorClass&) = delete;
    TPropertyEditorClass& operator=(const TPropertyEditorClass&) = delete;

    const std::string& Name() const { return FName; }
    // A new editor for Components, owned by the caller.
    std::unique_ptr<TPropertyEditor> Create(IFormDesigner* Designer,
                                            std::vector<TInstProp> Components) const {
        return FCreate(Designer, std::move(Components));
    }

  private:
    std::string FName;
    TFactory FCreate;
};

// The one editor class of E (which declares ZK_CLASS and the base constructor).
template <class E>
const TPropertyEditorClass& PropertyEditorClass() {
    static const TPropertyEditorClass cls(
        E::StaticClass().Name(), [](IFormDesigner* Designer, std::vector<TInstProp> Components) {
            return std::unique_ptr<TPropertyEditor>(new E(Designer, std::move(Components)));
        });
    return cls;
}

// Registers EditorClass for properties of type PropertyType (matched by identity, or by kind
// and type name) on ComponentClass and its descendants (null: on any class), named
// PropertyName (ignoring case; empty: any name).
void RegisterPropertyEditor(const rtl::TTypeInfo* PropertyType,
                            const rtl::TClassInfo* ComponentClass, const std::string& PropertyName,
                            const TPropertyEditorClass& EditorClass);

// The editor class the inspector uses for PropInfo on a component of ComponentClass. Among
// the matching registrations one replaces the best so far when it names a component class and
// the best does not, names the property and the best does not, matches the type by identity
// and the best only by name, or names a component class that descends from the best's. The
// latest registration is considered first, so it wins ties. Without a match: TIntegerProperty
// for integer types, TEnumProperty for enumerations, TStringProperty for strings,
// TStringListProperty for string lists, otherwise TPropertyEditor.
const TPropertyEditorClass& GetEditorClass(const rtl::TPropInfo* PropInfo,
                                           const rtl::TClassInfo& ComponentClass);

// Forgets every registration, as the IDE does when it unloads the design packages.
void UnregisterPropertyEditors();

// The object inspector of the IDE stand-in, for the components of one designer's form. Each
// call builds the editor the IDE would (GetEditorClass), initialises it, uses it and destroys
// it. A property that Instance does not publish raises EPropertyError "Property NAME does not
// exist".
class TObjectInspector {
  public:
    explicit TObjectInspector(IFormDesigner* ADesigner) : FDesigner(ADesigner) {}

    // The editor for Instance's property PropName, initialised; owned by the caller.
    std::unique_ptr<TPropertyEditor> EditorFor(rtl::TPersistent* Instance,
                                               const std::string& PropName);
    // The text the inspector shows for the property.
    std::string GetValue(rtl::TPersistent* Instance, const std::string& PropName);
    // Text typed into the property's row and confirmed; editor errors propagate.
    void SetValue(rtl::TPersistent* Instance, const std::string& PropName, const std::string& Text);
    TPropertyAttributes GetAttributes(rtl::TPersistent* Instance, const std::string& PropName);
    // Presses the property's ellipsis button: calls Edit when the attributes include
    // paDialog. False (nothing called) when the property has no such button.
    bool PressEllipsis(rtl::TPersistent* Instance, const std::string& PropName);

  private:
    IFormDesigner* FDesigner;
};

}  // namespace zk::ide
