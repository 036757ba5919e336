// The root class: class references, class names and creation through a
// class reference.
#pragma once

#include <type_traits>

#include "platform/rtl/types.h"

class TObject;
class TPropTable;

// What a class reference points at: one per class, built on first use.
struct TMetaClass {
  const char* Name;
  const TMetaClass* Parent;
  // Creates an instance; the argument is the owner of a component or the
  // collection of a collection item, null for plain classes. Null when the
  // class cannot be created this way.
  TObject* (*Factory)(TObject* arg);
  // What the class publishes for streaming beyond its ancestors (see
  // properties.h), built on first use; null when it publishes nothing.
  const TPropTable* (*Props)() = nullptr;

  bool InheritsFrom(const TMetaClass* other) const {
    for (const TMetaClass* c = this; c; c = c->Parent)
      if (c == other) return true;
    return false;
  }
  AnsiString ClassName() const { return Name; }
};
using TClass = const TMetaClass*;

namespace rtl::detail {
template <class T>
TObject* Factory(TObject* arg) {
  if constexpr (std::is_abstract_v<T>) {
    (void)arg;
    return nullptr;
  } else if constexpr (requires { typename T::TConstructArg; }) {
    using A = typename T::TConstructArg;
    if constexpr (std::is_constructible_v<T, A*>)
      return new T(dynamic_cast<A*>(arg));
    else
      return nullptr;
  } else if constexpr (std::is_default_constructible_v<T>) {
    (void)arg;
    return new T();
  } else {
    (void)arg;
    return nullptr;
  }
}
}  // namespace rtl::detail

// Declares the class-reference members. Put it first in the class body;
// it leaves the access at private, the default of a class. PublishedTable
// is defined only by classes that publish properties; as a member it may
// name the class's protected and private accessors.
#define RTL_CLASS(Name, Parent)                       \
 public:                                              \
  using inherited = Parent;                           \
  static TClass StaticClass();                        \
  TClass ClassType() const override;                  \
                                                      \
 private:                                             \
  static const TPropTable* PublishedTable();

// Defines them; put it in the class's source file.
#define RTL_IMPLEMENT_CLASS(Name) RTL_IMPLEMENT_CLASS_PROPS(Name, nullptr)

// The same for a class that publishes properties: PropsFn returns its
// table (properties.h's RTL_IMPLEMENT_PUBLISHED defines PublishedTable and
// passes it here).
#define RTL_IMPLEMENT_CLASS_PROPS(Name, PropsFn)                                                       \
  TClass Name::StaticClass() {                                                                         \
    static const TMetaClass meta{#Name, Name::inherited::StaticClass(), &::rtl::detail::Factory<Name>, \
                                 PropsFn};                                                             \
    return &meta;                                                                                      \
  }                                                                                                    \
  TClass Name::ClassType() const { return StaticClass(); }

class TObject {
 public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;

  static TClass StaticClass();
  virtual TClass ClassType() const;
  AnsiString ClassName() const { return ClassType()->Name; }
  bool InheritsFrom(TClass c) const { return ClassType()->InheritsFrom(c); }
  template <class T>
  bool Is() const { return InheritsFrom(T::StaticClass()); }
};

// Deletes the object and clears the reference first, so that code run by
// the destructor never sees a dangling pointer.
template <class T>
void FreeAndNil(T*& obj) {
  T* o = obj;
  obj = nullptr;
  delete o;
}

// Creates an instance through a class reference; null when the class
// cannot be created that way.
inline TObject* CreateInstance(TClass cls, TObject* arg = nullptr) {
  return cls && cls->Factory ? cls->Factory(arg) : nullptr;
}
