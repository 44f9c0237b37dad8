// Run-time type information: per class, the published properties (name, type, accessors,
// default and stored rule), the published fields and methods, and a factory; plus the class
// registry that the streaming layer resolves class names with.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "zk/Export.h"
#include "zk/host/rtl/Classes.h"
#include "zk/host/rtl/Events.h"

namespace zk::rtl {

enum class TTypeKind { tkInteger, tkEnumeration, tkString, tkClass, tkMethod, tkStrings };

struct TTypeInfo {
    std::string Name;
    TTypeKind Kind;
    int64_t MinValue = 0;
    int64_t MaxValue = 0;
    std::vector<std::string> Names;  // the value names of an enumeration, in order
};

ZK_EXPORT const TTypeInfo& TypeInfo_Integer();   // 32-bit signed
ZK_EXPORT const TTypeInfo& TypeInfo_Cardinal();  // 32-bit unsigned
ZK_EXPORT const TTypeInfo& TypeInfo_Boolean();   // False, True
ZK_EXPORT const TTypeInfo& TypeInfo_String();
ZK_EXPORT const TTypeInfo& TypeInfo_Method();     // every event type
ZK_EXPORT const TTypeInfo& TypeInfo_Component();  // a reference to another component
ZK_EXPORT const TTypeInfo& TypeInfo_Strings();    // a list of lines

enum class TStoredRule { Default, Never };

struct TPropInfo {
    std::string Name;
    const TTypeInfo* PropType = nullptr;
    std::function<int64_t(TObject&)> GetOrd;
    std::function<void(TObject&, int64_t)> SetOrd;
    std::function<std::string(TObject&)> GetStr;
    std::function<void(TObject&, const std::string&)> SetStr;
    std::function<TMethod(TObject&)> GetMethod;
    std::function<void(TObject&, const TMethod&)> SetMethod;
    std::function<TObject*(TObject&)> GetObject;
    std::function<void(TObject&, TObject*)> SetObject;
    std::function<std::vector<std::string>(TObject&)> GetList;
    std::function<void(TObject&, const std::vector<std::string>&)> SetList;
    // The value that is not written when stored (ordinal properties only).
    std::optional<int64_t> Default;
    // The stored rule; empty means "stored". Defaults still apply on top of it.
    std::function<bool(TObject&)> IsStored;
    bool Writable() const { return SetOrd || SetStr || SetMethod || SetObject || SetList; }
};

// A published method: binds the method of an instance into a handler.
struct TPublishedMethod {
    std::string Name;
    std::function<TMethod(TObject&)> Bind;
};

// A published field: assigns a component read from a stored form to the root's field.
struct TPublishedField {
    std::string Name;
    std::function<bool(TObject& Root, TComponent* Value)> Assign;
};

class ZK_EXPORT TClassInfo {
  public:
    TClassInfo(std::string Name, const TClassInfo* Parent)
        : FName(std::move(Name)), FParent(Parent) {}

    const std::string& Name() const { return FName; }
    const TClassInfo* Parent() const { return FParent; }
    bool InheritsFrom(const TClassInfo& Other) const;

    // Own published properties, in declaration order.
    const std::vector<TPropInfo>& OwnProps() const { return FProps; }
    // All published properties, the ancestors' first.
    std::vector<const TPropInfo*> AllProps() const;
    // A published property by name (ignoring case), searching the ancestors; null if none.
    const TPropInfo* FindProp(const std::string& Name) const;
    const TPublishedMethod* FindMethod(const std::string& Name) const;
    const TPublishedField* FindField(const std::string& Name) const;
    bool CanCreate() const { return static_cast<bool>(FCreate); }
    // A new instance owned by Owner; raises when the class cannot be created.
    TComponent* Create(TComponent* Owner) const;

  private:
    template <class C>
    friend class TClassBuilder;
    std::string FName;
    const TClassInfo* FParent;
    std::vector<TPropInfo> FProps;
    std::vector<TPublishedMethod> FMethods;
    std::vector<TPublishedField> FFields;
    std::function<TComponent*(TComponent*)> FCreate;
};

// Builds the class information of C: TClassBuilder<TFoo>("TFoo", &TBar::StaticClass())
// .Bool(...).Str(...).Event(...).Build().
template <class C>
class TClassBuilder {
  public:
    TClassBuilder(std::string Name, const TClassInfo* Parent) : FInfo(std::move(Name), Parent) {}

