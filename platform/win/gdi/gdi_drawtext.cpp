// DrawText and DrawTextEx: prefixes, tabs, line and word breaks, the three
// ellipsis styles, alignment, clipping and DT_CALCRECT, all over one
// layout so that measuring and drawing agree.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/backend/font_backend.h"
#include "platform/rtl/text_codec.h"
#include "platform/win/gdi/gdi_raster.h"
#include "platform/win/gdi/gdi_int_range.h"
#include "platform/win/gdi/gdi_text.h"

namespace rtl::detail {

namespace {

const char16_t kEllipsis[] = u"...";

struct TLine {
  std::u16string Text;
  int Underline = -1;  // index of the prefixed character
  int Width = 0;
};

class TLayout {
 public:
  TLayout(TGdiDC* dc, TRealFont& font, UINT format, int tabWidth) : dc_(dc), font_(font), format_(format), tab_(tabWidth) {}

  // Cumulative x after each unit of s, tabs expanded from x = 0.
  std::vector<int> Positions(const std::u16string& s) {
    std::vector<TTextChar> chars = SplitText(s.data(), static_cast<int>(s.size()));
    std::vector<int> adv;
    CharAdvances(dc_, font_, chars, adv);
    std::vector<int> pos;
    pos.reserve(s.size());
    // Summed wide: a huge font's line may pass the range of int.
    int64_t x = 0;
    for (size_t i = 0; i < chars.size(); ++i) {
      if (chars[i].Code == u'\t' && (format_ & DT_EXPANDTABS))
        x = tab_ > 0 ? (x / tab_ + 1) * tab_ : x;
      else
        x += adv[i];
      const int at = ClampInt(x);
      x = at;
      for (int k = 0; k < chars[i].Units; ++k) pos.push_back(at);
    }
    return pos;
  }
  int Width(const std::u16string& s) {
    if (s.empty()) return 0;
    return Positions(s).back();
  }

  // Breaks a paragraph into lines no wider than maxWidth where it can.
  void Wrap(const std::u16string& para, int underline, int maxWidth, std::vector<TLine>& out) {
    std::vector<int> pos = Positions(para);
    size_t n = para.size(), start = 0;
    bool first = true;
    auto x0 = [&](size_t i) { return i == 0 ? 0 : pos[i - 1]; };
    while (start < n || first) {
      if (!first)
        while (start < n && para[start] == u' ') ++start;
      if (start >= n && !first) break;
      first = false;
      size_t i = start, lastBreak = 0;
      bool broke = false;
      for (; i < n; ++i) {
        // Spaces may hang past the edge; the next word breaks.
        if (para[i] != u' ' && pos[i] - x0(start) > maxWidth && i > start) {
          broke = true;
          break;
        }
        if (para[i] == u' ' || (CanBreakAfter(para[i]) && i + 1 < n)) lastBreak = i + 1;
      }
      size_t end = i, next = i;
      if (broke) {
        if (lastBreak > start) {
          end = next = lastBreak;
        } else if (format_ & DT_EDITCONTROL) {
          end = next = std::max(i, start + 1);
        } else {
          // A word wider than the line stays whole.
          while (end < n && para[end] != u' ') ++end;
          next = end;
        }
      }
      TLine line;
      size_t trimmed = end;
      while (trimmed > start && para[trimmed - 1] == u' ') --trimmed;
      line.Text = para.substr(start, trimmed - start);
      if (underline >= 0 && size_t(underline) >= start && size_t(underline) < trimmed)
        line.Underline = underline - static_cast<int>(start);
      out.push_back(std::move(line));
      start = next;
      if (start >= n) break;
    }
  }

  // Shortens a line to fit maxWidth with "..." at its end.
  void EndEllipsis(TLine& line, int maxWidth) {
    std::vector<int> pos = Positions(line.Text);
    int dots = Width(kEllipsis);
    size_t keep = 0;
    while (keep < line.Text.size() && pos[keep] + dots <= maxWidth) ++keep;
    if (keep > 0 && keep < line.Text.size() && line.Text[keep] >= 0xDC00 && line.Text[keep] <= 0xDFFF) --keep;
    line.Text = line.Text.substr(0, keep) + kEllipsis;
    if (line.Underline >= static_cast<int>(keep)) line.Underline = -1;
  }

