// A visual style for tests. It records every call that reaches it (class,
// part, state, rectangle, property) and paints each background one flat
// colour made from its part and state, so that a painter's choice of part
// and state shows both in the record and in the pixels. It is installed
// while it lives.
#pragma once

#include <string>
#include <vector>

#include "platform/rtl/types.h"
#include "platform/win/uxtheme/uxtheme.h"

class TRecordingTheme : public rtl::detail::TThemeProvider {
 public:
  struct TCall {
    AnsiString Function;       // "DrawThemeBackground", ...
    std::u16string ClassList;  // as the theme was opened
    int Part = 0, State = 0, Prop = 0;
    RECT Rect{};
  };

  // The classes the style opens, compared without regard to case; empty:
  // every class.
  explicit TRecordingTheme(std::vector<std::u16string> classes = {});
  ~TRecordingTheme() override;
  TRecordingTheme(const TRecordingTheme&) = delete;
  TRecordingTheme& operator=(const TRecordingTheme&) = delete;

  std::vector<TCall> Calls;
  // What the queries answer.
  SIZE PartSizeAnswer{13, 13};
  COLORREF ColorAnswer = RGB(0x10, 0x20, 0x30);
  MARGINS MarginsAnswer{1, 1, 1, 1};
  int ContentInset = 2;
  bool Transparent = false;
  std::u16string FileName = u"luna.msstyles", ColorName = u"NormalColor", SizeName = u"NormalSize";

  // The colour a background of this part and state is painted.
  static COLORREF PartColor(int part, int state) {
    return RGB((part * 8) & 0xFF, (state * 8) & 0xFF, 0x40);
  }
  // The calls of one function, in order.
  std::vector<TCall> CallsOf(const AnsiString& function) const;

  HTHEME Open(HWND hwnd, const std::u16string& classList) override;
  HRESULT Close(HTHEME theme) override;
  HRESULT DrawBackground(HTHEME, HDC, int part, int state, const RECT& rect, const RECT* clip) override;
  HRESULT DrawEdge(HTHEME, HDC, int part, int state, const RECT& rect, UINT edge, UINT flags,
                   RECT* content) override;
  HRESULT DrawText(HTHEME, HDC, int part, int state, const std::u16string& text, DWORD flags, RECT& rect,
                   const DTTOPTS* options) override;
  HRESULT PartSize(HTHEME, HDC, int part, int state, const RECT* rect, THEMESIZE size, SIZE* out) override;
  HRESULT ContentRect(HTHEME, HDC, int part, int state, const RECT& bounds, RECT* content) override;
  HRESULT BackgroundRegion(HTHEME, HDC, int part, int state, const RECT& rect, HRGN* region) override;
  HRESULT Color(HTHEME, int part, int state, int prop, COLORREF* color) override;
  HRESULT Margins(HTHEME, HDC, int part, int state, int prop, MARGINS* margins) override;
  HRESULT Int(HTHEME, int part, int state, int prop, int* value) override;
  bool PartiallyTransparent(HTHEME, int part, int state) override;
  bool PartDefined(HTHEME, int part, int state) override;
  HRESULT CurrentName(std::u16string& file, std::u16string& colour, std::u16string& size) override;

 private:
  std::vector<std::u16string> classes_;
  std::vector<std::u16string> opened_;  // handle n is opened_[n - 1]
  bool Record(const char* function, HTHEME theme, int part, int state, const RECT* rect, int prop = 0);
};