    // An ordinal property. Get is a member function or callable on C&; Set likewise with a value.
    template <class G, class S>
    TClassBuilder& Ord(const std::string& Name, const TTypeInfo& Type, G Get, S Set,
                       std::optional<int64_t> Default = std::nullopt,
                       std::function<bool(C&)> Stored = {}) {
        TPropInfo p = Base(Name, Type, std::move(Stored));
        p.GetOrd = [Get](TObject& o) {
            return static_cast<int64_t>(std::invoke(Get, static_cast<C&>(o)));
        };
        if constexpr (!std::is_same_v<S, std::nullptr_t>)
            p.SetOrd = [Set](TObject& o, int64_t v) { std::invoke(Set, static_cast<C&>(o), v); };
        p.Default = Default;
        FInfo.FProps.push_back(std::move(p));
        return *this;
    }
    template <class G, class S>
    TClassBuilder& Int(const std::string& Name, G Get, S Set, std::optional<int64_t> Default = 0) {
        return Ord(Name, TypeInfo_Integer(), Get, Set, Default);
    }
    template <class G, class S>
    TClassBuilder& Bool(const std::string& Name, G Get, S Set, std::optional<bool> Default = false,
                        std::function<bool(C&)> Stored = {}) {
        std::optional<int64_t> d;
        if (Default) d = *Default ? 1 : 0;
        return Ord(Name, TypeInfo_Boolean(), Get, Set, d, std::move(Stored));
    }
    template <class G, class S>
    TClassBuilder& Str(const std::string& Name, G Get, S Set, std::function<bool(C&)> Stored = {}) {
        TPropInfo p = Base(Name, TypeInfo_String(), std::move(Stored));
        p.GetStr = [Get](TObject& o) { return std::string(std::invoke(Get, static_cast<C&>(o))); };
        if constexpr (!std::is_same_v<S, std::nullptr_t>)
            p.SetStr = [Set](TObject& o, const std::string& v) {
                std::invoke(Set, static_cast<C&>(o), v);
            };
        FInfo.FProps.push_back(std::move(p));
        return *this;
    }
    template <class G, class S>
    TClassBuilder& Str(const std::string& Name, G Get, S Set, TStoredRule Rule) {
        return Str(
            Name, Get, Set,
            Rule == TStoredRule::Never ? [](C&) { return false; } : std::function<bool(C&)>{});
    }
    // An event property backed by the field Field of type TEvent<...>.
    template <class E>
    TClassBuilder& Event(const std::string& Name, E C::*Field) {
        TPropInfo p = Base(Name, TypeInfo_Method(), {});
        p.GetMethod = [Field](TObject& o) { return (static_cast<C&>(o).*Field).ToMethod(); };
        p.SetMethod = [Field](TObject& o, const TMethod& m) {
            static_cast<C&>(o).*Field = E::FromMethod(m);
        };
        FInfo.FProps.push_back(std::move(p));
        return *this;
    }
    // An event property behind a getter (returning the TEvent) and a setter.
    template <class G, class S>
    TClassBuilder& Event(const std::string& Name, G Get, S Set) {
        using E = std::decay_t<std::invoke_result_t<G, C&>>;
        TPropInfo p = Base(Name, TypeInfo_Method(), {});
        p.GetMethod = [Get](TObject& o) { return std::invoke(Get, static_cast<C&>(o)).ToMethod(); };
        p.SetMethod = [Set](TObject& o, const TMethod& m) {
            std::invoke(Set, static_cast<C&>(o), E::FromMethod(m));
        };
        FInfo.FProps.push_back(std::move(p));
        return *this;
    }
    // A reference to another component of the same form (written by name).
    template <class G, class S>
    TClassBuilder& Ref(const std::string& Name, G Get, S Set) {
        TPropInfo p = Base(Name, TypeInfo_Component(), {});
        p.GetObject = [Get](TObject& o) -> TObject* {
            return std::invoke(Get, static_cast<C&>(o));
        };
        p.SetObject = [Set](TObject& o, TObject* v) { std::invoke(Set, static_cast<C&>(o), v); };
        FInfo.FProps.push_back(std::move(p));
        return *this;
    }
    // A list of lines, written as ( 'line' 'line' ).
    template <class G, class S>
    TClassBuilder& List(const std::string& Name, G Get, S Set) {
        TPropInfo p = Base(Name, TypeInfo_Strings(), {});
        p.GetList = [Get](TObject& o) {
            return std::vector<std::string>(std::invoke(Get, static_cast<C&>(o)));
        };
        p.SetList = [Set](TObject& o, const std::vector<std::string>& v) {
            std::invoke(Set, static_cast<C&>(o), v);
        };
        FInfo.FProps.push_back(std::move(p));
        return *this;
    }
    // A published field that a stored form fills with the component of the same name.
    template <class T>
    TClassBuilder& Field(const std::string& Name, T* C::*Member) {
        FInfo.FFields.push_back({Name, [Member](TObject& root, TComponent* value) {
                                     T* typed = dynamic_cast<T*>(value);
                                     if (!typed) return false;
                                     static_cast<C&>(root).*Member = typed;
                                     return true;
                                 }});
        return *this;
    }
    // A published method that stored forms name as an event handler.
    template <class... Args>
    TClassBuilder& Method(const std::string& Name, void (C::*M)(Args...)) {
        FInfo.FMethods.push_back(
            {Name, [M, Name](TObject& o) {
                 return TEvent<Args...>::Bind(&static_cast<C&>(o), M, Name).ToMethod();
             }});
        return *this;
    }

