#include "platform/rtl/component_streaming.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <mutex>
#include <unordered_set>

#include "platform/rtl/filer_limits.h"
#include "platform/rtl/scope_exit.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/strutils.h"
#include "platform/rtl/text_codec.h"

RTL_IMPLEMENT_CLASS(TFiler)
RTL_IMPLEMENT_CLASS(TReader)

namespace rtl::detail {

// What one load (a root, or the roots of a loading scope) collects.
struct TReadContext {
  std::vector<TComponent*> Loaded;  // in reading order
  std::unordered_set<TComponent*> LoadedSet;
  std::vector<TComponent*> Created;  // in creation order
  std::vector<TComponent*> CreatedRoots;
  struct TFixup {
    TPersistent* Instance;
    PPropInfo Prop;
    AnsiString Name;
    TComponent* Root;
    TComponent* Holder;
    Int64 Pos;
  };
  std::vector<TFixup> Fixups;
};

namespace {
thread_local TReadContext* CurrentContext = nullptr;
// Components, collections and skipped lists being read on this thread,
// one inside the other (readers may nest, and they share the stack).
thread_local Integer ReadNesting = 0;

TFilerNesting ReadNestingLevel() {
  return TFilerNesting(ReadNesting, [] { throw EReadError(kFilerNestedTooDeeply); });
}
}  // namespace

TLoadingScope::TLoadingScope() : FContext(CurrentContext), FOuter(CurrentContext == nullptr) {
  if (FOuter) FContext = CurrentContext = new TReadContext;
}

void TLoadingScope::Finish() {
  if (!FOuter || FFinished) return;
  // Loaded may read further roots (a component loading its own layout):
  // they form loads of their own.
  CurrentContext = nullptr;
  {
    TScopeExit restoreContext(seOnUnwind, [&] { CurrentContext = FContext; });
    for (size_t i = 0; i < FContext->Loaded.size(); ++i) FContext->Loaded[i]->Loaded();
  }
  FFinished = true;
  GlobalFixupReferences();
}

TLoadingScope::~TLoadingScope() {
  if (!FOuter) return;
  CurrentContext = nullptr;
  std::unique_ptr<TReadContext> ctx(FContext);
  if (FFinished) return;
  // A root made by the read owns everything else it made. Otherwise the
  // components go last first: a component only ever holds (owns or
  // parents) components read after it, so none is freed twice.
  std::unordered_set<TComponent*> gone(ctx->Created.begin(), ctx->Created.end());
  for (TComponent* root : ctx->CreatedRoots) delete root;
  if (ctx->CreatedRoots.empty())
    for (auto it = ctx->Created.rbegin(); it != ctx->Created.rend(); ++it) delete *it;
  for (TComponent* c : ctx->Loaded)
    if (!gone.count(c)) TReader::ExcludeState(c, {csLoading, csReading});
}

Integer TSourceLines::LineAt(Int64 Offset) const {
  auto it = std::upper_bound(Entries.begin(), Entries.end(), Offset,
                             [](Int64 off, const std::pair<Int64, Integer>& e) { return off < e.first; });
  if (it == Entries.begin()) return Entries.empty() ? 0 : Entries.front().second;
  return std::prev(it)->second;
}

}  // namespace rtl::detail

namespace {
constexpr const char* kInvalidPropertyValue = "Invalid property value";
constexpr const char* kInvalidStreamFormat = "Invalid stream format";
constexpr const char* kReadError = "Stream read error";

double ExtendedToDouble(const unsigned char* p) {
  UInt64 mant = 0;
  for (int i = 7; i >= 0; --i) mant = (mant << 8) | p[i];
  unsigned se = p[8] | (p[9] << 8);
  bool negative = se & 0x8000;
  int e = static_cast<int>(se & 0x7FFF);
  double r;
  if (e == 0x7FFF)
    r = (mant << 1) ? std::numeric_limits<double>::quiet_NaN() : std::numeric_limits<double>::infinity();
  else if (mant == 0)
    r = 0;
  else
    r = std::ldexp(static_cast<double>(mant), e - 16383 - 63);
  return negative ? -r : r;
}

template <class T>
T FromLE(const unsigned char* p) {
  std::make_unsigned_t<T> v = 0;
  for (int i = sizeof(T) - 1; i >= 0; --i) v = static_cast<decltype(v)>((v << 8) | p[i]);
  return static_cast<T>(v);
}

bool IsIntValue(TValueType v) { return v == vaInt8 || v == vaInt16 || v == vaInt32; }
}  // namespace

