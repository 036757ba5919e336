// Component streaming: the binary form of components ("TPF0"), TReader and
// TWriter, defined properties, component references resolved after a whole
// tree is read (also across roots), and the loading protocol.
//
// A stream holds a root component: its class and name, its properties (each
// a name, dotted for nested objects like "Font.Style", and a typed value),
// an empty name, then its children in the same shape, then an empty entry.
// Every component read gets csLoading and csReading; when the whole tree is
// read and its references are resolved, csReading is cleared and Loaded
// runs on each component in the order they were read. If reading fails,
// the components it created are freed before the error propagates.
//
// The tree is decided by the components: the reader creates each child
// with the Owner that GetChildOwner of the component holding it gives (the
// root when null), calls SetParentComponent with that component's
// GetChildParent, and has it read itself through ReadState; the writer
// asks GetChildren for the children to write.
#pragma once

#include <memory>
#include <vector>

#include "platform/rtl/classes.h"
#include "platform/rtl/closure.h"
#include "platform/rtl/properties.h"

class TStream;

// Value kinds of the binary form, with their stored numbers. A byte, so
// that NextValue can also show a component entry's prefix (0xF0 and up).
enum TValueType : Byte {
  vaNull,
  vaList,
  vaInt8,
  vaInt16,
  vaInt32,
  vaExtended,
  vaString,
  vaIdent,
  vaFalse,
  vaTrue,
  vaBinary,
  vaSet,
  vaLString,
  vaNil,
  vaCollection,
  vaSingle,
  vaCurrency,
  vaDate,
  vaWString,
  vaInt64,
  vaUTF8String,
  vaDouble
};

// Flags of a component entry: an `inherited` component (already made by
// an ancestor's description), one with a child position, an `inline` one.
enum TFilerFlag { ffInherited, ffChildPos, ffInline };
using TFilerFlags = TSet<TFilerFlag, 8>;

using TReaderProc = TClosure<void(TReader* Reader)>;
using TWriterProc = TClosure<void(TWriter* Writer)>;
using TStreamProc = TClosure<void(TStream* Stream)>;

namespace rtl::detail {
struct TReadContext;

// Makes the reads inside it one load: Finish runs Loaded on every
// component they read, once, in reading order, then resolves references
// between roots; without Finish (an error) the components they created are
// freed. Scopes nest; only the outermost acts. TReader opens one per root.
class TLoadingScope {
  TReadContext* FContext;
  bool FOuter;
  bool FFinished = false;

 public:
  TLoadingScope();
  ~TLoadingScope();
  TLoadingScope(const TLoadingScope&) = delete;
  TLoadingScope& operator=(const TLoadingScope&) = delete;
  void Finish();
  TReadContext& Context() const { return *FContext; }
};

// Text descriptions: where each entry of the binary form came from.
struct TSourceLines {
  std::vector<std::pair<Int64, Integer>> Entries;  // binary offset, line; offsets ascending
  Integer LineAt(Int64 Offset) const;
};
}  // namespace rtl::detail

class TFiler : public TObject {
  RTL_CLASS(TFiler, TObject)

 protected:
  TStream* FStream;
  Integer FBufSize;
  TComponent* FRoot = nullptr;
  TComponent* FLookupRoot = nullptr;
  TPersistent* FAncestor = nullptr;
  bool FIgnoreChildren = false;

 public:
  TFiler(TStream* Stream, Integer BufSize);

  // Declares a value of the object beyond its published properties, for
  // TPersistent::DefineProperties. The reader calls ReadData when the
  // stream holds a value of that name; the writer calls WriteData when
  // HasData.
  virtual void DefineProperty(const AnsiString& Name, const TReaderProc& ReadData, const TWriterProc& WriteData,
                              bool HasData) = 0;
  // The same for a block of bytes, which the procedures read from and
  // write to a memory stream.
  virtual void DefineBinaryProperty(const AnsiString& Name, const TStreamProc& ReadData,
                                    const TStreamProc& WriteData, bool HasData) = 0;
  virtual void FlushBuffer() = 0;

  TComponent* Root() const { return FRoot; }
  virtual void SetRoot(TComponent* Value) { FRoot = Value; }
  // The component that names in references and handlers are relative to.
  TComponent* LookupRoot() const { return FLookupRoot; }
  // While writing a descendant, the ancestor's counterpart of the object
  // being written (DefineProperties compares with it); null otherwise.
  TPersistent* Ancestor() const { return FAncestor; }
  void SetAncestor(TPersistent* Value) { FAncestor = Value; }
  bool IgnoreChildren() const { return FIgnoreChildren; }
  void SetIgnoreChildren(bool Value) { FIgnoreChildren = Value; }
};

// ---- TReader --------------------------------------------------------------

using TFindMethodEvent =
    TClosure<void(TReader* Reader, const AnsiString& MethodName, PMethodInfo& Address, bool& Error)>;
