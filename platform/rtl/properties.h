// Published properties: what a class offers to streaming by name. Each
// class declares, in one table beside its class reference, its properties
// (with defaults and stored rules), the event handlers a form binds by name
// and the fields that point at its named components:
//
//   RTL_IMPLEMENT_PUBLISHED(TPanel,
//     RTL_PROP(Caption),
//     RTL_PROP(Align).Default(alNone),
//     RTL_PROP(Anchors).Default({akLeft, akTop}),
//     RTL_PROP(Font).Stored<&TPanel::IsFontStored>(),
//     RTL_EVENT(OnClick))
//
// replaces RTL_IMPLEMENT_CLASS(TPanel). RTL_PROP(X) uses the accessors X()
// and SetX(value); the value type of X() chooses the kind: integers,
// Boolean, char, enumerations declared with RTL_ENUM, TSet of those,
// floating-point numbers, AnsiString, WideString, pointers to persistent
// objects (sub-objects, collections, component references) and TClosure
// events. A class's table holds only what it adds; properties are
// inherited along the class chain, and a class may publish a property again
// to change its default.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <span>
#include <type_traits>
#include <vector>

#include "platform/rtl/closure.h"
#include "platform/rtl/sysutils.h"

RTL_EXCEPTION(EPropertyError, Exception)
RTL_EXCEPTION(EPropertyConvertError, Exception)

// ---- Type information -----------------------------------------------------

enum TTypeKind {
  tkUnknown,
  tkInteger,
  tkChar,
  tkEnumeration,
  tkFloat,
  tkString,
  tkSet,
  tkClass,
  tkMethod,
  tkWChar,
  tkLString,
  tkWString,
  tkVariant,
  tkArray,
  tkRecord,
  tkInterface,
  tkInt64,
  tkDynArray,
  tkUString
};

enum TFloatType { ftSingle, ftDouble, ftExtended, ftComp, ftCurr };

struct TTypeInfo {
  TTypeKind Kind = tkUnknown;
  const char* Name = "";
  TFloatType FloatType = ftExtended;    // tkFloat
  std::vector<AnsiString> EnumNames;    // tkEnumeration: the names of 0, 1, ...
  const TTypeInfo* CompType = nullptr;  // tkSet: the element enumeration
  // tkClass; looked up on use, so that a class may publish a reference to
  // its own kind.
  TClass (*ClassTypeFn)() = nullptr;

  TClass ClassType() const { return ClassTypeFn ? ClassTypeFn() : nullptr; }
};
using PTypeInfo = const TTypeInfo*;

namespace rtl::detail {
TTypeInfo MakeEnumTypeInfo(const char* Name, const char* ValueList);
template <class E>
constexpr bool IsSequential(std::initializer_list<E> Values) {
  int i = 0;
  for (E v : Values)
    if (static_cast<int>(v) != i++) return false;
  return true;
}
}  // namespace rtl::detail

// Declares an enumeration (values from 0, no initialisers) together with
// the names that streams store its values by.
#define RTL_ENUM(Name, ...)  \
  enum Name { __VA_ARGS__ }; \
  RTL_ENUM_NAMES(Name, __VA_ARGS__)