    TClassInfo Build() {
        if constexpr (std::is_constructible_v<C, TComponent*> && std::is_base_of_v<TComponent, C>)
            FInfo.FCreate = [](TComponent* owner) -> TComponent* { return new C(owner); };
        return std::move(FInfo);
    }

  private:
    static TPropInfo Base(const std::string& Name, const TTypeInfo& Type,
                          std::function<bool(C&)> Stored) {
        TPropInfo p;
        p.Name = Name;
        p.PropType = &Type;
        if (Stored) p.IsStored = [Stored](TObject& o) { return Stored(static_cast<C&>(o)); };
        return p;
    }
    TClassInfo FInfo;
};

// Raised for a property access that does not fit the property.
class ZK_EXPORT EPropertyError : public Exception {
  public:
    using Exception::Exception;
};

// A published property of Instance's class (or of Class) by name; null when absent.
ZK_EXPORT const TPropInfo* GetPropInfo(const TObject* Instance, const std::string& PropName);
ZK_EXPORT const TPropInfo* GetPropInfo(const TClassInfo& Class, const std::string& PropName);

ZK_EXPORT int64_t GetOrdProp(TObject* Instance, const TPropInfo* PropInfo);
ZK_EXPORT void SetOrdProp(TObject* Instance, const TPropInfo* PropInfo, int64_t Value);
ZK_EXPORT std::string GetStrProp(TObject* Instance, const TPropInfo* PropInfo);
ZK_EXPORT void SetStrProp(TObject* Instance, const TPropInfo* PropInfo, const std::string& Value);
ZK_EXPORT TMethod GetMethodProp(TObject* Instance, const TPropInfo* PropInfo);
ZK_EXPORT void SetMethodProp(TObject* Instance, const TPropInfo* PropInfo, const TMethod& Value);
// The same, by property name; an absent property raises EPropertyError.
ZK_EXPORT int64_t GetOrdProp(TObject* Instance, const std::string& PropName);
ZK_EXPORT void SetOrdProp(TObject* Instance, const std::string& PropName, int64_t Value);
ZK_EXPORT std::string GetStrProp(TObject* Instance, const std::string& PropName);
ZK_EXPORT void SetStrProp(TObject* Instance, const std::string& PropName, const std::string& Value);

// Raised by FindClass for a class name that was never registered.
class ZK_EXPORT EClassNotFound : public Exception {
  public:
    using Exception::Exception;
};

// Makes Class known to the streaming layer by its name (case-insensitive).
ZK_EXPORT void RegisterClass(const TClassInfo& Class);
// The registered class of that name, or null.
ZK_EXPORT const TClassInfo* GetClass(const std::string& ClassName);
// The registered class of that name; raises EClassNotFound ("Class TFoo not found").
ZK_EXPORT const TClassInfo& FindClass(const std::string& ClassName);

}  // namespace zk::rtl
