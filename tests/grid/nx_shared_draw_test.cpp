#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>

#include "grid/nx_shared_common.h"
#include "grid/nx_shared_draw.h"
#include "platform/forms/bitmap.h"
#include "platform/forms/forms.h"
#include "platform/forms/graphics.h"
#include "platform/rtl/assertions.h"
#include "platform/win/gdi/gdi.h"
#include "platform/win/user/user.h"
#include "platform/testing/user_testing.h"
#include "tests/common/dib_canvas.h"
#include "tests/common/pictures.h"

namespace {

using namespace NxSharedCommon;

// The three blends are one operation under three names.
using TBlend = std::function<TColor(TColor, TColor, Integer)>;
const std::pair<const char*, TBlend> kBlends[] = {
    {"TGraphicsProvider", &TGraphicsProvider::BlendColor},
    {"TMaskProvider", &TMaskProvider::BlendColor},
    {"NxSharedDraw", &NxSharedDraw::BlendColor},
};

// A canvas over a white 32-bit DIB; pixels are read as TColor values.
struct TProbe {
  TDibCanvas Dib;
  TCanvas Canvas;
  explicit TProbe(int W = 120, int H = 60, uint32_t Fill = 0xFFFFFFu) : Dib(W, H, Fill) {
    Canvas.SetHandle(Dib.dc);
    Canvas.Font()->SetName("Tahoma");
    Canvas.Font()->SetHeight(-11);
  }
  ~TProbe() { Canvas.SetHandle(nullptr); }
  TColor At(int X, int Y) {
    const uint32_t P = Dib.At(X, Y);
    return static_cast<TColor>(((P & 0xFF) << 16) | (P & 0xFF00) | ((P >> 16) & 0xFF));
  }
};

// A 32-bit bitmap of one colour and alpha per pixel, top-down.
std::unique_ptr<TBitmap> Bitmap32(int W, int H, const std::function<uint32_t(int, int)>& Bgra) {
  auto B = std::make_unique<TBitmap>();
  B->SetPixelFormat(pf32bit);
  B->SetSize(W, H);
  for (int Y = 0; Y < H; ++Y) {
    auto* Row = static_cast<uint32_t*>(B->ScanLine(Y));
    for (int X = 0; X < W; ++X) Row[X] = Bgra(X, Y);
  }
  return B;
}

// Restores a system colour.
struct TSysColorScope {
  int Index;
  COLORREF Saved;
  TSysColorScope(int I, COLORREF Value) : Index(I), Saved(GetSysColor(I)) { SetSysColors(1, &Index, &Value); }
  ~TSysColorScope() { SetSysColors(1, &Index, &Saved); }
};

}  // namespace

// ---- Colours --------------------------------------------------------------------------

TEST(NxBlend, StraightBlendDarkensByOneLevelAndNeverSpillsBetweenChannels) {
  struct TCase {
    TColor A, B;
    Integer Alpha;
    TColor Expected;
  };
  const TCase Cases[] = {
      {0xFFFFFF, 0x000000, 255, 0xFEFEFE},
      {0xFFFFFF, 0x000000, 128, 0x7F7F7F},
      {0x000000, 0xFFFFFF, 0, 0xFEFEFE},
      {0xFF00FF, 0x00FF00, 255, 0xFE00FE},
      {0x00FF00, 0xFF00FF, 255, 0x00FE00},
      {0x102030, 0x102030, 0, 0x0F1F2F},
      {0x0000FF, 0xFF0000, 64, 0xBE003F},
  };
  for (auto& [Name, Blend] : kBlends)
    for (const TCase& C : Cases) EXPECT_EQ(Blend(C.A, C.B, C.Alpha), C.Expected) << Name << " alpha " << C.Alpha;
}

TEST(NxBlend, SystemColoursAreResolvedFirst) {
  TSysColorScope Face(COLOR_BTNFACE, RGB(0x40, 0x80, 0xC0));
  for (auto& [Name, Blend] : kBlends) {
    EXPECT_EQ(Blend(clBtnFace, 0, 255), 0xBF7F3F) << Name;
    EXPECT_EQ(Blend(0, clBtnFace, 0), 0xBF7F3F) << Name;
  }
  EXPECT_EQ(TGraphicsProvider::MixColors(clBtnFace, 0, 0.0), 0xC08040);
}