// Gives the names of an enumeration declared elsewhere; the list repeats
// its values in order.
#define RTL_ENUM_NAMES(Name, ...)                                                                         \
  static_assert(::rtl::detail::IsSequential<Name>({__VA_ARGS__}), "the values of " #Name " in order from 0"); \
  inline PTypeInfo RtlEnumTypeInfo(Name*) {                                                               \
    static const TTypeInfo info = ::rtl::detail::MakeEnumTypeInfo(#Name, #__VA_ARGS__);                  \
    return &info;                                                                                         \
  }

namespace rtl::detail {
template <class T>
struct TSetTraits : std::false_type {};
template <class E, int N>
struct TSetTraits<TSet<E, N>> : std::true_type {
  using Element = E;
  static constexpr int Size = N;
};
template <class T>
struct TClosureTraits : std::false_type {};
template <class Sig>
struct TClosureTraits<TClosure<Sig>> : std::true_type {};

enum TBuiltinType { btBoolean, btChar, btWideChar, btInteger, btInt64, btSingle, btDouble, btAnsiString, btWideString };
PTypeInfo BuiltinTypeInfo(TBuiltinType Type);

template <class C>
PTypeInfo ClassTypeInfo() {
  static const TTypeInfo info = [] {
    TTypeInfo t;
    t.Kind = tkClass;
    t.ClassTypeFn = &C::StaticClass;
    return t;
  }();
  return &info;
}
template <class T>
PTypeInfo SetTypeInfo(PTypeInfo element) {
  static const TTypeInfo info = [element] {
    TTypeInfo t;
    t.Kind = tkSet;
    t.Name = "set";
    t.CompType = element;
    return t;
  }();
  return &info;
}
// One per event type: its address is the identity that handlers match.
template <class T>
PTypeInfo MethodTypeInfo() {
  static const TTypeInfo info = [] {
    TTypeInfo t;
    t.Kind = tkMethod;
    t.Name = "method";
    return t;
  }();
  return &info;
}
template <class>
inline constexpr bool kUnsupported = false;
}  // namespace rtl::detail

// The type information of a type that properties may have.
template <class T>
PTypeInfo TypeInfo() {
  using namespace rtl::detail;
  if constexpr (std::is_same_v<T, bool>)
    return BuiltinTypeInfo(btBoolean);
  else if constexpr (std::is_enum_v<T>)
    return RtlEnumTypeInfo(static_cast<T*>(nullptr));
  else if constexpr (std::is_same_v<T, char>)
    return BuiltinTypeInfo(btChar);
  else if constexpr (std::is_same_v<T, char16_t>)
    return BuiltinTypeInfo(btWideChar);
  else if constexpr (std::is_integral_v<T> && sizeof(T) <= 4)
    return BuiltinTypeInfo(btInteger);
  else if constexpr (std::is_integral_v<T>)
    return BuiltinTypeInfo(btInt64);
  else if constexpr (std::is_same_v<T, float>)
    return BuiltinTypeInfo(btSingle);
  else if constexpr (std::is_floating_point_v<T>)
    return BuiltinTypeInfo(btDouble);
  else if constexpr (std::is_same_v<T, AnsiString>)
    return BuiltinTypeInfo(btAnsiString);
  else if constexpr (std::is_same_v<T, WideString>)
    return BuiltinTypeInfo(btWideString);
  else if constexpr (std::is_pointer_v<T> && std::is_base_of_v<TObject, std::remove_cv_t<std::remove_pointer_t<T>>>)
    return ClassTypeInfo<std::remove_cv_t<std::remove_pointer_t<T>>>();
  else if constexpr (TSetTraits<T>::value) {
    static_assert(TSetTraits<T>::Size <= 64, "a published set has at most 64 elements");
    return SetTypeInfo<T>(TypeInfo<typename TSetTraits<T>::Element>());
  } else if constexpr (TClosureTraits<T>::value)
    return MethodTypeInfo<T>();
  else
    static_assert(kUnsupported<T>, "not a type that properties may have");
}

// The name of an enumeration value; "" when out of range.
AnsiString GetEnumName(PTypeInfo TypeInfo, Integer Value);
// The value of a name (case-insensitive); -1 when it is not one.
Integer GetEnumValue(PTypeInfo TypeInfo, const AnsiString& Name);
// "a,b" (or "[a,b]") for the set bits of Value.
AnsiString SetToString(PTypeInfo SetType, Int64 Value, bool Brackets = false);
// The reverse, with or without brackets and spaces. Raises EPropertyError
// "Invalid property element: %s" for a name that is not an element.
Int64 StringToSet(PTypeInfo SetType, const AnsiString& Value);

// Names for particular integer values of a property (colours, cursors).
struct TIdentMapEntry {
  Integer Value;
  const char* Name;
};
bool IdentToInt(const AnsiString& Ident, Integer& Int, std::span<const TIdentMapEntry> Map);
bool IntToIdent(Integer Int, AnsiString& Ident, std::span<const TIdentMapEntry> Map);

// ---- Published properties, handlers and fields ----------------------------

class TPropTable;

// A property's value in transit: the member its kind uses is set.
struct TPropValue {
  Int64 Ord = 0;  // integers, Boolean, characters, enumerations, set bits
  Extended Float = 0;
  AnsiString Str;
  WideString WStr;
  TObject* Obj = nullptr;
  // A copy of the event (a TClosure of the property's type); null when the
  // event is not assigned.
  std::shared_ptr<const void> Method;
};

struct TPropInfo {
  const char* Name = "";
  PTypeInfo PropType = nullptr;
  void (*Get)(TObject* Instance, TPropValue& Value) = nullptr;
  void (*Set)(TObject* Instance, const TPropValue& Value) = nullptr;  // null: read-only
  bool (*Stored)(TObject* Instance) = nullptr;                        // null: always stored
  bool HasDefault = false;
  Int64 Default = 0;           // ordinal kinds
  Extended FloatDefault = 0;   // tkFloat (0 also without a declared default)
  std::span<const TIdentMapEntry> Idents;
  const TPropTable* Table = nullptr;  // of the class that declares it

  TClass DeclaringClass() const;
};
using PPropInfo = const TPropInfo*;

// A method of a form (or any class) that events bind to by name.
struct TMethodInfo {
  const char* Name = "";
  PTypeInfo Type = nullptr;  // the event type it fits
  // A copy of the event calling the method on Instance; null when Instance
  // is not of the method's class.
  std::shared_ptr<const void> (*Bind)(TObject* Instance) = nullptr;
  // Whether Event (of type Type) calls this method on Instance.
  bool (*Matches)(TObject* Instance, const void* Event) = nullptr;
};
using PMethodInfo = const TMethodInfo*;

// A field of a form that the reader points at the component of its name.
struct TFieldInfo {
  const char* Name = "";
  PTypeInfo Type = nullptr;  // tkClass
  void (*Set)(TObject* Instance, TObject* Value) = nullptr;
};
using PFieldInfo = const TFieldInfo*;

struct TPublishedEntry {
  enum TKind { ekProperty, ekMethod, ekField };
  TKind Kind = ekProperty;
  TPropInfo Prop;
  TMethodInfo Method;
  TFieldInfo Field;
};

// What one class publishes beyond its ancestors.
class TPropTable {
 public:
  TPropTable(TClass (*ClassFn)(), std::initializer_list<TPublishedEntry> Entries);
  ~TPropTable();
  TPropTable(const TPropTable&) = delete;
  TPropTable& operator=(const TPropTable&) = delete;

  TClass ClassType() const { return FClassFn(); }
  const std::vector<TPropInfo>& Props() const { return FProps; }
  const std::vector<TMethodInfo>& Methods() const { return FMethods; }
  const std::vector<TFieldInfo>& Fields() const { return FFields; }
  // The properties of the class with its ancestors' (see GetPropList).
  const std::vector<PPropInfo>& AllProps() const;
  PPropInfo FindProp(const AnsiString& Name) const;

 private:
  struct TFlat;
  const TFlat& Flat() const;
  TClass (*FClassFn)();
  std::vector<TPropInfo> FProps;
  std::vector<TMethodInfo> FMethods;
  std::vector<TFieldInfo> FFields;
  mutable std::once_flag FFlatOnce;
  mutable std::unique_ptr<TFlat> FFlat;
};

// ---- Building tables ------------------------------------------------------

namespace rtl::detail {
template <class M>
struct TMemberOf;
template <class C, class R>
struct TMemberOf<R C::*> {
  using Class = C;
};

// A getter is a const or non-const member function without arguments, or
// a data member.
template <auto Get>
struct TGetter {
  using Class = typename TMemberOf<decltype(Get)>::Class;
  using Value = std::remove_cvref_t<std::invoke_result_t<decltype(Get), Class*>>;
  static decltype(auto) Call(Class* obj) { return std::invoke(Get, obj); }
};

template <class T>
void ToValue(const T& v, TPropValue& out) {
  if constexpr (TSetTraits<T>::value)
    out.Ord = static_cast<Int64>(v.ToBits());
  else if constexpr (std::is_same_v<T, char>)
    out.Ord = static_cast<unsigned char>(v);
  else if constexpr (std::is_enum_v<T> || std::is_integral_v<T>)
    out.Ord = static_cast<Int64>(v);
  else if constexpr (std::is_floating_point_v<T>)
    out.Float = static_cast<Extended>(v);
  else if constexpr (std::is_same_v<T, AnsiString>)
    out.Str = v;
  else if constexpr (std::is_same_v<T, WideString>)
    out.WStr = v;
  else if constexpr (std::is_pointer_v<T>)
    out.Obj = const_cast<std::remove_cv_t<std::remove_pointer_t<T>>*>(v);
  else
    out.Method = v ? std::make_shared<const T>(v) : nullptr;
}

template <class T>
T FromValue(const TPropValue& v) {
  if constexpr (TSetTraits<T>::value)
    return T::FromBits(static_cast<UInt64>(v.Ord));
  else if constexpr (std::is_same_v<T, bool>)
    return v.Ord != 0;
  else if constexpr (std::is_enum_v<T> || std::is_integral_v<T>)
    return static_cast<T>(v.Ord);
  else if constexpr (std::is_floating_point_v<T>)
    return static_cast<T>(v.Float);
  else if constexpr (std::is_same_v<T, AnsiString>)
    return v.Str;
  else if constexpr (std::is_same_v<T, WideString>)
    return v.WStr;
  else if constexpr (std::is_pointer_v<T>)
    return dynamic_cast<T>(v.Obj);
  else
    return v.Method ? *static_cast<const T*>(v.Method.get()) : T();
}

template <auto Get>
void GetThunk(TObject* obj, TPropValue& out) {
  using G = TGetter<Get>;
  ToValue<typename G::Value>(G::Call(static_cast<typename G::Class*>(obj)), out);
}

template <auto Get, auto Set>
void SetThunk(TObject* obj, const TPropValue& v) {
  using T = typename TGetter<Get>::Value;
  using C = typename TMemberOf<decltype(Set)>::Class;
  auto* self = static_cast<C*>(obj);
  if constexpr (std::is_member_function_pointer_v<decltype(Set)>)
    (self->*Set)(FromValue<T>(v));
  else
    self->*Set = FromValue<T>(v);
}

template <auto Pred>
bool StoredThunk(TObject* obj) {
  return (static_cast<typename TMemberOf<decltype(Pred)>::Class*>(obj)->*Pred)();
}
bool NeverStored(TObject*);

template <class M>
struct TMethodSig;
template <class C, class R, class... A>
struct TMethodSig<R (C::*)(A...)> {
  using Class = C;
  using Event = TClosure<R(A...)>;
};
template <class C, class R, class... A>
struct TMethodSig<R (C::*)(A...) const> : TMethodSig<R (C::*)(A...)> {};
template <class C, class R, class... A>
struct TMethodSig<R (C::*)(A...) noexcept> : TMethodSig<R (C::*)(A...)> {};

template <auto M>
std::shared_ptr<const void> BindThunk(TObject* instance) {
  using S = TMethodSig<decltype(M)>;
  auto* obj = dynamic_cast<typename S::Class*>(instance);
  if (!obj) return nullptr;
  return std::make_shared<const typename S::Event>(obj, M);
}

template <auto M>
bool MatchesThunk(TObject* instance, const void* event) {
  using S = TMethodSig<decltype(M)>;
  auto* obj = dynamic_cast<typename S::Class*>(instance);
  return obj && *static_cast<const typename S::Event*>(event) == typename S::Event(obj, M);
}

template <auto F>
void FieldSetThunk(TObject* instance, TObject* value) {
  using C = typename TMemberOf<decltype(F)>::Class;
  using T = std::remove_reference_t<decltype(static_cast<C*>(nullptr)->*F)>;
  static_cast<C*>(instance)->*F = dynamic_cast<T>(value);
}
}  // namespace rtl::detail

// One published property under construction; converts to a table entry.
template <auto Get, auto Set>
class TPropBuilder {
  using T = typename rtl::detail::TGetter<Get>::Value;
  TPublishedEntry FEntry;

 public:
  explicit TPropBuilder(const char* Name) {
    TPropInfo& p = FEntry.Prop;
    p.Name = Name;
    p.PropType = TypeInfo<T>();
    p.Get = &rtl::detail::GetThunk<Get>;
    if constexpr (!std::is_null_pointer_v<decltype(Set)>) p.Set = &rtl::detail::SetThunk<Get, Set>;
  }
  // The value not written to streams (ordinal, set and float properties).
  TPropBuilder Default(const T& Value) const {
    static_assert(!std::is_pointer_v<T> && !std::is_same_v<T, AnsiString> && !std::is_same_v<T, WideString> &&
                      !rtl::detail::TClosureTraits<T>::value,
                  "only ordinal, set and float properties have defaults");
    TPropBuilder r = *this;
    TPropValue v;
    rtl::detail::ToValue<T>(Value, v);
    r.FEntry.Prop.HasDefault = true;
    r.FEntry.Prop.Default = v.Ord;
    r.FEntry.Prop.FloatDefault = v.Float;
    return r;
  }
  // Written only when Pred (a const member returning bool) says so.
  template <auto Pred>
  TPropBuilder Stored() const {
    TPropBuilder r = *this;
    r.FEntry.Prop.Stored = &rtl::detail::StoredThunk<Pred>;
    return r;
  }
  // `stored False`: never written.
  TPropBuilder Stored(bool Value) const {
    TPropBuilder r = *this;
    r.FEntry.Prop.Stored = Value ? nullptr : &rtl::detail::NeverStored;
    return r;
  }
  // Names for particular values of an integer property.
  TPropBuilder Idents(std::span<const TIdentMapEntry> Map) const {
    static_assert(std::is_integral_v<T> && !std::is_same_v<T, bool>, "idents name integer values");
    TPropBuilder r = *this;
    r.FEntry.Prop.Idents = Map;
    return r;
  }
  operator TPublishedEntry() const { return FEntry; }
};

template <auto Get, auto Set = nullptr>
TPropBuilder<Get, Set> PublishedProp(const char* Name) {
  return TPropBuilder<Get, Set>(Name);
}

template <auto Method>
TPublishedEntry PublishedMethod(const char* Name) {
  TPublishedEntry e;
  e.Kind = TPublishedEntry::ekMethod;
  e.Method.Name = Name;
  e.Method.Type = TypeInfo<typename rtl::detail::TMethodSig<decltype(Method)>::Event>();
  e.Method.Bind = &rtl::detail::BindThunk<Method>;
  e.Method.Matches = &rtl::detail::MatchesThunk<Method>;
  return e;
}

template <auto Field>
TPublishedEntry PublishedField(const char* Name) {
  using C = typename rtl::detail::TMemberOf<decltype(Field)>::Class;
  using T = std::remove_reference_t<decltype(static_cast<C*>(nullptr)->*Field)>;
  static_assert(std::is_pointer_v<T>, "a published field points at a component");
  TPublishedEntry e;
  e.Kind = TPublishedEntry::ekField;
  e.Field.Name = Name;
  e.Field.Type = TypeInfo<T>();
  e.Field.Set = &rtl::detail::FieldSetThunk<Field>;
  return e;
}

// Table entries, used inside RTL_IMPLEMENT_PUBLISHED.
#define RTL_PROP(Name) ::PublishedProp<&Self::Name, &Self::Set##Name>(#Name)
#define RTL_PROP_READONLY(Name) ::PublishedProp<&Self::Name>(#Name)
// An event held in a public TClosure member.
#define RTL_EVENT(Name) ::PublishedProp<&Self::Name, &Self::Name>(#Name)
// A handler that `OnX = Name` binds to.
#define RTL_HANDLER(Name) ::PublishedMethod<&Self::Name>(#Name)
// A pointer member that the reader sets to the component named Name.
#define RTL_FIELD(Name) ::PublishedField<&Self::Name>(#Name)

// Defines the class reference of Name with its published table.
#define RTL_IMPLEMENT_PUBLISHED(Name, ...)                                   \
  const TPropTable* Name::PublishedTable() {                                 \
    using Self = Name;                                                       \
    static const TPropTable table(&Name::StaticClass, {__VA_ARGS__});       \
    return &table;                                                           \
  }                                                                          \
  RTL_IMPLEMENT_CLASS_PROPS(Name, &Name::PublishedTable)

// ---- Queries ---------------------------------------------------------------

// The published property of that name (case-insensitive) of the class or
// its ancestors; null when there is none.
PPropInfo GetPropInfo(TClass AClass, const AnsiString& PropName);
PPropInfo GetPropInfo(const TObject* Instance, const AnsiString& PropName);
// Every published property, ancestors' first, in declaration order.
const std::vector<PPropInfo>& GetPropList(TClass AClass);
bool IsPublishedProp(const TObject* Instance, const AnsiString& PropName);
// The property's stored rule (true when it has none).
bool IsStoredProp(TObject* Instance, PPropInfo PropInfo);

// Access by kind. Raise EPropertyConvertError "Invalid property type: %s"
// when the property is not of a fitting kind, and EPropertyError for a
// read-only property being set or an invalid element name.
Int64 GetOrdProp(TObject* Instance, PPropInfo PropInfo);  // also sets and Int64
void SetOrdProp(TObject* Instance, PPropInfo PropInfo, Int64 Value);
AnsiString GetEnumProp(TObject* Instance, PPropInfo PropInfo);
void SetEnumProp(TObject* Instance, PPropInfo PropInfo, const AnsiString& Value);
AnsiString GetSetProp(TObject* Instance, PPropInfo PropInfo, bool Brackets = false);
void SetSetProp(TObject* Instance, PPropInfo PropInfo, const AnsiString& Value);
AnsiString GetStrProp(TObject* Instance, PPropInfo PropInfo);  // also WideString properties
void SetStrProp(TObject* Instance, PPropInfo PropInfo, const AnsiString& Value);
WideString GetWideStrProp(TObject* Instance, PPropInfo PropInfo);
void SetWideStrProp(TObject* Instance, PPropInfo PropInfo, const WideString& Value);
Extended GetFloatProp(TObject* Instance, PPropInfo PropInfo);
void SetFloatProp(TObject* Instance, PPropInfo PropInfo, Extended Value);
TObject* GetObjectProp(TObject* Instance, PPropInfo PropInfo);
// Value must be null or of the property's class.
void SetObjectProp(TObject* Instance, PPropInfo PropInfo, TObject* Value);

// Events. The name of Root's handler that the event calls; "" when the
// event is not assigned or calls something else.
bool IsMethodPropAssigned(TObject* Instance, PPropInfo PropInfo);
AnsiString GetMethodPropName(TObject* Instance, PPropInfo PropInfo, TObject* Root);
// Binds the event to Method on Data (null Method: unassigns it). Raises
// EPropertyConvertError when the method does not fit the event's type or
// Data is not of the method's class.
void SetMethodProp(TObject* Instance, PPropInfo PropInfo, PMethodInfo Method, TObject* Data);

// The published handler or field of that name of the class or its
// ancestors; null when there is none.
PMethodInfo FindMethodInfo(TClass AClass, const AnsiString& Name);
PFieldInfo FindFieldInfo(TClass AClass, const AnsiString& Name);
// The class of a published field whose class is named ClassName.
TClass GetFieldClass(TClass AClass, const AnsiString& ClassName);
// Points Instance's published field Name at Value (null clears it); false
// when there is no such field or Value is not of its class.
bool SetFieldReference(TObject* Instance, const AnsiString& Name, TObject* Value);
