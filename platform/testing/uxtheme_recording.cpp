// The recording visual style.
#include "platform/testing/uxtheme_recording.h"

#include <algorithm>

namespace {

std::u16string Upper(std::u16string s) {
  for (char16_t& c : s)
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
  return s;
}

// The classes of a list ("Button;Edit").
std::vector<std::u16string> Split(const std::u16string& list) {
  std::vector<std::u16string> out;
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(u';', start);
    if (end == std::u16string::npos) end = list.size();
    if (end > start) out.push_back(Upper(list.substr(start, end - start)));
    start = end + 1;
  }
  return out;
}

}  // namespace

TRecordingTheme::TRecordingTheme(std::vector<std::u16string> classes) {
  for (const std::u16string& c : classes) classes_.push_back(Upper(c));
  rtl::detail::SetThemeProvider(this);
}

TRecordingTheme::~TRecordingTheme() {
  if (rtl::detail::ThemeProvider() == this) rtl::detail::SetThemeProvider(nullptr);
}

std::vector<TRecordingTheme::TCall> TRecordingTheme::CallsOf(const AnsiString& function) const {
  std::vector<TCall> out;
  for (const TCall& c : Calls)
    if (c.Function == function) out.push_back(c);
  return out;
}

bool TRecordingTheme::Record(const char* function, HTHEME theme, int part, int state, const RECT* rect, int prop) {
  auto n = reinterpret_cast<uintptr_t>(theme);
  if (n == 0 || n > opened_.size() || opened_[n - 1].empty()) return false;
  Calls.push_back(TCall{function, opened_[n - 1], part, state, prop, rect ? *rect : RECT()});
  return true;
}

HTHEME TRecordingTheme::Open(HWND, const std::u16string& classList) {
  bool known = classes_.empty();
  for (const std::u16string& c : Split(classList))
    known |= std::find(classes_.begin(), classes_.end(), c) != classes_.end();
  if (!known) return nullptr;
  opened_.push_back(classList);
  Calls.push_back(TCall{"OpenThemeData", classList, 0, 0, 0, RECT()});
  return reinterpret_cast<HTHEME>(static_cast<uintptr_t>(opened_.size()));
}

HRESULT TRecordingTheme::Close(HTHEME theme) {
  if (!Record("CloseThemeData", theme, 0, 0, nullptr)) return E_HANDLE;
  opened_[reinterpret_cast<uintptr_t>(theme) - 1].clear();
  return S_OK;
}

HRESULT TRecordingTheme::DrawBackground(HTHEME theme, HDC hdc, int part, int state, const RECT& rect,
                                        const RECT* clip) {
  if (!Record("DrawThemeBackground", theme, part, state, &rect)) return E_HANDLE;
  RECT r = rect;
  if (clip) {
    r = RECT(std::max(r.Left, clip->Left), std::max(r.Top, clip->Top), std::min(r.Right, clip->Right),
             std::min(r.Bottom, clip->Bottom));
    if (r.IsEmpty()) return S_OK;
  }
  HBRUSH brush = CreateSolidBrush(PartColor(part, state));
  FillRect(hdc, &r, brush);
  DeleteObject(brush);
  return S_OK;
}

HRESULT TRecordingTheme::DrawEdge(HTHEME theme, HDC, int part, int state, const RECT& rect, UINT, UINT,
                                  RECT* content) {
  if (!Record("DrawThemeEdge", theme, part, state, &rect)) return E_HANDLE;
  if (content) *content = rect;
  return S_OK;
}

HRESULT TRecordingTheme::DrawText(HTHEME theme, HDC, int part, int state, const std::u16string&, DWORD,
                                  RECT& rect, const DTTOPTS*) {
  return Record("DrawThemeText", theme, part, state, &rect) ? S_OK : E_HANDLE;
}

HRESULT TRecordingTheme::PartSize(HTHEME theme, HDC, int part, int state, const RECT* rect, THEMESIZE size,
                                  SIZE* out) {
  if (!Record("GetThemePartSize", theme, part, state, rect, size)) return E_HANDLE;
  *out = PartSizeAnswer;
  return S_OK;
}

HRESULT TRecordingTheme::ContentRect(HTHEME theme, HDC, int part, int state, const RECT& bounds, RECT* content) {
  if (!Record("GetThemeBackgroundContentRect", theme, part, state, &bounds)) return E_HANDLE;
  *content = RECT(bounds.Left + ContentInset, bounds.Top + ContentInset, bounds.Right - ContentInset,
                  bounds.Bottom - ContentInset);
  return S_OK;
}

HRESULT TRecordingTheme::BackgroundRegion(HTHEME theme, HDC, int part, int state, const RECT& rect, HRGN* region) {
  if (!Record("GetThemeBackgroundRegion", theme, part, state, &rect)) return E_HANDLE;
  *region = CreateRectRgnIndirect(&rect);
  return S_OK;
}

HRESULT TRecordingTheme::Color(HTHEME theme, int part, int state, int prop, COLORREF* color) {
  if (!Record("GetThemeColor", theme, part, state, nullptr, prop)) return E_HANDLE;
  *color = ColorAnswer;
  return S_OK;
}

HRESULT TRecordingTheme::Margins(HTHEME theme, HDC, int part, int state, int prop, MARGINS* margins) {
  if (!Record("GetThemeMargins", theme, part, state, nullptr, prop)) return E_HANDLE;
  *margins = MarginsAnswer;
  return S_OK;
}

HRESULT TRecordingTheme::Int(HTHEME theme, int part, int state, int prop, int* value) {
  if (!Record("GetThemeInt", theme, part, state, nullptr, prop)) return E_HANDLE;
  *value = 0;
  return S_OK;
}

bool TRecordingTheme::PartiallyTransparent(HTHEME theme, int part, int state) {
  return Record("IsThemeBackgroundPartiallyTransparent", theme, part, state, nullptr) && Transparent;
}

bool TRecordingTheme::PartDefined(HTHEME theme, int part, int state) {
  return Record("IsThemePartDefined", theme, part, state, nullptr);
}

HRESULT TRecordingTheme::CurrentName(std::u16string& file, std::u16string& colour, std::u16string& size) {
  file = FileName;
  colour = ColorName;
  size = SizeName;
  return S_OK;
}
