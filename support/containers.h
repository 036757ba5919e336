// Containers of fixed-size items whose behaviour (initialise, free,
// compare, copy, read, write) comes from a separate item handler, so that
// one container class serves any item type.
//
// Items live as raw bytes in one block that is moved with memmove and
// realloc, so an item type must be trivially relocatable: one that needs
// more (a string, say) holds it through a pointer. An item is addressed by
// a pointer to its first byte.
#pragma once

#include <functional>
#include <initializer_list>

#include "platform/rtl/classes.h"
#include "platform/rtl/closure.h"
#include "platform/rtl/sysutils.h"

class TDIBinaryReader;
class TDIBinaryWriter;
class TDIContainer;
class TStream;

// Raised with "Class <class name of the object at fault>: <text>".
RTL_EXCEPTION(EDIContainerError, Exception)

class TDIErrorObject : public TPersistent {
  RTL_CLASS(TDIErrorObject, TPersistent)

 public:
  [[noreturn]] void Error(const AnsiString& Msg) const;
  [[noreturn]] void ErrorFmt(const AnsiString& Fmt, std::initializer_list<TVarRec> Args) const;
};

class TDIBaseHandler : public TDIErrorObject {
  RTL_CLASS(TDIBaseHandler, TDIErrorObject)
  friend class TDIContainer;
  Integer FInUseCount = 0;

 public:
  // The number of containers created with this handler and not destroyed.
  Integer InUseCount() const { return FInUseCount; }
  // Raises "ItemHandler in use during destruction" while containers still
  // use the handler. A destructor cannot raise, so whoever frees a handler
  // calls this first and keeps the handler when it raises.
  void BeforeDestruction() const;
};

using TDIInitItemEvent = TClosure<void(void* Item)>;
using TDIFreeItemEvent = TClosure<void(void* Item)>;
using TDICompareItemsEvent = TClosure<Integer(const void* Item1, const void* Item2)>;
using TDICopyItemEvent = TClosure<void(const void* SourceItem, void* DestItem)>;
using TDIReadItemEvent =
    TClosure<void(TDIContainer* Container, TDIBinaryReader* Reader, void* Item, void* UserData)>;
using TDIWriteItemEvent =
    TClosure<void(TDIContainer* Container, TDIBinaryWriter* Writer, const void* Item, void* UserData)>;
using TDIReadHeaderEvent = TClosure<void(TDIContainer* Container, TDIBinaryReader* Reader, void* UserData)>;
using TDIWriteHeaderEvent = TClosure<void(TDIContainer* Container, TDIBinaryWriter* Writer, void* UserData)>;

// Every setter raises "ItemHandler in use while setting ItemSize" or
// "ItemHandler in use while assigning <event name>" while a container uses
// the handler.
class TDIItemHandler : public TDIBaseHandler {
  RTL_CLASS(TDIItemHandler, TDIBaseHandler)
  Integer FItemSize = 0;
  TDIInitItemEvent FOnInitItem;
  TDIFreeItemEvent FOnFreeItem;
  TDICompareItemsEvent FOnCompareItems;
  TDICopyItemEvent FOnCopyItem;
  TDIReadItemEvent FOnReadItem;
  TDIWriteItemEvent FOnWriteItem;
  TDIReadHeaderEvent FOnReadHeader;
  TDIWriteHeaderEvent FOnWriteHeader;

  void CheckNotInUse(const char* EventName) const;

 public:
  Integer ItemSize() const { return FItemSize; }
  void SetItemSize(Integer Value);
  const TDIInitItemEvent& OnInitItem() const { return FOnInitItem; }
  void SetOnInitItem(const TDIInitItemEvent& Value);
  const TDIFreeItemEvent& OnFreeItem() const { return FOnFreeItem; }
  void SetOnFreeItem(const TDIFreeItemEvent& Value);
  const TDICompareItemsEvent& OnCompareItems() const { return FOnCompareItems; }
  void SetOnCompareItems(const TDICompareItemsEvent& Value);
  const TDICopyItemEvent& OnCopyItem() const { return FOnCopyItem; }
  void SetOnCopyItem(const TDICopyItemEvent& Value);
  const TDIReadItemEvent& OnReadItem() const { return FOnReadItem; }
  void SetOnReadItem(const TDIReadItemEvent& Value);
  const TDIWriteItemEvent& OnWriteItem() const { return FOnWriteItem; }
  void SetOnWriteItem(const TDIWriteItemEvent& Value);
  const TDIReadHeaderEvent& OnReadHeader() const { return FOnReadHeader; }
  void SetOnReadHeader(const TDIReadHeaderEvent& Value);
  const TDIWriteHeaderEvent& OnWriteHeader() const { return FOnWriteHeader; }
  void SetOnWriteHeader(const TDIWriteHeaderEvent& Value);
};

// Whether an item matches a value.
using TDISameItemsFunc = std::function<bool(const void* Item, const void* Value)>;
using TDIIterateItemsEvent = TClosure<void(void* Item)>;

// Stream flags of ReadFromFiler and WriteToFiler.
constexpr Cardinal DI_FILER_SIGNATURE = 1;
constexpr Cardinal DI_FILER_VERSION = 2;
constexpr Cardinal DI_FILER_HEADER = 4;
constexpr Cardinal DI_FILER_ALL = DI_FILER_SIGNATURE | DI_FILER_VERSION | DI_FILER_HEADER;

