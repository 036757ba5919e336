#include "grid/nx_column_classes.h"

#include "grid/nx_classes.h"
#include "grid/nx_column_collection.h"
#include "grid/nx_displays.h"
#include "platform/forms/image_list.h"
#include "platform/rtl/dateutils.h"
#include "platform/rtl/text_codec.h"

namespace {
constexpr TColumnOptions kTextColumnOptions = kDefaultColumnOptions + coShowTextFitHint;

WideString TodayText() { return AnsiToWide(DateTimeToStr(Date())); }
}  // namespace

RTL_IMPLEMENT_PUBLISHED(TNxTextColumn, RTL_PROP(MaxLength).Default(0), RTL_PROP(MultiLine).Default(false),
                        RTL_PROP(TextAfter), RTL_PROP(TextBefore), RTL_PROP(PasswordChar).Default(0),
                        RTL_PROP(Options).Default(kTextColumnOptions))
RTL_IMPLEMENT_PUBLISHED(TNxImageColumn, RTL_PROP(Images), RTL_PROP(Transparent).Default(true),
                        RTL_PROP(DefaultValue).Stored<&Self::IsDefaultValueStored>())
RTL_IMPLEMENT_PUBLISHED(TNxPopupColumn, RTL_EVENT(OnCloseUp), RTL_EVENT(OnSelect))
RTL_IMPLEMENT_PUBLISHED(TNxDateColumn, RTL_PROP(HideWhenEmpty).Default(false), RTL_PROP(EmptyCaption),
                        RTL_PROP(FormatMask), RTL_PROP(DateSeparator).Default('/'),
                        RTL_PROP(StartDay).Default(dwSunday), RTL_PROP(ShowNoneButton).Default(true),
                        RTL_PROP(TodayCaption).Stored<&Self::IsTodayCaptionStored>(),
                        RTL_PROP(NoneCaption).Stored<&Self::IsNoneCaptionStored>(),
                        RTL_PROP(DefaultValue).Stored<&Self::IsDefaultValueStored>())

void RegisterColumnClasses() {
  for (TClass c : {TNxTextColumn::StaticClass(), TNxImageColumn::StaticClass(), TNxPopupColumn::StaticClass(),
                   TNxDateColumn::StaticClass()})
    if (!GetClass(c->ClassName())) RegisterClass(c);
}

// ---- TNxTextColumn ------------------------------------------------------------------------

TNxTextColumn::TNxTextColumn(TComponent* AOwner) : TNxCustomColumn(AOwner) {
  SetOptions(kTextColumnOptions);
  CreateElements();
}

TClass TNxTextColumn::GetEditorClass() const { return FindColumnEditorClass("TNxEdit"); }
TClass TNxTextColumn::GetDisplayClass() const { return TTextColumnDisplay::StaticClass(); }
Byte TNxTextColumn::GetColumnFlags() const { return 42; }

Integer TNxTextColumn::GetTextWidth(const WideString& Text) const {
  TNxColumnsGrid* G = Columns() ? Columns()->Grid() : nullptr;
  TCanvas* Canvas = G ? G->GridCanvas() : nullptr;
  return (Canvas ? TextWidthWide(Canvas, Text) : 0) + 5;
}

Byte TNxTextColumn::GetTextOptions() const { return FMultiLine ? toMultiLine : 0; }

void TNxTextColumn::GetDrawText(const TCellInfo& Info, WideString& Text) {
  Text = FTextBefore + Info.AsString + FTextAfter;
  if (FPasswordChar) Text.assign(Text.size(), static_cast<WideChar>(static_cast<unsigned char>(FPasswordChar)));
  if (OnGetDrawText) OnGetDrawText(this, Text);
}

bool TNxTextColumn::IsValidEditKey(WideChar Key) const { return Key > u' '; }

void TNxTextColumn::PrepareEditor() {
  inherited::PrepareEditor();
  SetEditorProp("MaxLength", FMaxLength);
  SetEditorProp("PasswordChar", static_cast<unsigned char>(FPasswordChar));
}

void TNxTextColumn::Assign(TPersistent* Source) {
  inherited::Assign(Source);
  if (auto* Src = dynamic_cast<TNxTextColumn*>(Source)) {
    SetMaxLength(Src->MaxLength());
    SetMultiLine(Src->MultiLine());
    SetPasswordChar(Src->PasswordChar());
    SetTextAfter(Src->TextAfter());
    SetTextBefore(Src->TextBefore());
  }
}

void TNxTextColumn::SetMaxLength(Integer Value) {
  FMaxLength = Value;
  RefreshArea(raBody);
}

void TNxTextColumn::SetMultiLine(bool Value) {
  FMultiLine = Value;
  RefreshArea(raBody);
}

void TNxTextColumn::SetTextAfter(const WideString& Value) {
  FTextAfter = Value;
  RefreshArea(raBody);
}

