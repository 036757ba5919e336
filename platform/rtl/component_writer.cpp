// TWriter: components, their stored properties and values in the binary
// form.
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

#include "platform/rtl/component_streaming.h"
#include "platform/rtl/scope_exit.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/strutils.h"
#include "platform/rtl/text_codec.h"

RTL_IMPLEMENT_CLASS(TWriter)

namespace {
// The 10-byte x87 extended form of a double; exact, as every double is an
// extended value.
void DoubleToExtended(double d, unsigned char* out) {
  UInt64 bits;
  std::memcpy(&bits, &d, 8);
  unsigned sign = (bits >> 63) ? 0x8000 : 0;
  int exp = static_cast<int>((bits >> 52) & 0x7FF);
  UInt64 frac = bits & ((UInt64(1) << 52) - 1);
  UInt64 mant = 0;
  int e = 0;
  if (exp == 0x7FF) {
    e = 0x7FFF;
    mant = (UInt64(1) << 63) | (frac << 11);
  } else if (exp != 0) {
    e = exp - 1023 + 16383;
    mant = (UInt64(1) << 63) | (frac << 11);
  } else if (frac != 0) {
    // A subnormal double is a normal extended value.
    int shift = __builtin_clzll(frac);
    mant = frac << shift;
    e = -1074 - shift + 16383 + 63;
  }
  for (int i = 0; i < 8; ++i) out[i] = static_cast<unsigned char>(mant >> (8 * i));
  unsigned se = static_cast<unsigned>(e) | sign;
  out[8] = static_cast<unsigned char>(se);
  out[9] = static_cast<unsigned char>(se >> 8);
}

template <class T>
void ToLE(T value, unsigned char* out) {
  auto v = static_cast<std::make_unsigned_t<T>>(value);
  for (size_t i = 0; i < sizeof(T); ++i) out[i] = static_cast<unsigned char>(v >> (8 * i));
}

// A value-type byte and the value after it, little-endian.
template <class T>
void WriteTagged(TWriter& writer, TValueType tag, T value) {
  unsigned char b[1 + sizeof(T)];
  b[0] = static_cast<unsigned char>(tag);
  ToLE(value, b + 1);
  writer.Write(b, static_cast<Integer>(sizeof b));
}

// Gives a field back its value when the scope ends, thrown out of or not.
template <class T>
class TRestoreOnExit {
 public:
  explicit TRestoreOnExit(T& field) : FField(field), FSaved(field) {}
  ~TRestoreOnExit() { FField = std::move(FSaved); }
  TRestoreOnExit(const TRestoreOnExit&) = delete;
  TRestoreOnExit& operator=(const TRestoreOnExit&) = delete;

 private:
  T& FField;
  T FSaved;
};

bool IsAscii(const AnsiString& s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) > 127) return false;
  return true;
}

bool SameValue(const TPropValue& a, const TPropValue& b, TTypeKind kind) {
  switch (kind) {
    case tkFloat:
      return a.Float == b.Float;
    case tkLString:
      return a.Str == b.Str;
    case tkWString:
      return a.WStr == b.WStr;
    default:
      return a.Ord == b.Ord;
  }
}
}  // namespace

TWriter::TWriter(TStream* Stream, Integer BufSize) : TFiler(Stream, BufSize) {}

TWriter::~TWriter() {
  try {
    FlushBuffer();
  } catch (...) {
    // Destructors cannot report; the Write*Component functions flush first.
  }
}

void TWriter::FlushBuffer() {
  if (FBuffer.empty()) return;
  AnsiString data;
  data.swap(FBuffer);
  FStream->WriteBuffer(data.data(), static_cast<Integer>(data.size()));
}

void TWriter::SetRoot(TComponent* Value) {
  TFiler::SetRoot(Value);
  FLookupRoot = Value;
}

Int64 TWriter::Position() const { return FStream->Position() + static_cast<Int64>(FBuffer.size()); }

void TWriter::Write(const void* Buf, Integer Count) {
  FBuffer.append(static_cast<const char*>(Buf), static_cast<size_t>(Count));
  if (static_cast<Integer>(FBuffer.size()) >= FBufSize) FlushBuffer();
}

void TWriter::WriteValue(TValueType Value) {
  auto b = static_cast<unsigned char>(Value);
  Write(&b, 1);
}

void TWriter::WriteInteger(Int64 Value) {
  if (Value >= -128 && Value <= 127)
    WriteTagged(*this, vaInt8, static_cast<int8_t>(Value));
  else if (Value >= -32768 && Value <= 32767)
    WriteTagged(*this, vaInt16, static_cast<int16_t>(Value));
  else if (Value >= std::numeric_limits<int32_t>::min() && Value <= std::numeric_limits<int32_t>::max())
    WriteTagged(*this, vaInt32, static_cast<int32_t>(Value));
  else
    WriteTagged(*this, vaInt64, Value);
}