// ---- TFiler ---------------------------------------------------------------

TFiler::TFiler(TStream* Stream, Integer BufSize) : FStream(Stream), FBufSize(std::max<Integer>(BufSize, 16)) {}

// ---- TReader: values ------------------------------------------------------

TReader::TReader(TStream* Stream, Integer BufSize) : TFiler(Stream, BufSize), FBuffer(FBufSize) {}

TReader::~TReader() {
  try {
    FlushBuffer();
  } catch (...) {
    // The stream cannot seek back; nothing else to give back.
  }
}

void TReader::FlushBuffer() {
  if (FBufEnd > FBufPos) FStream->Seek(-(FBufEnd - FBufPos), soCurrent);
  FBufPos = FBufEnd = 0;
}

void TReader::FillBuffer() {
  Integer n = FStream->Read(FBuffer.data(), FBufSize);
  if (n <= 0) throw EReadError(kReadError);
  FBufPos = 0;
  FBufEnd = n;
}

Int64 TReader::Position() const { return FStream->Position() - (FBufEnd - FBufPos); }

void TReader::SetPosition(Int64 Value) {
  FStream->SetPosition(Value);
  FBufPos = FBufEnd = 0;
}

void TReader::Read(void* Buf, Integer Count) {
  auto* out = static_cast<char*>(Buf);
  while (Count > 0) {
    if (FBufPos == FBufEnd) FillBuffer();
    Integer n = std::min(Count, FBufEnd - FBufPos);
    std::memcpy(out, FBuffer.data() + FBufPos, static_cast<size_t>(n));
    FBufPos += n;
    out += n;
    Count -= n;
  }
}

void TReader::SkipBytes(Int64 Count) {
  char scratch[256];
  while (Count > 0) {
    auto n = static_cast<Integer>(std::min<Int64>(Count, sizeof scratch));
    Read(scratch, n);
    Count -= n;
  }
}

TValueType TReader::NextValue() {
  if (FBufPos == FBufEnd) FillBuffer();
  return static_cast<TValueType>(FBuffer[FBufPos]);
}

TValueType TReader::ReadValue() {
  TValueType v = NextValue();
  if (v > vaDouble) throw EReadError(kInvalidStreamFormat);
  ++FBufPos;
  return v;
}

void TReader::CheckValue(TValueType Value) {
  if (ReadValue() != Value) {
    --FBufPos;
    PropValueError();
  }
}

void TReader::PropValueError() { throw EReadError(kInvalidPropertyValue); }

void TReader::PropertyError(const AnsiString& Name) { throw EReadError("Property %s does not exist", {Name}); }

void TReader::SkipValue() {
  unsigned char b4[4];
  switch (ReadValue()) {
    case vaNull:
    case vaFalse:
    case vaTrue:
    case vaNil:
      break;
    case vaList: {
      auto level = rtl::detail::ReadNestingLevel();
      while (!EndOfList()) SkipValue();
      ReadListEnd();
      break;
    }
    case vaInt8:
      SkipBytes(1);
      break;
    case vaInt16:
      SkipBytes(2);
      break;
    case vaInt32:
    case vaSingle:
      SkipBytes(4);
      break;
    case vaExtended:
      SkipBytes(10);
      break;
    case vaString:
    case vaIdent:
      ReadStr();
      break;
    case vaBinary:
    case vaLString:
    case vaUTF8String:
    case vaWString: {
      bool wide = FBuffer[FBufPos - 1] == vaWString;
      Read(b4, 4);
      SkipBytes(Int64(FromLE<Cardinal>(b4)) * (wide ? 2 : 1));
      break;
    }
    case vaSet:
      while (!ReadStr().empty()) {
      }
      break;
    case vaCollection: {
      auto level = rtl::detail::ReadNestingLevel();
      while (!EndOfList()) {
        if (IsIntValue(NextValue())) SkipValue();
        ReadListBegin();
        while (!EndOfList()) {
          ReadStr();
          SkipValue();
        }
        ReadListEnd();
      }
      ReadListEnd();
      break;
    }
    case vaCurrency:
    case vaDate:
    case vaInt64:
    case vaDouble:
      SkipBytes(8);
      break;
  }
}