void TNxTextColumn::SetTextBefore(const WideString& Value) {
  FTextBefore = Value;
  RefreshArea(raBody);
}

void TNxTextColumn::SetPasswordChar(char Value) {
  FPasswordChar = Value;
  RefreshArea(raBody);
}

// ---- TNxImageColumn -------------------------------------------------------------------------

TNxImageColumn::TNxImageColumn(TComponent* AOwner) : TNxCustomColumn(AOwner) {
  SetDefaultValue(u"0");
  SetSortType(stNumeric);
  SetCellKind(ckInteger);
  CreateElements();
}

TNxImageColumn::~TNxImageColumn() {
  if (FImages) FImages->RemoveFreeNotification(this);
}

TClass TNxImageColumn::GetDisplayClass() const { return TImageColumnDisplay::StaticClass(); }
Byte TNxImageColumn::GetColumnFlags() const { return 8; }

void TNxImageColumn::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FImages) FImages = nullptr;
}

void TNxImageColumn::SetImages(TCustomImageList* Value) {
  if (FImages == Value) return;
  if (FImages) FImages->RemoveFreeNotification(this);
  FImages = Value;
  if (FImages) FImages->FreeNotification(this);
}

void TNxImageColumn::Assign(TPersistent* Source) {
  inherited::Assign(Source);
  if (auto* Src = dynamic_cast<TNxImageColumn*>(Source)) SetImages(Src->Images());
}

// ---- TNxPopupColumn ---------------------------------------------------------------------------

TNxPopupColumn::TNxPopupColumn(TComponent* AOwner) : TNxTextColumn(AOwner) { WireEditor(); }

void TNxPopupColumn::WireEditor() {
  TComponent* Ed = Editor();
  if (!Ed) return;
  auto Wire = [&](const char* Name, void (TNxPopupColumn::*Handler)(TObject*)) {
    PPropInfo Info = GetPropInfo(Ed, Name);
    if (!Info || Info->PropType != TypeInfo<TNotifyEvent>() || !Info->Set) return;
    TPropValue v;
    v.Method = std::make_shared<const TNotifyEvent>(this, Handler);
    Info->Set(Ed, v);
  };
  Wire("OnCloseUp", &TNxPopupColumn::DoCloseUp);
  Wire("OnSelect", &TNxPopupColumn::DoSelect);
}

void TNxPopupColumn::DoCloseUp(TObject*) {
  if (OnCloseUp) OnCloseUp(this);
}

void TNxPopupColumn::DoSelect(TObject*) {
  if (OnSelect) OnSelect(this);
}

// ---- TNxDateColumn ------------------------------------------------------------------------------

TNxDateColumn::TNxDateColumn(TComponent* AOwner) : TNxPopupColumn(AOwner) {
  SetDefaultValue(TodayText());
  SetSortType(stDate);
  SetCellKind(ckDateTime);
  CreateElements();
  WireEditor();
}

TClass TNxDateColumn::GetEditorClass() const { return FindColumnEditorClass("TNxDatePicker"); }
TClass TNxDateColumn::GetDisplayClass() const { return TDateColumnDisplay::StaticClass(); }

bool TNxDateColumn::IsDefaultValueStored() const { return DefaultValue() != TodayText(); }

void TNxDateColumn::GetDrawText(const TCellInfo& Info, WideString& Text) {
  if (Info.AsDateTime == 0 && FHideWhenEmpty) {
    Text = FEmptyCaption;
  } else {
    AnsiString Formatted =
        FFormatMask.empty() ? DateTimeToStr(Info.AsDateTime) : FormatDateTime(FFormatMask, Info.AsDateTime);
    Text = TextBefore() + AnsiToWide(Formatted) + TextAfter();
  }
  if (OnGetDrawText) OnGetDrawText(this, Text);
}

bool TNxDateColumn::IsValidEditKey(WideChar Key) const {
  return (Key >= u'0' && Key <= u'9') || Key == static_cast<WideChar>(static_cast<unsigned char>(FDateSeparator));
}

void TNxDateColumn::PrepareEditor() {
  inherited::PrepareEditor();
  SetEditorProp("ShowNoneButton", FShowNoneButton);
  SetEditorProp("DatePickerStyle", 0);
  SetEditorProp("StartDay", FStartDay);
  SetEditorWideProp("NoneCaption", FNoneCaption);
  SetEditorWideProp("TodayCaption", FTodayCaption);
}

void TNxDateColumn::SetHideWhenEmpty(bool Value) {
  FHideWhenEmpty = Value;
  RefreshArea(raBody);
}

void TNxDateColumn::SetFormatMask(const AnsiString& Value) {
  FFormatMask = Value;
  RefreshArea(raBody);
}

void TNxDateColumn::SetDateSeparator(char Value) {
  FDateSeparator = Value;
  RefreshArea(raAll);
}
