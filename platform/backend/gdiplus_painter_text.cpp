// Text for the GDI+ painter: fonts from family names, and one layout used
// alike by drawing, measuring and outlining, so that what is measured is
// what is drawn.
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

#include "platform/backend/font_backend.h"
#include "platform/backend/gdiplus_painter.h"
#include "platform/backend/gdiplus_painter_internal.h"
#include "platform/backend/qt_app.h"

namespace rtl::backend::detail {
namespace {

// StringFormatFlags and trimming values.
constexpr int kDirectionRightToLeft = 0x0001;
constexpr int kMeasureTrailingSpaces = 0x0800;
constexpr int kNoWrap = 0x1000;
constexpr int kLineLimit = 0x2000;
constexpr int kNoClip = 0x4000;
constexpr int kTrimEllipsisCharacter = 3, kTrimEllipsisWord = 4, kTrimEllipsisPath = 5;

QString ToQ(const std::u16string& s) { return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size())); }

// Layout happens at 96 dots per inch, the resolution of every target.
QPaintDevice* Device() {
  static QImage device = [] {
    QImage i(1, 1, QImage::Format_ARGB32_Premultiplied);
    i.setDotsPerMeterX(3780);
    i.setDotsPerMeterY(3780);
    return i;
  }();
  return &device;
}

QFont MakeFont(const TGpFontData& f, bool antialias = true) {
  QFont q(ToQ(ResolveFontFamily(f.Family)));
  q.setPointSizeF(std::max(0.01, double(f.EmSize) * 0.75));
  q.setBold(f.Bold);
  q.setItalic(f.Italic);
  q.setUnderline(f.Underline);
  q.setStrikeOut(f.Strikeout);
  q.setKerning(false);
  q.setHintingPreference(QFont::PreferNoHinting);
  q.setStyleStrategy(
      static_cast<QFont::StyleStrategy>((antialias ? QFont::PreferAntialias : QFont::NoAntialias) |
                                        QFont::NoSubpixelAntialias));
  return q;
}

struct TLine {
  int Start = 0, Length = 0;  // in the shown text
  QString Elided;             // when trimming cut the line
  float X = 0, Y = 0, Width = 0, Ascent = 0;
};

struct TLayout {
  QFont Font;
  QString Shown;             // the text after prefix and line-break handling
  std::vector<int> Source;   // source index of each shown character
  std::vector<int> Hotkeys;  // shown indexes to underline
  std::unique_ptr<QTextLayout> Text;
  std::vector<TLine> Lines;  // the visible ones
  TGpRectF Bounds;
  int Fitted = 0;
  bool Clip = false;
  QRectF ClipRect;
};

void Prepare(const std::u16string& text, const TGpTextFormat& format, TLayout& l) {
  const size_t n = text.size();
  for (size_t i = 0; i < n; ++i) {
    char16_t c = text[i];
    if (c == u'\r' || c == u'\n') {
      l.Source.push_back(static_cast<int>(i));
      if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n') ++i;
      l.Shown += QChar::LineSeparator;
      continue;
    }
    if (c == u'&' && format.HotkeyPrefix != 0) {
      if (i + 1 < n && text[i + 1] == u'&') {
        ++i;
      } else {
        if (i + 1 < n && format.HotkeyPrefix == 1) l.Hotkeys.push_back(static_cast<int>(l.Shown.size()));
        continue;
      }
    }
    l.Source.push_back(static_cast<int>(i));
    l.Shown += QChar(c);
  }
  l.Source.push_back(static_cast<int>(n));
}