Integer TReader::ReadInteger() {
  unsigned char b[4];
  switch (ReadValue()) {
    case vaInt8:
      Read(b, 1);
      return static_cast<int8_t>(b[0]);
    case vaInt16:
      Read(b, 2);
      return FromLE<int16_t>(b);
    case vaInt32:
      Read(b, 4);
      return FromLE<int32_t>(b);
    default:
      --FBufPos;
      PropValueError();
  }
}

Int64 TReader::ReadInt64() {
  if (NextValue() != vaInt64) return ReadInteger();
  ReadValue();
  unsigned char b[8];
  Read(b, 8);
  return FromLE<Int64>(b);
}

bool TReader::ReadBoolean() {
  TValueType v = ReadValue();
  if (v == vaTrue) return true;
  if (v == vaFalse) return false;
  --FBufPos;
  PropValueError();
}

char TReader::ReadChar() {
  AnsiString s = ReadString();
  if (s.size() != 1) PropValueError();
  return s[0];
}

WideChar TReader::ReadWideChar() {
  WideString s = ReadWideString();
  if (s.size() != 1) PropValueError();
  return s[0];
}

Extended TReader::ReadFloat() {
  unsigned char b[10];
  switch (NextValue()) {
    case vaExtended:
      ReadValue();
      Read(b, 10);
      return ExtendedToDouble(b);
    case vaDouble:
    case vaDate: {
      ReadValue();
      Read(b, 8);
      double d;
      auto bits = FromLE<UInt64>(b);
      std::memcpy(&d, &bits, 8);
      return d;
    }
    case vaSingle: {
      ReadValue();
      Read(b, 4);
      float f;
      auto bits = FromLE<Cardinal>(b);
      std::memcpy(&f, &bits, 4);
      return f;
    }
    case vaCurrency:
      ReadValue();
      Read(b, 8);
      return static_cast<Extended>(FromLE<Int64>(b)) / 10000;
    default:
      return static_cast<Extended>(ReadInt64());
  }
}

float TReader::ReadSingle() { return static_cast<float>(ReadFloat()); }

double TReader::ReadDouble() { return ReadFloat(); }

Extended TReader::ReadCurrency() { return ReadFloat(); }

TDateTime TReader::ReadDate() { return ReadFloat(); }

void TReader::ReadText(TValueType Kind, AnsiString* Ansi, WideString* Wide) {
  unsigned char b4[4];
  Int64 len;
  if (Kind == vaString) {
    Read(b4, 1);
    len = b4[0];
  } else {
    Read(b4, 4);
    len = FromLE<Cardinal>(b4);
  }
  Int64 bytes = Kind == vaWString ? len * 2 : len;
  Int64 size = FStream->Size();
  if (size >= 0 && bytes > size - Position()) throw EReadError(kReadError);
  if (Kind == vaWString) {
    std::vector<unsigned char> raw(static_cast<size_t>(bytes));
    if (bytes) Read(raw.data(), static_cast<Integer>(bytes));
    WideString w(static_cast<size_t>(len), u'\0');
    for (size_t i = 0; i < w.size(); ++i) w[i] = static_cast<WideChar>(raw[2 * i] | (raw[2 * i + 1] << 8));
    if (Wide) *Wide = std::move(w);
    if (Ansi) *Ansi = WideToAnsi(Wide ? *Wide : w);
  } else {
    AnsiString s(static_cast<size_t>(len), '\0');
    if (len) Read(s.data(), static_cast<Integer>(len));
    if (Wide) *Wide = AnsiToWide(s);
    if (Ansi) *Ansi = std::move(s);
  }
}

AnsiString TReader::ReadString() {
  TValueType v = ReadValue();
  if (v != vaString && v != vaLString && v != vaUTF8String && v != vaWString) {
    --FBufPos;
    PropValueError();
  }
  AnsiString s;
  ReadText(v, &s, nullptr);
  return s;
}

