#include "zk/host/rtl/Classes.h"

#include "zk/host/platform/Ascii.h"

#include <algorithm>

#include "zk/host/rtl/TypInfo.h"

namespace zk::rtl {

const TClassInfo& TObject::StaticClass() {
    static const TClassInfo info("TObject", nullptr);
    return info;
}

std::string TObject::ClassName() const { return ClassType().Name(); }

bool TObject::InheritsFrom(const TClassInfo& Class) const {
    return ClassType().InheritsFrom(Class);
}

void TObject::Free(TObject* Obj) {
    if (!Obj) return;
    Obj->BeforeDestruction();
    delete Obj;
}

ZK_IMPLEMENT_CLASS(TPersistent, TObject)

const TClassInfo& TComponent::StaticClass() {
    static const TClassInfo info =
        TClassBuilder<TComponent>("TComponent", &TPersistent::StaticClass())
            .Str("Name", &TComponent::Name, &TComponent::SetName, TStoredRule::Never)
            .Build();
    return info;
}

bool IsValidIdent(const std::string& Name) {
    if (Name.empty()) return false;
    auto alpha = [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
    };
    if (!alpha(Name[0])) return false;
    return std::all_of(Name.begin(), Name.end(),
                       [&](char c) { return alpha(c) || (c >= '0' && c <= '9'); });
}

TComponent::TComponent(TComponent* AOwner) {
    if (AOwner) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
    DestroyComponents();
    if (FOwner) FOwner->RemoveComponent(this);
}

void TComponent::BeforeDestruction() {
    FComponentState.Include(csDestroying);
    DestroyComponents();
}

void TComponent::DestroyComponents() {
    while (!FComponents.empty()) {
        TComponent* last = FComponents.back();
        RemoveComponent(last);
        TObject::Free(last);
    }
}

namespace {

std::string NameKey(const std::string& Name) {
    std::string key(Name);
    for (char& c : key) c = zk::platform::LowerAscii(c);
    return key;
}

}  // namespace

void TComponent::InsertComponent(TComponent* AComponent) {
    FComponents.push_back(AComponent);
    if (!AComponent->FName.empty()) FNames.emplace(NameKey(AComponent->FName), AComponent);
    AComponent->FOwner = this;
    if (FComponentState.Contains(csDesigning)) AComponent->SetDesigning(true);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
    // From the end: components go the last first.
    auto it = std::find(FComponents.rbegin(), FComponents.rend(), AComponent);
    if (it != FComponents.rend()) FComponents.erase(std::next(it).base());
    if (!AComponent->FName.empty()) {
        auto named = FNames.find(NameKey(AComponent->FName));
        if (named != FNames.end() && named->second == AComponent) FNames.erase(named);
    }
    AComponent->FOwner = nullptr;
}

void TComponent::SetName(const std::string& NewName) {
    if (NewName == FName) return;
    if (!NewName.empty() && !IsValidIdent(NewName))
        throw EComponentError("'" + NewName + "' is not a valid component name");
    if (FOwner && !NewName.empty()) {
        TComponent* other = FOwner->FindComponent(NewName);
        if (other && other != this)
            throw EComponentError("A component named " + NewName + " already exists");
        if (!FName.empty()) FOwner->FNames.erase(NameKey(FName));
        FOwner->FNames[NameKey(NewName)] = this;
    } else if (FOwner && !FName.empty()) {
        FOwner->FNames.erase(NameKey(FName));
    }
    FName = NewName;
}

TComponent* TComponent::Components(int32_t Index) const {
    if (Index < 0 || Index >= ComponentCount())
        throw Exception("List index out of bounds (" + std::to_string(Index) + ")");
    return FComponents[static_cast<size_t>(Index)];
}

int32_t TComponent::ComponentIndex() const {
    if (!FOwner) return -1;
    auto& list = FOwner->FComponents;
    return static_cast<int32_t>(std::find(list.begin(), list.end(), this) - list.begin());
}

TComponent* TComponent::FindComponent(const std::string& Name) const {
    if (Name.empty()) return nullptr;
    auto it = FNames.find(NameKey(Name));
    return it == FNames.end() ? nullptr : it->second;
}

void TComponent::SetDesigning(bool Value) {
    if (Value)
        FComponentState.Include(csDesigning);
    else
        FComponentState.Exclude(csDesigning);
    for (TComponent* c : FComponents) c->SetDesigning(Value);
}

void TComponent::Loaded() { FComponentState.Exclude(csLoading); }

void TComponent::SetReading(bool Value) {
    if (Value)
        FComponentState.Include(csReading);
    else
        FComponentState.Exclude(csReading);
}

void TComponent::SetLoading(bool Value) {
    if (Value)
        FComponentState.Include(csLoading);
    else
        FComponentState.Exclude(csLoading);
}

}  // namespace zk::rtl
