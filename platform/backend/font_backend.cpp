#include "platform/backend/font_backend.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QString>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <set>
#include <vector>

#include "platform/backend/qt_app.h"

namespace rtl::backend {

namespace {

QString ToQ(const std::u16string& s) { return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size())); }
std::u16string FromQ(const QString& s) { return std::u16string(reinterpret_cast<const char16_t*>(s.utf16()), size_t(s.size())); }

std::u16string Lower(std::u16string s) {
  for (char16_t& c : s)
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  return s;
}

// Face names of the original platform and the families they map to.
const std::set<std::u16string>& SansFaces() {
  static const std::set<std::u16string> s = {
      u"tahoma",         u"segoe ui", u"ms sans serif", u"microsoft sans serif", u"arial",  u"verdana",
      u"ms shell dlg",   u"ms shell dlg 2", u"system",  u"helvetica",            u"calibri", u"trebuchet ms",
      u"marlett",        u"wingdings", u"webdings",     u"symbol",               u"small fonts"};
  return s;
}
const std::set<std::u16string>& MonoFaces() {
  static const std::set<std::u16string> s = {u"courier new", u"courier", u"consolas", u"lucida console",
                                             u"terminal", u"fixedsys"};
  return s;
}
const std::set<std::u16string>& SerifFaces() {
  static const std::set<std::u16string> s = {u"times new roman", u"times", u"georgia", u"ms serif"};
  return s;
}

struct TFamilies {
  std::mutex Lock;
  bool Loaded = false;
  std::vector<std::u16string> Installed;
  std::set<std::u16string> LowerInstalled;
};

TFamilies& Families() {
  static TFamilies f;
  std::lock_guard<std::mutex> g(f.Lock);
  if (!f.Loaded) {
    rtl::detail::EnsureQtApplication();
    for (const QString& name : QFontDatabase::families()) {
      f.Installed.push_back(FromQ(name));
      f.LowerInstalled.insert(Lower(FromQ(name)));
    }
    f.Loaded = true;
  }
  return f;
}

std::u16string FirstInstalled(std::initializer_list<const char16_t*> names) {
  TFamilies& f = Families();
  for (const char16_t* n : names)
    if (f.LowerInstalled.count(Lower(n))) return n;
  return FromQ(QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
}

}  // namespace

std::u16string ResolveFontFamily(const std::u16string& face, bool preferFixed, bool preferSerif) {
  std::u16string l = Lower(face);
  auto sans = [] { return FirstInstalled({u"Liberation Sans", u"DejaVu Sans"}); };
  auto mono = [] { return FirstInstalled({u"Liberation Mono", u"DejaVu Sans Mono"}); };
  auto serif = [] { return FirstInstalled({u"Liberation Serif", u"DejaVu Serif"}); };
  if (MonoFaces().count(l)) return mono();
  if (SerifFaces().count(l)) return serif();
  if (SansFaces().count(l)) return sans();
  if (!l.empty()) {
    TFamilies& f = Families();
    for (const std::u16string& name : f.Installed)
      if (Lower(name) == l) return name;
  }
  return preferFixed ? mono() : preferSerif ? serif() : sans();
}

std::vector<std::u16string> FontFamilies() {
  TFamilies& f = Families();
  std::vector<std::u16string> out = f.Installed;
  for (const char16_t* alias : {u"Arial", u"Courier New", u"MS Sans Serif", u"Microsoft Sans Serif", u"Segoe UI",
                                u"Tahoma", u"Times New Roman", u"Verdana"})
    out.push_back(alias);
  std::sort(out.begin(), out.end(), [](const std::u16string& a, const std::u16string& b) { return Lower(a) < Lower(b); });
  out.erase(std::unique(out.begin(), out.end(), [](const std::u16string& a, const std::u16string& b) {
              return Lower(a) == Lower(b);
            }),
            out.end());
  return out;
}

bool FamilyIsFixedPitch(const std::u16string& family) {
  rtl::detail::EnsureQtApplication();
  std::u16string l = Lower(family);
  if (MonoFaces().count(l)) return true;
  if (SansFaces().count(l) || SerifFaces().count(l)) return false;
  return QFontDatabase::isFixedPitch(ToQ(family));
}

