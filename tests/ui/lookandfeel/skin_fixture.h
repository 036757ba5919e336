// What the skin tests share: hand-made stream bytes, PNG pictures of a
// known pattern, and typed helpers to add properties and elements. The
// skin unit runs for the whole test program (skin_fixture.cpp).
#pragma once

#include <string>

#include "platform/rtl/streams.h"
#include "tools/common/png_writer.h"
#include "ui/lookandfeel/skin_custom_object.h"
#include "ui/lookandfeel/skin_persistent.h"

namespace skin_test {

constexpr double kNewest = 1.1;

// Little-endian stream bytes, built field by field.
class TBytes {
  std::string FBytes;

 public:
  TBytes& I32(int32_t AValue);
  TBytes& U8(uint8_t AValue);
  TBytes& U16(uint16_t AValue);
  TBytes& Str(const std::string& AValue);
  TBytes& Wide(const std::u16string& AValue);
  TBytes& Rect(int32_t L, int32_t T, int32_t R, int32_t B) { return I32(L).I32(T).I32(R).I32(B); }
  TBytes& Size(int32_t CX, int32_t CY) { return I32(CX).I32(CY); }
  // Size, then the bytes.
  TBytes& Block(const std::string& ABytes) { return I32(static_cast<int32_t>(ABytes.size())).Raw(ABytes); }
  TBytes& Raw(const std::string& ABytes) {
    FBytes += ABytes;
    return *this;
  }
  const std::string& Bytes() const { return FBytes; }
  size_t Length() const { return FBytes.size(); }
};

// A W x H picture whose pixels depend on their place and on ASeed.
std::string TestPng(int W, int H, int ASeed = 0);

// What an object's SaveToSkinStream writes.
template <class T>
std::string Saved(T* AObject) {
  TStringStream s;
  AObject->SaveToSkinStream(&s);
  return s.DataString();
}

template <class T>
T* AddProperty(TdxSkinPersistent* AOwner, const AnsiString& AName) {
  return static_cast<T*>(AOwner->Properties()->AppendNew(AName, T::StaticClass()));
}

template <class T>
T* AddElement(TdxSkinControlGroup* AGroup, const AnsiString& AName) {
  return static_cast<T*>(AGroup->Elements()->AppendNew(AName, T::StaticClass()));
}

}  // namespace skin_test