WideString TReader::ReadWideString() {
  TValueType v = ReadValue();
  if (v != vaString && v != vaLString && v != vaUTF8String && v != vaWString) {
    --FBufPos;
    PropValueError();
  }
  WideString w;
  ReadText(v, nullptr, &w);
  return w;
}

AnsiString TReader::ReadIdent() {
  switch (ReadValue()) {
    case vaIdent:
      return ReadStr();
    case vaFalse:
      return "False";
    case vaTrue:
      return "True";
    case vaNil:
      return "nil";
    case vaNull:
      return "Null";
    default:
      --FBufPos;
      PropValueError();
  }
}

AnsiString TReader::ReadStr() {
  unsigned char len;
  Read(&len, 1);
  AnsiString s(len, '\0');
  if (len) Read(s.data(), len);
  return s;
}

void TReader::ReadSignature() {
  char sig[4];
  Read(sig, 4);
  if (std::memcmp(sig, "TPF0", 4) != 0) throw EReadError(kInvalidStreamFormat);
}

void TReader::ReadPrefix(TFilerFlags& Flags, Integer& AChildPos) {
  Flags = TFilerFlags();
  if (FBufPos == FBufEnd) FillBuffer();
  auto b = static_cast<unsigned char>(FBuffer[FBufPos]);
  if ((b & 0xF0) != 0xF0) return;
  ++FBufPos;
  Flags = TFilerFlags::FromBits(b & 0x0F);
  if (Flags.Contains(ffChildPos)) AChildPos = ReadInteger();
}

// ---- TReader: properties ----------------------------------------------------

bool TReader::Error(const AnsiString& Message) {
  bool handled = false;
  if (OnError) OnError(this, Message, handled);
  return handled;
}

void TReader::ReadProperties(TPersistent* Instance) {
  while (!EndOfList()) ReadProperty(Instance);
  ReadListEnd();
}

void TReader::ReadProperty(TPersistent* AInstance) {
  FErrorPos = Position();
  AnsiString path = ReadStr();
  Int64 valuePos = Position();
  try {
    FCanHandleExcepts = true;
    TPersistent* instance = AInstance;
    size_t start = 0;
    for (;;) {
      size_t dot = path.find('.', start);
      FPropName = path.substr(start, dot == AnsiString::npos ? AnsiString::npos : dot - start);
      if (dot == AnsiString::npos) break;
      start = dot + 1;
      PPropInfo p = GetPropInfo(instance, FPropName);
      if (!p) PropertyError(FPropName);
      TObject* obj = p->PropType->Kind == tkClass ? GetObjectProp(instance, p) : nullptr;
      auto* next = dynamic_cast<TPersistent*>(obj);
      auto* comp = dynamic_cast<TComponent*>(obj);
      if (!next || (comp && !comp->ComponentStyle().Contains(csSubComponent)))
        throw EReadError("Invalid property path");
      instance = next;
    }
    if (PPropInfo p = GetPropInfo(instance, FPropName)) {
      ReadPropValue(instance, p);
    } else {
      // A defined property's reader cannot be recovered from reliably.
      FCanHandleExcepts = false;
      instance->DefineProperties(this);
      FCanHandleExcepts = true;
      if (!FPropName.empty()) PropertyError(FPropName);
    }
  } catch (Exception& e) {
    // An error declined once (by a nested property) is not offered again.
    if (!FCanHandleExcepts || FDeclined == &e) throw;
    if (!Error(e.Message())) {
      FDeclined = &e;
      throw;
    }
    SetPosition(valuePos);
    SkipValue();
  }
}

