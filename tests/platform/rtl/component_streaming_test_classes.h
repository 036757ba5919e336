// Components for the streaming tests: a form with controls that have a
// parent, non-visual components, a font sub-object, a collection, a binary
// and a list property, events and references. Every object counts itself
// in LiveStreamObjects, so a test can check that nothing leaked.
#pragma once

#include <vector>

#include "platform/rtl/classes.h"
#include "platform/rtl/component_streaming.h"
#include "platform/rtl/properties.h"

RTL_ENUM(TTestAlign, taNone, taTop, taBottom, taLeft, taRight, taClient)
RTL_ENUM(TTestAnchor, akLeft, akTop, akRight, akBottom)
using TTestAnchors = TSet<TTestAnchor, 8>;
RTL_ENUM(TTestFontStyle, fsBold, fsItalic, fsUnderline, fsStrikeOut)
using TTestFontStyles = TSet<TTestFontStyle, 8>;

constexpr Integer clTestRed = 0x0000FF;
constexpr Integer clTestWindow = -16777211;
extern const TIdentMapEntry TestColorIdents[2];

extern int LiveStreamObjects;
// "Name" for every Loaded call, in order; "Name>Link" when the control's
// link was set by then. LoadedStates: the component state at each call.
extern std::vector<AnsiString> LoadedLog;
extern std::vector<TComponentState> LoadedStates;

struct TLiveCount {
  TLiveCount() { ++LiveStreamObjects; }
  ~TLiveCount() { --LiveStreamObjects; }
  TLiveCount(const TLiveCount&) = delete;
  TLiveCount& operator=(const TLiveCount&) = delete;
};

class TTestFont : public TPersistent {
  RTL_CLASS(TTestFont, TPersistent)
  TLiveCount FLive;
  AnsiString FName = "Tahoma";
  Integer FSize = 8;
  TTestFontStyles FStyle;
  Integer FColor = clTestWindow;

 public:
  TTestFont() = default;
  void Assign(TPersistent* Source) override;
  const AnsiString& Name() const { return FName; }
  void SetName(const AnsiString& Value) { FName = Value; }
  Integer Size() const { return FSize; }
  void SetSize(Integer Value) { FSize = Value; }
  TTestFontStyles Style() const { return FStyle; }
  void SetStyle(TTestFontStyles Value) { FStyle = Value; }
  Integer Color() const { return FColor; }
  void SetColor(Integer Value) { FColor = Value; }
};

class TTestControl;

class TTestItem : public TCollectionItem {
  RTL_CLASS(TTestItem, TCollectionItem)
  TLiveCount FLive;
  AnsiString FCaption;
  Integer FValue = 0;
  TTestControl* FTarget = nullptr;

 public:
  explicit TTestItem(TCollection* Collection) : TCollectionItem(Collection) {}
  const AnsiString& Caption() const { return FCaption; }
  void SetCaption(const AnsiString& Value) { FCaption = Value; }
  Integer Value() const { return FValue; }
  void SetValue(Integer Value) { FValue = Value; }
  TTestControl* Target() const { return FTarget; }
  void SetTarget(TTestControl* Value) { FTarget = Value; }
};

// A control: it has a parent among the controls and writes its children
// that belong to the root being written.
class TTestControl : public TComponent {
  RTL_CLASS(TTestControl, TComponent)
  TLiveCount FLive;
  TTestControl* FParent = nullptr;
  std::vector<TTestControl*> FControls;
  Integer FLeft = 0, FTop = 0, FWidth = 64, FHeight = 24;
  AnsiString FCaption;
  WideString FHint;
  TTestAlign FAlign = taNone;
  TTestAnchors FAnchors{akLeft, akTop};
  bool FVisible = true;
  bool FParentFont = true;
  double FScale = 0;
  float FRatio = 0;
  Int64 FBig = 0;
  char FAccel = '\0';
  TTestFont* FFont;
  TOwnedCollection* FItems;
  TTestControl* FLink = nullptr;
  AnsiString FData;
  std::vector<AnsiString> FLines;

  void ReadData(TStream* Stream);
  void WriteData(TStream* Stream);
  void ReadLines(TReader* Reader);
  void WriteLines(TWriter* Writer);
  bool IsFontStored() const { return !FParentFont; }
  bool IsItemsStored() const { return FItems->Count() > 0; }

 protected:
  void DefineProperties(TFiler* Filer) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void SetParentComponent(TComponent* Value) override;

 public:
  explicit TTestControl(TComponent* AOwner);
  ~TTestControl() override;

  void Loaded() override;
  bool HasParent() const override { return FParent != nullptr; }
  TComponent* GetParentComponent() const override;
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

