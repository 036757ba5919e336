#include "support/containers.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/rtl/component_streaming.h"
#include "platform/rtl/scope_exit.h"
#include "platform/rtl/streams.h"
#include "support/filer.h"

RTL_IMPLEMENT_CLASS(EDIContainerError)
RTL_IMPLEMENT_CLASS(TDIErrorObject)
RTL_IMPLEMENT_CLASS(TDIBaseHandler)
RTL_IMPLEMENT_CLASS(TDIItemHandler)
RTL_IMPLEMENT_CLASS(TDIContainer)
RTL_IMPLEMENT_CLASS(TDILinearContainer)
RTL_IMPLEMENT_CLASS(TDIVector)

namespace {
constexpr const char* kIndexOutOfBounds = "List index out of bounds (%d)";
constexpr const char* kSameItemsNotAssigned = "SameItems not assigned";
constexpr Byte kSignature[4] = {'D', 'I', 'V', 'C'};
constexpr Cardinal kVersion = 1;
constexpr Integer kFilerBufferSize = 4096;

Integer LargestPowerOfTwoNotAbove(Integer n) {
  Integer b = 1;
  while (b <= n / 2) b *= 2;
  return b;
}

// Capacity for n items.
Integer CapacityFor(Integer n) {
  if (n <= 0) return 0;
  const Integer b = LargestPowerOfTwoNotAbove(n);
  if (b == n) return n;
  const Integer c = std::max(b / 4, 2);
  Integer r = b + c;
  while (r < n) r += c;
  return r;
}

// Below this count the storage of m items shrinks.
Integer ShrinkThreshold(Integer m) {
  if (m <= 2) return m;
  const Integer b = LargestPowerOfTwoNotAbove(m - 1);
  const Integer c = std::max(b / 4, 2);
  for (Integer v : {b - c + 1, b + 1, b + c + 1, b + 2 * c + 1})
    if (v > m - c) return v;
  return b + 3 * c + 1;
}
}  // namespace

// ---- TDIErrorObject ---------------------------------------------------------

void TDIErrorObject::Error(const AnsiString& Msg) const {
  throw EDIContainerError("Class " + ClassName() + ": " + Msg);
}

void TDIErrorObject::ErrorFmt(const AnsiString& Fmt, std::initializer_list<TVarRec> Args) const {
  Error(Format(Fmt, Args));
}

// ---- Handlers ---------------------------------------------------------------

void TDIBaseHandler::BeforeDestruction() const {
  if (FInUseCount != 0) Error("ItemHandler in use during destruction");
}

void TDIItemHandler::CheckNotInUse(const char* EventName) const {
  if (InUseCount() != 0) Error(AnsiString("ItemHandler in use while assigning ") + EventName);
}

void TDIItemHandler::SetItemSize(Integer Value) {
  if (InUseCount() != 0) Error("ItemHandler in use while setting ItemSize");
  FItemSize = Value;
}

#define DI_HANDLER_EVENT_SETTER(Name, Type) \
  void TDIItemHandler::Set##Name(const Type& Value) { \
    CheckNotInUse(#Name);                             \
    F##Name = Value;                                  \
  }
DI_HANDLER_EVENT_SETTER(OnInitItem, TDIInitItemEvent)
DI_HANDLER_EVENT_SETTER(OnFreeItem, TDIFreeItemEvent)
DI_HANDLER_EVENT_SETTER(OnCompareItems, TDICompareItemsEvent)
DI_HANDLER_EVENT_SETTER(OnCopyItem, TDICopyItemEvent)
DI_HANDLER_EVENT_SETTER(OnReadItem, TDIReadItemEvent)
DI_HANDLER_EVENT_SETTER(OnWriteItem, TDIWriteItemEvent)
DI_HANDLER_EVENT_SETTER(OnReadHeader, TDIReadHeaderEvent)
DI_HANDLER_EVENT_SETTER(OnWriteHeader, TDIWriteHeaderEvent)
#undef DI_HANDLER_EVENT_SETTER

// ---- TDIContainer -----------------------------------------------------------

TDIContainer::TDIContainer(TDIItemHandler* ItemHandler) : FItemHandler(ItemHandler) {
  if (FItemHandler) ++FItemHandler->FInUseCount;
}

TDIContainer::~TDIContainer() {
  if (FItemHandler) --FItemHandler->FInUseCount;
}

