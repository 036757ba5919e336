// The main window's file list built in code (slides of 90, the six columns
// with their slide bounds, fonts and texts before, the two 120 x 80 state
// pictures), and reading a window's picture as pixels.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "grid/nx_column_classes.h"
#include "grid/nx_grid.h"
#include "platform/forms/bitmap.h"
#include "platform/forms/image_list.h"
#include "platform/rtl/dateutils.h"
#include "platform/testing/user_testing.h"
#include "platform/win/gdi/gdi.h"

namespace main_grid {

// The waiting picture: a blue field; the processed one: a green field.
// Both have a dark top-left pixel so that their corner can be found.
constexpr TColor kWaiting = 0xC08040;  // R 0x40, G 0x80, B 0xC0
constexpr TColor kProcessed = 0x40B040;

inline void FillStatePictures(TCustomImageList* Images) {
  TBitmap Pics;
  Pics.SetSize(240, 80);
  Pics.Canvas()->Brush()->SetColor(kWaiting);
  Pics.Canvas()->FillRect(TRect(0, 0, 120, 80));
  Pics.Canvas()->Brush()->SetColor(kProcessed);
  Pics.Canvas()->FillRect(TRect(120, 0, 240, 80));
  Pics.Canvas()->Brush()->SetColor(clWhite);
  Pics.Canvas()->FillRect(TRect(20, 20, 100, 60));
  Pics.Canvas()->FillRect(TRect(140, 20, 220, 60));
  Images->AddMasked(&Pics, clFuchsia);
}

inline void TahomaFont(TFont* F, bool Bold = false) {
  F->SetName("Tahoma");
  F->SetHeight(-11);
  F->SetStyle(Bold ? TFontStyles{fsBold} : TFontStyles{});
}

// The six columns of the file list, added to G with Owner owning them.
inline void AddFileListColumns(TNxGrid* G, TComponent* Owner, TCustomImageList* Images) {
  auto SetBounds = [](TNxCustomColumn* C, Integer L, Integer T, Integer W, Integer H) {
    C->SlideBounds()->SetLeft(L);
    C->SlideBounds()->SetTop(T);
    C->SlideBounds()->SetWidth(W);
    C->SlideBounds()->SetHeight(H);
  };
  auto* Image = new TNxImageColumn(Owner);
  Image->SetName("NxImageColumnImage");
  Image->SetImages(Images);
  SetBounds(Image, 8, 6, 120, 80);
  G->Columns()->Add(Image);
  struct TText {
    const char* Name;
    Integer Width;
    bool Bold;
    Integer L, T, W;
    const char16_t* Before;
  } Texts[] = {{"NxTextColumnFileName", 400, true, 136, 8, 464, u"File to Convert:   "},
               {"NxTextColumnPath", 400, false, 136, 33, 464, u"Containing Folder:   "},
               {"NxTextColumnSize", 280, false, 136, 49, 464, u"Size (KB):   "}};
  for (const auto& T : Texts) {
    auto* C = new TNxTextColumn(Owner);
    C->SetName(T.Name);
    C->SetWidth(T.Width);
    TahomaFont(C->Font(), T.Bold);
    SetBounds(C, T.L, T.T, T.W, 16);
    C->SetTextBefore(T.Before);
    G->Columns()->Add(C);
  }
  struct TDate {
    const char* Name;
    Integer L, W;
    const char16_t* Before;
  } Dates[] = {{"NxTextColumnDate2", 384, 216, u"Date Modified:   "},
               {"NxTextColumnDate", 136, 216, u"Date Created:   "}};
  for (const auto& D : Dates) {
    auto* C = new TNxDateColumn(Owner);
    C->SetName(D.Name);
    C->SetWidth(280);
    TahomaFont(C->Font());
    SetBounds(C, D.L, 65, D.W, 16);
    C->SetTextBefore(D.Before);
    C->SetNoneCaption(u"None");
    C->SetTodayCaption(u"Today");
    G->Columns()->Add(C);
  }
}

// The grid's properties of the main window's form.
inline void ConfigureFileList(TNxGrid* G) {
  G->SetAppearanceOptions(TAppearanceOptions{aoAlphaBlendedSelection});
  G->SetBorderStyle(bsNone);
  G->SetGridStyle(gsSlides);
  G->SetGridLinesColor(static_cast<TColor>(15850188));
  G->SetInactiveSelectionColor(static_cast<TColor>(15850188));
  G->SetOptions(TGridOptions{goMultiSelect, goRowMoving, goSelectFullRow});
  G->SetReadOnly(true);
  G->SetSelectionColor(static_cast<TColor>(10114859));
  G->SetShowHint(true);
  G->SetSlideSelectionColor(clWhite);
  G->SetSlideSize(90);
  G->SetTabStop(true);
  G->SetDoubleBuffered(true);
}

// A row as the main window adds one.
inline void AddFileRow(TNxGrid* G, const WideString& Name, const WideString& Folder, const WideString& Size,
                       Integer State = 0) {
  G->AddRow(1);
  const Integer R = G->RowCount() - 1;
  G->Cell(0, R)->SetAsInteger(State);
  G->Cell(1, R)->SetAsString(Name);
  G->Cell(2, R)->SetAsString(Folder);
  G->Cell(3, R)->SetAsString(Size);
  G->Cell(4, R)->SetAsDateTime(EncodeDate(2024, 3, 5) + EncodeTime(10, 20, 0, 0));
  G->Cell(5, R)->SetAsDateTime(EncodeDate(2023, 11, 30) + EncodeTime(8, 0, 0, 0));
}

// A window's client picture, top-down, one COLORREF-ordered value a pixel
// (0x00BBGGRR).
struct TShot {
  int Width = 0, Height = 0;
  std::vector<uint32_t> Pixels;
  COLORREF At(int X, int Y) const {
    const uint32_t P = Pixels[static_cast<size_t>(Y) * Width + X];
    return RGB((P >> 16) & 0xFF, (P >> 8) & 0xFF, P & 0xFF);
  }
  bool operator==(const TShot& O) const {
    return Width == O.Width && Height == O.Height && Pixels == O.Pixels;
  }
};

inline TShot Capture(HWND Wnd) {
  TShot P;
  HBITMAP Bmp = rtl::testing::CaptureWindow(Wnd);
  if (!Bmp) return P;
  DIBSECTION D{};
  GetObject(Bmp, sizeof(D), &D);
  P.Width = D.dsBm.bmWidth;
  P.Height = D.dsBm.bmHeight;
  const auto* Bits = static_cast<const uint32_t*>(D.dsBm.bmBits);
  P.Pixels.resize(static_cast<size_t>(P.Width) * P.Height);
  for (int Y = 0; Y < P.Height; ++Y)
    for (int X = 0; X < P.Width; ++X)
      P.Pixels[static_cast<size_t>(Y) * P.Width + X] = Bits[static_cast<size_t>(Y) * (D.dsBm.bmWidthBytes / 4) + X] & 0xFFFFFF;
  DeleteObject(Bmp);
  return P;
}

}  // namespace main_grid