TEST(NxBlend, AnAlphaOutsideAByteRaisesAnAssertionNamingTheUnit) {
  for (auto& [Name, Blend] : kBlends) {
    const AnsiString Unit = AnsiString(Name) == "NxSharedDraw" ? "nx_shared_draw.cpp" : "nx_shared_common.cpp";
    for (Integer Alpha : {256, 1000, -1}) {
      try {
        Blend(0xFFFFFF, 0, Alpha);
        ADD_FAILURE() << Name << " took alpha " << Alpha;
      } catch (const EAssertionFailed& E) {
        EXPECT_EQ(E.Message().rfind("Assertion failure (" + Unit + ", line ", 0), 0u) << E.Message();
      }
    }
  }
}

TEST(NxBlend, MixRoundsHalvesToEvenInEveryChannel) {
  struct TCase {
    Integer A, B;
    double Ratio;
    Integer Expected;
  };
  const TCase Cases[] = {{1, 2, 0.5, 2}, {1, 4, 0.5, 2}, {3, 4, 0.5, 4}, {0, 255, 0.0, 0},
                         {0, 255, 1.0, 255}, {10, 20, 0.25, 12}, {255, 0, 0.5, 128}};
  for (const TCase& C : Cases)
    for (int Shift : {0, 8, 16})
      for (auto Mix : {&TGraphicsProvider::MixColors, &NxSharedDraw::MixColors})
        EXPECT_EQ(Mix(C.A << Shift, C.B << Shift, C.Ratio), C.Expected << Shift)
            << C.A << "," << C.B << " at " << C.Ratio << " shift " << Shift;
}

TEST(NxBlend, BlendChannelRoundsEachPartAndStaysInAByte) {
  struct TCase {
    Integer S, D, Alpha, Expected;
  };
  const TCase Cases[] = {{255, 0, 128, 128}, {0, 255, 128, 127}, {200, 100, 255, 200}, {200, 100, 0, 100},
                         {300, 0, 255, 255}, {-40, 0, 255, 0},   {255, 255, 128, 255}, {0, 0, 77, 0}};
  for (const TCase& C : Cases) EXPECT_EQ(BlendChannel(C.S, C.D, C.Alpha), C.Expected) << C.S << "," << C.D;
}

// ---- Geometry ------------------------------------------------------------------------

TEST(NxGeometry, RectanglesThatTouchIntersect) {
  struct TCase {
    TRect A, B;
    bool Expected;
  };
  const TCase Cases[] = {{{0, 0, 10, 10}, {10, 10, 20, 20}, true},
                         {{0, 0, 10, 10}, {11, 0, 20, 10}, false},
                         {{0, 0, 10, 10}, {0, 11, 10, 20}, false},
                         {{5, 5, 6, 6}, {0, 0, 10, 10}, true},
                         {{20, 20, 30, 30}, {0, 0, 10, 10}, false}};
  for (const TCase& C : Cases) {
    EXPECT_EQ(TCalcProvider::RectsIntersect(C.A, C.B), C.Expected);
    EXPECT_EQ(TCalcProvider::RectsIntersect(C.B, C.A), C.Expected);
  }
}

TEST(NxGeometry, AlignInRectPlacesByMarginOrCentre) {
  struct TCase {
    TAlignment H;
    TVerticalAlignment V;
    TRect R;
    TPoint Expected;
  };
  const TCase Cases[] = {
      {taRightJustify, taAlignTop, {0, 0, 100, 20}, {82, 2}},
      {taLeftJustify, taAlignBottom, {0, 0, 100, 20}, {2, 6}},
      {taCenter, taVerticalCenter, {0, 0, 100, 20}, {42, 4}},
      // Odd sizes: the centres truncate.
      {taCenter, taVerticalCenter, {0, 0, 101, 21}, {42, 4}},
      // An inverted rectangle: the half truncates toward zero.
      {taCenter, taVerticalCenter, {0, 0, -11, -7}, {-13, -9}},
  };
  for (const TCase& C : Cases) EXPECT_EQ(TCalcProvider::AlignInRect(16, 12, 2, C.R, C.H, C.V), C.Expected);
  EXPECT_EQ(TCalcProvider::ResizeRect(TRect(10, 20, 30, 40), 1, -2, 3, -4), TRect(11, 18, 33, 36));
}