void TReader::ReadPropValue(TPersistent* Instance, PPropInfo PropInfo) {
  PTypeInfo type = PropInfo->PropType;
  switch (type->Kind) {
    case tkInteger:
      if (NextValue() == vaIdent) {
        Integer v;
        if (PropInfo->Idents.empty() || !IdentToInt(ReadIdent(), v, PropInfo->Idents)) PropValueError();
        SetOrdProp(Instance, PropInfo, v);
      } else {
        Int64 v = ReadInt64();
        if (v < std::numeric_limits<Integer>::min() || v > std::numeric_limits<Cardinal>::max()) PropValueError();
        SetOrdProp(Instance, PropInfo, v);
      }
      break;
    case tkInt64:
      SetOrdProp(Instance, PropInfo, ReadInt64());
      break;
    case tkChar:
      SetOrdProp(Instance, PropInfo, static_cast<unsigned char>(ReadChar()));
      break;
    case tkWChar:
      SetOrdProp(Instance, PropInfo, ReadWideChar());
      break;
    case tkEnumeration:
      if (type == TypeInfo<bool>()) {
        SetOrdProp(Instance, PropInfo, ReadBoolean());
      } else {
        Integer v = GetEnumValue(type, ReadIdent());
        if (v < 0) PropValueError();
        SetOrdProp(Instance, PropInfo, v);
      }
      break;
    case tkFloat:
      SetFloatProp(Instance, PropInfo, ReadFloat());
      break;
    case tkLString:
      SetStrProp(Instance, PropInfo, ReadString());
      break;
    case tkWString:
      SetWideStrProp(Instance, PropInfo, ReadWideString());
      break;
    case tkSet:
      ReadSetValue(Instance, PropInfo);
      break;
    case tkClass: {
      TValueType next = NextValue();
      if (next == vaCollection) {
        auto* collection = dynamic_cast<TCollection*>(GetObjectProp(Instance, PropInfo));
        if (!collection) PropValueError();
        ReadValue();
        ReadCollection(collection);
      } else if (type->ClassType()->InheritsFrom(TComponent::StaticClass()) && (next == vaNil || next == vaIdent)) {
        if (next == vaNil) {
          ReadValue();
          SetObjectProp(Instance, PropInfo, nullptr);
        } else {
          AddFixup(Instance, PropInfo, ReadIdent());
        }
      } else {
        PropValueError();
      }
      break;
    }
    case tkMethod:
      if (NextValue() == vaNil) {
        ReadValue();
        SetMethodProp(Instance, PropInfo, nullptr, nullptr);
      } else {
        PMethodInfo m = FindMethod(FRoot, ReadIdent());
        if (m) {
          if (m->Type != type) PropValueError();
          SetMethodProp(Instance, PropInfo, m, FRoot);
        }
      }
      break;
    default:
      PropValueError();
  }
}

void TReader::ReadSetValue(TPersistent* Instance, PPropInfo PropInfo) {
  CheckValue(vaSet);
  UInt64 bits = 0;
  for (;;) {
    AnsiString name = ReadStr();
    if (name.empty()) break;
    Integer v = GetEnumValue(PropInfo->PropType->CompType, name);
    if (v < 0 || v >= 64) PropValueError();
    bits |= UInt64(1) << v;
  }
  SetOrdProp(Instance, PropInfo, static_cast<Int64>(bits));
}

void TReader::DefineProperty(const AnsiString& Name, const TReaderProc& ReadData, const TWriterProc&, bool) {
  if (FPropName.empty() || !ReadData || !SameText(Name, FPropName)) return;
  ReadData(this);
  FPropName.clear();
}

void TReader::DefineBinaryProperty(const AnsiString& Name, const TStreamProc& ReadData, const TStreamProc&, bool) {
  if (FPropName.empty() || !ReadData || !SameText(Name, FPropName)) return;
  if (NextValue() != vaBinary) {
    FCanHandleExcepts = true;
    PropValueError();
  }
  ReadValue();
  unsigned char b4[4];
  Read(b4, 4);
  Int64 size = FromLE<Cardinal>(b4);
  Int64 streamSize = FStream->Size();
  if (streamSize >= 0 && size > streamSize - Position()) throw EReadError(kReadError);
  std::vector<char> data(static_cast<size_t>(size));
  if (size) Read(data.data(), static_cast<Integer>(size));
  TMemoryStream ms;
  if (size) ms.WriteBuffer(data.data(), static_cast<Integer>(size));
  ms.SetPosition(0);
  ReadData(&ms);
  FPropName.clear();
}