void Layout(const std::u16string& text, const TGpFontData& font, const TGpRectF& rect, const TGpTextFormat& format,
            bool antialias, TLayout& l) {
  rtl::detail::EnsureQtApplication();
  l.Font = MakeFont(font, antialias);
  Prepare(text, format, l);
  const float pad = format.Typographic ? 0.0f : font.EmSize / 6;
  const bool limitedWidth = rect.Width > 0;
  const float avail = limitedWidth ? std::max(0.0f, rect.Width - 2 * pad) : 0;
  const bool wrap = limitedWidth && !(format.Flags & kNoWrap);

  l.Text = std::make_unique<QTextLayout>(l.Shown, l.Font, Device());
  QTextOption opt;
  opt.setWrapMode(wrap ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::ManualWrap);
  opt.setTextDirection((format.Flags & kDirectionRightToLeft) ? Qt::RightToLeft : Qt::LeftToRight);
  if (!format.TabStops.empty()) {
    QList<QTextOption::Tab> tabs;
    qreal at = format.FirstTabOffset;
    for (float t : format.TabStops) {
      at += t;
      tabs.append(QTextOption::Tab(at, QTextOption::LeftTab));
    }
    opt.setTabs(tabs);
  }
  l.Text->setTextOption(opt);
  if (!l.Hotkeys.empty()) {
    QList<QTextLayout::FormatRange> ranges;
    for (int k : l.Hotkeys) {
      QTextLayout::FormatRange r;
      r.start = k;
      r.length = 1;
      r.format.setFontUnderline(true);
      ranges.append(r);
    }
    l.Text->setFormats(ranges);
  }
  std::vector<QTextLine> lines;
  l.Text->beginLayout();
  for (QTextLine line = l.Text->createLine(); line.isValid(); line = l.Text->createLine()) {
    line.setLineWidth(wrap ? avail : 1e7);
    lines.push_back(line);
  }
  l.Text->endLayout();

  QFontMetricsF fm(l.Font, Device());
  const float spacing = static_cast<float>(fm.lineSpacing());
  size_t visible = lines.size();
  if (rect.Height > 0 && spacing > 0) {
    size_t fit = (format.Flags & kLineLimit) ? static_cast<size_t>(std::floor(rect.Height / spacing + 1e-4))
                                             : static_cast<size_t>(std::ceil(rect.Height / spacing - 1e-4));
    visible = std::min(visible, fit);
  }
  const bool ellipsis = format.Trimming == kTrimEllipsisCharacter || format.Trimming == kTrimEllipsisWord ||
                        format.Trimming == kTrimEllipsisPath;
  const Qt::TextElideMode elide = format.Trimming == kTrimEllipsisPath ? Qt::ElideMiddle : Qt::ElideRight;
  const bool trailing = format.Flags & kMeasureTrailingSpaces;
  float widest = 0;
  for (size_t i = 0; i < visible; ++i) {
    TLine t;
    t.Start = lines[i].textStart();
    t.Length = lines[i].textLength();
    t.Ascent = static_cast<float>(lines[i].ascent());
    t.Width = static_cast<float>(trailing ? lines[i].horizontalAdvance() : lines[i].naturalTextWidth());
    bool cutBelow = i + 1 == visible && visible < lines.size();
    if (ellipsis && limitedWidth && (cutBelow || t.Width > avail + 0.01f)) {
      QString rest = l.Shown.mid(t.Start, cutBelow ? -1 : t.Length);
      rest.replace(QChar::LineSeparator, QLatin1Char(' '));
      if (cutBelow) rest += QChar(0x2026);  // the text goes on: an ellipsis must show
      t.Elided = fm.elidedText(rest, elide, avail);
      t.Width = static_cast<float>(fm.horizontalAdvance(t.Elided));
    }
    widest = std::max(widest, t.Width);
    l.Lines.push_back(t);
  }

  // Place the lines.
  TGpStringAlign align = format.Align;
  if ((format.Flags & kDirectionRightToLeft) && align != saCenter) align = align == saNear ? saFar : saNear;
  const float total = spacing * static_cast<float>(l.Lines.size());
  float y0 = rect.Y;
  if (rect.Height > 0) {
    if (format.LineAlign == saCenter) y0 += (rect.Height - total) / 2;
    if (format.LineAlign == saFar) y0 += rect.Height - total;
  } else {
    if (format.LineAlign == saCenter) y0 -= total / 2;
    if (format.LineAlign == saFar) y0 -= total;
  }
  float left = 1e30f;
  for (size_t i = 0; i < l.Lines.size(); ++i) {
    TLine& t = l.Lines[i];
    t.Y = y0 + spacing * static_cast<float>(i);
    if (limitedWidth)
      t.X = rect.X + pad + (align == saNear ? 0 : (avail - t.Width) * (align == saCenter ? 0.5f : 1.0f));
    else
      t.X = align == saNear ? rect.X + pad : (align == saCenter ? rect.X - t.Width / 2 : rect.X - t.Width - pad);
    left = std::min(left, t.X);
  }
  if (l.Lines.empty()) left = rect.X + pad;
  l.Bounds.X = left - pad;
  l.Bounds.Y = y0;
  l.Bounds.Width = l.Lines.empty() ? 0 : widest + 2 * pad;
  if (limitedWidth) l.Bounds.Width = std::min(l.Bounds.Width, rect.Width);
  l.Bounds.Height = total;
  int shownFitted = 0;
  for (const TLine& t : l.Lines) shownFitted = t.Start + t.Length;
  if (visible == lines.size()) shownFitted = static_cast<int>(l.Shown.size());
  l.Fitted = l.Source[static_cast<size_t>(std::clamp<int>(shownFitted, 0, static_cast<int>(l.Source.size()) - 1))];
  l.Clip = !(format.Flags & kNoClip) && rect.Width > 0 && rect.Height > 0;
  l.ClipRect = QRectF(rect.X, rect.Y, rect.Width, rect.Height);
}

}  // namespace

