#include "support/ansi_string_vectors.h"

#include <type_traits>

#include "platform/rtl/stringlist.h"
#include "support/filer.h"
#include "support/text_utils.h"

RTL_IMPLEMENT_CLASS(TDIAnsiStringVector)
RTL_IMPLEMENT_CLASS(TDIAnsiStringCardinalVector)

// ---- Items ------------------------------------------------------------------

const AnsiString& TDIAnsiStringItem::Text() const {
  static const AnsiString empty;
  return FText ? *FText : empty;
}

void TDIAnsiStringItem::SetText(const AnsiString& Value) {
  if (Value.empty())
    Release();
  else if (FText)
    *FText = Value;
  else
    FText = new AnsiString(Value);
}

void TDIAnsiStringItem::Release() {
  delete FText;
  FText = nullptr;
}

// ---- Shared handlers --------------------------------------------------------

namespace {

// The item sizes that streams record: a string counts as 4 bytes, the
// cardinal as 4 more.
template <class TItem>
constexpr Integer kStreamedSize = std::is_same_v<TItem, TDIAnsiStringItem> ? 4 : 8;

template <class TItem>
Integer ExtraBytes(const TDIContainer* Container) {
  return Container->ItemHandler()->ItemSize() - static_cast<Integer>(sizeof(TItem));
}

template <class TItem>
Integer StreamedItemSize(const TDIContainer* Container) {
  return ExtraBytes<TItem>(Container) + kStreamedSize<TItem>;
}

template <class TItem>
void WriteExtra(TDIContainer* Container, TDIBinaryWriter* Writer, const void* Item) {
  if (Integer extra = ExtraBytes<TItem>(Container); extra > 0)
    Writer->WriteBuffer(static_cast<const Byte*>(Item) + sizeof(TItem), extra);
}

template <class TItem>
void ReadExtra(TDIContainer* Container, TDIBinaryReader* Reader, void* Item) {
  if (Integer extra = ExtraBytes<TItem>(Container); extra > 0)
    Reader->ReadBuffer(static_cast<Byte*>(Item) + sizeof(TItem), extra);
}

// Hooks up the events both handlers share: free, header and the string.
template <class TItem>
TDIItemHandler* NewHandler() {
  auto* h = new TDIItemHandler();
  h->SetItemSize(sizeof(TItem));
  h->SetOnFreeItem([](void* Item) { static_cast<TDIAnsiStringItem*>(Item)->Release(); });
  h->SetOnWriteHeader([](TDIContainer* Container, TDIBinaryWriter* Writer, void*) {
    Writer->WriteInteger(StreamedItemSize<TItem>(Container));
  });
  h->SetOnReadHeader([](TDIContainer* Container, TDIBinaryReader* Reader, void*) {
    Integer size = Reader->ReadInteger();
    if (size != StreamedItemSize<TItem>(Container)) Container->ErrorFmt("Invalid ItemSize (%d)", {size});
  });
  return h;
}

TDIItemHandler* CreateAnsiStringHandler() {
  using TItem = TDIAnsiStringItem;
  TDIItemHandler* h = NewHandler<TItem>();
  h->SetOnInitItem([](void* Item) { static_cast<TItem*>(Item)->FText = nullptr; });
  h->SetOnCompareItems([](const void* Item1, const void* Item2) {
    return CompareOrdinal(static_cast<const TItem*>(Item1)->Text(), static_cast<const TItem*>(Item2)->Text());
  });
  h->SetOnCopyItem([](const void* Source, void* Dest) {
    static_cast<TItem*>(Dest)->SetText(static_cast<const TItem*>(Source)->Text());
  });
  h->SetOnWriteItem([](TDIContainer* Container, TDIBinaryWriter* Writer, const void* Item, void*) {
    Writer->WriteAnsiString(static_cast<const TItem*>(Item)->Text());
    WriteExtra<TItem>(Container, Writer, Item);
  });
  h->SetOnReadItem([](TDIContainer* Container, TDIBinaryReader* Reader, void* Item, void*) {
    static_cast<TItem*>(Item)->SetText(Reader->ReadAnsiString());
    ReadExtra<TItem>(Container, Reader, Item);
  });
  return h;
}

TDIItemHandler* CreateAnsiStringCardinalHandler() {
  using TItem = TDIAnsiStringCardinalItem;
  TDIItemHandler* h = NewHandler<TItem>();
  h->SetOnInitItem([](void* Item) {
    auto* item = static_cast<TItem*>(Item);
    item->Str.FText = nullptr;
    item->Number = 0;
  });
  h->SetOnCopyItem([](const void* Source, void* Dest) {
    auto* source = static_cast<const TItem*>(Source);
    auto* dest = static_cast<TItem*>(Dest);
    dest->Str.SetText(source->Str.Text());
    dest->Number = source->Number;
  });
  h->SetOnWriteItem([](TDIContainer* Container, TDIBinaryWriter* Writer, const void* Item, void*) {
    auto* item = static_cast<const TItem*>(Item);
    Writer->WriteAnsiString(item->Str.Text());
    Writer->WriteCardinal(item->Number);
    WriteExtra<TItem>(Container, Writer, Item);
  });
  h->SetOnReadItem([](TDIContainer* Container, TDIBinaryReader* Reader, void* Item, void*) {
    auto* item = static_cast<TItem*>(Item);
    item->Str.SetText(Reader->ReadAnsiString());
    item->Number = Reader->ReadCardinal();
    ReadExtra<TItem>(Container, Reader, Item);
  });
  return h;
}

TDIItemHandler* gAnsiStringHandler = nullptr;
TDIItemHandler* gAnsiStringCardinalHandler = nullptr;

void FreeHandler(TDIItemHandler*& Handler) {
  if (!Handler) return;
  Handler->BeforeDestruction();
  FreeAndNil(Handler);
}

}  // namespace

TDIItemHandler* AnsiStringItemHandler() {
  if (!gAnsiStringHandler) gAnsiStringHandler = CreateAnsiStringHandler();
  return gAnsiStringHandler;
}

TDIItemHandler* AnsiStringCardinalItemHandler() {
  if (!gAnsiStringCardinalHandler) gAnsiStringCardinalHandler = CreateAnsiStringCardinalHandler();
  return gAnsiStringCardinalHandler;
}

void FreeAnsiStringItemHandler() { FreeHandler(gAnsiStringHandler); }

void FreeAnsiStringCardinalItemHandler() { FreeHandler(gAnsiStringCardinalHandler); }

// ---- Vectors ----------------------------------------------------------------

AnsiString TDIAnsiStringVector::GetString(Integer Index) const {
  CheckIndex(Index);
  return static_cast<const TDIAnsiStringItem*>(ItemAt(Index))->Text();
}

void TDIAnsiStringVector::SetString(Integer Index, const AnsiString& Value) {
  CheckIndex(Index);
  static_cast<TDIAnsiStringItem*>(ItemAt(Index))->SetText(Value);
}

void TDIAnsiStringVector::AssignFromStrings(TStrings* Strings) {
  Clear();
  SetCount(Strings->Count());
  for (Integer i = 0; i < FCount; ++i) static_cast<TDIAnsiStringItem*>(ItemAt(i))->SetText(Strings->Strings(i));
}

Cardinal TDIAnsiStringCardinalVector::GetCardinal(Integer Index) const {
  CheckIndex(Index);
  return static_cast<const TDIAnsiStringCardinalItem*>(ItemAt(Index))->Number;
}
