#include "platform/rtl/properties.h"

#include <algorithm>
#include <unordered_map>

#include "platform/rtl/text_codec.h"

RTL_IMPLEMENT_CLASS(EPropertyError)
RTL_IMPLEMENT_CLASS(EPropertyConvertError)

namespace {
char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

AnsiString LowerName(const AnsiString& s) {
  AnsiString r = s;
  for (char& c : r) c = AsciiLower(c);
  return r;
}

// Names in streams are identifiers: ASCII case folding is the whole rule.
bool SameName(const char* a, const AnsiString& b) {
  size_t i = 0;
  for (; a[i]; ++i)
    if (i >= b.size() || AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  return i == b.size();
}

AnsiString Trimmed(const AnsiString& s) {
  size_t b = s.find_first_not_of(" \t\r\n");
  if (b == AnsiString::npos) return AnsiString();
  size_t e = s.find_last_not_of(" \t\r\n");
  return s.substr(b, e - b + 1);
}

const TPropTable* NearestTable(TClass c) {
  for (; c; c = c->Parent)
    if (c->Props) return c->Props();
  return nullptr;
}

const char* KindName(TTypeKind k) {
  switch (k) {
    case tkInteger: return "Integer";
    case tkChar: return "Char";
    case tkEnumeration: return "Enumeration";
    case tkFloat: return "Float";
    case tkSet: return "Set";
    case tkClass: return "Class";
    case tkMethod: return "Method";
    case tkWChar: return "WideChar";
    case tkLString: return "AnsiString";
    case tkWString: return "WideString";
    case tkInt64: return "Int64";
    default: return "Unknown";
  }
}

void CheckKind(PPropInfo p, std::initializer_list<TTypeKind> kinds) {
  for (TTypeKind k : kinds)
    if (p->PropType->Kind == k) return;
  throw EPropertyConvertError("Invalid property type: %s", {AnsiString(KindName(p->PropType->Kind))});
}

TPropValue Read(TObject* instance, PPropInfo p) {
  TPropValue v;
  p->Get(instance, v);
  return v;
}

void Write(TObject* instance, PPropInfo p, const TPropValue& v) {
  if (!p->Set) throw EPropertyError("Property is read-only");
  p->Set(instance, v);
}

constexpr std::initializer_list<TTypeKind> kOrdinalKinds = {tkInteger, tkChar, tkEnumeration, tkSet, tkWChar, tkInt64};
}  // namespace

// ---- Type information -----------------------------------------------------

namespace rtl::detail {
TTypeInfo MakeEnumTypeInfo(const char* Name, const char* ValueList) {
  TTypeInfo t;
  t.Kind = tkEnumeration;
  t.Name = Name;
  AnsiString list = ValueList;
  size_t start = 0;
  while (start <= list.size()) {
    size_t comma = list.find(',', start);
    if (comma == AnsiString::npos) comma = list.size();
    AnsiString name = Trimmed(list.substr(start, comma - start));
    if (!name.empty()) t.EnumNames.push_back(name);
    start = comma + 1;
  }
  return t;
}

// A type with no more to it than its kind and name.
static TTypeInfo PlainTypeInfo(TTypeKind Kind, const char* Name, TFloatType FloatType = ftExtended) {
  TTypeInfo t;
  t.Kind = Kind;
  t.Name = Name;
  t.FloatType = FloatType;
  return t;
}

PTypeInfo BuiltinTypeInfo(TBuiltinType Type) {
  static const TTypeInfo types[] = {
      MakeEnumTypeInfo("Boolean", "False,True"),
      PlainTypeInfo(tkChar, "Char"),
      PlainTypeInfo(tkWChar, "WideChar"),
      PlainTypeInfo(tkInteger, "Integer"),
      PlainTypeInfo(tkInt64, "Int64"),
      PlainTypeInfo(tkFloat, "Single", ftSingle),
      PlainTypeInfo(tkFloat, "Double", ftDouble),
      PlainTypeInfo(tkLString, "AnsiString"),
      PlainTypeInfo(tkWString, "WideString"),
  };
  return &types[Type];
}

bool NeverStored(TObject*) { return false; }
}  // namespace rtl::detail

AnsiString GetEnumName(PTypeInfo TypeInfo, Integer Value) {
  if (!TypeInfo || Value < 0 || Value >= static_cast<Integer>(TypeInfo->EnumNames.size())) return AnsiString();
  return TypeInfo->EnumNames[Value];
}

Integer GetEnumValue(PTypeInfo TypeInfo, const AnsiString& Name) {
  if (!TypeInfo) return -1;
  const auto& names = TypeInfo->EnumNames;
  for (size_t i = 0; i < names.size(); ++i)
    if (SameName(names[i].c_str(), Name)) return static_cast<Integer>(i);
  return -1;
}

AnsiString SetToString(PTypeInfo SetType, Int64 Value, bool Brackets) {
  AnsiString r;
  PTypeInfo comp = SetType ? SetType->CompType : nullptr;
  auto bits = static_cast<UInt64>(Value);
  for (int i = 0; i < 64 && bits >> i; ++i) {
    if (!((bits >> i) & 1)) continue;
    if (!r.empty()) r += ',';
    r += GetEnumName(comp, i);
  }
  return Brackets ? "[" + r + "]" : r;
}

Int64 StringToSet(PTypeInfo SetType, const AnsiString& Value) {
  AnsiString s = Trimmed(Value);
  if (!s.empty() && s.front() == '[') s.erase(0, 1);
  if (!s.empty() && s.back() == ']') s.pop_back();
  UInt64 bits = 0;
  size_t start = 0;
  while (start <= s.size()) {
    size_t comma = s.find(',', start);
    if (comma == AnsiString::npos) comma = s.size();
    AnsiString name = Trimmed(s.substr(start, comma - start));
    if (!name.empty()) {
      Integer v = GetEnumValue(SetType ? SetType->CompType : nullptr, name);
      if (v < 0 || v >= 64) throw EPropertyError("Invalid property element: %s", {name});
      bits |= UInt64(1) << v;
    }
    start = comma + 1;
  }
  return static_cast<Int64>(bits);
}

bool IdentToInt(const AnsiString& Ident, Integer& Int, std::span<const TIdentMapEntry> Map) {
  for (const TIdentMapEntry& e : Map)
    if (SameName(e.Name, Ident)) {
      Int = e.Value;
      return true;
    }
  return false;
}

bool IntToIdent(Integer Int, AnsiString& Ident, std::span<const TIdentMapEntry> Map) {
  for (const TIdentMapEntry& e : Map)
    if (e.Value == Int) {
      Ident = e.Name;
      return true;
    }
  return false;
}

// ---- Tables ---------------------------------------------------------------

struct TPropTable::TFlat {
  std::vector<PPropInfo> List;
  std::unordered_map<AnsiString, size_t> Index;  // lower-case name -> List
};

TPropTable::TPropTable(TClass (*ClassFn)(), std::initializer_list<TPublishedEntry> Entries) : FClassFn(ClassFn) {
  for (const TPublishedEntry& e : Entries) {
    switch (e.Kind) {
      case TPublishedEntry::ekProperty:
        FProps.push_back(e.Prop);
        FProps.back().Table = this;
        break;
      case TPublishedEntry::ekMethod:
        FMethods.push_back(e.Method);
        break;
      case TPublishedEntry::ekField:
        FFields.push_back(e.Field);
        break;
    }
  }
}

TPropTable::~TPropTable() = default;

const TPropTable::TFlat& TPropTable::Flat() const {
  std::call_once(FFlatOnce, [this] {
    auto flat = std::make_unique<TFlat>();
    TClass parent = ClassType()->Parent;
    if (const TPropTable* inherited = NearestTable(parent)) {
      flat->List = inherited->Flat().List;
      flat->Index = inherited->Flat().Index;
    }
    // A property published again replaces the ancestor's in its place.
    for (const TPropInfo& p : FProps) {
      AnsiString key = LowerName(p.Name);
      auto it = flat->Index.find(key);
      if (it != flat->Index.end()) {
        flat->List[it->second] = &p;
      } else {
        flat->Index.emplace(key, flat->List.size());
        flat->List.push_back(&p);
      }
    }
    FFlat = std::move(flat);
  });
  return *FFlat;
}

const std::vector<PPropInfo>& TPropTable::AllProps() const { return Flat().List; }

PPropInfo TPropTable::FindProp(const AnsiString& Name) const {
  const TFlat& flat = Flat();
  auto it = flat.Index.find(LowerName(Name));
  return it == flat.Index.end() ? nullptr : flat.List[it->second];
}

TClass TPropInfo::DeclaringClass() const { return Table ? Table->ClassType() : nullptr; }

// ---- Queries ---------------------------------------------------------------

PPropInfo GetPropInfo(TClass AClass, const AnsiString& PropName) {
  const TPropTable* t = NearestTable(AClass);
  return t ? t->FindProp(PropName) : nullptr;
}

PPropInfo GetPropInfo(const TObject* Instance, const AnsiString& PropName) {
  return Instance ? GetPropInfo(Instance->ClassType(), PropName) : nullptr;
}

const std::vector<PPropInfo>& GetPropList(TClass AClass) {
  static const std::vector<PPropInfo> none;
  const TPropTable* t = NearestTable(AClass);
  return t ? t->AllProps() : none;
}

bool IsPublishedProp(const TObject* Instance, const AnsiString& PropName) {
  return GetPropInfo(Instance, PropName) != nullptr;
}

bool IsStoredProp(TObject* Instance, PPropInfo PropInfo) { return !PropInfo->Stored || PropInfo->Stored(Instance); }

Int64 GetOrdProp(TObject* Instance, PPropInfo PropInfo) {
  CheckKind(PropInfo, kOrdinalKinds);
  return Read(Instance, PropInfo).Ord;
}

void SetOrdProp(TObject* Instance, PPropInfo PropInfo, Int64 Value) {
  CheckKind(PropInfo, kOrdinalKinds);
  TPropValue v;
  v.Ord = Value;
  Write(Instance, PropInfo, v);
}

AnsiString GetEnumProp(TObject* Instance, PPropInfo PropInfo) {
  CheckKind(PropInfo, {tkEnumeration});
  return GetEnumName(PropInfo->PropType, static_cast<Integer>(Read(Instance, PropInfo).Ord));
}

void SetEnumProp(TObject* Instance, PPropInfo PropInfo, const AnsiString& Value) {
  CheckKind(PropInfo, {tkEnumeration});
  Integer v = GetEnumValue(PropInfo->PropType, Value);
  if (v < 0) throw EPropertyError("Invalid property element: %s", {Value});
  SetOrdProp(Instance, PropInfo, v);
}

AnsiString GetSetProp(TObject* Instance, PPropInfo PropInfo, bool Brackets) {
  CheckKind(PropInfo, {tkSet});
  return SetToString(PropInfo->PropType, Read(Instance, PropInfo).Ord, Brackets);
}

void SetSetProp(TObject* Instance, PPropInfo PropInfo, const AnsiString& Value) {
  CheckKind(PropInfo, {tkSet});
  SetOrdProp(Instance, PropInfo, StringToSet(PropInfo->PropType, Value));
}

AnsiString GetStrProp(TObject* Instance, PPropInfo PropInfo) {
  CheckKind(PropInfo, {tkLString, tkWString});
  TPropValue v = Read(Instance, PropInfo);
  return PropInfo->PropType->Kind == tkWString ? WideToAnsi(v.WStr) : v.Str;
}

void SetStrProp(TObject* Instance, PPropInfo PropInfo, const AnsiString& Value) {
  CheckKind(PropInfo, {tkLString, tkWString});
  TPropValue v;
  if (PropInfo->PropType->Kind == tkWString)
    v.WStr = AnsiToWide(Value);
  else
    v.Str = Value;
  Write(Instance, PropInfo, v);
}

WideString GetWideStrProp(TObject* Instance, PPropInfo PropInfo) {
  CheckKind(PropInfo, {tkLString, tkWString});
  TPropValue v = Read(Instance, PropInfo);
  return PropInfo->PropType->Kind == tkWString ? v.WStr : AnsiToWide(v.Str);
}

void SetWideStrProp(TObject* Instance, PPropInfo PropInfo, const WideString& Value) {
  CheckKind(PropInfo, {tkLString, tkWString});
  TPropValue v;
  if (PropInfo->PropType->Kind == tkWString)
    v.WStr = Value;
  else
    v.Str = WideToAnsi(Value);
  Write(Instance, PropInfo, v);
}

Extended GetFloatProp(TObject* Instance, PPropInfo PropInfo) {
  CheckKind(PropInfo, {tkFloat});
  return Read(Instance, PropInfo).Float;
}

void SetFloatProp(TObject* Instance, PPropInfo PropInfo, Extended Value) {
  CheckKind(PropInfo, {tkFloat});
  TPropValue v;
  v.Float = Value;
  Write(Instance, PropInfo, v);
}

TObject* GetObjectProp(TObject* Instance, PPropInfo PropInfo) {
  CheckKind(PropInfo, {tkClass});
  return Read(Instance, PropInfo).Obj;
}

void SetObjectProp(TObject* Instance, PPropInfo PropInfo, TObject* Value) {
  CheckKind(PropInfo, {tkClass});
  if (Value && !Value->InheritsFrom(PropInfo->PropType->ClassType()))
    throw EPropertyConvertError("Invalid property type: %s", {Value->ClassName()});
  TPropValue v;
  v.Obj = Value;
  Write(Instance, PropInfo, v);
}

bool IsMethodPropAssigned(TObject* Instance, PPropInfo PropInfo) {
  CheckKind(PropInfo, {tkMethod});
  return Read(Instance, PropInfo).Method != nullptr;
}

AnsiString GetMethodPropName(TObject* Instance, PPropInfo PropInfo, TObject* Root) {
  CheckKind(PropInfo, {tkMethod});
  TPropValue v = Read(Instance, PropInfo);
  if (!v.Method || !Root) return AnsiString();
  for (TClass c = Root->ClassType(); c; c = c->Parent) {
    if (!c->Props) continue;
    for (const TMethodInfo& m : c->Props()->Methods())
      if (m.Type == PropInfo->PropType && m.Matches(Root, v.Method.get())) return m.Name;
  }
  return AnsiString();
}

void SetMethodProp(TObject* Instance, PPropInfo PropInfo, PMethodInfo Method, TObject* Data) {
  CheckKind(PropInfo, {tkMethod});
  TPropValue v;
  if (Method) {
    if (Method->Type != PropInfo->PropType)
      throw EPropertyConvertError("Invalid property type: %s", {AnsiString(Method->Name)});
    v.Method = Data ? Method->Bind(Data) : nullptr;
    if (!v.Method) throw EPropertyConvertError("Invalid property type: %s", {AnsiString(Method->Name)});
  }
  Write(Instance, PropInfo, v);
}

PMethodInfo FindMethodInfo(TClass AClass, const AnsiString& Name) {
  for (TClass c = AClass; c; c = c->Parent) {
    if (!c->Props) continue;
    for (const TMethodInfo& m : c->Props()->Methods())
      if (SameName(m.Name, Name)) return &m;
  }
  return nullptr;
}

PFieldInfo FindFieldInfo(TClass AClass, const AnsiString& Name) {
  for (TClass c = AClass; c; c = c->Parent) {
    if (!c->Props) continue;
    for (const TFieldInfo& f : c->Props()->Fields())
      if (SameName(f.Name, Name)) return &f;
  }
  return nullptr;
}

TClass GetFieldClass(TClass AClass, const AnsiString& ClassName) {
  for (TClass c = AClass; c; c = c->Parent) {
    if (!c->Props) continue;
    for (const TFieldInfo& f : c->Props()->Fields()) {
      TClass fc = f.Type->ClassType();
      if (fc && SameName(fc->Name, ClassName)) return fc;
    }
  }
  return nullptr;
}

bool SetFieldReference(TObject* Instance, const AnsiString& Name, TObject* Value) {
  if (!Instance || Name.empty()) return false;
  PFieldInfo f = FindFieldInfo(Instance->ClassType(), Name);
  if (!f || (Value && !Value->InheritsFrom(f->Type->ClassType()))) return false;
  f->Set(Instance, Value);
  return true;
}
