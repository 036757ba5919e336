// Events: a method of an object (code and object), or any callable.
// Two events compare equal when both their code and their object match,
// which is what removing a handler from a list of handlers relies on.
#pragma once

#include <cstring>
#include <functional>
#include <memory>
#include <utility>

template <class Sig>
class TClosure;

template <class R, class... A>
class TClosure<R(A...)> {
  std::function<R(A...)> fn_;
  // Identity of the code: the bytes of a member-function pointer, or a
  // token shared by the copies of one callable.
  unsigned char code_[2 * sizeof(void*)] = {};
  std::shared_ptr<const int> token_;
  const void* object_ = nullptr;

 public:
  TClosure() = default;
  TClosure(std::nullptr_t) {}

  template <class T, class M>
  TClosure(T* obj, M method)
    requires std::is_member_function_pointer_v<M>
      : object_(obj) {
    static_assert(sizeof(M) <= sizeof(code_), "member pointer size");
    std::memcpy(code_, &method, sizeof(M));
    fn_ = [obj, method](A... args) -> R { return (obj->*method)(std::forward<A>(args)...); };
  }

  template <class F>
  TClosure(F f)
    requires(std::is_invocable_r_v<R, F&, A...> && !std::is_same_v<std::decay_t<F>, TClosure>)
      : fn_(std::move(f)), token_(std::make_shared<const int>(0)) {}

  explicit operator bool() const { return static_cast<bool>(fn_); }
  R operator()(A... args) const { return fn_(std::forward<A>(args)...); }

  // The object of a method event (the host framework's TMethod.Data).
  const void* Data() const { return object_; }

  bool operator==(const TClosure& o) const {
    if (!fn_ || !o.fn_) return !fn_ && !o.fn_;
    return object_ == o.object_ && token_ == o.token_ && std::memcmp(code_, o.code_, sizeof(code_)) == 0;
  }
  bool operator==(std::nullptr_t) const { return !fn_; }
};

class TObject;
using TNotifyEvent = TClosure<void(TObject* Sender)>;