int AddFontFile(const std::string& path, int* fontId) {
  rtl::detail::EnsureQtApplication();
  int id = QFontDatabase::addApplicationFont(QString::fromStdString(path));
  if (id < 0) return 0;
  if (fontId) *fontId = id;
  TFamilies& f = Families();
  std::lock_guard<std::mutex> g(f.Lock);
  QStringList names = QFontDatabase::applicationFontFamilies(id);
  for (const QString& n : names) {
    if (f.LowerInstalled.insert(Lower(FromQ(n))).second) f.Installed.push_back(FromQ(n));
  }
  return static_cast<int>(names.size());
}

bool RemoveFontFile(int id) {
  rtl::detail::EnsureQtApplication();
  QStringList names = QFontDatabase::applicationFontFamilies(id);
  if (!QFontDatabase::removeApplicationFont(id)) return false;
  TFamilies& f = Families();
  std::lock_guard<std::mutex> g(f.Lock);
  // A family stays listed while the system or another added file still has it.
  QStringList left = QFontDatabase::families();
  for (const QString& n : names) {
    if (left.contains(n, Qt::CaseInsensitive)) continue;
    std::u16string lower = Lower(FromQ(n));
    f.LowerInstalled.erase(lower);
    std::erase_if(f.Installed, [&](const std::u16string& i) { return Lower(i) == lower; });
  }
  return true;
}

// ---- Faces --------------------------------------------------------------

namespace {

// The engine's metrics go wrong well before an em of 65536 pixels (ascents
// past 16383 pixels wrap) and it draws nothing of its own past that: larger
// faces are this size magnified.
constexpr int kLargestEngineSize = 8192;
// A glyph whose whole image would pass this many pixels in either
// dimension is made only where it is seen.
constexpr int kLargestWholeGlyph = 4096;

int Saturated(double v) { return static_cast<int>(std::clamp(std::round(v), double(INT32_MIN), double(INT32_MAX))); }

}  // namespace

struct TFontFace::TImpl {
  QFont Font;
  QFontMetrics Metrics;
  QFontMetricsF MetricsF;
  // Outlines of the glyphs too large to be made whole, at the engine's size.
  std::unordered_map<char32_t, QPainterPath> Outlines;
  explicit TImpl(const QFont& f) : Font(f), Metrics(f), MetricsF(f) {}
  const QPainterPath& Outline(char32_t c);
};

TFontFace::TFontFace(const TFontRequest& request) : request_(request) {
  rtl::detail::EnsureQtApplication();
  size_ = std::clamp(request.PixelSize, 1, kLargestPixelSize);
  const int engineSize = std::min(size_, kLargestEngineSize);
  magnify_ = double(size_) / engineSize;
  QFont f(ToQ(ResolveFontFamily(request.Face, request.PreferFixed, request.PreferSerif)));
  f.setPixelSize(engineSize);
  f.setWeight(static_cast<QFont::Weight>(std::clamp(request.Weight, 100, 900)));
  f.setItalic(request.Italic);
  f.setStretch(std::clamp(request.Stretch, 1, 4000));
  f.setKerning(false);
  f.setHintingPreference(QFont::PreferFullHinting);
  f.setStyleStrategy(static_cast<QFont::StyleStrategy>(
      (request.Antialias ? QFont::PreferAntialias : QFont::NoAntialias) | QFont::NoSubpixelAntialias));
  impl_ = std::make_unique<TImpl>(f);
  if (magnify_ == 1) {
    const QFontMetrics& m = impl_->Metrics;
    metrics_.Ascent = m.ascent();
    metrics_.Descent = m.descent();
    metrics_.ExternalLeading = std::max(0, m.leading());
    metrics_.AveCharWidth = m.averageCharWidth();
    metrics_.MaxCharWidth = m.maxWidth();
    metrics_.UnderlinePos = std::max(1, m.underlinePos());
    metrics_.StrikeOutPos = m.strikeOutPos();
    metrics_.LineThickness = std::max(1, m.lineWidth());
  } else {
    const QFontMetricsF& m = impl_->MetricsF;
    auto big = [&](qreal v) { return Saturated(v * magnify_); };
    metrics_.Ascent = big(m.ascent());
    metrics_.Descent = big(m.descent());
    metrics_.ExternalLeading = std::max(0, big(m.leading()));
    metrics_.AveCharWidth = big(m.averageCharWidth());
    metrics_.MaxCharWidth = big(m.maxWidth());
    metrics_.UnderlinePos = std::max(1, big(m.underlinePos()));
    metrics_.StrikeOutPos = big(m.strikeOutPos());
    metrics_.LineThickness = std::max(1, big(m.lineWidth()));
  }
  QFontInfo info(f);
  metrics_.FixedPitch = info.fixedPitch();
  metrics_.Family = FromQ(info.family());
}

