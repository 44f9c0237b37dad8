#include "zk/host/rtl/TypInfo.h"

#include <map>
#include <mutex>

#include "zk/host/platform/Ascii.h"

namespace zk::rtl {

namespace {

const TTypeInfo* Make(TTypeInfo info) { return new TTypeInfo(std::move(info)); }

}  // namespace

const TTypeInfo& TypeInfo_Integer() {
    static const TTypeInfo* t = Make({"Integer", TTypeKind::tkInteger, INT32_MIN, INT32_MAX, {}});
    return *t;
}
const TTypeInfo& TypeInfo_Cardinal() {
    static const TTypeInfo* t = Make({"Cardinal", TTypeKind::tkInteger, 0, UINT32_MAX, {}});
    return *t;
}
const TTypeInfo& TypeInfo_Boolean() {
    static const TTypeInfo* t =
        Make({"Boolean", TTypeKind::tkEnumeration, 0, 1, {"False", "True"}});
    return *t;
}
const TTypeInfo& TypeInfo_String() {
    static const TTypeInfo* t = Make({"string", TTypeKind::tkString, 0, 0, {}});
    return *t;
}
const TTypeInfo& TypeInfo_Method() {
    static const TTypeInfo* t = Make({"TMethod", TTypeKind::tkMethod, 0, 0, {}});
    return *t;
}
const TTypeInfo& TypeInfo_Component() {
    static const TTypeInfo* t = Make({"TComponent", TTypeKind::tkClass, 0, 0, {}});
    return *t;
}
const TTypeInfo& TypeInfo_Strings() {
    static const TTypeInfo* t = Make({"TStrings", TTypeKind::tkStrings, 0, 0, {}});
    return *t;
}

bool TClassInfo::InheritsFrom(const TClassInfo& Other) const {
    for (const TClassInfo* c = this; c; c = c->FParent)
        if (c == &Other) return true;
    return false;
}

std::vector<const TPropInfo*> TClassInfo::AllProps() const {
    std::vector<const TPropInfo*> out;
    if (FParent) out = FParent->AllProps();
    for (const TPropInfo& p : FProps) {
        // A class may publish again what an ancestor declared; the newest declaration wins.
        bool replaced = false;
        for (auto& q : out)
            if (StrIComp(q->Name.c_str(), p.Name.c_str()) == 0) {
                q = &p;
                replaced = true;
            }
        if (!replaced) out.push_back(&p);
    }
    return out;
}

const TPropInfo* TClassInfo::FindProp(const std::string& Name) const {
    for (const TClassInfo* c = this; c; c = c->FParent)
        for (const TPropInfo& p : c->FProps)
            if (StrIComp(p.Name.c_str(), Name.c_str()) == 0) return &p;
    return nullptr;
}

const TPublishedMethod* TClassInfo::FindMethod(const std::string& Name) const {
    for (const TClassInfo* c = this; c; c = c->FParent)
        for (const TPublishedMethod& m : c->FMethods)
            if (StrIComp(m.Name.c_str(), Name.c_str()) == 0) return &m;
    return nullptr;
}

const TPublishedField* TClassInfo::FindField(const std::string& Name) const {
    for (const TClassInfo* c = this; c; c = c->FParent)
        for (const TPublishedField& f : c->FFields)
            if (StrIComp(f.Name.c_str(), Name.c_str()) == 0) return &f;
    return nullptr;
}

TComponent* TClassInfo::Create(TComponent* Owner) const {
    if (!FCreate) throw EClassNotFound("Class " + FName + " cannot be created");
    return FCreate(Owner);
}

const TPropInfo* GetPropInfo(const TObject* Instance, const std::string& PropName) {
    return Instance ? Instance->ClassType().FindProp(PropName) : nullptr;
}

const TPropInfo* GetPropInfo(const TClassInfo& Class, const std::string& PropName) {
    return Class.FindProp(PropName);
}

namespace {

const TPropInfo& Need(TObject* Instance, const TPropInfo* PropInfo, bool ok, const char* what) {
    if (!Instance || !PropInfo) throw EPropertyError("Property does not exist");
    if (!ok) throw EPropertyError(std::string("Property ") + PropInfo->Name + " is not " + what);
    return *PropInfo;
}

const TPropInfo* ByName(TObject* Instance, const std::string& PropName) {
    const TPropInfo* p = GetPropInfo(Instance, PropName);
    if (!p) throw EPropertyError("Property " + PropName + " does not exist");
    return p;
}

}  // namespace

int64_t GetOrdProp(TObject* Instance, const TPropInfo* PropInfo) {
    return Need(Instance, PropInfo, PropInfo && PropInfo->GetOrd, "ordinal").GetOrd(*Instance);
}

void SetOrdProp(TObject* Instance, const TPropInfo* PropInfo, int64_t Value) {
    Need(Instance, PropInfo, PropInfo && PropInfo->SetOrd, "a writable ordinal")
        .SetOrd(*Instance, Value);
}

std::string GetStrProp(TObject* Instance, const TPropInfo* PropInfo) {
    return Need(Instance, PropInfo, PropInfo && PropInfo->GetStr, "a string").GetStr(*Instance);
}

void SetStrProp(TObject* Instance, const TPropInfo* PropInfo, const std::string& Value) {
    Need(Instance, PropInfo, PropInfo && PropInfo->SetStr, "a writable string")
        .SetStr(*Instance, Value);
}

TMethod GetMethodProp(TObject* Instance, const TPropInfo* PropInfo) {
    return Need(Instance, PropInfo, PropInfo && PropInfo->GetMethod, "an event")
        .GetMethod(*Instance);
}

void SetMethodProp(TObject* Instance, const TPropInfo* PropInfo, const TMethod& Value) {
    Need(Instance, PropInfo, PropInfo && PropInfo->SetMethod, "an event")
        .SetMethod(*Instance, Value);
}

int64_t GetOrdProp(TObject* Instance, const std::string& PropName) {
    return GetOrdProp(Instance, ByName(Instance, PropName));
}
void SetOrdProp(TObject* Instance, const std::string& PropName, int64_t Value) {
    SetOrdProp(Instance, ByName(Instance, PropName), Value);
}
std::string GetStrProp(TObject* Instance, const std::string& PropName) {
    return GetStrProp(Instance, ByName(Instance, PropName));
}
void SetStrProp(TObject* Instance, const std::string& PropName, const std::string& Value) {
    SetStrProp(Instance, ByName(Instance, PropName), Value);
}

namespace {

struct Registry {
    std::mutex Lock;
    std::map<std::string, const TClassInfo*> Classes;  // by upper-case name
};

Registry& TheRegistry() {
    static Registry r;
    return r;
}

std::string Key(const std::string& Name) {
    std::string k = Name;
    for (char& c : k) c = platform::UpperAscii(c);
    return k;
}

}  // namespace

void RegisterClass(const TClassInfo& Class) {
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> lock(r.Lock);
    r.Classes[Key(Class.Name())] = &Class;
}

const TClassInfo* GetClass(const std::string& ClassName) {
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> lock(r.Lock);
    auto it = r.Classes.find(Key(ClassName));
    return it == r.Classes.end() ? nullptr : it->second;
}

const TClassInfo& FindClass(const std::string& ClassName) {
    const TClassInfo* c = GetClass(ClassName);
    if (!c) throw EClassNotFound("Class " + ClassName + " not found");
    return *c;
}

}  // namespace zk::rtl