TEST(NxGeometry, APointIsFarOnlyBeyondTheDistance) {
  const TPoint Q(50, 50);
  struct TCase {
    TPoint P;
    bool Far;
  };
  for (const TCase& C : {TCase{{53, 50}, false}, TCase{{47, 53}, false}, TCase{{54, 50}, true},
                         TCase{{50, 46}, true}, TCase{{50, 54}, true}, TCase{{46, 46}, true}})
    EXPECT_EQ(IsPointFar(C.P, Q, 3), C.Far) << C.P.X << "," << C.P.Y;
}

// ---- Pixels ------------------------------------------------------------------------------

TEST(NxPixels, GradientRunsFromTheFirstColourToOneStepShortOfTheLast) {
  TProbe P;
  const TColor From = 0x202020, To = 0xE0C0A0;
  NxSharedDraw::DrawGradient(&P.Canvas, TRect(10, 5, 30, 6), From, To);
  EXPECT_EQ(P.At(10, 5), From);
  EXPECT_EQ(P.At(29, 5), From);
  EXPECT_EQ(P.At(30, 5), 0xFFFFFF);
  NxSharedDraw::DrawGradient(&P.Canvas, TRect(40, 10, 60, 28), From, To);
  EXPECT_EQ(P.At(40, 10), From);
  EXPECT_EQ(P.At(59, 27), NxSharedDraw::MixColors(From, To, 17.0 / 18));
  EXPECT_NE(P.At(59, 27), To);
  for (int Y = 10; Y < 28; ++Y) {
    EXPECT_EQ(P.At(50, Y), NxSharedDraw::MixColors(From, To, (Y - 10) / 18.0)) << Y;
    EXPECT_EQ(P.At(60, Y), 0xFFFFFF) << "the right end stays out, row " << Y;
  }
  EXPECT_EQ(P.At(50, 28), 0xFFFFFF);
  // Nothing for an empty or upside-down rectangle.
  NxSharedDraw::DrawGradient(&P.Canvas, TRect(70, 30, 90, 30), From, To);
  NxSharedDraw::DrawGradient(&P.Canvas, TRect(70, 30, 90, 20), From, To);
  EXPECT_EQ(P.Dib.CountNot(0xFFFFFFu, 70, 0, 120, 60, 0xFFFFFFu), 0);
}

TEST(NxPixels, AlphaBitmapsBlendStraightAndOpaquePixelsDifferByRoutine) {
  // Column 0 opaque, column 1 half transparent, column 2 transparent.
  const uint32_t Alpha[3] = {255, 128, 0};
  auto Src = Bitmap32(3, 2, [&](int X, int) { return (Alpha[X] << 24) | 0x00C86432u; });  // R C8 G 64 B 32
  const TColor Background = 0x3060F0;  // R F0 G 60 B 30
  for (int Routine = 0; Routine < 3; ++Routine) {
    TProbe P(20, 10, Px(Background));
    if (Routine == 0) NxSharedCommon::DrawAlphaBitmap(&P.Canvas, 5, 4, Src.get());
    if (Routine == 1) NxSharedDraw::DrawAlphaBitmap(&P.Canvas, 5, 4, Src.get());
    if (Routine == 2) TDrawProvider::DrawBitmap(&P.Canvas, 5, 4, Src.get());
    const bool ByChannel = Routine == 2;
    SCOPED_TRACE(Routine);
    // Opaque: S - 1 through BlendColor, S exactly through BlendChannel.
    EXPECT_EQ(P.At(5, 4), ByChannel ? 0x3264C8 : 0x3163C7);
    // Half: the straight blend of source and background.
    const TColor Half = ByChannel ? (BlendChannel(0x32, 0x30, 128) << 16) | (BlendChannel(0x64, 0x60, 128) << 8) |
                                        BlendChannel(0xC8, 0xF0, 128)
                                  : NxSharedDraw::BlendColor(0x3264C8, Background, 128);
    EXPECT_EQ(P.At(6, 5), Half);
    EXPECT_EQ(P.At(7, 4), ByChannel ? Background : NxSharedDraw::BlendColor(0x3264C8, Background, 0));
    EXPECT_EQ(P.At(4, 4), Background);
    EXPECT_EQ(P.At(8, 4), Background);
    EXPECT_EQ(P.At(5, 6), Background);
  }
  // The source is left as it was.
  EXPECT_EQ(static_cast<uint32_t*>(Src->ScanLine(0))[1], 0x80C86432u);
}

