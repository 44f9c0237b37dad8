#include "zk/host/ide/DesignIntf.h"

#include "zk/host/rtl/SysUtils.h"

namespace zk::ide {

using namespace zk::rtl;

ZK_IMPLEMENT_CLASS(TPropertyEditor, TObject)
ZK_IMPLEMENT_CLASS(TOrdinalProperty, TPropertyEditor)
ZK_IMPLEMENT_CLASS(TIntegerProperty, TOrdinalProperty)
ZK_IMPLEMENT_CLASS(TEnumProperty, TOrdinalProperty)
ZK_IMPLEMENT_CLASS(TStringProperty, TPropertyEditor)
ZK_IMPLEMENT_CLASS(TStringListProperty, TPropertyEditor)

// ---- TPropertyEditor ----

TPropertyEditor::TPropertyEditor(IFormDesigner* ADesigner, std::vector<TInstProp> AComponents)
    : FDesigner(ADesigner), FPropList(std::move(AComponents)) {
    if (FPropList.empty()) throw EPropertyError("A property editor needs a component");
}

void TPropertyEditor::Activate() {}

bool TPropertyEditor::AllEqual() { return PropCount() == 1; }

bool TPropertyEditor::AutoFill() { return true; }

void TPropertyEditor::Edit() {
    std::vector<std::string> values;
    GetValues([&](const std::string& v) { values.push_back(v); });
    if (values.empty()) return;
    std::string current = GetValue();
    size_t next = 0;
    for (size_t i = 0; i < values.size(); ++i)
        if (StrIComp(values[i].c_str(), current.c_str()) == 0) {
            next = (i + 1) % values.size();
            break;
        }
    SetValue(values[next]);
}

TPropertyAttributes TPropertyEditor::GetAttributes() { return {paMultiSelect, paRevertable}; }

int32_t TPropertyEditor::GetEditLimit() { return 255; }

std::string TPropertyEditor::GetName() { return GetPropInfo()->Name; }

void TPropertyEditor::GetProperties(const TGetPropEditProc& /*Proc*/) {}

std::string TPropertyEditor::GetValue() { return "(Unknown)"; }

void TPropertyEditor::GetValues(const TGetStrProc& /*Proc*/) {}

void TPropertyEditor::Initialize() {}

void TPropertyEditor::SetValue(const std::string& /*Value*/) {}

TPersistent* TPropertyEditor::GetComponent(int32_t Index) const {
    return FPropList.at(static_cast<size_t>(Index)).Instance;
}

int64_t TPropertyEditor::GetOrdValueAt(int32_t Index) const {
    const TInstProp& p = FPropList.at(static_cast<size_t>(Index));
    return GetOrdProp(p.Instance, p.PropInfo);
}

void TPropertyEditor::SetOrdValue(int64_t Value) {
    for (const TInstProp& p : FPropList) SetOrdProp(p.Instance, p.PropInfo, Value);
    Modified();
}

void TPropertyEditor::Modified() {
    if (FDesigner) FDesigner->Modified();
}

// ---- TOrdinalProperty, TIntegerProperty ----

bool TOrdinalProperty::AllEqual() {
    int64_t first = GetOrdValue();
    for (int32_t i = 1; i < PropCount(); ++i)
        if (GetOrdValueAt(i) != first) return false;
    return true;
}

int32_t TOrdinalProperty::GetEditLimit() { return 63; }

std::string TIntegerProperty::GetValue() { return IntToStr(GetOrdValue()); }

void TIntegerProperty::SetValue(const std::string& Value) {
    int64_t v = StrToInt(Value);
    const TTypeInfo* type = GetPropType();
    if (v < type->MinValue || v > type->MaxValue)
        throw EPropertyError("Value must be between " + IntToStr(type->MinValue) + " and " +
                             IntToStr(type->MaxValue));
    SetOrdValue(v);
}

TPropertyAttributes TEnumProperty::GetAttributes() {
    return {paMultiSelect, paValueList, paSortList, paRevertable};
}

std::string TEnumProperty::GetValue() {
    const std::vector<std::string>& names = GetPropType()->Names;
    int64_t v = GetOrdValue();
    return v >= 0 && static_cast<size_t>(v) < names.size() ? names[static_cast<size_t>(v)]
                                                           : IntToStr(v);
}

void TEnumProperty::GetValues(const TGetStrProc& Proc) {
    for (const std::string& name : GetPropType()->Names) Proc(name);
}

void TEnumProperty::SetValue(const std::string& Value) {
    const std::vector<std::string>& names = GetPropType()->Names;
    for (size_t i = 0; i < names.size(); ++i)
        if (SameText(names[i], Value)) return SetOrdValue(static_cast<int64_t>(i));
    throw EPropertyError("Invalid property value");
}

bool TStringProperty::AllEqual() {
    std::string first = GetValue();
    for (int32_t i = 1; i < PropCount(); ++i)
        if (GetStrProp(GetComponent(i), GetPropInfo()) != first) return false;
    return true;
}

std::string TStringProperty::GetValue() { return GetStrProp(GetComponent(0), GetPropInfo()); }

void TStringProperty::SetValue(const std::string& Value) {
    for (int32_t i = 0; i < PropCount(); ++i) SetStrProp(GetComponent(i), GetPropInfo(), Value);
    Modified();
}

TPropertyAttributes TStringListProperty::GetAttributes() { return {paReadOnly}; }

std::string TStringListProperty::GetValue() { return "(TStrings)"; }

// ---- Registration and lookup ----

namespace {

struct TRegistration {
    const TTypeInfo* PropertyType;
    const TClassInfo* ComponentClass;
    std::string PropertyName;
    const TPropertyEditorClass* EditorClass;
};

// In registration order; the lookup walks it from the end.
std::vector<TRegistration>& Registrations() {
    static std::vector<TRegistration> list;
    return list;
}

bool Matches(const TRegistration& R, const TPropInfo& Prop, const TClassInfo& Class) {
    const TTypeInfo* type = Prop.PropType;
    bool typeMatches = R.PropertyType == type ||
                       (R.PropertyType->Kind == type->Kind && R.PropertyType->Name == type->Name);
    return typeMatches && (!R.ComponentClass || Class.InheritsFrom(*R.ComponentClass)) &&
           (R.PropertyName.empty() || StrIComp(R.PropertyName.c_str(), Prop.Name.c_str()) == 0);
}

// True when P is a better match than the best so far, C, for a property of type Type.
bool Better(const TRegistration& P, const TRegistration* C, const TTypeInfo* Type) {
    if (!C) return true;
    if (!C->ComponentClass && P.ComponentClass) return true;
    if (C->PropertyName.empty() && !P.PropertyName.empty()) return true;
    if (C->PropertyType != Type && P.PropertyType == Type) return true;
    return P.ComponentClass && C->ComponentClass && P.ComponentClass != C->ComponentClass &&
           P.ComponentClass->InheritsFrom(*C->ComponentClass);
}

}  // namespace

void RegisterPropertyEditor(const TTypeInfo* PropertyType, const TClassInfo* ComponentClass,
                            const std::string& PropertyName,
                            const TPropertyEditorClass& EditorClass) {
    if (!PropertyType) throw EPropertyError("A property editor needs a property type");
    Registrations().push_back({PropertyType, ComponentClass, PropertyName, &EditorClass});
}

const TPropertyEditorClass& GetEditorClass(const TPropInfo* PropInfo,
                                           const TClassInfo& ComponentClass) {
    const std::vector<TRegistration>& list = Registrations();
    const TRegistration* best = nullptr;
    for (auto it = list.rbegin(); it != list.rend(); ++it)
        if (Matches(*it, *PropInfo, ComponentClass) && Better(*it, best, PropInfo->PropType))
            best = &*it;
    if (best) return *best->EditorClass;
    switch (PropInfo->PropType->Kind) {
        case TTypeKind::tkInteger:
            return PropertyEditorClass<TIntegerProperty>();
        case TTypeKind::tkEnumeration:
            return PropertyEditorClass<TEnumProperty>();
        case TTypeKind::tkString:
            return PropertyEditorClass<TStringProperty>();
        case TTypeKind::tkStrings:
            return PropertyEditorClass<TStringListProperty>();
        default:
            return PropertyEditorClass<TPropertyEditor>();
    }
}

void UnregisterPropertyEditors() { Registrations().clear(); }

// ---- TObjectInspector ----

std::unique_ptr<TPropertyEditor> TObjectInspector::EditorFor(TPersistent* Instance,
                                                             const std::string& PropName) {
    const TPropInfo* info = rtl::GetPropInfo(Instance, PropName);
    if (!info) throw EPropertyError("Property " + PropName + " does not exist");
    std::unique_ptr<TPropertyEditor> editor =
        GetEditorClass(info, Instance->ClassType()).Create(FDesigner, {{Instance, info}});
    editor->Initialize();
    return editor;
}

std::string TObjectInspector::GetValue(TPersistent* Instance, const std::string& PropName) {
    return EditorFor(Instance, PropName)->GetValue();
}

void TObjectInspector::SetValue(TPersistent* Instance, const std::string& PropName,
                                const std::string& Text) {
    EditorFor(Instance, PropName)->SetValue(Text);
}

TPropertyAttributes TObjectInspector::GetAttributes(TPersistent* Instance,
                                                    const std::string& PropName) {
    return EditorFor(Instance, PropName)->GetAttributes();
}

bool TObjectInspector::PressEllipsis(TPersistent* Instance, const std::string& PropName) {
    std::unique_ptr<TPropertyEditor> editor = EditorFor(Instance, PropName);
    if (!editor->GetAttributes().Contains(paDialog)) return false;
    editor->Edit();
    return true;
}

}  // namespace zk::ide