using TSetNameEvent = TClosure<void(TReader* Reader, TComponent* Component, AnsiString& Name)>;
using TReaderError = TClosure<void(TReader* Reader, const AnsiString& Message, bool& Handled)>;
using TFindComponentClassEvent = TClosure<void(TReader* Reader, const AnsiString& ClassName, TClass& ComponentClass)>;

// Reads the binary form. Errors raise EReadError ("Invalid property
// value", "Property %s does not exist", "Invalid property path", "Invalid
// stream format", "Ancestor for '%s' not found", "Stream read error"),
// EClassNotFound ("Class %s not found") or what a setter raises.
class TReader : public TFiler {
  RTL_CLASS(TReader, TFiler)
  friend class rtl::detail::TLoadingScope;
  TComponent* FOwner = nullptr;
  TComponent* FParent = nullptr;
  std::vector<char> FBuffer;
  Integer FBufPos = 0;
  Integer FBufEnd = 0;
  AnsiString FPropName;
  bool FCanHandleExcepts = false;
  rtl::detail::TReadContext* FContext = nullptr;
  const rtl::detail::TSourceLines* FSourceLines = nullptr;
  Int64 FErrorPos = -1;             // where the entry being read starts
  TComponent* FReading = nullptr;   // the component whose entry is being read
  const void* FDeclined = nullptr;  // the error OnError last declined

  void FillBuffer();
  void ReadProperties(TPersistent* Instance);
  void ReadPropValue(TPersistent* Instance, PPropInfo PropInfo);
  void ReadSetValue(TPersistent* Instance, PPropInfo PropInfo);
  void AddFixup(TPersistent* Instance, PPropInfo PropInfo, const AnsiString& Name);
  void ResolveFixups(size_t First);
  TComponent* ReadComponentEntry(TComponent* Component);
  TComponent* CreateComponent(TClass ComponentClass, const AnsiString& ClassName);
  void AddLoaded(TComponent* Component);
  static void ExcludeState(TComponent* Component, std::initializer_list<TComponentStateItem> Items);
  void CheckValue(TValueType Value);
  [[noreturn]] void PropValueError();
  [[noreturn]] void PropertyError(const AnsiString& Name);
  void ReadText(TValueType Kind, AnsiString* Ansi, WideString* Wide);
  void SkipBytes(Int64 Count);
  AnsiString FindUniqueName(TComponent* Root, const AnsiString& Name);

 protected:
  // Asks OnError whether to go on after a failed property; the default
  // (without handler) is to stop.
  virtual bool Error(const AnsiString& Message);
  // Root's published handler of that name (OnFindMethod may supply one or
  // accept a missing one by clearing Error); raises "Invalid property
  // value" when there is none.
  virtual PMethodInfo FindMethod(TComponent* Root, const AnsiString& MethodName);
  virtual void SetName(TComponent* Component, AnsiString& Name);
  // The class of a component entry: a class of Root's published fields,
  // OnFindComponentClass, then the class registry.
  virtual TClass FindComponentClass(const AnsiString& ClassName);

 public:
  TReader(TStream* Stream, Integer BufSize = 4096);
  // Gives the bytes read ahead back to the stream.
  ~TReader() override;

  TReaderError OnError;
  TFindMethodEvent OnFindMethod;
  TSetNameEvent OnSetName;
  TFindComponentClassEvent OnFindComponentClass;

  void DefineProperty(const AnsiString& Name, const TReaderProc& ReadData, const TWriterProc& WriteData,
                      bool HasData) override;
  void DefineBinaryProperty(const AnsiString& Name, const TStreamProc& ReadData, const TStreamProc& WriteData,
                            bool HasData) override;
  void FlushBuffer() override;

  // The stream position of the next byte to read.
  Int64 Position() const;
  void SetPosition(Int64 Value);
  void Read(void* Buf, Integer Count);

  TValueType NextValue();
  TValueType ReadValue();
  bool EndOfList() { return NextValue() == vaNull; }
  void ReadListBegin() { CheckValue(vaList); }
  void ReadListEnd() { CheckValue(vaNull); }
  void SkipValue();

  Integer ReadInteger();
  Int64 ReadInt64();
  bool ReadBoolean();
  char ReadChar();
  WideChar ReadWideChar();
  Extended ReadFloat();
  float ReadSingle();
  double ReadDouble();
  Extended ReadCurrency();
  TDateTime ReadDate();
  // Any of the string kinds, as 8-bit (UTF-8) or UTF-16 text.
  AnsiString ReadString();
  WideString ReadWideString();
  // An identifier; also "False", "True", "nil" and "Null" for their kinds.
  AnsiString ReadIdent();
  // A short string without value kind (names in the stream's structure).
  AnsiString ReadStr();
  void ReadSignature();
  void ReadPrefix(TFilerFlags& Flags, Integer& AChildPos);

