// Events of the toolkit: bound callbacks held in public `On…` members, and their signatures.
// Toolkit layer.
#pragma once

#include <concepts>
#include <functional>
#include <string>
#include <type_traits>
#include <utility>

#include "platform/win32.h"
#include "toolkit/Types.h"

class TObject;

// A bound callback: the code to run and, when it was bound to a method, the object it runs on.
// An event is assigned when it holds code; firing an unassigned event does nothing. An event
// bound from a form description also remembers the handler's name, so it can be written back.
template <class... Args>
class TEvent {
 public:
  TEvent() = default;
  TEvent(std::nullptr_t) {}

  // Any callable taking the event's arguments (a lambda, a free function).
  template <class F>
  requires(!std::same_as<std::decay_t<F>, TEvent> && std::invocable<F&, Args...>) TEvent(F code)
      : FCode(std::move(code)) {}

  // A method of an object: `OnClick = {this, &TFormMain::ButtonClick};`
  template <class T, class U>
  requires std::derived_from<T, U> TEvent(T* target, void (U::*method)(Args...))
      : FCode([target, method](Args... args) { (target->*method)(std::forward<Args>(args)...); }),
        FTarget(target) {}

  bool Assigned() const { return static_cast<bool>(FCode); }
  explicit operator bool() const { return Assigned(); }

  // Fires the event; does nothing when unassigned.
  void operator()(Args... args) const {
    if (FCode) FCode(std::forward<Args>(args)...);
  }

  // The object a method was bound to, or null for other callables.
  const void* Target() const { return FTarget; }
  // The handler's name when the event came from a form description or was named explicitly.
  const std::string& HandlerName() const { return FHandlerName; }
  TEvent& SetHandlerName(std::string name) {
    FHandlerName = std::move(name);
    return *this;
  }

 private:
  std::function<void(Args...)> FCode;
  const void* FTarget = nullptr;
  std::string FHandlerName;
};

enum TCloseAction { caNone, caHide, caFree, caMinimize };

using TNotifyEvent = TEvent<TObject*>;
using TMouseEvent = TEvent<TObject*, TMouseButton, TShiftState, int, int>;
using TMouseMoveEvent = TEvent<TObject*, TShiftState, int, int>;
using TKeyPressEvent = TEvent<TObject*, char&>;
using TKeyEvent = TEvent<TObject*, WORD&, TShiftState>;
using TCloseEvent = TEvent<TObject*, TCloseAction&>;
using TCloseQueryEvent = TEvent<TObject*, bool&>;
// The application's message hook: every message its loops take, before dispatch.
using TMessageEvent = TEvent<MSG&, bool&>;
