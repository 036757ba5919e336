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

}  // namespace

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
  } else if (mode == RGN_DIFF) {
    if (a.IsEmpty() || b.IsEmpty()) return a;
  } else {
    return a;
  }
  if (mode != RGN_OR && mode != RGN_XOR) {
    const RECT& ba = a.box_;
    const RECT& bb = b.box_;
    bool disjoint = ba.Right <= bb.Left || bb.Right <= ba.Left || ba.Bottom <= bb.Top || bb.Bottom <= ba.Top;
    if (disjoint) return mode == RGN_AND ? TRegion() : a;
  }

  // Sweep the band boundaries of both regions from top to bottom.
  std::vector<int> ys;
  ys.reserve((a.rects_.size() + b.rects_.size()) * 2);
  for (const RECT& r : a.rects_) {
    ys.push_back(r.Top);
    ys.push_back(r.Bottom);
  }
  for (const RECT& r : b.rects_) {
    ys.push_back(r.Top);
    ys.push_back(r.Bottom);
  }
  std::sort(ys.begin(), ys.end());
  ys.erase(std::unique(ys.begin(), ys.end()), ys.end());

  TRegion out;
  size_t last = 0;
  std::vector<TSpan> sa, sb, so;
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
  *this = Combine(*this, TRegion(r), RGN_AND);
}

void TRegion::Subtract(const RECT& r) { *this = Combine(*this, TRegion(r), RGN_DIFF); }

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