void TDIContainer::DefineProperties(TFiler* Filer) {
  inherited::DefineProperties(Filer);
  Filer->DefineBinaryProperty(ClassName(), TStreamProc(this, &TDIContainer::ReadData),
                              TStreamProc(this, &TDIContainer::WriteData), NotEmpty());
}

void TDIContainer::ReadData(TStream* Stream) {
  if (!Stream) Error("Stream is nil");
  TDIBinaryReader reader(Stream, kFilerBufferSize);
  ReadFromFiler(&reader, DI_FILER_ALL, nullptr);
}

void TDIContainer::WriteData(TStream* Stream) {
  if (!Stream) Error("Stream is nil");
  TDIBinaryWriter writer(Stream, kFilerBufferSize);
  WriteToFiler(&writer, DI_FILER_ALL, nullptr);
  writer.FlushBuffer();
}

// ---- TDIVector --------------------------------------------------------------

TDIVector::TDIVector(TDIItemHandler* ItemHandler) : TDILinearContainer(ItemHandler) {
  if (!ItemHandler) Error("ItemHandler is nil");
}

TDIVector::~TDIVector() { Clear(); }

Byte* TDIVector::At(Integer Index) const {
  return FItems + static_cast<size_t>(Index) * static_cast<size_t>(FItemHandler->ItemSize());
}

void TDIVector::CheckIndex(Integer Index) const {
  if (Index < 0 || Index >= FCount) ErrorFmt(kIndexOutOfBounds, {Index});
}

void TDIVector::Realloc(Integer NewCapacity) {
  if (NewCapacity == FCapacity) return;
  if (NewCapacity == 0) {
    std::free(FItems);
    FItems = nullptr;
  } else {
    size_t bytes = static_cast<size_t>(NewCapacity) * static_cast<size_t>(FItemHandler->ItemSize());
    void* p = std::realloc(FItems, bytes ? bytes : 1);
    if (!p) throw std::bad_alloc();
    FItems = static_cast<Byte*>(p);
  }
  FCapacity = NewCapacity;
}

void TDIVector::Grow(Integer NewCount) {
  if (CapacityFor(FCount) < NewCount) Realloc(CapacityFor(NewCount));
}

void TDIVector::Shrink(Integer NewCount) {
  if (NewCount < ShrinkThreshold(FCount)) Realloc(CapacityFor(NewCount));
}

void TDIVector::Clear() {
  if (const TDIFreeItemEvent& onFree = FItemHandler->OnFreeItem())
    for (Integer i = 0; i < FCount; ++i) onFree(At(i));
  Realloc(0);
  FCount = 0;
}

bool TDIVector::AnyItem(const void* Value, const TDISameItemsFunc& SameItems) {
  return FirstThat(Value, SameItems) != nullptr;
}

bool TDIVector::AnyItemBackward(const void* Value, const TDISameItemsFunc& SameItems) {
  return LastThat(Value, SameItems) != nullptr;
}

void TDIVector::IterateItems(const TDIIterateItemsEvent& Visitor) {
  if (!Visitor) Error("IterateItems not assigned");
  for (Integer i = 0; i < FCount; ++i) Visitor(At(i));
}

void* TDIVector::FirstThat(const void* Value, const TDISameItemsFunc& SameItems) {
  if (!SameItems) Error(kSameItemsNotAssigned);
  for (Integer i = 0; i < FCount; ++i)
    if (SameItems(At(i), Value)) return At(i);
  return nullptr;
}

void* TDIVector::LastThat(const void* Value, const TDISameItemsFunc& SameItems) {
  if (!SameItems) Error(kSameItemsNotAssigned);
  for (Integer i = FCount - 1; i >= 0; --i)
    if (SameItems(At(i), Value)) return At(i);
  return nullptr;
}

void* TDIVector::InsertFirstRaw() {
  Grow(FCount + 1);
  std::memmove(At(1), At(0), static_cast<size_t>(FCount) * static_cast<size_t>(FItemHandler->ItemSize()));
  ++FCount;
  return At(0);
}