  // Keeps the last path component, replacing the middle with "...".
  void PathEllipsis(TLine& line, int maxWidth) {
    size_t sep = line.Text.find_last_of(u"\\/");
    if (sep == std::u16string::npos) {
      EndEllipsis(line, maxWidth);
      return;
    }
    std::u16string tail = line.Text.substr(sep);
    std::u16string head = line.Text.substr(0, sep);
    // The longest head that fits, by halving: widths grow with the head,
    // and long paths would take a measurement per character otherwise.
    auto fits = [&](size_t n) { return Width(head.substr(0, n) + kEllipsis + tail) <= maxWidth; };
    size_t lo = 0, hi = head.size();
    if (!fits(hi)) {
      while (hi - lo > 1) {
        size_t mid = lo + (hi - lo) / 2;
        (fits(mid) ? lo : hi) = mid;
      }
      if (lo > 0 && head[lo - 1] >= 0xD800 && head[lo - 1] <= 0xDBFF) --lo;
      head.resize(lo);
    }
    if (head.empty() && Width(kEllipsis + tail) > maxWidth) {
      TLine t{kEllipsis + tail, -1, 0};
      EndEllipsis(t, maxWidth);
      line.Text = t.Text;
      line.Underline = -1;
      return;
    }
    line.Text = head + kEllipsis + tail;
    if (line.Underline >= static_cast<int>(head.size())) line.Underline = -1;
  }

 private:
  bool CanBreakAfter(char16_t c) const {
    if (format_ & DT_NOFULLWIDTHCHARBREAK) return false;
    return (c >= 0x3000 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFF00 && c <= 0xFFEF);
  }

  TGdiDC* dc_;
  TRealFont& font_;
  UINT format_;
  int tab_;
};

// Removes "&" prefixes; the index of the character after the last single
// "&" (the one to underline) goes to `underline`.
std::u16string StripPrefixes(const std::u16string& s, int& underline) {
  std::u16string out;
  underline = -1;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == u'&') {
      if (i + 1 < s.size() && s[i + 1] == u'&') {
        out.push_back(u'&');
        ++i;
        continue;
      }
      if (i + 1 < s.size()) underline = static_cast<int>(out.size());
      continue;
    }
    out.push_back(s[i]);
  }
  return out;
}