void PaintText(QPainter& painter, const std::u16string& text, const TGpFontData& font, const TGpRectF& layout,
               const TGpTextFormat& format) {
  TLayout l;
  Layout(text, font, layout, format, painter.testRenderHint(QPainter::TextAntialiasing), l);
  if (l.Clip) painter.setClipRect(l.ClipRect, Qt::IntersectClip);
  painter.setFont(l.Font);
  for (const TLine& t : l.Lines) {
    if (!t.Elided.isNull()) {
      painter.drawText(QPointF(t.X, t.Y + t.Ascent), t.Elided);
    } else {
      QTextLine line = l.Text->lineForTextPosition(t.Start);
      line.draw(&painter, QPointF(t.X - line.x(), t.Y - line.y()));
    }
  }
}

}  // namespace rtl::backend::detail

namespace rtl::backend {

using namespace detail;

void GpMeasureText(const std::u16string& text, const TGpFontData& font, const TGpRectF& layout,
                   const TGpTextFormat& format, TGpTextLayout& out, const std::vector<std::pair<int, int>>* ranges,
                   std::vector<std::vector<TGpRectF>>* rangeBoxes) {
  TLayout l;
  Layout(text, font, layout, format, true, l);
  out.Bounds = l.Bounds;
  out.CodepointsFitted = l.Fitted;
  out.LinesFilled = static_cast<int>(l.Lines.size());
  if (!ranges || !rangeBoxes) return;
  rangeBoxes->clear();
  QFontMetricsF fm(l.Font, Device());
  for (const auto& [first, length] : *ranges) {
    std::vector<TGpRectF> boxes;
    for (const TLine& t : l.Lines) {
      if (!t.Elided.isNull()) continue;
      QTextLine line = l.Text->lineForTextPosition(t.Start);
      // Shown positions of the source range, clipped to this line.
      int a = -1, b = -1;
      for (size_t k = 0; k + 1 < l.Source.size(); ++k) {
        if (l.Source[k] >= first && l.Source[k] < first + length) {
          if (a < 0) a = static_cast<int>(k);
          b = static_cast<int>(k) + 1;
        }
      }
      a = std::max(a, t.Start);
      b = std::min(b, t.Start + t.Length);
      if (a < 0 || b <= a) continue;
      float x1 = static_cast<float>(line.cursorToX(a)), x2 = static_cast<float>(line.cursorToX(b));
      boxes.push_back({t.X + std::min(x1, x2), t.Y, std::fabs(x2 - x1), static_cast<float>(fm.lineSpacing())});
    }
    rangeBoxes->push_back(std::move(boxes));
  }
}

void GpTextToPath(const std::u16string& text, const TGpFontData& font, const TGpRectF& layout,
                  const TGpTextFormat& format, TGpPathData& path) {
  TLayout l;
  Layout(text, font, layout, format, true, l);
  QPainterPath q;
  for (const TLine& t : l.Lines) {
    QString s = t.Elided.isNull() ? l.Shown.mid(t.Start, t.Length) : t.Elided;
    s.remove(QChar::LineSeparator);
    q.addText(QPointF(t.X, t.Y + t.Ascent), l.Font, s);
  }
  AppendPath(q, path);
}

TGpFontMetrics GpFontMetrics(const std::u16string& family, bool bold, bool italic) {
  rtl::detail::EnsureQtApplication();
  TGpFontData f;
  f.Family = family;
  f.EmSize = 1000;
  f.Bold = bold;
  f.Italic = italic;
  QFont q = MakeFont(f);
  QFontMetricsF fm(q, Device());
  TGpFontMetrics m;
  m.Family = ResolveFontFamily(family);
  m.Ascent = static_cast<float>(fm.ascent() / 1000);
  m.Descent = static_cast<float>(fm.descent() / 1000);
  m.LineSpacing = static_cast<float>(fm.lineSpacing() / 1000);
  return m;
}

bool GpFontFamilyExists(const std::u16string& family) {
  if (family.empty()) return false;
  auto lower = [](std::u16string s) {
    for (char16_t& c : s)
      if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    return s;
  };
  std::u16string want = lower(family);
  for (const std::u16string& f : FontFamilies())
    if (lower(f) == want) return true;
  return false;
}

std::vector<std::u16string> GpInstalledFamilies() { return FontFamilies(); }

}  // namespace rtl::backend
