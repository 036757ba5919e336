#include "platform/forms/picture.h"

#include <memory>
#include <mutex>
#include <vector>

#include "platform/forms/icon.h"
#include "platform/forms/jpeg.h"
#include "platform/rtl/component_streaming.h"
#include "platform/rtl/fileutils.h"
#include "platform/rtl/strutils.h"

RTL_IMPLEMENT_CLASS(TPicture)

namespace {

struct TFileFormat {
  AnsiString Extension;
  AnsiString Description;
  TGraphicClass GraphicClass;
};

struct TFileFormats {
  std::mutex Lock;
  std::vector<TFileFormat> List{{"ico", "Icons", TIcon::StaticClass()},
                                {"bmp", "Bitmaps", TBitmap::StaticClass()},
                                {"jpeg", "JPEG Image File", TJPEGImage::StaticClass()},
                                {"jpg", "JPEG Image File", TJPEGImage::StaticClass()}};
};

TFileFormats& Formats() {
  static TFileFormats formats;
  return formats;
}

TGraphicClass FindExt(const AnsiString& ext) {
  TFileFormats& f = Formats();
  std::lock_guard<std::mutex> g(f.Lock);
  for (auto it = f.List.rbegin(); it != f.List.rend(); ++it)
    if (AnsiSameText(it->Extension, ext)) return it->GraphicClass;
  return nullptr;
}

TGraphicClass FindClassName(const AnsiString& name) {
  TFileFormats& f = Formats();
  std::lock_guard<std::mutex> g(f.Lock);
  for (auto it = f.List.rbegin(); it != f.List.rend(); ++it)
    if (SameText(it->GraphicClass->ClassName(), name)) return it->GraphicClass;
  return nullptr;
}

std::unique_ptr<TGraphic> NewGraphic(TGraphicClass cls) {
  std::unique_ptr<TGraphic> g(dynamic_cast<TGraphic*>(CreateInstance(cls)));
  if (!g) throw EInvalidGraphic("Cannot create a graphic of class " + cls->ClassName());
  return g;
}

// Descriptions and masks of the formats whose class derives from cls.
void BuildFilterStrings(TGraphicClass cls, AnsiString& descriptions, AnsiString& masks) {
  TFileFormats& f = Formats();
  std::lock_guard<std::mutex> g(f.Lock);
  for (const TFileFormat& ff : f.List) {
    if (ff.Extension.empty() || !ff.GraphicClass->InheritsFrom(cls)) continue;
    if (!descriptions.empty()) {
      descriptions += '|';
      masks += ';';
    }
    descriptions += ff.Description + " (*." + ff.Extension + ")|*." + ff.Extension;
    masks += "*." + ff.Extension;
  }
}

}  // namespace

TPicture::~TPicture() { delete FGraphic; }

void TPicture::Changed(TObject*) {
  if (OnChange) OnChange(this);
}

void TPicture::Replace(TGraphic* Value) {
  delete FGraphic;
  FGraphic = Value;
  if (Value) Value->OnChange = TNotifyEvent(this, &TPicture::Changed);
  Changed(this);
}

template <class T>
T* TPicture::ForceType() {
  if (!dynamic_cast<T*>(FGraphic)) Replace(new T);
  return static_cast<T*>(FGraphic);
}

void TPicture::Assign(TPersistent* Source) {
  if (!Source)
    SetGraphic(nullptr);
  else if (auto* picture = dynamic_cast<TPicture*>(Source))
    SetGraphic(picture->FGraphic);
  else if (auto* graphic = dynamic_cast<TGraphic*>(Source))
    SetGraphic(graphic);
  else
    inherited::Assign(Source);
}

void TPicture::AssignTo(TPersistent* Dest) {
  if (FGraphic && FGraphic->InheritsFrom(Dest->ClassType()))
    Dest->Assign(FGraphic);
  else
    inherited::AssignTo(Dest);
}