TFontFace::~TFontFace() = default;

std::shared_ptr<TFontFace> TFontFace::Get(const TFontRequest& request) {
  static std::mutex lock;
  static std::vector<std::shared_ptr<TFontFace>> faces;
  std::lock_guard<std::mutex> g(lock);
  for (const auto& f : faces)
    if (f->request_ == request) return f;
  auto face = std::shared_ptr<TFontFace>(new TFontFace(request));
  faces.push_back(face);
  return face;
}

int TFontFace::Advance(char32_t c) {
  std::lock_guard<std::mutex> g(lock_);
  auto it = advances_.find(c);
  if (it != advances_.end()) return it->second;
  QString s = QString::fromUcs4(&c, 1);
  int a = magnify_ == 1 ? impl_->Metrics.horizontalAdvance(s)
                        : Saturated(impl_->MetricsF.horizontalAdvance(s) * magnify_);
  advances_.emplace(c, a);
  return a;
}

void TFontFace::Bearings(char32_t c, int& a, int& cRight) {
  std::lock_guard<std::mutex> g(lock_);
  if (c > 0xFFFF) {
    a = cRight = 0;
    return;
  }
  QChar q(static_cast<char16_t>(c));
  if (magnify_ == 1) {
    a = impl_->Metrics.leftBearing(q);
    cRight = impl_->Metrics.rightBearing(q);
  } else {
    a = Saturated(impl_->MetricsF.leftBearing(q) * magnify_);
    cRight = Saturated(impl_->MetricsF.rightBearing(q) * magnify_);
  }
}

bool TFontFace::HasGlyph(char32_t c) {
  std::lock_guard<std::mutex> g(lock_);
  return impl_->Metrics.inFontUcs4(c);
}

const TGlyph* TFontFace::Glyph(char32_t c, int angle) {
  angle %= 3600;
  if (angle < 0) angle += 3600;
  uint64_t key = (uint64_t(uint32_t(angle)) << 32) | uint32_t(c);
  {
    std::lock_guard<std::mutex> g(lock_);
    auto it = glyphs_.find(key);
    if (it != glyphs_.end()) return it->second.get();
  }
  int64_t adv = Advance(c);
  std::lock_guard<std::mutex> g(lock_);
  int64_t asc = metrics_.Ascent, desc = metrics_.Descent;
  int64_t pad = std::max(2, size_ / 2);
  int64_t w, h, ox, oy;
  if (angle == 0) {
    w = adv + 2 * pad + size_ / 2;
    h = asc + desc + 2 * pad;
    ox = pad;
    oy = pad + asc;
  } else {
    double r = std::ceil(std::hypot(double(adv + pad), double(asc + desc + pad))) + double(pad);
    w = h = r > kLargestWholeGlyph ? int64_t(kLargestWholeGlyph) + 1 : 2 * int64_t(r);
    ox = oy = w / 2;
  }
  if (w > kLargestWholeGlyph || h > kLargestWholeGlyph) return nullptr;
  auto glyph = std::make_unique<TGlyph>();
  QImage img(int(w), int(h), QImage::Format_Alpha8);
  // An image that cannot be had draws nothing, and is not kept: it may be
  // had later.
  if (img.isNull()) return nullptr;
  img.fill(0);
  {
    QPainter p(&img);
    p.setRenderHint(QPainter::TextAntialiasing, request_.Antialias);
    p.setFont(impl_->Font);
    p.setPen(QColor(0, 0, 0, 255));
    p.translate(double(ox), double(oy));
    if (angle) p.rotate(-angle / 10.0);
    p.drawText(QPointF(0, 0), QString::fromUcs4(&c, 1));
  }
  int minX = int(w), minY = int(h), maxX = -1, maxY = -1;
  for (int y = 0; y < h; ++y) {
    const uchar* row = img.constScanLine(y);
    for (int x = 0; x < w; ++x)
      if (row[x]) {
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
      }
  }
  if (maxX >= 0) {
    glyph->Left = minX - int(ox);
    glyph->Top = minY - int(oy);
    glyph->Width = maxX - minX + 1;
    glyph->Height = maxY - minY + 1;
    glyph->Coverage.resize(size_t(glyph->Width) * size_t(glyph->Height));
    for (int y = 0; y < glyph->Height; ++y) {
      const uchar* row = img.constScanLine(minY + y) + minX;
      for (int x = 0; x < glyph->Width; ++x) {
        uint8_t v = row[x];
        if (!request_.Antialias) v = v >= 128 ? 255 : 0;
        glyph->Coverage[size_t(y) * size_t(glyph->Width) + size_t(x)] = v;
      }
    }
  }
  const TGlyph* ref = glyph.get();
  glyphs_.emplace(key, std::move(glyph));
  return ref;
}