class TDIContainer : public TDIErrorObject {
  RTL_CLASS(TDIContainer, TDIErrorObject)

 protected:
  TDIItemHandler* FItemHandler;
  Integer FCount = 0;

  // One binary property named after the class, stored only when the
  // container is not empty, with ReadData and WriteData as its procedures.
  void DefineProperties(TFiler* Filer) override;

 public:
  // Takes a use of the handler; a derived class that can be given a null
  // handler refuses it ("ItemHandler is nil") in its own constructor, where
  // the error names that class.
  explicit TDIContainer(TDIItemHandler* ItemHandler);
  // Gives the use of the handler back; a derived class clears its items in
  // its own destructor.
  ~TDIContainer() override;

  TDIItemHandler* ItemHandler() const { return FItemHandler; }
  Integer Count() const { return FCount; }
  bool IsEmpty() const { return FCount == 0; }
  bool NotEmpty() const { return FCount != 0; }

  virtual void Clear() = 0;
  // Raise "SameItems not assigned" for an empty match function.
  virtual bool AnyItem(const void* Value, const TDISameItemsFunc& SameItems) = 0;
  virtual bool AnyItemBackward(const void* Value, const TDISameItemsFunc& SameItems) = 0;
  // Raises "IterateItems not assigned" for an empty visitor.
  virtual void IterateItems(const TDIIterateItemsEvent& Visitor) = 0;
  virtual void* FirstThat(const void* Value, const TDISameItemsFunc& SameItems) = 0;
  virtual void* LastThat(const void* Value, const TDISameItemsFunc& SameItems) = 0;
  virtual void ReadFromFiler(TDIBinaryReader* Reader, Cardinal Flags, void* UserData) = 0;
  virtual void WriteToFiler(TDIBinaryWriter* Writer, Cardinal Flags, void* UserData) = 0;

  // The data of the binary property: ReadFromFiler or WriteToFiler with
  // every flag over a 4096-byte buffer. A null stream raises "Stream is
  // nil". WriteData flushes before it returns, so a failed write raises.
  void ReadData(TStream* Stream);
  void WriteData(TStream* Stream);
};

class TDILinearContainer : public TDIContainer {
  RTL_CLASS(TDILinearContainer, TDIContainer)

 public:
  using TDIContainer::TDIContainer;
  // Return the new item; the Raw forms leave it for the caller to fill.
  virtual void* InsertFirst() = 0;
  virtual void* InsertFirstRaw() = 0;
  virtual void* InsertLast() = 0;
  virtual void* InsertLastRaw() = 0;
  // Raise "List index out of bounds (%d)" with the count when empty.
  virtual void* FirstItem() = 0;
  virtual void* LastItem() = 0;
};

// The items packed in order in one block of Capacity() x ItemSize bytes.
// Capacity grows to capacity(n) when the count outgrows capacity(count),
// and shrinks to capacity(n) when the count falls below the threshold of
// the count before; capacity(n) is n for a power of two, else the first of
// b + c, b + 2c, b + 3c, b + 4c that holds n (b the largest power of two
// not above n, c a quarter of b but at least 2).
class TDIVector : public TDILinearContainer {
  RTL_CLASS(TDIVector, TDILinearContainer)
  Byte* FItems = nullptr;
  Integer FCapacity = 0;

  Byte* At(Integer Index) const;
  void Realloc(Integer NewCapacity);
  void Grow(Integer NewCount);
  void Shrink(Integer NewCount);

 public:
  // Raises "ItemHandler is nil" for a null handler.
  explicit TDIVector(TDIItemHandler* ItemHandler);
  ~TDIVector() override;

  Integer Capacity() const { return FCapacity; }

  void Clear() override;
  bool AnyItem(const void* Value, const TDISameItemsFunc& SameItems) override;
  bool AnyItemBackward(const void* Value, const TDISameItemsFunc& SameItems) override;
  void IterateItems(const TDIIterateItemsEvent& Visitor) override;
  void* FirstThat(const void* Value, const TDISameItemsFunc& SameItems) override;
  void* LastThat(const void* Value, const TDISameItemsFunc& SameItems) override;
  // Signature "DIVC" and version 1 (flags 1 and 2), the handler's header
  // (flag 4), the count, then the items. A failed read keeps the items read
  // so far.
  void ReadFromFiler(TDIBinaryReader* Reader, Cardinal Flags, void* UserData) override;
  void WriteToFiler(TDIBinaryWriter* Writer, Cardinal Flags, void* UserData) override;

  void* InsertFirst() override;
  void* InsertFirstRaw() override;
  void* InsertLast() override;
  void* InsertLastRaw() override;
  void* FirstItem() override;
  void* LastItem() override;

  // "Container is empty" on an empty vector.
  void DeleteLast();
  // "List index out of bounds (%d)" for a negative count.
  void SetCount(Integer NewCount);

  // From another vector with the same handler ("Itemhandlers do not
  // match") whose OnCopyItem is assigned ("OnCopyItems not assigned").
  void Assign(TPersistent* Source) override;

 protected:
  // The item at Index, unchecked.
  void* ItemAt(Integer Index) const { return At(Index); }
  // Raises "List index out of bounds (%d)" outside 0..Count-1.
  void CheckIndex(Integer Index) const;
};