void TWriter::WriteBoolean(bool Value) { WriteValue(Value ? vaTrue : vaFalse); }

void TWriter::WriteChar(char Value) { WriteString(AnsiString(1, Value)); }

void TWriter::WriteWideChar(WideChar Value) { WriteWideString(WideString(1, Value)); }

void TWriter::WriteFloat(Extended Value) {
  unsigned char b[11];
  b[0] = vaExtended;
  DoubleToExtended(Value, b + 1);
  Write(b, 11);
}

void TWriter::WriteSingle(float Value) { WriteTagged(*this, vaSingle, std::bit_cast<Cardinal>(Value)); }

void TWriter::WriteDouble(double Value) { WriteTagged(*this, vaDouble, std::bit_cast<UInt64>(Value)); }

void TWriter::WriteCurrency(Extended Value) {
  WriteTagged(*this, vaCurrency, static_cast<Int64>(std::llround(Value * 10000)));
}

void TWriter::WriteDate(TDateTime Value) { WriteTagged(*this, vaDate, std::bit_cast<UInt64>(Value)); }

void TWriter::WriteString(const AnsiString& Value) {
  if (IsAscii(Value) && Value.size() <= 255)
    WriteTagged(*this, vaString, static_cast<uint8_t>(Value.size()));
  else
    WriteTagged(*this, IsAscii(Value) ? vaLString : vaUTF8String, static_cast<Cardinal>(Value.size()));
  Write(Value.data(), static_cast<Integer>(Value.size()));
}

void TWriter::WriteWideString(const WideString& Value) {
  WriteTagged(*this, vaWString, static_cast<Cardinal>(Value.size()));
  AnsiString bytes(Value.size() * 2, '\0');
  for (size_t i = 0; i < Value.size(); ++i) {
    bytes[2 * i] = static_cast<char>(Value[i] & 0xFF);
    bytes[2 * i + 1] = static_cast<char>(Value[i] >> 8);
  }
  Write(bytes.data(), static_cast<Integer>(bytes.size()));
}

void TWriter::WriteIdent(const AnsiString& Ident) {
  if (SameText(Ident, "False")) {
    WriteValue(vaFalse);
  } else if (SameText(Ident, "True")) {
    WriteValue(vaTrue);
  } else if (SameText(Ident, "nil")) {
    WriteValue(vaNil);
  } else if (SameText(Ident, "Null")) {
    WriteValue(vaNull);
  } else {
    WriteValue(vaIdent);
    WriteStr(Ident);
  }
}

void TWriter::WriteStr(const AnsiString& Value) {
  if (Value.size() > 255) throw EWriteError("Stream write error");
  auto len = static_cast<unsigned char>(Value.size());
  Write(&len, 1);
  Write(Value.data(), len);
}

void TWriter::WriteSignature() { Write("TPF0", 4); }

void TWriter::WritePrefix(TFilerFlags Flags, Integer AChildPos) {
  if (Flags.Empty()) return;
  auto b = static_cast<unsigned char>(0xF0 | Flags.ToBits());
  Write(&b, 1);
  if (Flags.Contains(ffChildPos)) WriteInteger(AChildPos);
}

// ---- Properties ----------------------------------------------------------------

void TWriter::WritePropName(const AnsiString& Name) { WriteStr(FPropPath + Name); }

void TWriter::DefineProperty(const AnsiString& Name, const TReaderProc&, const TWriterProc& WriteData, bool HasData) {
  if (!HasData || !WriteData) return;
  WritePropName(Name);
  WriteData(this);
}

void TWriter::DefineBinaryProperty(const AnsiString& Name, const TStreamProc&, const TStreamProc& WriteData,
                                   bool HasData) {
  if (!HasData || !WriteData) return;
  TMemoryStream data;
  WriteData(&data);
  WritePropName(Name);
  WriteTagged(*this, vaBinary, static_cast<Cardinal>(data.Size()));
  if (data.Size()) Write(data.Memory(), static_cast<Integer>(data.Size()));
}

void TWriter::WriteProperties(TPersistent* Instance) {
  for (PPropInfo p : GetPropList(Instance->ClassType()))
    if (IsStoredProp(Instance, p)) WriteProperty(Instance, p);
  Instance->DefineProperties(this);
}