namespace {

// The glyph's pixels relative to the pen for a face drawn at `magnify`
// times the engine's size, turned by `angle`.
QTransform GlyphTransform(int angle, double magnify) {
  QTransform t;
  if (angle % 3600) t.rotate(-angle / 10.0);
  if (magnify != 1) t.scale(magnify, magnify);
  return t;
}

// An outline cut to a rectangle, for filling with the winding rule. Curves
// are flattened only where they come near the rectangle; elsewhere each
// becomes its chord, which changes nothing inside: what lies between a
// curve and its chord lies inside its control points' box. Each closed
// polygon is then cut to the rectangle, which keeps the winding of every
// point inside it, so that the rasteriser walks only edges in the window,
// however long the glyph's own.
class TOutlineCutter {
 public:
  explicit TOutlineCutter(const QRectF& box) : box_(box) {}

  QPainterPath Cut(const QPainterPath& outline, const QTransform& t) {
    for (int i = 0; i < outline.elementCount(); ++i) {
      const QPainterPath::Element& e = outline.elementAt(i);
      QPointF at = t.map(QPointF(e.x, e.y));
      if (e.isMoveTo()) {
        Close();
        poly_.push_back(at);
      } else if (e.isLineTo()) {
        poly_.push_back(at);
      } else if (e.isCurveTo() && i + 2 < outline.elementCount()) {
        const QPainterPath::Element &c2 = outline.elementAt(i + 1), &end = outline.elementAt(i + 2);
        Curve(poly_.empty() ? at : poly_.back(), at, t.map(QPointF(c2.x, c2.y)), t.map(QPointF(end.x, end.y)),
              kDepth);
        i += 2;
      }
    }
    Close();
    out_.setFillRule(Qt::WindingFill);
    return out_;
  }

 private:
  static constexpr int kDepth = 40;     // halvings: far below a pixel for any glyph
  static constexpr double kFlat = 0.05;  // pixels a flattened curve may stray

  void Curve(QPointF p0, QPointF p1, QPointF p2, QPointF p3, int depth) {
    QRectF hull = QRectF(p0, p3).normalized().united(QRectF(p1, p2).normalized());
    hull.adjust(-kFlat, -kFlat, kFlat, kFlat);
    if (depth == 0 || !hull.intersects(box_) || Flat(p0, p1, p2, p3)) {
      poly_.push_back(p3);
      return;
    }
    QPointF a = (p0 + p1) / 2, b = (p1 + p2) / 2, c = (p2 + p3) / 2, ab = (a + b) / 2, bc = (b + c) / 2,
            mid = (ab + bc) / 2;
    Curve(p0, a, ab, mid, depth - 1);
    Curve(mid, bc, c, p3, depth - 1);
  }

  // The control points lie within kFlat of the chord.
  static bool Flat(QPointF p0, QPointF p1, QPointF p2, QPointF p3) {
    QPointF d = p3 - p0;
    double len = std::hypot(d.x(), d.y());
    auto off = [&](QPointF p) {
      QPointF v = p - p0;
      return len > 0 ? std::fabs(v.x() * d.y() - v.y() * d.x()) / len : std::hypot(v.x(), v.y());
    };
    return off(p1) <= kFlat && off(p2) <= kFlat;
  }

  // Cuts the polygon to the box, one side at a time.
  void Close() {
    if (poly_.size() >= 3) {
      CutBy([&](QPointF p) { return p.x() >= box_.left(); },
            [&](QPointF a, QPointF b) { return Along(a, b, (box_.left() - a.x()) / (b.x() - a.x())); });
      CutBy([&](QPointF p) { return p.x() <= box_.right(); },
            [&](QPointF a, QPointF b) { return Along(a, b, (box_.right() - a.x()) / (b.x() - a.x())); });
      CutBy([&](QPointF p) { return p.y() >= box_.top(); },
            [&](QPointF a, QPointF b) { return Along(a, b, (box_.top() - a.y()) / (b.y() - a.y())); });
      CutBy([&](QPointF p) { return p.y() <= box_.bottom(); },
            [&](QPointF a, QPointF b) { return Along(a, b, (box_.bottom() - a.y()) / (b.y() - a.y())); });
      if (poly_.size() >= 3) {
        out_.moveTo(poly_[0]);
        for (size_t k = 1; k < poly_.size(); ++k) out_.lineTo(poly_[k]);
        out_.closeSubpath();
      }
    }
    poly_.clear();
  }

