// The component model: TObject with class information, TPersistent, and TComponent with its
// owner, name, owned components and component state.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "zk/Export.h"
#include "zk/host/rtl/SysUtils.h"

namespace zk::rtl {

class TClassInfo;

// Declares a class's run-time class information; pair with ZK_IMPLEMENT_CLASS or a hand-written
// StaticClass that publishes properties (host/rtl/TypInfo.h).
#define ZK_CLASS(Self)                                                                \
  public:                                                                             \
    static const ::zk::rtl::TClassInfo& StaticClass();                                \
    const ::zk::rtl::TClassInfo& ClassType() const override { return StaticClass(); } \
                                                                                      \
  private:

// Class information of a class that publishes nothing of its own (needs host/rtl/TypInfo.h).
#define ZK_IMPLEMENT_CLASS(Self, Parent)                                        \
    const ::zk::rtl::TClassInfo& Self::StaticClass() {                          \
        static const ::zk::rtl::TClassInfo info(#Self, &Parent::StaticClass()); \
        return info;                                                            \
    }

class ZK_EXPORT TObject {
  public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;

    static const TClassInfo& StaticClass();
    virtual const TClassInfo& ClassType() const { return StaticClass(); }
    // The class name as the class information gives it ("TzkMailSlot").
    std::string ClassName() const;
    bool InheritsFrom(const TClassInfo& Class) const;

    // Runs BeforeDestruction, then deletes the object; nothing for a null pointer. Objects that
    // own others are released this way, so that owned objects go while the owner is whole.
    static void Free(TObject* Obj);

  protected:
    virtual void BeforeDestruction() {}
};

class ZK_EXPORT TPersistent : public TObject {
    ZK_CLASS(TPersistent)
};

enum TComponentStateFlag { csLoading, csReading, csWriting, csDestroying, csDesigning };

// A small set of enumeration values, after the host's set types.
template <class E>
class TSet {
  public:
    TSet() = default;
    TSet(std::initializer_list<E> Items) {
        for (E e : Items) Include(e);
    }
    bool Contains(E e) const { return (FBits >> static_cast<int>(e)) & 1u; }
    void Include(E e) { FBits |= 1ull << static_cast<int>(e); }
    void Exclude(E e) { FBits &= ~(1ull << static_cast<int>(e)); }
    bool Empty() const { return FBits == 0; }
    uint64_t Bits() const { return FBits; }
    bool operator==(const TSet&) const = default;

  private:
    uint64_t FBits = 0;
};

using TComponentState = TSet<TComponentStateFlag>;

// Raised for invalid or duplicate component names.
class ZK_EXPORT EComponentError : public Exception {
  public:
    using Exception::Exception;
};

class ZK_EXPORT TComponent : public TPersistent {
    ZK_CLASS(TComponent)
  public:
    // The new component joins Owner's components (at the end) and takes over its design state.
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;

    TComponent* Owner() const { return FOwner; }
    const std::string& Name() const { return FName; }
    // Renames the component. The name must be a valid identifier (or empty) and unique among
    // the owner's components, ignoring case; otherwise EComponentError.
    virtual void SetName(const std::string& NewName);

    int32_t ComponentCount() const { return static_cast<int32_t>(FComponents.size()); }
    // The owned component at Index (0-based), in the order they joined.
    TComponent* Components(int32_t Index) const;
    int32_t ComponentIndex() const;
    // The owned component named Name (ignoring case), or null.
    TComponent* FindComponent(const std::string& Name) const;

    TComponentState ComponentState() const { return FComponentState; }
    // Marks this component and all it owns as being designed (or not).
    void SetDesigning(bool Value);
    // Called once a component has been read from a stored form; clears csLoading.
    virtual void Loaded();

    // The streaming layer's view of containment: a control answers the control it sits on.
    virtual TComponent* GetParentComponent() const { return nullptr; }
    virtual void SetParentComponent(TComponent* /*Value*/) {}

    // For the streaming layer: marks the component as being read from a stored form.
    void SetReading(bool Value);
    void SetLoading(bool Value);

  protected:
    void BeforeDestruction() override;
    // Destroys every owned component, the last first.
    void DestroyComponents();

  private:
    void InsertComponent(TComponent* AComponent);
    void RemoveComponent(TComponent* AComponent);

    TComponent* FOwner = nullptr;
    std::string FName;
    std::vector<TComponent*> FComponents;
    // The owned components by name in lowercase: a form of many thousands of components
    // checks each new name against all the others.
    std::unordered_map<std::string, TComponent*> FNames;
    TComponentState FComponentState;
};

// True when Name is an identifier: a letter or underscore, then letters, digits, underscores.
ZK_EXPORT bool IsValidIdent(const std::string& Name);

// Releases an owned object with TObject::Free, as its creator does.
struct TFreeObject {
    void operator()(TObject* Obj) const { TObject::Free(Obj); }
};

// Sole owner of a host object, freed with TObject::Free when the owner goes.
template <class T>
using TOwned = std::unique_ptr<T, TFreeObject>;

}  // namespace zk::rtl
