#include "platform/win/gdi/gdi_region.h"

#include <algorithm>

#include "platform/win/gdi/gdi.h"

namespace rtl::detail {

namespace {

using TSpan = TRegion::TSpan;

}  // namespace

void TRegion::CombineSpans(const std::vector<TSpan>& a, const std::vector<TSpan>& b, int mode, std::vector<TSpan>& out) {
  out.clear();
  size_t ia = 0, ib = 0;
  bool inA = false, inB = false;
  bool inside = false;
  int start = 0;
  auto test = [mode](bool x, bool y) {
    switch (mode) {
      case RGN_AND: return x && y;
      case RGN_OR: return x || y;
      case RGN_XOR: return x != y;
      default: return x && !y;  // RGN_DIFF
    }
  };
  while (ia < a.size() * 2 || ib < b.size() * 2) {
    // Next event: interval starts at index 2k, ends at 2k+1.
    int xa = ia < a.size() * 2 ? ((ia & 1) ? a[ia / 2].second : a[ia / 2].first) : INT32_MAX;
    int xb = ib < b.size() * 2 ? ((ib & 1) ? b[ib / 2].second : b[ib / 2].first) : INT32_MAX;
    int x = std::min(xa, xb);
    if (xa == x) {
      inA = !(ia & 1);
      ++ia;
    }
    if (xb == x) {
      inB = !(ib & 1);
      ++ib;
    }
    bool now = test(inA, inB);
    if (now != inside) {
      if (now) {
        start = x;
      } else if (x > start) {
        if (!out.empty() && out.back().second == start)
          out.back().second = x;
        else
          out.emplace_back(start, x);
      }
      inside = now;
    }
  }
}

namespace {

// Appends a band, merging it into the previous one when it continues it.
void AppendBand(std::vector<RECT>& rects, size_t& lastBandStart, int top, int bottom, const std::vector<TSpan>& spans) {
  if (spans.empty() || top >= bottom) return;
  size_t prevCount = rects.size() - lastBandStart;
  if (prevCount == spans.size() && prevCount > 0 && rects[lastBandStart].Bottom == top) {
    bool same = true;
    for (size_t i = 0; i < spans.size(); ++i) {
      const RECT& r = rects[lastBandStart + i];
      if (r.Left != spans[i].first || r.Right != spans[i].second) {
        same = false;
        break;
      }
    }
    if (same) {
      for (size_t i = lastBandStart; i < rects.size(); ++i) rects[i].Bottom = bottom;
      return;
    }
  }
  lastBandStart = rects.size();
  for (const TSpan& s : spans) rects.push_back(RECT{s.first, top, s.second, bottom});
}

// Appends a band whose x-intervals are those of `src` (rects of one
// band) kept to [keepL, keepR) and with [cutL, cutR) taken out, merging it
// into the previous band when it continues it. Works in place on `rects`,
// without allocating once `rects` has grown to its size.
void AppendClippedBand(std::vector<RECT>& rects, size_t& lastBandStart, int top, int bottom, const RECT* src,
                       size_t count, int keepL, int keepR, int cutL, int cutR) {
  if (top >= bottom) return;
  size_t start = rects.size();
  auto push = [&](int l, int r) {
    if (l < r) rects.push_back(RECT{l, top, r, bottom});
  };
  for (size_t i = 0; i < count; ++i) {
    int l = std::max(src[i].Left, keepL), r = std::min(src[i].Right, keepR);
    if (l >= r) continue;
    if (r <= cutL || l >= cutR) {
      push(l, r);
    } else {
      push(l, cutL);
      push(cutR, r);
    }
  }
  size_t n = rects.size() - start;
  if (n == 0) return;
  size_t prevCount = start - lastBandStart;
  if (prevCount == n && rects[lastBandStart].Bottom == top) {
    bool same = true;
    for (size_t i = 0; i < n && same; ++i)
      same = rects[lastBandStart + i].Left == rects[start + i].Left &&
             rects[lastBandStart + i].Right == rects[start + i].Right;
    if (same) {
      for (size_t i = lastBandStart; i < start; ++i) rects[i].Bottom = bottom;
      rects.resize(start);
      return;
    }
  }
  lastBandStart = start;
}

// Scratch storage for rebuilding a region's rectangles: swapped with the
// region's own vector, so that steady use allocates nothing.
std::vector<RECT>& Scratch() {
  thread_local std::vector<RECT> scratch;
  return scratch;
}

}  // namespace

void TRegion::ClipOrCut(const RECT& r, bool cut) {
  std::vector<RECT>& out = Scratch();
  out.clear();
  size_t last = 0;
  constexpr int kMin = INT32_MIN, kMax = INT32_MAX;
  // A cut changes only the bands that r crosses; those, with one band on
  // either side (which may now merge with them), are rebuilt and spliced
  // back in place of the old ones.
  size_t from = 0, to = rects_.size();
  if (cut) {
    auto bandStart = [&](size_t i) {
      while (i > 0 && rects_[i - 1].Top == rects_[i].Top) --i;
      return i;
    };
    from = FirstBandAtOrBelow(r.Top);
    if (from > 0) from = bandStart(from - 1);
    to = from;
    while (to < rects_.size() && rects_[to].Top < r.Bottom) ++to;
    if (to < rects_.size()) {
      int top = rects_[to].Top;
      while (to < rects_.size() && rects_[to].Top == top) ++to;
    }
  }
  for (size_t i = from; i < to;) {
    size_t j = i;
    int top = rects_[i].Top, bottom = rects_[i].Bottom;
    while (j < to && rects_[j].Top == top) ++j;
    const RECT* band = rects_.data() + i;
    size_t n = j - i;
    int midTop = std::max(top, r.Top), midBottom = std::min(bottom, r.Bottom);
    if (cut) {
      if (midTop >= midBottom) {
        AppendClippedBand(out, last, top, bottom, band, n, kMin, kMax, 0, 0);
      } else {
        AppendClippedBand(out, last, top, midTop, band, n, kMin, kMax, 0, 0);
        AppendClippedBand(out, last, midTop, midBottom, band, n, kMin, kMax, r.Left, r.Right);
        AppendClippedBand(out, last, midBottom, bottom, band, n, kMin, kMax, 0, 0);
      }
    } else if (midTop < midBottom) {
      AppendClippedBand(out, last, midTop, midBottom, band, n, r.Left, r.Right, 0, 0);
    }
    i = j;
  }
  if (!cut) {
    rects_.swap(out);
    UpdateBox();
    return;
  }
  size_t had = to - from;
  if (out.size() > had)
    rects_.insert(rects_.begin() + ptrdiff_t(to), out.size() - had, RECT{});
  else
    rects_.erase(rects_.begin() + ptrdiff_t(from + out.size()), rects_.begin() + ptrdiff_t(to));
  std::copy(out.begin(), out.end(), rects_.begin() + ptrdiff_t(from));
  // Pixels left of r are all still there: the left edge can only have moved
  // when r reaches it, and likewise the right.
  if (rects_.empty() || r.Left <= box_.Left || r.Right >= box_.Right) {
    UpdateBox();
  } else {
    box_.Top = rects_.front().Top;
    box_.Bottom = rects_.back().Bottom;
  }
}

void TRegion::Clear() {
  rects_.clear();
  box_ = RECT{};
}

void TRegion::SetRect(const RECT& r) {
  rects_.clear();
  if (r.Left < r.Right && r.Top < r.Bottom) rects_.push_back(r);
  UpdateBox();
}

TRegion TRegion::FromRows(int top, const std::vector<std::vector<TSpan>>& rows) {
  TRegion r;
  size_t last = 0;
  for (size_t i = 0; i < rows.size(); ++i) {
    int y = top + static_cast<int>(i);
    AppendBand(r.rects_, last, y, y + 1, rows[i]);
  }
  r.UpdateBox();
  return r;
}

TRegion TRegion::FromRects(const RECT* rects, size_t n) {
  TRegion out;
  // Rectangles that already form a region (what GetRegionData gives) are
  // taken as they are.
  bool canonical = true;
  size_t bandStart = 0, prevBand = SIZE_MAX;
  for (size_t i = 0; i < n && canonical; ++i) {
    const RECT& r = rects[i];
    if (r.Left >= r.Right || r.Top >= r.Bottom) {
      canonical = false;
    } else if (i > 0 && r.Top == rects[i - 1].Top) {
      canonical = r.Bottom == rects[i - 1].Bottom && r.Left > rects[i - 1].Right;
    } else {
      if (i > 0) {
        const RECT& p = rects[i - 1];
        if (r.Top < p.Bottom) canonical = false;
        prevBand = bandStart;
        bandStart = i;
      }
    }
    // A band touching the one above may not repeat its intervals.
    if (canonical && prevBand != SIZE_MAX && (i + 1 == n || rects[i + 1].Top != r.Top) &&
        rects[prevBand].Bottom == r.Top && i + 1 - bandStart == bandStart - prevBand) {
      bool same = true;
      for (size_t k = 0; k < bandStart - prevBand && same; ++k)
        same = rects[prevBand + k].Left == rects[bandStart + k].Left &&
               rects[prevBand + k].Right == rects[bandStart + k].Right;
      if (same) canonical = false;
    }
  }
  if (canonical) {
    out.rects_.assign(rects, rects + n);
    out.UpdateBox();
    return out;
  }
  // Otherwise a sweep over the band edges of all of them.
  std::vector<RECT> sorted;
  std::vector<int> ys;
  for (size_t i = 0; i < n; ++i)
    if (rects[i].Left < rects[i].Right && rects[i].Top < rects[i].Bottom) {
      sorted.push_back(rects[i]);
      ys.push_back(rects[i].Top);
      ys.push_back(rects[i].Bottom);
    }
  std::sort(sorted.begin(), sorted.end(), [](const RECT& a, const RECT& b) { return a.Top < b.Top; });
  std::sort(ys.begin(), ys.end());
  ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
  std::vector<const RECT*> active;
  std::vector<TSpan> spans, merged;
  size_t next = 0, last = 0;
  for (size_t k = 0; k + 1 < ys.size(); ++k) {
    int y0 = ys[k], y1 = ys[k + 1];
    while (next < sorted.size() && sorted[next].Top <= y0) active.push_back(&sorted[next++]);
    active.erase(std::remove_if(active.begin(), active.end(), [y0](const RECT* r) { return r->Bottom <= y0; }),
                 active.end());
    spans.clear();
    for (const RECT* r : active) spans.emplace_back(r->Left, r->Right);
    std::sort(spans.begin(), spans.end());
    merged.clear();
    for (const TSpan& sp : spans) {
      if (!merged.empty() && sp.first <= merged.back().second)
        merged.back().second = std::max(merged.back().second, sp.second);
      else
        merged.push_back(sp);
    }
    AppendBand(out.rects_, last, y0, y1, merged);
  }
  out.UpdateBox();
  return out;
}

int TRegion::Complexity() const {
  if (rects_.empty()) return NULLREGION;
  return rects_.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

size_t TRegion::FirstBandAtOrBelow(int y) const {
  auto it = std::upper_bound(rects_.begin(), rects_.end(), y, [](int v, const RECT& r) { return v < r.Bottom; });
  return static_cast<size_t>(it - rects_.begin());
}

bool TRegion::Contains(int x, int y) const {
  bool found = false;
  ForEachSpan(y, x, x + 1, [&](int, int) { found = true; });
  return found;
}

bool TRegion::Intersects(const RECT& r) const {
  bool found = false;
  RECT n{std::min(r.Left, r.Right), std::min(r.Top, r.Bottom), std::max(r.Left, r.Right),
         std::max(r.Top, r.Bottom)};
  ForEachIn(n, [&](const RECT&) { found = true; });
  return found;
}

bool TRegion::ContainsRect(const RECT& r) const {
  if (r.Left >= r.Right || r.Top >= r.Bottom) return false;
  TRegion rr(r);
  return Combine(rr, *this, RGN_DIFF).IsEmpty();
}

void TRegion::Offset(int dx, int dy) {
  for (RECT& r : rects_) {
    r.Left += dx;
    r.Right += dx;
    r.Top += dy;
    r.Bottom += dy;
  }
  UpdateBox();
}

TRegion TRegion::Combine(const TRegion& a, const TRegion& b, int mode) {
  // Shortcuts for the frequent cases keep clipping cheap.
  if (mode == RGN_AND) {
    if (a.IsEmpty() || b.IsEmpty()) return TRegion();
    if (a.IsRect() && b.IsRect()) {
      const RECT& x = a.rects_[0];
      const RECT& y = b.rects_[0];
      return TRegion(RECT{std::max(x.Left, y.Left), std::max(x.Top, y.Top), std::min(x.Right, y.Right),
                          std::min(x.Bottom, y.Bottom)});
    }
  } else if (mode == RGN_OR || mode == RGN_XOR) {
    if (a.IsEmpty()) return b;
    if (b.IsEmpty()) return a;
    if (mode == RGN_OR) {
      // One inside a rectangular other, or two rectangles that make one.
      auto covers = [](const RECT& r, const RECT& box) {
        return r.Left <= box.Left && r.Top <= box.Top && r.Right >= box.Right && r.Bottom >= box.Bottom;
      };
      if (a.IsRect() && covers(a.rects_[0], b.box_)) return a;
      if (b.IsRect() && covers(b.rects_[0], a.box_)) return b;
      if (a.IsRect() && b.IsRect()) {
        const RECT& x = a.rects_[0];
        const RECT& y = b.rects_[0];
        if (x.Top == y.Top && x.Bottom == y.Bottom && x.Left <= y.Right && y.Left <= x.Right)
          return TRegion(RECT{std::min(x.Left, y.Left), x.Top, std::max(x.Right, y.Right), x.Bottom});
        if (x.Left == y.Left && x.Right == y.Right && x.Top <= y.Bottom && y.Top <= x.Bottom)
          return TRegion(RECT{x.Left, std::min(x.Top, y.Top), x.Right, std::max(x.Bottom, y.Bottom)});
      }
    }
  } else if (mode == RGN_DIFF) {
    if (a.IsEmpty() || b.IsEmpty()) return a;
    const RECT& bb = b.box_;
    if (b.IsRect() && bb.Left <= a.box_.Left && bb.Top <= a.box_.Top && bb.Right >= a.box_.Right &&
        bb.Bottom >= a.box_.Bottom)
      return TRegion();
  } else {
    return a;
  }
  // A rectangle as the second operand of an intersection or difference
  // needs no sweep (and the first of an intersection, by symmetry).
  if (mode == RGN_AND && (b.IsRect() || a.IsRect())) {
    TRegion out = b.IsRect() ? a : b;
    out.Intersect(b.IsRect() ? b.rects_[0] : a.rects_[0]);
    return out;
  }
  if (mode == RGN_DIFF && b.IsRect()) {
    TRegion out = a;
    out.Subtract(b.rects_[0]);
    return out;
  }
  if (mode != RGN_OR && mode != RGN_XOR) {
    const RECT& ba = a.box_;
    const RECT& bb = b.box_;
    bool disjoint = ba.Right <= bb.Left || bb.Right <= ba.Left || ba.Bottom <= bb.Top || bb.Bottom <= ba.Top;
    if (disjoint) return mode == RGN_AND ? TRegion() : a;
  }

  // Sweep the band boundaries of both regions from top to bottom. Each
  // region's band edges come in order already, so the two lists merge
  // without sorting; the working lists are kept between calls.
  thread_local std::vector<int> ya, yb, ys;
  auto bandEdges = [](const std::vector<RECT>& rects, std::vector<int>& out) {
    out.clear();
    for (size_t i = 0; i < rects.size(); ++i)
      if (i == 0 || rects[i].Top != rects[i - 1].Top) {
        if (out.empty() || out.back() != rects[i].Top) out.push_back(rects[i].Top);
        out.push_back(rects[i].Bottom);
      }
  };
  bandEdges(a.rects_, ya);
  bandEdges(b.rects_, yb);
  ys.resize(ya.size() + yb.size());
  ys.erase(std::merge(ya.begin(), ya.end(), yb.begin(), yb.end(), ys.begin()), ys.end());
  ys.erase(std::unique(ys.begin(), ys.end()), ys.end());

  TRegion out;
  size_t last = 0;
  thread_local std::vector<TSpan> sa, sb, so;
  size_t ia = 0, ib = 0;
  auto spansAt = [](const std::vector<RECT>& rects, size_t& idx, int y, std::vector<TSpan>& spans) {
    spans.clear();
    while (idx < rects.size() && rects[idx].Bottom <= y) ++idx;
    for (size_t i = idx; i < rects.size() && rects[i].Top <= y; ++i)
      if (rects[i].Bottom > y) spans.emplace_back(rects[i].Left, rects[i].Right);
  };
  for (size_t k = 0; k + 1 < ys.size(); ++k) {
    int y0 = ys[k], y1 = ys[k + 1];
    spansAt(a.rects_, ia, y0, sa);
    spansAt(b.rects_, ib, y0, sb);
    if (sa.empty() && sb.empty()) continue;
    CombineSpans(sa, sb, mode, so);
    AppendBand(out.rects_, last, y0, y1, so);
  }
  out.UpdateBox();
  return out;
}

void TRegion::Intersect(const RECT& r) {
  if (IsRect()) {
    RECT x = rects_[0];
    SetRect(RECT{std::max(x.Left, r.Left), std::max(x.Top, r.Top), std::min(x.Right, r.Right),
                 std::min(x.Bottom, r.Bottom)});
    return;
  }
  if (r.Left >= r.Right || r.Top >= r.Bottom) {
    Clear();
    return;
  }
  if (r.Left <= box_.Left && r.Top <= box_.Top && r.Right >= box_.Right && r.Bottom >= box_.Bottom) return;
  ClipOrCut(r, false);
}



void TRegion::UpdateBox() {
  if (rects_.empty()) {
    box_ = RECT{};
    return;
  }
  box_ = RECT{rects_[0].Left, rects_.front().Top, rects_[0].Right, rects_.back().Bottom};
  for (const RECT& r : rects_) {
    box_.Left = std::min(box_.Left, r.Left);
    box_.Right = std::max(box_.Right, r.Right);
  }
}

}  // namespace rtl::detail