void TReader::ReadCollection(TCollection* Collection) {
  auto level = rtl::detail::ReadNestingLevel();
  Collection->BeginUpdate();
  TScopeExit endUpdate([&] { Collection->EndUpdate(); });
  // A collection read a second time frees the items of the first: the
  // references they still wait for are dropped (left in place, so that the
  // positions reads keep in the list stay right), or resolving them later
  // would write into freed items.
  if (FContext && Collection->Count() > 0)
    for (auto& f : FContext->Fixups)
      for (const TPersistent* p = f.Instance; p; p = p->GetOwner())
        if (p == Collection) {
          f.Instance = nullptr;
          break;
        }
  Collection->Clear();
  while (!EndOfList()) {
    FErrorPos = Position();
    if (IsIntValue(NextValue())) ReadInteger();
    ReadListBegin();
    TCollectionItem* item = Collection->Add();
    ReadProperties(item);
  }
  ReadListEnd();
}

PMethodInfo TReader::FindMethod(TComponent* Root, const AnsiString& MethodName) {
  PMethodInfo result = Root ? FindMethodInfo(Root->ClassType(), MethodName) : nullptr;
  bool error = result == nullptr;
  if (OnFindMethod) OnFindMethod(this, MethodName, result, error);
  if (error) PropValueError();
  return result;
}

// ---- TReader: components ----------------------------------------------------

void TReader::ExcludeState(TComponent* Component, std::initializer_list<TComponentStateItem> Items) {
  for (TComponentStateItem i : Items) Component->FComponentState.Exclude(i);
}

void TReader::SetName(TComponent* Component, AnsiString& Name) {
  if (OnSetName) OnSetName(this, Component, Name);
  Component->SetName(Name);
}

TClass TReader::FindComponentClass(const AnsiString& ClassName) {
  TClass result = FRoot ? GetFieldClass(FRoot->ClassType(), ClassName) : nullptr;
  if (!result && OnFindComponentClass) OnFindComponentClass(this, ClassName, result);
  if (!result) result = GetClass(ClassName);
  if (!result || !result->InheritsFrom(TComponent::StaticClass())) throw EClassNotFound("Class %s not found", {ClassName});
  return result;
}

TComponent* TReader::CreateComponent(TClass ComponentClass, const AnsiString& ClassName) {
  TObject* obj = CreateInstance(ComponentClass, FOwner);
  auto* component = dynamic_cast<TComponent*>(obj);
  if (!component) {
    delete obj;
    throw EClassNotFound("Class %s not found", {ClassName});
  }
  FContext->Created.push_back(component);
  return component;
}

void TReader::AddLoaded(TComponent* Component) {
  if (FContext->LoadedSet.insert(Component).second) FContext->Loaded.push_back(Component);
}

void TReader::ReadData(TComponent* Instance) {
  ReadProperties(Instance);
  TComponent* oldParent = FParent;
  TComponent* oldOwner = FOwner;
  FParent = Instance->GetChildParent();
  FOwner = Instance->GetChildOwner();
  if (!FOwner) FOwner = FRoot;
  TScopeExit restoreParent([&] {
    FParent = oldParent;
    FOwner = oldOwner;
  });
  while (!EndOfList()) ReadComponent(nullptr);
  ReadListEnd();
}

TComponent* TReader::ReadComponent(TComponent* Component) {
  if (FContext) return ReadComponentEntry(Component);
  // Read on its own: a load of its own, relative to the reader's owner.
  rtl::detail::TLoadingScope scope;
  FContext = &scope.Context();
  TScopeExit forgetContext([&] { FContext = nullptr; });
  size_t firstFixup = FContext->Fixups.size();
  size_t firstCreated = FContext->Created.size();
  TComponent* result = ReadComponentEntry(Component);
  // Made without owner, it is the root of what was made with it.
  if (!FOwner && FContext->Created.size() > firstCreated && FContext->Created[firstCreated] == result)
    FContext->CreatedRoots.push_back(result);
  ResolveFixups(firstFixup);
  FErrorPos = -1;
  scope.Finish();
  return result;
}