void* TDIVector::InsertFirst() {
  void* item = InsertFirstRaw();
  if (const TDIInitItemEvent& onInit = FItemHandler->OnInitItem()) {
    // Move the items back, or the first would be there twice.
    TScopeExit moveBack(seOnUnwind, [&] {
      --FCount;
      std::memmove(At(0), At(1), static_cast<size_t>(FCount) * static_cast<size_t>(FItemHandler->ItemSize()));
    });
    onInit(item);
  }
  return item;
}

void* TDIVector::InsertLastRaw() {
  Grow(FCount + 1);
  return At(FCount++);
}

void* TDIVector::InsertLast() {
  Grow(FCount + 1);
  if (const TDIInitItemEvent& onInit = FItemHandler->OnInitItem()) onInit(At(FCount));
  return At(FCount++);
}

void* TDIVector::FirstItem() {
  if (FCount == 0) ErrorFmt(kIndexOutOfBounds, {FCount});
  return At(0);
}

void* TDIVector::LastItem() {
  if (FCount == 0) ErrorFmt(kIndexOutOfBounds, {FCount});
  return At(FCount - 1);
}

void TDIVector::DeleteLast() {
  if (FCount == 0) Error("Container is empty");
  if (const TDIFreeItemEvent& onFree = FItemHandler->OnFreeItem()) onFree(At(FCount - 1));
  Shrink(FCount - 1);
  --FCount;
}

void TDIVector::SetCount(Integer NewCount) {
  if (NewCount < 0) ErrorFmt(kIndexOutOfBounds, {NewCount});
  if (NewCount > FCount) {
    Grow(NewCount);
    const TDIInitItemEvent& onInit = FItemHandler->OnInitItem();
    // The count follows each item, so an initialiser that raises leaves
    // only initialised items behind.
    while (FCount < NewCount) {
      if (onInit) onInit(At(FCount));
      ++FCount;
    }
  } else if (NewCount < FCount) {
    if (const TDIFreeItemEvent& onFree = FItemHandler->OnFreeItem())
      for (Integer i = FCount - 1; i >= NewCount; --i) onFree(At(i));
    Shrink(NewCount);
    FCount = NewCount;
  }
}

void TDIVector::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TDIVector*>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  if (source == this) return;
  if (source->FItemHandler != FItemHandler) Error("Itemhandlers do not match");
  const TDICopyItemEvent& onCopy = FItemHandler->OnCopyItem();
  if (!onCopy) Error("OnCopyItems not assigned");
  SetCount(source->FCount);
  for (Integer i = 0; i < FCount; ++i) onCopy(source->At(i), At(i));
}

void TDIVector::WriteToFiler(TDIBinaryWriter* Writer, Cardinal Flags, void* UserData) {
  const TDIWriteItemEvent& onWrite = FItemHandler->OnWriteItem();
  if (!onWrite) FItemHandler->Error("OnWriteItem not assigned");
  if (Flags & DI_FILER_SIGNATURE) Writer->WriteBuffer(kSignature, sizeof kSignature);
  if (Flags & DI_FILER_VERSION) Writer->WriteCardinal(kVersion);
  if (Flags & DI_FILER_HEADER)
    if (const TDIWriteHeaderEvent& onHeader = FItemHandler->OnWriteHeader()) onHeader(this, Writer, UserData);
  Writer->WriteInteger(FCount);
  for (Integer i = 0; i < FCount; ++i) onWrite(this, Writer, At(i), UserData);
}

void TDIVector::ReadFromFiler(TDIBinaryReader* Reader, Cardinal Flags, void* UserData) {
  const TDIReadItemEvent& onRead = FItemHandler->OnReadItem();
  if (!onRead) FItemHandler->Error("OnReadItem not assigned");
  bool valid = true;
  if (Flags & DI_FILER_SIGNATURE) {
    Byte signature[4];
    Reader->ReadBuffer(signature, sizeof signature);
    valid = std::memcmp(signature, kSignature, sizeof kSignature) == 0;
  }
  if (Flags & DI_FILER_VERSION) valid = Reader->ReadCardinal() == kVersion && valid;
  if (!valid) Error("Invalid stream format");
  if (Flags & DI_FILER_HEADER)
    if (const TDIReadHeaderEvent& onHeader = FItemHandler->OnReadHeader()) onHeader(this, Reader, UserData);
  Clear();
  const Integer count = Reader->ReadInteger();
  for (Integer i = 0; i < count; ++i) onRead(this, Reader, InsertLast(), UserData);
}