TEST(NxPixels, BitmapsOfOtherFormatsAreDrawnAsTheyAre) {
  TBitmap Plain;
  Plain.SetPixelFormat(pf24bit);
  Plain.SetSize(4, 4);
  Plain.Canvas()->Brush()->SetColor(0x123456);
  Plain.Canvas()->FillRect(TRect(0, 0, 4, 4));
  for (int Routine = 0; Routine < 2; ++Routine) {
    TProbe P(20, 10);
    if (Routine == 0)
      NxSharedCommon::DrawAlphaBitmap(&P.Canvas, 2, 2, &Plain);
    else
      TDrawProvider::DrawBitmap(&P.Canvas, 2, 2, &Plain);
    EXPECT_EQ(P.At(2, 2), 0x123456);
    EXPECT_EQ(P.At(5, 5), 0x123456);
    EXPECT_EQ(P.At(6, 6), 0xFFFFFF);
  }
}

TEST(NxPixels, ButtonFrameLightAboveAndLeftDarkBelowAndRight) {
  for (bool Dark : {false, true}) {
    TProbe P;
    TGraphicsProvider::DrawButtonFrame(&P.Canvas, TRect(10, 10, 40, 30), Dark);
    const TColor Bottom = static_cast<TColor>(ColorToRGB(Dark ? clWindowFrame : clBtnShadow));
    EXPECT_EQ(P.At(10, 10), static_cast<TColor>(ColorToRGB(clBtnHighlight)));
    EXPECT_EQ(P.At(20, 10), static_cast<TColor>(ColorToRGB(clBtnHighlight)));
    EXPECT_EQ(P.At(10, 20), static_cast<TColor>(ColorToRGB(clBtnHighlight)));
    EXPECT_EQ(P.At(39, 29), Bottom);
    EXPECT_EQ(P.At(20, 29), Bottom);
    EXPECT_EQ(P.At(39, 20), Bottom);
    EXPECT_EQ(P.At(20, 20), static_cast<TColor>(ColorToRGB(clBtnFace)));
    EXPECT_EQ(P.At(40, 30), 0xFFFFFF);
    EXPECT_EQ(P.At(9, 9), 0xFFFFFF);
  }
}

TEST(NxPixels, FocusFrameDottedUndoesItselfSolidIsHighlight) {
  TProbe P;
  P.Canvas.Brush()->SetColor(0x336699);
  P.Canvas.FillRect(TRect(0, 0, 120, 60));
  std::vector<uint32_t> Before(P.Dib.bits, P.Dib.bits + 120 * 60);
  TGraphicsProvider::DrawFocusFrame(&P.Canvas, TRect(10, 10, 50, 30), false);
  EXPECT_GT(P.Dib.CountNot(Before[0], 10, 10, 50, 30, 0xFFFFFFu), 0);
  EXPECT_EQ(P.Dib.CountNot(Before[0], 11, 11, 49, 29, 0xFFFFFFu), 0);
  TGraphicsProvider::DrawFocusFrame(&P.Canvas, TRect(10, 10, 50, 30), false);
  for (int I = 0; I < 120 * 60; ++I) ASSERT_EQ(P.Dib.bits[I] & 0xFFFFFFu, Before[I] & 0xFFFFFFu) << I;
  TGraphicsProvider::DrawFocusFrame(&P.Canvas, TRect(60, 10, 100, 30), true);
  const TColor Highlight = static_cast<TColor>(ColorToRGB(clHighlight));
  EXPECT_EQ(P.At(60, 10), Highlight);
  EXPECT_EQ(P.At(99, 29), Highlight);
  EXPECT_EQ(P.At(80, 20), 0x336699);
}

TEST(NxPixels, ClipRectKeepsLaterDrawingInside) {
  TProbe P;
  for (int Routine = 0; Routine < 3; ++Routine) {
    P.Dib.Fill(0xFFFFFFu);
    if (Routine == 0) TGraphicsProvider::SetClipRect(&P.Canvas, TRect(10, 10, 20, 20));
    if (Routine == 1) NxSharedCommon::SetClipRect(&P.Canvas, TRect(10, 10, 20, 20));
    if (Routine == 2) NxSharedDraw::SetClipRect(&P.Canvas, TRect(10, 10, 20, 20));
    P.Canvas.Brush()->SetColor(clBlack);
    P.Canvas.FillRect(TRect(0, 0, 120, 60));
    EXPECT_EQ(P.Dib.InkBox(0xFFFFFFu), (RECT{10, 10, 20, 20})) << Routine;
    SelectClipRgn(P.Canvas.Handle(), nullptr);
  }
}

// ---- Text ---------------------------------------------------------------------------------