void TWriter::WriteProperty(TPersistent* Instance, PPropInfo PropInfo) {
  PTypeInfo type = PropInfo->PropType;
  if (type->Kind == tkClass) return WriteObjectProperty(Instance, PropInfo);
  if (type->Kind == tkMethod) return WriteMethodProperty(Instance, PropInfo);
  // A value that cannot be read back is not written.
  if (!PropInfo->Set) return;
  TPropValue value;
  PropInfo->Get(Instance, value);
  if (FAncestor && FAncestor->InheritsFrom(PropInfo->DeclaringClass())) {
    TPropValue ancestor;
    PropInfo->Get(FAncestor, ancestor);
    if (SameValue(value, ancestor, type->Kind)) return;
  } else if (type->Kind == tkLString || type->Kind == tkWString) {
    if (value.Str.empty() && value.WStr.empty()) return;
  } else if (type->Kind == tkFloat) {
    if (value.Float == PropInfo->FloatDefault) return;
  } else if (PropInfo->HasDefault && value.Ord == PropInfo->Default) {
    return;
  }
  WritePropName(PropInfo->Name);
  switch (type->Kind) {
    case tkInteger: {
      AnsiString ident;
      if (!PropInfo->Idents.empty() && IntToIdent(static_cast<Integer>(value.Ord), ident, PropInfo->Idents))
        WriteIdent(ident);
      else
        WriteInteger(value.Ord);
      break;
    }
    case tkChar:
      WriteChar(static_cast<char>(value.Ord));
      break;
    case tkWChar:
      WriteWideChar(static_cast<WideChar>(value.Ord));
      break;
    case tkEnumeration:
      if (type == TypeInfo<bool>()) {
        WriteBoolean(value.Ord != 0);
      } else {
        AnsiString name = GetEnumName(type, static_cast<Integer>(value.Ord));
        if (name.empty()) throw EWriteError("Invalid property value");
        WriteIdent(name);
      }
      break;
    case tkSet: {
      WriteValue(vaSet);
      auto bits = static_cast<UInt64>(value.Ord);
      for (int i = 0; i < 64; ++i)
        if ((bits >> i) & 1) {
          AnsiString name = GetEnumName(type->CompType, i);
          if (name.empty()) throw EWriteError("Invalid property value");
          WriteStr(name);
        }
      WriteStr(AnsiString());
      break;
    }
    case tkFloat:
      if (type->FloatType == ftSingle)
        WriteSingle(static_cast<float>(value.Float));
      else
        WriteFloat(value.Float);
      break;
    case tkLString:
      WriteString(value.Str);
      break;
    case tkWString:
      WriteWideString(value.WStr);
      break;
    default:
      WriteInteger(value.Ord);
      break;
  }
}

void TWriter::WriteMethodProperty(TPersistent* Instance, PPropInfo PropInfo) {
  if (!PropInfo->Set) return;
  // Handlers are the root's, also inside inline components, as the reader
  // binds them.
  bool assigned = IsMethodPropAssigned(Instance, PropInfo);
  AnsiString name = assigned ? GetMethodPropName(Instance, PropInfo, FRoot) : AnsiString();
  AnsiString ancestorName;
  bool ancestorAssigned = false;
  if (FAncestor && FAncestor->InheritsFrom(PropInfo->DeclaringClass())) {
    ancestorAssigned = IsMethodPropAssigned(FAncestor, PropInfo);
    if (ancestorAssigned) ancestorName = GetMethodPropName(FAncestor, PropInfo, FRootAncestor);
  }
  if (assigned == ancestorAssigned && SameText(name, ancestorName)) return;
  if (!assigned) {
    WritePropName(PropInfo->Name);
    WriteValue(vaNil);
  } else if (!name.empty()) {
    // A handler that is not one of the root's has no name to store.
    WritePropName(PropInfo->Name);
    WriteIdent(name);
  }
}

AnsiString TWriter::ComponentValue(TComponent* Component) const {
  if (Component->Owner() == FLookupRoot) return Component->Name();
  if (Component == FLookupRoot) return "Owner";
  if (Component->Owner() && !Component->Owner()->Name().empty() && !Component->Name().empty())
    return Component->Owner()->Name() + "." + Component->Name();
  if (!Component->Name().empty()) return Component->Name() + ".Owner";
  return AnsiString();
}