int DrawTextCore(HDC hdc, char16_t* text, int count, LPRECT rect, UINT format, LPDRAWTEXTPARAMS params,
                 std::u16string* modified) {
  auto dc = GdiDC(hdc);
  TRealFont font;
  if (!dc || !rect || !text || !RealizeFont(dc, font)) return 0;
  if (count < 0) count = static_cast<int>(std::char_traits<char16_t>::length(text));
  if (params && params->cbSize != sizeof(DRAWTEXTPARAMS)) return 0;
  std::u16string src(text, size_t(count));

  const TEXTMETRICW& tm = font.Tm;
  int tabChars = 8;
  if (format & DT_TABSTOP) {
    tabChars = (format >> 8) & 0xFF;
    // The high byte holds the tab size, so these flags are not given.
    format &= ~UINT(0xFF00);
  }
  if (params && params->iTabLength > 0) tabChars = params->iTabLength;
  int tabWidth = tabChars * std::max<int>(1, tm.tmAveCharWidth);
  int lineHeight = tm.tmHeight + ((format & DT_EXTERNALLEADING) ? tm.tmExternalLeading : 0);
  int leftMargin = params ? params->iLeftMargin : 0, rightMargin = params ? params->iRightMargin : 0;
  int left = rect->Left + leftMargin, right = rect->Right - rightMargin;
  int maxWidth = right - left;

  TLayout layout(dc, font, format, tabWidth);
  bool prefixes = !(format & DT_NOPREFIX);
  // Paragraphs, then lines.
  std::vector<TLine> lines;
  auto addParagraph = [&](const std::u16string& para) {
    int underline = -1;
    std::u16string body = prefixes ? StripPrefixes(para, underline) : para;
    if ((format & DT_WORDBREAK) && !(format & DT_SINGLELINE)) {
      layout.Wrap(body, underline, maxWidth, lines);
    } else {
      lines.push_back(TLine{body, underline, 0});
    }
  };
  if (format & DT_SINGLELINE) {
    addParagraph(src);
  } else {
    size_t start = 0;
    for (size_t i = 0; i <= src.size(); ++i) {
      if (i == src.size() || src[i] == u'\n' || src[i] == u'\r') {
        addParagraph(src.substr(start, i - start));
        if (i < src.size() && src[i] == u'\r' && i + 1 < src.size() && src[i + 1] == u'\n') ++i;
        start = i + 1;
      }
    }
  }

  // Ellipses.
  UINT ellipsis = format & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS);
  bool changed = false;
  if (ellipsis) {
    bool wrap = (format & DT_WORDBREAK) && !(format & DT_SINGLELINE);
    int visible = static_cast<int>(lines.size());
    if (wrap && lineHeight > 0 && !(format & DT_CALCRECT)) {
      int fit = std::max(1, (rect->Bottom - rect->Top) / lineHeight);
      if (fit < visible) {
        // The last line that shows carries the ellipsis for what is cut.
        visible = fit;
        lines.resize(size_t(fit));
        TLine& last = lines.back();
        if (layout.Width(last.Text + kEllipsis) > maxWidth)
          layout.EndEllipsis(last, maxWidth);
        else
          last.Text += kEllipsis;
        changed = true;
      }
    }
    for (size_t i = 0; i < lines.size(); ++i) {
      TLine& l = lines[i];
      if (layout.Width(l.Text) <= maxWidth) continue;
      // Inside wrapped text only the end of the string gets an ellipsis.
      if (wrap && i + 1 < lines.size() && !(format & DT_WORD_ELLIPSIS)) continue;
      if (ellipsis & DT_PATH_ELLIPSIS)
        layout.PathEllipsis(l, maxWidth);
      else
        layout.EndEllipsis(l, maxWidth);
      changed = true;
    }
  }
  if (modified && changed && (format & DT_MODIFYSTRING)) {
    modified->clear();
    for (size_t i = 0; i < lines.size(); ++i) {
      if (i) modified->push_back(u'\n');
      *modified += lines[i].Text;
    }
  }

  int widest = 0;
  for (TLine& l : lines) {
    l.Width = layout.Width(l.Text);
    widest = std::max(widest, l.Width);
  }
  int height = static_cast<int>(lines.size()) * lineHeight;
  if (params) params->uiLengthDrawn = static_cast<UINT>(count);

  if (format & DT_CALCRECT) {
    rect->Right = rect->Left + leftMargin + widest + rightMargin;
    rect->Bottom = rect->Top + height;
    return height;
  }

  int top = rect->Top;
  int result = height;
  if (format & DT_SINGLELINE) {
    if (format & DT_VCENTER) {
      top = rect->Top + (rect->Bottom - rect->Top - height) / 2;
      result = top - rect->Top + height;
    } else if (format & DT_BOTTOM) {
      top = rect->Bottom - height;
      result = rect->Bottom - rect->Top;
    }
  }

  // Draw with the DC's colours and font, from the top-left of each line.
  UINT savedAlign = dc->S.TextAlign;
  dc->S.TextAlign = TA_LEFT | TA_TOP;
  RECT clip = *rect;
  UINT options = (format & DT_NOCLIP) ? 0 : ETO_CLIPPED;
  int y = top;
  for (size_t i = 0; i < lines.size(); ++i, y += lineHeight) {
    const TLine& l = lines[i];
    // An edit control does not show a partly visible last line.
    if ((format & DT_EDITCONTROL) && i > 0 && y + lineHeight > rect->Bottom) break;
    int x = left;
    if (format & DT_CENTER)
      x = left + (maxWidth - l.Width) / 2;
    else if (format & DT_RIGHT)
      x = right - l.Width;
    std::vector<int> pos = layout.Positions(l.Text);
    if (!(format & DT_PREFIXONLY)) {
      // Segments between tabs go to their stops.
      size_t s = 0;
      for (size_t k = 0; k <= l.Text.size(); ++k) {
        if (k == l.Text.size() || (l.Text[k] == u'\t' && (format & DT_EXPANDTABS))) {
          int sx = x + (s == 0 ? 0 : pos[s - 1]);
          if (k > s) TextOutCore(dc, sx, y, options, &clip, l.Text.data() + s, static_cast<int>(k - s), nullptr);
          s = k + 1;
        }
      }
    }
    if (l.Underline >= 0 && !(format & DT_HIDEPREFIX) && l.Underline < static_cast<int>(l.Text.size())) {
      int u0 = x + (l.Underline == 0 ? 0 : pos[size_t(l.Underline - 1)]);
      int u1 = x + pos[size_t(l.Underline)];
      int uy = y + std::min<int>(tm.tmAscent + 1, lineHeight - 1);
      RECT ur{u0, uy, u1, uy + 1};
      if (!(format & DT_NOCLIP)) {
        ur.Left = std::max(ur.Left, clip.Left);
        ur.Right = std::min(ur.Right, clip.Right);
        if (ur.Top < clip.Top || ur.Bottom > clip.Bottom) ur.Right = ur.Left;
      }
      TGdiBrush b;
      b.Color = dc->S.TextColor;
      if (ur.Left < ur.Right) PatBltRegion(dc, LogicalRectToTarget(dc, ur), 0xF0, &b);
    }
  }
  dc->S.TextAlign = savedAlign;
  return result;
}

}  // namespace

}  // namespace rtl::detail