TEST(NxText, WrappedTextCentresWithTheHalfRoundedToEven) {
  const WideString Text = u"Date Modified column header";
  const int Width = 70;
  TProbe Measure;
  RECT M{0, 0, Width, 0};
  WideString Copy = Text;
  DrawTextExW(Measure.Canvas.Handle(), Copy.data(), static_cast<int>(Copy.size()), &M,
              DT_NOPREFIX | DT_WORDBREAK | DT_CALCRECT, nullptr);
  ASSERT_GT(M.Bottom, Measure.Canvas.TextHeight("Wg") * 3 / 2) << "the text wraps to two lines at least";
  // Left-over heights 5 and 7: the text moves down 2 and 4 (2.5 and 3.5 to
  // even).
  for (auto [Spare, Shift] : {std::pair{5, 2}, std::pair{7, 4}, std::pair{6, 3}}) {
    TProbe Centred, Top;
    const TRect R(10, 4, 10 + Width, 4 + M.Bottom + Spare);
    TGraphicsProvider::DrawTextRectEx(&Centred.Canvas, R, taLeftJustify, taVerticalCenter, true, Text,
                                      bdLeftToRight);
    TGraphicsProvider::DrawTextRectEx(&Top.Canvas, TRect(R.Left, R.Top + Shift, R.Right, R.Bottom), taLeftJustify,
                                      taAlignTop, true, Text, bdLeftToRight);
    const RECT Ink = Centred.Dib.InkBox(0xFFFFFFu);
    EXPECT_EQ(Ink, Top.Dib.InkBox(0xFFFFFFu)) << "spare " << Spare;
    EXPECT_GT(Ink.Bottom, Ink.Top);
    // The brush is solid again after the drawing.
    EXPECT_EQ(Centred.Canvas.Brush()->Style(), bsSolid);
  }
  // Bottom alignment puts the text's last line on the bottom edge.
  TProbe Bottom, Top;
  TGraphicsProvider::DrawTextRectEx(&Bottom.Canvas, TRect(10, 4, 10 + Width, 54), taLeftJustify, taAlignBottom, true,
                                    Text, bdLeftToRight);
  TGraphicsProvider::DrawTextRectEx(&Top.Canvas, TRect(10, 54 - M.Bottom, 10 + Width, 54), taLeftJustify, taAlignTop,
                                    true, Text, bdLeftToRight);
  EXPECT_EQ(Bottom.Dib.InkBox(0xFFFFFFu), Top.Dib.InkBox(0xFFFFFFu));
}

TEST(NxText, SingleLineRoutinesDifferOnlyInWhatAnAmpersandMeans) {
  TProbe Common, Draw, DrawNoPrefix;
  const TRect R(4, 4, 116, 30);
  NxSharedCommon::DrawTextInRect(&Common.Canvas, R, taLeftJustify, u"&File name", false);
  NxSharedDraw::DrawTextInRect(&Draw.Canvas, R, taLeftJustify, u"&File name", false);
  NxSharedDraw::DrawTextInRect(&DrawNoPrefix.Canvas, R, taLeftJustify, u"&File name", true);
  const RECT A = Common.Dib.InkBox(0xFFFFFFu), B = Draw.Dib.InkBox(0xFFFFFFu);
  // "&" is drawn by the first and the last, hidden (a mnemonic) by the
  // second.
  EXPECT_GT(A.Right - A.Left, B.Right - B.Left);
  EXPECT_EQ(A, DrawNoPrefix.Dib.InkBox(0xFFFFFFu));
  // Vertically centred on one line, right alignment moves the ink right.
  TProbe Right;
  TGraphicsProvider::DrawTextRect(&Right.Canvas, R, taRightJustify, u"&File name", false);
  const RECT C = Right.Dib.InkBox(0xFFFFFFu);
  EXPECT_EQ(C.Right - C.Left, A.Right - A.Left);
  EXPECT_GT(C.Left, A.Left);
  EXPECT_LE(C.Right, R.Right);
  EXPECT_LT(std::abs((A.Top + A.Bottom) - (R.Top + R.Bottom)), 6);
}