TComponent* TReader::ReadComponentEntry(TComponent* Component) {
  auto level = rtl::detail::ReadNestingLevel();
  FErrorPos = Position();
  TFilerFlags flags;
  Integer childPos = 0;
  ReadPrefix(flags, childPos);
  AnsiString className = ReadStr();
  AnsiString name = ReadStr();
  TComponent* result = Component;
  bool created = false;
  if (!result) {
    if (flags.Contains(ffInherited)) {
      result = FOwner ? FOwner->FindComponent(name) : nullptr;
      if (!result) throw EReadError("Ancestor for '%s' not found", {name});
    } else {
      result = CreateComponent(FindComponentClass(className), className);
      created = true;
    }
  }
  result->FComponentState.Include(csLoading);
  if (flags.Contains(ffInline)) result->FComponentState.Include(csInline);
  AddLoaded(result);
  if (!flags.Contains(ffInherited)) {
    SetName(result, name);
    SetFieldReference(result->Owner(), result->Name(), result);
  }
  result->FComponentState.Include(csReading);
  if (created && FParent) result->SetParentComponent(FParent);
  if (flags.Contains(ffChildPos) && FParent) FParent->SetChildOrder(result, childPos);
  TComponent* oldLookupRoot = FLookupRoot;
  TComponent* oldReading = FReading;
  if (flags.Contains(ffInline)) FLookupRoot = result;
  FReading = result;
  {
    TScopeExit restoreReading([&] {
      FLookupRoot = oldLookupRoot;
      FReading = oldReading;
    });
    result->ReadState(this);
  }
  result->FComponentState.Exclude(csReading);
  return result;
}

AnsiString TReader::FindUniqueName(TComponent* Root, const AnsiString& Name) {
  if (Name.empty()) return Name;
  AnsiString result = Name;
  for (Integer i = 1;; ++i) {
    TComponent* other = FindGlobalComponent(result);
    if (!other || other == Root) return result;
    result = Format("%s_%d", {Name, i});
  }
}

TComponent* TReader::ReadRootComponent(TComponent* Root) {
  rtl::detail::TLoadingScope scope;
  FContext = &scope.Context();
  TScopeExit forgetContext([&] { FContext = nullptr; });
  size_t firstFixup = FContext->Fixups.size();
  try {
    ReadSignature();
    FErrorPos = Position();
    TFilerFlags flags;
    Integer childPos = 0;
    ReadPrefix(flags, childPos);
    AnsiString className = ReadStr();
    AnsiString name = ReadStr();
    if (!Root) {
      FOwner = nullptr;
      Root = CreateComponent(FindComponentClass(className), className);
      FContext->CreatedRoots.push_back(Root);
    }
    Root->FComponentState.Include(csLoading);
    Root->FComponentState.Include(csReading);
    AddLoaded(Root);
    Root->SetName(FindUniqueName(Root, name));
    SetRoot(Root);
    FLookupRoot = Root;
    FOwner = Root;
    FParent = nullptr;
    FReading = Root;
    Root->ReadState(this);
    Root->FComponentState.Exclude(csReading);
    ResolveFixups(firstFixup);
    FErrorPos = -1;
    scope.Finish();
  } catch (Exception& e) {
    if (FSourceLines && FErrorPos >= 0)
      e.SetMessage(Format("%s on line %d", {e.Message(), FSourceLines->LineAt(FErrorPos)}));
    throw;
  }
  return Root;
}

// ---- References -------------------------------------------------------------

namespace {
using TFixup = rtl::detail::TReadContext::TFixup;

// References to roots that did not exist when they were read. The list
// watches the roots and holders of its entries, so that an entry goes when
// either is freed.
class TGlobalFixups : public TComponent {
 public:
  std::recursive_mutex Lock;
  std::vector<TFixup> Pending;
  TGlobalFixups() : TComponent(nullptr) {}

  void Add(const TFixup& f) {
    std::lock_guard<std::recursive_mutex> lock(Lock);
    Pending.push_back(f);
    FreeNotification(f.Root);
    FreeNotification(f.Holder);
  }

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    std::lock_guard<std::recursive_mutex> lock(Lock);
    std::erase_if(Pending, [AComponent](const TFixup& f) { return f.Root == AComponent || f.Holder == AComponent; });
  }
};

TGlobalFixups& GlobalFixups() {
  static TGlobalFixups fixups;
  return fixups;
}