  static QPointF Along(QPointF a, QPointF b, double f) { return a + (b - a) * f; }

  template <class In, class Cross>
  void CutBy(In in, Cross cross) {
    std::vector<QPointF> kept;
    kept.reserve(poly_.size() + 4);
    for (size_t k = 0; k < poly_.size(); ++k) {
      QPointF a = poly_[k], b = poly_[(k + 1) % poly_.size()];
      bool ia = in(a), ib = in(b);
      if (ia) kept.push_back(a);
      if (ia != ib) kept.push_back(cross(a, b));
    }
    poly_.swap(kept);
  }

  QRectF box_;
  std::vector<QPointF> poly_;
  QPainterPath out_;
};

}  // namespace

const QPainterPath& TFontFace::TImpl::Outline(char32_t c) {
  auto it = Outlines.find(c);
  if (it != Outlines.end()) return it->second;
  // Shaped as drawing shapes it, so that a character the family lacks
  // comes from the family that stands in for it.
  QPainterPath outline;
  outline.addText(QPointF(0, 0), Font, QString::fromUcs4(&c, 1));
  return Outlines.emplace(c, std::move(outline)).first->second;
}

TGlyphBox TFontFace::BoundsLocked(char32_t c, int angle) {
  const QPainterPath& outline = impl_->Outline(c);
  if (outline.isEmpty()) return TGlyphBox{};
  // A curve lies inside its control points, and a pixel it touches in the
  // pixel around them.
  QRectF b = GlyphTransform(angle, magnify_).mapRect(outline.controlPointRect());
  return TGlyphBox{Saturated(std::floor(b.left()) - 1), Saturated(std::floor(b.top()) - 1),
                   Saturated(std::ceil(b.right()) + 1), Saturated(std::ceil(b.bottom()) + 1)};
}

TGlyphBox TFontFace::GlyphBounds(char32_t c, int angle) {
  std::lock_guard<std::mutex> g(lock_);
  return BoundsLocked(c, angle);
}

TGlyph TFontFace::GlyphPart(char32_t c, int angle, const TGlyphBox& window) {
  std::lock_guard<std::mutex> g(lock_);
  TGlyphBox b = BoundsLocked(c, angle);
  b.Left = std::max(b.Left, window.Left);
  b.Top = std::max(b.Top, window.Top);
  b.Right = std::min(b.Right, window.Right);
  b.Bottom = std::min(b.Bottom, window.Bottom);
  TGlyph part;
  if (b.IsEmpty()) return part;
  int64_t w = int64_t(b.Right) - b.Left, h = int64_t(b.Bottom) - b.Top;
  if (w * h > kLargestGlyphPart) return part;
  QImage img(int(w), int(h), QImage::Format_Alpha8);
  if (img.isNull()) return part;
  img.fill(0);
  {
    QTransform t = GlyphTransform(angle, magnify_) * QTransform::fromTranslate(-double(b.Left), -double(b.Top));
    // A pixel of room around the image, so that the edges the cut adds
    // along the box shade none of its pixels.
    TOutlineCutter cutter(QRectF(-1, -1, double(w) + 2, double(h) + 2));
    QPainterPath shape = cutter.Cut(impl_->Outline(c), t);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, request_.Antialias);
    p.fillPath(shape, QColor(0, 0, 0, 255));
  }
  part.Left = b.Left;
  part.Top = b.Top;
  part.Width = int(w);
  part.Height = int(h);
  part.Coverage.resize(size_t(w) * size_t(h));
  for (int y = 0; y < part.Height; ++y) {
    const uchar* row = img.constScanLine(y);
    uint8_t* out = part.Coverage.data() + size_t(y) * size_t(w);
    for (int x = 0; x < part.Width; ++x) out[x] = request_.Antialias ? row[x] : (row[x] >= 128 ? 255 : 0);
  }
  return part;
}

}  // namespace rtl::backend
