// Events: optional handlers bound to an object, which remember the name of the published method
// they were bound to so that a stored form can name it and read it back.
#pragma once

#include <any>
#include <functional>
#include <string>
#include <utility>

#include "zk/Export.h"
#include "zk/host/rtl/SysUtils.h"

namespace zk::rtl {

class TObject;

// A handler in a type-erased form, as the streaming layer and GetMethodProp see it. Code holds
// a std::function of the event's exact signature, or nothing when unassigned.
struct TMethod {
    std::any Code;
    TObject* Data = nullptr;
    std::string Name;
    bool Assigned() const { return Code.has_value(); }
};

// Raised when a handler of one signature is given to an event of another.
class ZK_EXPORT EInvalidCast : public Exception {
  public:
    using Exception::Exception;
};

template <class... Args>
class TEvent {
  public:
    using Handler = std::function<void(Args...)>;

    TEvent() = default;
    TEvent(Handler Code, TObject* Data = nullptr, std::string Name = {})
        : FCode(std::move(Code)), FData(Data), FName(std::move(Name)) {}

    // Binds a method of Obj; Name is the method's published name, if it has one.
    template <class C>
    static TEvent Bind(C* Obj, void (C::*Method)(Args...), std::string Name = {}) {
        return TEvent([Obj, Method](Args... a) { (Obj->*Method)(std::forward<Args>(a)...); }, Obj,
                      std::move(Name));
    }

    explicit operator bool() const { return static_cast<bool>(FCode); }
    void operator()(Args... a) const { FCode(std::forward<Args>(a)...); }

    TObject* Data() const { return FData; }
    const std::string& Name() const { return FName; }

    TMethod ToMethod() const {
        TMethod m;
        if (FCode) m.Code = FCode;
        m.Data = FData;
        m.Name = FName;
        return m;
    }
    static TEvent FromMethod(const TMethod& M) {
        if (!M.Assigned()) return TEvent();
        const Handler* h = std::any_cast<Handler>(&M.Code);
        if (!h) throw EInvalidCast("Method " + M.Name + " does not fit the event");
        return TEvent(*h, M.Data, M.Name);
    }

  private:
    Handler FCode;
    TObject* FData = nullptr;
    std::string FName;
};

// Sender only: OnOpen, OnClose, OnClick, ...
using TNotifyEvent = TEvent<TObject*>;

}  // namespace zk::rtl