void TWriter::WriteObjectProperty(TPersistent* Instance, PPropInfo PropInfo) {
  TObject* value = GetObjectProp(Instance, PropInfo);
  TObject* ancestorValue = nullptr;
  bool hasAncestor = FAncestor && FAncestor->InheritsFrom(PropInfo->DeclaringClass());
  if (hasAncestor) ancestorValue = GetObjectProp(FAncestor, PropInfo);
  auto* component = dynamic_cast<TComponent*>(value);
  bool reference = PropInfo->PropType->ClassType()->InheritsFrom(TComponent::StaticClass()) &&
                   !(component && component->ComponentStyle().Contains(csSubComponent) &&
                     component->Owner() == Instance);
  if (reference) {
    if (!PropInfo->Set) return;
    auto* ancestorComponent = dynamic_cast<TComponent*>(ancestorValue);
    if (hasAncestor ? (!component && !ancestorComponent) ||
                          (component && ancestorComponent && SameText(component->Name(), ancestorComponent->Name()))
                    : !component)
      return;
    if (!component) {
      WritePropName(PropInfo->Name);
      WriteValue(vaNil);
      return;
    }
    AnsiString name = ComponentValue(component);
    if (name.empty()) return;
    WritePropName(PropInfo->Name);
    WriteIdent(name);
    return;
  }
  if (auto* collection = dynamic_cast<TCollection*>(value)) {
    if (auto* ancestorCollection = dynamic_cast<TCollection*>(ancestorValue)) {
      // Equal collections write the same items.
      TMemoryStream mine, theirs;
      {
        TWriter w(&mine, 4096);
        w.FRoot = FRoot;
        w.FLookupRoot = FLookupRoot;
        w.WriteItems(collection);
        w.FlushBuffer();
      }
      {
        TWriter w(&theirs, 4096);
        w.FRoot = w.FLookupRoot = FRootAncestor;
        w.WriteItems(ancestorCollection);
        w.FlushBuffer();
      }
      if (mine.Size() == theirs.Size() && std::memcmp(mine.Memory(), theirs.Memory(), mine.Size()) == 0) return;
    }
    WritePropName(PropInfo->Name);
    WriteCollection(collection);
    return;
  }
  auto* nested = dynamic_cast<TPersistent*>(value);
  if (!nested) return;
  TRestoreOnExit keepPath(FPropPath);
  TRestoreOnExit keepAncestor(FAncestor);
  FPropPath += AnsiString(PropInfo->Name) + ".";
  FAncestor = dynamic_cast<TPersistent*>(ancestorValue);
  WriteProperties(nested);
}

void TWriter::WriteItems(TCollection* Value) {
  TRestoreOnExit keepPath(FPropPath);
  TRestoreOnExit keepAncestor(FAncestor);
  FPropPath.clear();
  FAncestor = nullptr;
  for (TCollectionItem* item : *Value) {
    WriteListBegin();
    WriteProperties(item);
    WriteListEnd();
  }
}

void TWriter::WriteCollection(TCollection* Value) {
  WriteValue(vaCollection);
  if (Value) WriteItems(Value);
  WriteListEnd();
}

// ---- Components ----------------------------------------------------------------

void TWriter::WriteComponent(TComponent* Component) {
  std::vector<TComponent*> marked;
  auto mark = [&marked](TComponent* c) {
    if (c->FComponentState.Contains(csWriting)) return;
    c->FComponentState.Include(csWriting);
    marked.push_back(c);
  };
  mark(Component);
  for (Integer i = 0; i < Component->ComponentCount(); ++i) mark(Component->Components(i));
  TScopeExit unmark([&] { for (TComponent* c : marked) c->FComponentState.Exclude(csWriting); });
  Component->WriteState(this);
}

void TWriter::WriteChild(TComponent* Child, const std::vector<TComponent*>& AncestorChildren) {
  TRestoreOnExit keepAncestor(FAncestor);
  FAncestor = nullptr;
  for (TComponent* a : AncestorChildren)
    if (SameText(a->Name(), Child->Name())) {
      FAncestor = a;
      break;
    }
  WriteComponent(Child);
}

void TWriter::WriteData(TComponent* Instance) {
  TFilerFlags flags;
  if (FAncestor) flags.Include(ffInherited);
  if (Instance->ComponentState().Contains(csInline)) flags.Include(ffInline);
  WritePrefix(flags, 0);
  WriteStr(Instance->ClassName());
  WriteStr(Instance->Name());
  WriteProperties(Instance);
  WriteListEnd();
  if (!FIgnoreChildren) {
    std::vector<TComponent*> ancestorChildren;
    auto* ancestor = dynamic_cast<TComponent*>(FAncestor);
    TRestoreOnExit keepLookupRoot(FLookupRoot);
    TRestoreOnExit keepRootAncestor(FRootAncestor);
    // An inline component is the root of its own children: they are the
    // ones it owns, and names are relative to it.
    if (flags.Contains(ffInline)) {
      FLookupRoot = Instance;
      FRootAncestor = ancestor;
    }
    if (ancestor) ancestor->GetChildren([&ancestorChildren](TComponent* c) { ancestorChildren.push_back(c); },
                                        FRootAncestor);
    Instance->GetChildren([this, &ancestorChildren](TComponent* c) { WriteChild(c, ancestorChildren); },
                          FLookupRoot);
  }
  WriteListEnd();
}

void TWriter::WriteRootComponent(TComponent* Root) { WriteDescendent(Root, nullptr); }

void TWriter::WriteDescendent(TComponent* Root, TComponent* AAncestor) {
  FRootAncestor = AAncestor;
  FAncestor = AAncestor;
  SetRoot(Root);
  WriteSignature();
  WriteComponent(Root);
  FlushBuffer();
}
