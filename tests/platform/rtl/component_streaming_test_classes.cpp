#include "component_streaming_test_classes.h"

#include <algorithm>

#include "platform/rtl/form_text.h"
#include "platform/rtl/streams.h"

int LiveStreamObjects = 0;
std::vector<AnsiString> LoadedLog;
std::vector<TComponentState> LoadedStates;
const TIdentMapEntry TestColorIdents[2] = {{clTestRed, "clRed"}, {clTestWindow, "clWindow"}};

RTL_IMPLEMENT_PUBLISHED(TTestFont,
                        RTL_PROP(Name),
                        RTL_PROP(Size).Default(8),
                        RTL_PROP(Style).Default({}),
                        RTL_PROP(Color).Default(clTestWindow).Idents(TestColorIdents))

RTL_IMPLEMENT_PUBLISHED(TTestItem, RTL_PROP(Caption), RTL_PROP(Value).Default(0), RTL_PROP(Target))

RTL_IMPLEMENT_PUBLISHED(TTestControl,
                        RTL_PROP(Left),
                        RTL_PROP(Top),
                        RTL_PROP(Width).Default(64),
                        RTL_PROP(Height).Default(24),
                        RTL_PROP(Caption),
                        RTL_PROP(Hint),
                        RTL_PROP(Align).Default(taNone),
                        RTL_PROP(Anchors).Default({akLeft, akTop}),
                        RTL_PROP(Visible).Default(true),
                        RTL_PROP(ParentFont).Default(true),
                        RTL_PROP(Font).Stored<&Self::IsFontStored>(),
                        RTL_PROP(Scale),
                        RTL_PROP(Ratio),
                        RTL_PROP(Big).Default(0),
                        RTL_PROP(Accel).Default('\0'),
                        RTL_PROP(Items).Stored<&Self::IsItemsStored>(),
                        RTL_PROP(Link),
                        RTL_EVENT(OnClick),
                        RTL_EVENT(OnChange))

RTL_IMPLEMENT_PUBLISHED(TTestButton, RTL_PROP(Width).Default(75))

RTL_IMPLEMENT_PUBLISHED(TTestTimer, RTL_PROP(Interval).Default(1000), RTL_PROP(Enabled).Default(true),
                        RTL_PROP_READONLY(Ticks), RTL_EVENT(OnTimer))

RTL_IMPLEMENT_PUBLISHED(TTestForm,
                        RTL_HANDLER(ButtonClick),
                        RTL_HANDLER(FormChange),
                        RTL_HANDLER(TimerTick),
                        RTL_HANDLER(Resize),
                        RTL_FIELD(Button1),
                        RTL_FIELD(Timer1))

RTL_IMPLEMENT_CLASS(TTestFrame)
RTL_IMPLEMENT_CLASS(TTestForm2)

void TTestFont::Assign(TPersistent* Source) {
  auto* f = dynamic_cast<TTestFont*>(Source);
  if (!f) return TPersistent::Assign(Source);
  FName = f->FName;
  FSize = f->FSize;
  FStyle = f->FStyle;
  FColor = f->FColor;
}

TTestControl::TTestControl(TComponent* AOwner)
    : TComponent(AOwner), FFont(new TTestFont), FItems(new TOwnedCollection(this, TTestItem::StaticClass())) {
  FItems->SetPropName("Items");
}

TTestControl::~TTestControl() {
  // A control frees its child controls, whoever owns them.
  while (!FControls.empty()) delete FControls.back();
  SetParent(nullptr);
  delete FItems;
  delete FFont;
}

void TTestControl::SetParent(TTestControl* Value) {
  if (FParent == Value) return;
  if (FParent) std::erase(FParent->FControls, this);
  FParent = Value;
  if (FParent) FParent->FControls.push_back(this);
}

void TTestControl::SetParentComponent(TComponent* Value) { SetParent(dynamic_cast<TTestControl*>(Value)); }