TEST(NxText, VerticalTextReadsUpwardAndStepsRightPerLine) {
  TProbe One(60, 120), Two(60, 120);
  const TRect R(5, 5, 55, 115);
  NxSharedDraw::DrawVerticalText(&One.Canvas, R, u"Modified", false);
  NxSharedDraw::DrawVerticalText(&Two.Canvas, R, u"Modified\r\nCreated", true);
  const RECT A = One.Dib.InkBox(0xFFFFFFu), B = Two.Dib.InkBox(0xFFFFFFu);
  EXPECT_GT(A.Bottom - A.Top, 2 * (A.Right - A.Left)) << "taller than wide";
  EXPECT_GT(A.Bottom, 100) << "bottom-aligned";
  EXPECT_GE(B.Right - B.Left, (A.Right - A.Left) + One.Canvas.TextHeight("Mg") / 2) << "a second column of text";
  // The canvas keeps its own font.
  EXPECT_EQ(GetCurrentObject(One.Canvas.Handle(), OBJ_FONT), One.Canvas.Font()->Handle());
}

// ---- The picture -----------------------------------------------------------------------------

namespace {

class TDrawingSheet : public TCustomControl {
 public:
  using TCustomControl::TCustomControl;

 protected:
  void Paint() override {
    TCanvas* C = Canvas();
    C->Brush()->SetColor(clWhite);
    C->FillRect(ClientRect());
    C->Font()->SetName("Tahoma");
    C->Font()->SetHeight(-11);
    NxSharedDraw::DrawGradient(C, TRect(10, 10, 110, 40), 0xF5F2F0, 0xC9B0A7);
    NxSharedDraw::DrawGradient(C, TRect(10, 44, 110, 62), 0xFFFFFF, 0xFFD2AF);
    TGraphicsProvider::DrawButtonFrame(C, TRect(120, 10, 190, 36), false);
    TGraphicsProvider::DrawButtonFrame(C, TRect(120, 40, 190, 66), true);
    TGraphicsProvider::DrawFocusFrame(C, TRect(200, 10, 270, 36), false);
    TGraphicsProvider::DrawFocusFrame(C, TRect(200, 40, 270, 66), true);
    auto Src = Bitmap32(40, 24, [](int X, int) { return (static_cast<uint32_t>(X * 255 / 39) << 24) | 0x0000A0FFu; });
    C->Brush()->SetColor(0x808080);
    C->FillRect(TRect(280, 10, 370, 66));
    NxSharedCommon::DrawAlphaBitmap(C, 284, 14, Src.get());
    TDrawProvider::DrawBitmap(C, 326, 14, Src.get());
    C->Brush()->SetColor(clWhite);
    TGraphicsProvider::DrawTextRect(C, TRect(10, 76, 180, 96), taLeftJustify, u"DrawTextRect & co", false);
    NxSharedDraw::DrawTextInRect(C, TRect(10, 96, 180, 116), taLeftJustify, u"&Mnemonic text", false);
    C->Pen()->SetColor(clSilver);
    C->Brush()->SetStyle(bsClear);
    C->Rectangle(190, 76, 270, 150);
    C->Brush()->SetStyle(bsSolid);
    TGraphicsProvider::DrawTextRectEx(C, TRect(190, 76, 270, 150), taCenter, taVerticalCenter, true,
                                      u"Centred text that wraps", bdLeftToRight);
    NxSharedDraw::DrawVerticalText(C, TRect(290, 76, 370, 150), u"Modified\r\nCreated", true);
    NxSharedDraw::SetClipRect(C, ClientRect());
  }
};

}  // namespace

TEST(NxPicture, TheRoutinesSideBySide) {
  rtl::testing::UseVirtualClock(true);
  TForm* F = TCustomForm::Create<TForm>(nullptr);
  F->SetBounds(100, 100, 400, 200);
  auto* Sheet = new TDrawingSheet(F);
  Sheet->SetBounds(0, 0, 380, 160);
  Sheet->SetParent(F);
  F->Show();
  Application->ProcessMessages();
  Sheet->Repaint();
  EXPECT_TRUE(rtl::testing::SaveWindowPng(Sheet->Handle(), PictureDir() + "grid-drawing.png"));
  // The first gradient row and the opaque end of the alpha strip (azure,
  // one level darker through BlendColor).
  EXPECT_EQ(rtl::testing::WindowPixel(Sheet->Handle(), 10, 10), 0xF5F2F0u);
  EXPECT_EQ(rtl::testing::WindowPixel(Sheet->Handle(), 284 + 39, 20), 0xFE9F00u);
  EXPECT_EQ(rtl::testing::WindowPixel(Sheet->Handle(), 326 + 39, 20), 0xFFA000u);
  F->Free();
  Application->ProcessMessages();
  rtl::testing::UseVirtualClock(false);
}
