// What a chooser shows of a skin or painter: its names, notes and two
// icons. OnChange fires once per real change, and never inside an update
// bracket; a bracket in which something changed ends with one OnChange.
#pragma once

#include "platform/rtl/classes.h"
#include "ui/lookandfeel/skin_types.h"

class TStream;
class TdxPNGImage;

class TdxSkinDetails : public TPersistent {
  RTL_CLASS(TdxSkinDetails, TPersistent)
  AnsiString FName;
  AnsiString FDisplayName;
  AnsiString FGroupName;
  WideString FNotes;
  TdxPNGImage* FIcons[2];
  Integer FUpdateCount = 0;
  bool FChangedInUpdate = false;

 public:
  TdxSkinDetails();
  ~TdxSkinDetails() override;

  // Fires OnChange unless an update bracket is open.
  virtual void DetailsChanged();
  // The name alone before version 1.04; everything after it. Reading
  // starts from empty details, inside a bracket, and gives each icon still
  // empty afterwards its default picture.
  virtual void LoadFromSkinStream(TStream* AStream, double AVersion);
  virtual void SaveToSkinStream(TStream* AStream);
  // Empty strings and icons, inside a bracket.
  virtual void ResetDetails();

  // Names, notes and both icons, inside a bracket; other sources raise the
  // framework's assignment error.
  void Assign(TPersistent* Source) override;

  void BeginUpdate();
  void EndUpdate();

  TdxPNGImage* GetIcon(TdxSkinIconSize ASize) const { return FIcons[ASize]; }
  // The program's "DEFAULTSKINICONSMALL" or "DEFAULTSKINICONLARGE" of type
  // "DXSKINS".
  void LoadDefaultIcon(TdxSkinIconSize ASize);

  const AnsiString& Name() const { return FName; }
  void SetName(const AnsiString& AValue);
  const AnsiString& DisplayName() const { return FDisplayName; }
  void SetDisplayName(const AnsiString& AValue);
  const AnsiString& GroupName() const { return FGroupName; }
  void SetGroupName(const AnsiString& AValue);
  const WideString& Notes() const { return FNotes; }
  void SetNotes(const WideString& AValue);

  TNotifyEvent OnChange;
};