TComponent* TTestControl::GetParentComponent() const { return FParent; }

void TTestControl::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
  for (TTestControl* c : FControls)
    if (c->Owner() == Root) Proc(c);
}

void TTestControl::SetFont(TTestFont* Value) {
  FFont->Assign(Value);
  FParentFont = false;
}

void TTestControl::SetLink(TTestControl* Value) {
  if (FLink == Value) return;
  if (FLink) FLink->RemoveFreeNotification(this);
  FLink = Value;
  if (FLink) FLink->FreeNotification(this);
}

void TTestControl::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FLink) FLink = nullptr;
}

void TTestControl::Loaded() {
  LoadedStates.push_back(ComponentState());
  TComponent::Loaded();
  LoadedLog.push_back(FLink ? Name() + ">" + FLink->Name() : Name());
}

void TTestControl::DefineProperties(TFiler* Filer) {
  TComponent::DefineProperties(Filer);
  auto* ancestor = dynamic_cast<TTestControl*>(Filer->Ancestor());
  Filer->DefineBinaryProperty("Data", TStreamProc(this, &TTestControl::ReadData),
                              TStreamProc(this, &TTestControl::WriteData),
                              ancestor ? ancestor->FData != FData : !FData.empty());
  Filer->DefineProperty("Lines", TReaderProc(this, &TTestControl::ReadLines), TWriterProc(this, &TTestControl::WriteLines),
                        ancestor ? ancestor->FLines != FLines : !FLines.empty());
}

void TTestControl::ReadData(TStream* Stream) {
  FData.resize(static_cast<size_t>(Stream->Size()));
  if (!FData.empty()) Stream->ReadBuffer(FData.data(), static_cast<Integer>(FData.size()));
}

void TTestControl::WriteData(TStream* Stream) { Stream->WriteBuffer(FData.data(), static_cast<Integer>(FData.size())); }

void TTestControl::ReadLines(TReader* Reader) {
  FLines.clear();
  Reader->ReadListBegin();
  while (!Reader->EndOfList()) FLines.push_back(Reader->ReadString());
  Reader->ReadListEnd();
}

void TTestControl::WriteLines(TWriter* Writer) {
  Writer->WriteListBegin();
  for (const AnsiString& s : FLines) Writer->WriteString(s);
  Writer->WriteListEnd();
}

void TTestTimer::Loaded() {
  LoadedStates.push_back(ComponentState());
  TComponent::Loaded();
  LoadedLog.push_back(Name());
}

void TTestForm::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
  for (Integer i = 0; i < ComponentCount(); ++i)
    if (!Components(i)->HasParent()) Proc(Components(i));
  TTestControl::GetChildren(Proc, Root);
}

void TTestForm::ButtonClick(TObject*) { LastHandler = "ButtonClick"; }
void TTestForm::FormChange(TObject*) { LastHandler = "FormChange"; }
void TTestForm::TimerTick(TObject*) { LastHandler = "TimerTick"; }
void TTestForm::Resize(TObject*, Integer) { LastHandler = "Resize"; }

void RegisterStreamTestClasses() {
  static const bool registered = [] {
    RegisterClasses({TTestControl::StaticClass(), TTestButton::StaticClass(), TTestTimer::StaticClass(),
                     TTestFrame::StaticClass(), TTestForm::StaticClass(), TTestForm2::StaticClass()});
    return true;
  }();
  (void)registered;
}

TComponent* ReadFromText(const AnsiString& Text, TComponent* Root) {
  TStringStream input(Text);
  return ReadComponentText(&input, Root);
}

AnsiString WriteToText(TComponent* Root, TComponent* Ancestor) {
  TMemoryStream binary;
  TWriter writer(&binary, 4096);
  writer.WriteDescendent(Root, Ancestor);
  binary.SetPosition(0);
  TStringStream text;
  ObjectBinaryToText(&binary, &text);
  return text.DataString();
}
