// Icons: .ico files and HICON handles as graphics.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/forms/bitmap.h"

// An icon: one image of an .ico file, the one nearest to the requested
// size (32 x 32 unless SetSize chose another while the icon was empty),
// held as an HICON. Loading keeps the file, which SaveToStream writes back
// as it was; an icon made from a handle is saved as a one-image file. A
// malformed file raises EInvalidGraphic "Icon image is not valid".
class TIcon : public TGraphic {
  RTL_CLASS(TIcon, TGraphic)
  HICON FHandle = nullptr;
  std::vector<uint8_t> FData;  // the .ico file, when loaded from one
  Integer FWidth = 0;          // of the image the handle holds
  Integer FHeight = 0;
  Integer FRequestedWidth = 32;
  Integer FRequestedHeight = 32;

  void HandleNeeded();
  void TakeHandle(HICON Value);

 protected:
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;
  bool GetEmpty() const override { return !FHandle && FData.empty(); }
  // The image's size; the requested size while empty.
  Integer GetWidth() const override { return GetEmpty() ? FRequestedWidth : FWidth; }
  Integer GetHeight() const override { return GetEmpty() ? FRequestedHeight : FHeight; }
  bool GetTransparent() const override { return true; }

 public:
  TIcon() = default;
  ~TIcon() override;

  void Assign(TPersistent* Source) override;

  // An icon's size is fixed once it has an image: raises
  // EInvalidGraphicOperation "Cannot change the size of an icon".
  void SetWidth(Integer Value) override;
  void SetHeight(Integer Value) override;
  void SetSize(Integer AWidth, Integer AHeight) override;
  // Icons are always transparent.
  void SetTransparent(bool) override {}

  HICON Handle();
  // Takes ownership of Value.
  void SetHandle(HICON Value);
  bool HandleAllocated() const { return FHandle != nullptr; }
  // Gives the handle to the caller; the icon is empty afterwards.
  HICON ReleaseHandle();

  void LoadFromStream(TStream* Stream) override;
  void SaveToStream(TStream* Stream) override;
};