using namespace rtl::detail;

int DrawTextExW(HDC hdc, LPWSTR text, int count, LPRECT rect, UINT format, LPDRAWTEXTPARAMS params) {
  std::u16string modified;
  int r = DrawTextCore(hdc, text, count, rect, format, params, &modified);
  if ((format & DT_MODIFYSTRING) && !modified.empty() && text) {
    int n = count < 0 ? static_cast<int>(std::char_traits<char16_t>::length(text)) : count;
    // The buffer holds the text plus room for the ellipsis.
    size_t room = size_t(n) + 4;
    size_t k = std::min(modified.size(), room - 1);
    std::copy(modified.begin(), modified.begin() + static_cast<ptrdiff_t>(k), text);
    text[k] = 0;
  }
  return r;
}

int DrawTextW(HDC hdc, LPCWSTR text, int count, LPRECT rect, UINT format) {
  if (!text) return 0;
  // DrawText itself never changes the caller's text.
  std::u16string copy = count < 0 ? std::u16string(text) : std::u16string(text, size_t(count));
  return DrawTextCore(hdc, copy.data(), static_cast<int>(copy.size()), rect, format & ~UINT(DT_MODIFYSTRING),
                      nullptr, nullptr);
}

int DrawTextExA(HDC hdc, LPSTR text, int count, LPRECT rect, UINT format, LPDRAWTEXTPARAMS params) {
  if (!text) return 0;
  WideString w = AnsiText(text, count);
  int n = count < 0 ? static_cast<int>(std::strlen(text)) : count;
  std::u16string modified;
  int r = DrawTextCore(hdc, w.data(), static_cast<int>(w.size()), rect, format, params, &modified);
  if ((format & DT_MODIFYSTRING) && !modified.empty()) {
    std::string out = WideToAnsi(modified);
    size_t k = std::min(out.size(), size_t(n) + 3);
    std::memcpy(text, out.data(), k);
    text[k] = 0;
  }
  return r;
}

int DrawTextA(HDC hdc, LPCSTR text, int count, LPRECT rect, UINT format) {
  if (!text) return 0;
  WideString w = AnsiText(text, count);
  return DrawTextCore(hdc, w.data(), static_cast<int>(w.size()), rect, format & ~UINT(DT_MODIFYSTRING), nullptr,
                      nullptr);
}