  // Reads one property (name and value) into Instance.
  void ReadProperty(TPersistent* AInstance);
  // The items of a collection value (after its vaCollection); replaces
  // the collection's items.
  void ReadCollection(TCollection* Collection);
  // Reads a component entry: into Component when given, else into an
  // existing component (inherited entries) or a new one.
  TComponent* ReadComponent(TComponent* Component);
  // Reads a root: the signature, then the root into Root (created from
  // the stream's class when null), then resolves references and runs
  // Loaded. Returns the root.
  TComponent* ReadRootComponent(TComponent* Root);
  // The default ReadState: Instance's properties, then its children.
  void ReadData(TComponent* Instance);

  TComponent* Owner() const { return FOwner; }
  void SetOwner(TComponent* Value) { FOwner = Value; }
  TComponent* Parent() const { return FParent; }
  void SetParent(TComponent* Value) { FParent = Value; }

  // Errors of a read from a text description carry its line (see
  // form_text.h).
  void SetSourceLines(const rtl::detail::TSourceLines* Lines) { FSourceLines = Lines; }
};

// ---- TWriter --------------------------------------------------------------

class TWriter : public TFiler {
  RTL_CLASS(TWriter, TFiler)
  AnsiString FBuffer;
  TComponent* FRootAncestor = nullptr;
  AnsiString FPropPath;

  void WritePropName(const AnsiString& Name);
  void WriteProperty(TPersistent* Instance, PPropInfo PropInfo);
  void WriteObjectProperty(TPersistent* Instance, PPropInfo PropInfo);
  void WriteMethodProperty(TPersistent* Instance, PPropInfo PropInfo);
  void WriteItems(TCollection* Value);
  void WriteChild(TComponent* Child, const std::vector<TComponent*>& AncestorChildren);
  AnsiString ComponentValue(TComponent* Component) const;

 public:
  TWriter(TStream* Stream, Integer BufSize = 4096);
  // Writes out what is still buffered; a failure there is lost, so writers
  // of values call FlushBuffer themselves (the Write*Component functions
  // do).
  ~TWriter() override;

  void DefineProperty(const AnsiString& Name, const TReaderProc& ReadData, const TWriterProc& WriteData,
                      bool HasData) override;
  void DefineBinaryProperty(const AnsiString& Name, const TStreamProc& ReadData, const TStreamProc& WriteData,
                            bool HasData) override;
  void FlushBuffer() override;
  void SetRoot(TComponent* Value) override;

  Int64 Position() const;
  void Write(const void* Buf, Integer Count);
  void WriteValue(TValueType Value);

  void WriteListBegin() { WriteValue(vaList); }
  void WriteListEnd() { WriteValue(vaNull); }
  // The smallest integer kind that holds Value.
  void WriteInteger(Int64 Value);
  void WriteBoolean(bool Value);
  void WriteChar(char Value);
  void WriteWideChar(WideChar Value);
  void WriteFloat(Extended Value);
  void WriteSingle(float Value);
  void WriteDouble(double Value);
  void WriteCurrency(Extended Value);
  void WriteDate(TDateTime Value);
  // ASCII text as vaString (vaLString beyond 255 bytes), other text as
  // vaUTF8String.
  void WriteString(const AnsiString& Value);
  void WriteWideString(const WideString& Value);
  void WriteIdent(const AnsiString& Ident);
  // A short string without value kind; raises EWriteError beyond 255 bytes.
  void WriteStr(const AnsiString& Value);
  void WriteSignature();
  void WritePrefix(TFilerFlags Flags, Integer AChildPos);

  // The stored properties of Instance (those that differ from their
  // defaults, or from Ancestor while writing a descendant), then its
  // defined properties.
  void WriteProperties(TPersistent* Instance);
  void WriteCollection(TCollection* Value);
  void WriteComponent(TComponent* Component);
  // The default WriteState: the entry of Instance and its children.
  void WriteData(TComponent* Instance);
  void WriteRootComponent(TComponent* Root);
  // Writes Root as a descendant of AAncestor: only what differs from it,
  // its components marked inherited.
  void WriteDescendent(TComponent* Root, TComponent* AAncestor);

  TComponent* RootAncestor() const { return FRootAncestor; }
  void SetRootAncestor(TComponent* Value) { FRootAncestor = Value; }
};

// ---- References between roots ---------------------------------------------

// Finds a root component (a form) by name for references between roots.
using TFindGlobalComponent = TComponent* (*)(const AnsiString& Name);
void RegisterFindGlobalComponentProc(TFindGlobalComponent AFindGlobalComponent);
void UnregisterFindGlobalComponentProc(TFindGlobalComponent AFindGlobalComponent);
TComponent* FindGlobalComponent(const AnsiString& Name);
// The component a reference names relative to Root: "Name" (one of
// Root's components), "Owner" (Root itself), "Form2.Button1" (through a
// global root) or "Form2.Owner"; null when there is none.
TComponent* FindNestedComponent(TComponent* Root, const AnsiString& NamePath);
// Resolves references to roots that did not exist when their holders were
// read; the reader calls it after each root.
void GlobalFixupReferences();
