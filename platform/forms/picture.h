// Pictures of any registered graphic class, and the registry of picture
// file formats by extension.
#pragma once

#include "platform/forms/bitmap.h"

class TIcon;

// Holds one graphic of any class (or none). Graphic assignment copies; the
// typed accessors replace a graphic of another class with an empty one.
class TPicture : public TInterfacedPersistent {
  RTL_CLASS(TPicture, TInterfacedPersistent)
  TGraphic* FGraphic = nullptr;

  void Replace(TGraphic* Value);
  template <class T>
  T* ForceType();

 protected:
  void AssignTo(TPersistent* Dest) override;
  // "Data", written when there is a graphic (or it differs from the
  // ancestor's).
  void DefineProperties(TFiler* Filer) override;
  virtual void Changed(TObject* Sender);

 public:
  TPicture() = default;
  ~TPicture() override;

  // Null clears; a TPicture or a TGraphic is copied.
  void Assign(TPersistent* Source) override;

  TGraphic* Graphic() const { return FGraphic; }
  // Keeps a copy of Value (a new object of its class).
  void SetGraphic(TGraphic* Value);
  TBitmap* Bitmap();
  void SetBitmap(TBitmap* Value) { SetGraphic(Value); }
  TIcon* Icon();
  void SetIcon(TIcon* Value);
  Integer Width() const { return FGraphic ? FGraphic->Width() : 0; }
  Integer Height() const { return FGraphic ? FGraphic->Height() : 0; }

  // By the file's extension. Raises EInvalidGraphic "Unknown picture file
  // extension (.%s)" for an extension no graphic class is registered for.
  void LoadFromFile(const AnsiString& FileName);
  void SaveToFile(const AnsiString& FileName);

  // The "Data" value of a form description: the graphic's class name as a
  // length byte and characters, then the graphic's own data. A class that
  // is not registered reads as no graphic.
  void ReadData(TStream* Stream);
  void WriteData(TStream* Stream);

  // The registry: extensions compare without case, the latest
  // registration of an extension wins. "ico" (TIcon), "bmp" (TBitmap),
  // "jpeg" and "jpg" (TJPEGImage) are there from the start.
  static void RegisterFileFormat(const AnsiString& Extension, const AnsiString& Description, TGraphicClass GraphicClass);
  // Drops the formats of AClass and of the classes derived from it.
  static void UnregisterGraphicClass(TGraphicClass AClass);

  TNotifyEvent OnChange;
};

// The open-dialog filter of the formats whose class derives from
// GraphicClass: "All (*.ico;*.bmp)|*.ico;*.bmp|Icons (*.ico)|*.ico|...".
AnsiString GraphicFilter(TGraphicClass GraphicClass);
// The first extension registered for exactly GraphicClass ("" if none).
AnsiString GraphicExtension(TGraphicClass GraphicClass);
// "*.ico;*.bmp" for the formats whose class derives from GraphicClass.
AnsiString GraphicFileMask(TGraphicClass GraphicClass);