std::mutex& FindGlobalLock() {
  static std::mutex m;
  return m;
}
std::vector<TFindGlobalComponent>& FindGlobalProcs() {
  static std::vector<TFindGlobalComponent> procs;
  return procs;
}

// The first part of a dotted name, and whether there is more.
AnsiString FirstPart(const AnsiString& path, bool* more) {
  size_t dot = path.find('.');
  *more = dot != AnsiString::npos;
  return path.substr(0, dot);
}

void ApplyReference(const TFixup& f, TComponent* ref) {
  if (!ref->InheritsFrom(f.Prop->PropType->ClassType())) throw EReadError(kInvalidPropertyValue);
  SetObjectProp(f.Instance, f.Prop, ref);
}
}  // namespace

void TReader::AddFixup(TPersistent* Instance, PPropInfo PropInfo, const AnsiString& Name) {
  FContext->Fixups.push_back({Instance, PropInfo, Name, FLookupRoot, FReading, FErrorPos});
}

void TReader::ResolveFixups(size_t First) {
  auto& fixups = FContext->Fixups;
  for (size_t i = First; i < fixups.size(); ++i) {
    const TFixup& f = fixups[i];
    if (!f.Instance) continue;  // its object was freed while reading
    FErrorPos = f.Pos;
    if (TComponent* ref = FindNestedComponent(f.Root, f.Name)) {
      ApplyReference(f, ref);
      continue;
    }
    // "Form2.Button1" before Form2 exists waits for Form2.
    bool qualified;
    AnsiString first = FirstPart(f.Name, &qualified);
    if (qualified && !FindNestedComponent(f.Root, first))
      GlobalFixups().Add(f);
    else
      throw EReadError("Unresolved reference to %s", {f.Name});
  }
  fixups.resize(First);
}

void RegisterFindGlobalComponentProc(TFindGlobalComponent AFindGlobalComponent) {
  std::lock_guard<std::mutex> lock(FindGlobalLock());
  auto& procs = FindGlobalProcs();
  if (std::find(procs.begin(), procs.end(), AFindGlobalComponent) == procs.end()) procs.push_back(AFindGlobalComponent);
}

void UnregisterFindGlobalComponentProc(TFindGlobalComponent AFindGlobalComponent) {
  std::lock_guard<std::mutex> lock(FindGlobalLock());
  std::erase(FindGlobalProcs(), AFindGlobalComponent);
}

TComponent* FindGlobalComponent(const AnsiString& Name) {
  std::vector<TFindGlobalComponent> procs;
  {
    std::lock_guard<std::mutex> lock(FindGlobalLock());
    procs = FindGlobalProcs();
  }
  for (auto it = procs.rbegin(); it != procs.rend(); ++it)
    if (TComponent* c = (*it)(Name)) return c;
  return nullptr;
}

TComponent* FindNestedComponent(TComponent* Root, const AnsiString& NamePath) {
  TComponent* result = nullptr;
  size_t start = 0;
  bool first = true;
  while (start <= NamePath.size()) {
    size_t dot = NamePath.find('.', start);
    if (dot == AnsiString::npos) dot = NamePath.size();
    AnsiString name = NamePath.substr(start, dot - start);
    if (name.empty()) return nullptr;
    if (first) {
      if (SameText(name, "Owner"))
        result = Root;
      else
        result = Root ? Root->FindComponent(name) : nullptr;
      if (!result) result = FindGlobalComponent(name);
      first = false;
    } else if (!SameText(name, "Owner")) {
      result = result->FindComponent(name);
    }
    if (!result) return nullptr;
    start = dot + 1;
  }
  return result;
}

void GlobalFixupReferences() {
  TGlobalFixups& globals = GlobalFixups();
  std::vector<std::pair<TFixup, TComponent*>> ready;
  {
    std::lock_guard<std::recursive_mutex> lock(globals.Lock);
    std::erase_if(globals.Pending, [&ready](const TFixup& f) {
      TComponent* ref = FindNestedComponent(f.Root, f.Name);
      if (ref) ready.emplace_back(f, ref);
      return ref != nullptr;
    });
  }
  for (auto& [f, ref] : ready) ApplyReference(f, ref);
}