  TNotifyEvent OnClick;
  TNotifyEvent OnChange;
  int Clicks = 0;

  TTestControl* Parent() const { return FParent; }
  void SetParent(TTestControl* Value);
  const std::vector<TTestControl*>& Controls() const { return FControls; }
  Integer Left() const { return FLeft; }
  void SetLeft(Integer Value) { FLeft = Value; }
  Integer Top() const { return FTop; }
  void SetTop(Integer Value) { FTop = Value; }
  Integer Width() const { return FWidth; }
  void SetWidth(Integer Value) { FWidth = Value; }
  Integer Height() const { return FHeight; }
  void SetHeight(Integer Value) { FHeight = Value; }
  const AnsiString& Caption() const { return FCaption; }
  void SetCaption(const AnsiString& Value) { FCaption = Value; }
  const WideString& Hint() const { return FHint; }
  void SetHint(const WideString& Value) { FHint = Value; }
  TTestAlign Align() const { return FAlign; }
  void SetAlign(TTestAlign Value) { FAlign = Value; }
  TTestAnchors Anchors() const { return FAnchors; }
  void SetAnchors(TTestAnchors Value) { FAnchors = Value; }
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value) { FVisible = Value; }
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool Value) { FParentFont = Value; }
  double Scale() const { return FScale; }
  void SetScale(double Value) { FScale = Value; }
  float Ratio() const { return FRatio; }
  void SetRatio(float Value) { FRatio = Value; }
  Int64 Big() const { return FBig; }
  void SetBig(Int64 Value) { FBig = Value; }
  char Accel() const { return FAccel; }
  void SetAccel(char Value) { FAccel = Value; }
  TTestFont* Font() const { return FFont; }
  // Changing the font makes it the control's own.
  void SetFont(TTestFont* Value);
  TOwnedCollection* Items() const { return FItems; }
  void SetItems(TOwnedCollection* Value) { FItems->Assign(Value); }
  TTestControl* Link() const { return FLink; }
  void SetLink(TTestControl* Value);
  const AnsiString& Data() const { return FData; }
  void SetData(const AnsiString& Value) { FData = Value; }
  std::vector<AnsiString>& Lines() { return FLines; }
};

// A control that publishes Width again with another default.
class TTestButton : public TTestControl {
  RTL_CLASS(TTestButton, TTestControl)

 public:
  explicit TTestButton(TComponent* AOwner) : TTestControl(AOwner) { SetWidth(75); }
};

// A component without parent, written as a child of the root.
class TTestTimer : public TComponent {
  RTL_CLASS(TTestTimer, TComponent)
  TLiveCount FLive;
  Integer FInterval = 1000;
  bool FEnabled = true;
  Integer FTicks = 0;

 public:
  explicit TTestTimer(TComponent* AOwner) : TComponent(AOwner) {}
  void Loaded() override;
  Integer Interval() const { return FInterval; }
  void SetInterval(Integer Value) { FInterval = Value; }
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value) { FEnabled = Value; }
  Integer Ticks() const { return FTicks; }
  TNotifyEvent OnTimer;
};

// A form: the root of a description, with handlers its events bind to and
// fields the reader points at its components.
class TTestForm : public TTestControl {
  RTL_CLASS(TTestForm, TTestControl)

 public:
  explicit TTestForm(TComponent* AOwner) : TTestControl(AOwner) {}
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

  TTestControl* Button1 = nullptr;
  TTestTimer* Timer1 = nullptr;
  AnsiString LastHandler;
  void ButtonClick(TObject* Sender);
  void FormChange(TObject* Sender);
  void TimerTick(TObject* Sender);
  // Not an event handler: its type fits no event.
  void Resize(TObject* Sender, Integer Width);
};

// A frame: placed inline, it owns the components of its own description.
class TTestFrame : public TTestControl {
  RTL_CLASS(TTestFrame, TTestControl)

 protected:
  TComponent* GetChildOwner() override { return this; }

 public:
  explicit TTestFrame(TComponent* AOwner) : TTestControl(AOwner) {}
};

class TTestForm2 : public TTestForm {
  RTL_CLASS(TTestForm2, TTestForm)

 public:
  explicit TTestForm2(TComponent* AOwner) : TTestForm(AOwner) {}
};

// Registers the test classes once.
void RegisterStreamTestClasses();
// Reads a root from a text description.
TComponent* ReadFromText(const AnsiString& Text, TComponent* Root = nullptr);
// The text description of a root, through the binary form.
AnsiString WriteToText(TComponent* Root, TComponent* Ancestor = nullptr);