void TPicture::DefineProperties(TFiler* Filer) {
  bool write;
  if (auto* ancestor = dynamic_cast<TPicture*>(Filer->Ancestor())) {
    TGraphic* theirs = ancestor->FGraphic;
    write = FGraphic ? !FGraphic->Equals(theirs) : theirs != nullptr;
  } else {
    write = FGraphic != nullptr;
  }
  Filer->DefineBinaryProperty("Data", TStreamProc(this, &TPicture::ReadData), TStreamProc(this, &TPicture::WriteData),
                              write);
}

void TPicture::SetGraphic(TGraphic* Value) {
  if (Value == FGraphic && Value) return;
  std::unique_ptr<TGraphic> copy;
  if (Value) {
    copy = NewGraphic(Value->ClassType());
    copy->Assign(Value);
  }
  Replace(copy.release());
}

TBitmap* TPicture::Bitmap() { return ForceType<TBitmap>(); }

TIcon* TPicture::Icon() { return ForceType<TIcon>(); }

void TPicture::SetIcon(TIcon* Value) { SetGraphic(Value); }

void TPicture::LoadFromFile(const AnsiString& FileName) {
  AnsiString ext = ExtractFileExt(FileName);
  if (!ext.empty() && ext[0] == '.') ext.erase(0, 1);
  TGraphicClass cls = FindExt(ext);
  if (!cls) throw EInvalidGraphic("Unknown picture file extension (.%s)", {ext});
  std::unique_ptr<TGraphic> graphic = NewGraphic(cls);
  graphic->LoadFromFile(FileName);
  Replace(graphic.release());
}

void TPicture::SaveToFile(const AnsiString& FileName) {
  if (FGraphic) FGraphic->SaveToFile(FileName);
}

void TPicture::ReadData(TStream* Stream) {
  uint8_t length = 0;
  Stream->ReadBuffer(&length, 1);
  AnsiString name(length, '\0');
  if (length) Stream->ReadBuffer(name.data(), length);
  std::unique_ptr<TGraphic> graphic;
  if (TGraphicClass cls = FindClassName(name)) {
    graphic = NewGraphic(cls);
    graphic->ReadData(Stream);
  }
  Replace(graphic.release());
}

void TPicture::WriteData(TStream* Stream) {
  AnsiString name = FGraphic ? FGraphic->ClassName() : AnsiString();
  uint8_t length = static_cast<uint8_t>(std::min<size_t>(name.size(), 255));
  Stream->WriteBuffer(&length, 1);
  if (length) Stream->WriteBuffer(name.data(), length);
  if (FGraphic) FGraphic->WriteData(Stream);
}

void TPicture::RegisterFileFormat(const AnsiString& Extension, const AnsiString& Description,
                                  TGraphicClass GraphicClass) {
  TFileFormats& f = Formats();
  std::lock_guard<std::mutex> g(f.Lock);
  f.List.push_back({LowerCase(Extension), Description, GraphicClass});
}

void TPicture::UnregisterGraphicClass(TGraphicClass AClass) {
  TFileFormats& f = Formats();
  std::lock_guard<std::mutex> g(f.Lock);
  std::erase_if(f.List, [&](const TFileFormat& ff) { return ff.GraphicClass->InheritsFrom(AClass); });
}

AnsiString GraphicFilter(TGraphicClass GraphicClass) {
  AnsiString descriptions, masks;
  BuildFilterStrings(GraphicClass, descriptions, masks);
  if (descriptions.empty()) return descriptions;
  return "All (" + masks + ")|" + masks + "|" + descriptions;
}

AnsiString GraphicExtension(TGraphicClass GraphicClass) {
  TFileFormats& f = Formats();
  std::lock_guard<std::mutex> g(f.Lock);
  for (const TFileFormat& ff : f.List)
    if (ff.GraphicClass == GraphicClass) return ff.Extension;
  return AnsiString();
}

AnsiString GraphicFileMask(TGraphicClass GraphicClass) {
  AnsiString descriptions, masks;
  BuildFilterStrings(GraphicClass, descriptions, masks);
  return masks;
}
