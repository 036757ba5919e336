// The value type behind HRGN and every clip: a set of pixels kept as
// y-x banded rectangles (sorted by top, then left; rectangles of one band
// share top and bottom, never touch horizontally, and two vertically
// adjacent bands never have the same x-intervals), so equal sets have equal
// rectangle lists.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

#include "platform/win/kernel/windef.h"

namespace rtl::detail {

class TRegion {
  std::vector<RECT> rects_;
  RECT box_{};

 public:
  // An x-interval [first, second) of one pixel row.
  using TSpan = std::pair<int, int>;

  TRegion() = default;
  explicit TRegion(const RECT& r) { SetRect(r); }

  void Clear();
  // An inverted or empty rectangle gives the empty region.
  void SetRect(const RECT& r);
  // Builds the region from rows: rows[i] holds the sorted, disjoint
  // intervals of row top + i.
  static TRegion FromRows(int top, const std::vector<std::vector<TSpan>>& rows);
  // The union of any rectangles (empty ones ignored), in one sweep.
  static TRegion FromRects(const RECT* rects, size_t n);

  bool IsEmpty() const { return rects_.empty(); }
  bool IsRect() const { return rects_.size() == 1; }
  const RECT& Box() const { return box_; }
  const std::vector<RECT>& Rects() const { return rects_; }
  // NULLREGION, SIMPLEREGION or COMPLEXREGION.
  int Complexity() const;

  bool Contains(int x, int y) const;
  bool Intersects(const RECT& r) const;
  bool ContainsRect(const RECT& r) const;
  void Offset(int dx, int dy);
  bool operator==(const TRegion& o) const { return rects_ == o.rects_; }

  // RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF on sorted, disjoint intervals.
  static void CombineSpans(const std::vector<TSpan>& a, const std::vector<TSpan>& b, int mode,
                           std::vector<TSpan>& out);
  // RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF.
  static TRegion Combine(const TRegion& a, const TRegion& b, int mode);
  void Intersect(const RECT& r);
  void Intersect(const TRegion& r) { *this = Combine(*this, r, 1); }
  // Inline for the common case of a rectangle that misses the region.
  void Subtract(const RECT& r) {
    if (rects_.empty() || r.Left >= r.Right || r.Top >= r.Bottom || r.Right <= box_.Left || r.Left >= box_.Right ||
        r.Bottom <= box_.Top || r.Top >= box_.Bottom)
      return;
    ClipOrCut(r, true);
  }

  // The index of the first rectangle whose band may hold row y or later.
  size_t FirstBandAtOrBelow(int y) const;
  // Calls f(rect) for every rectangle of the region clipped to `bounds`.
  template <class F>
  void ForEachIn(const RECT& bounds, F&& f) const {
    if (bounds.Left >= bounds.Right || bounds.Top >= bounds.Bottom) return;
    for (size_t i = FirstBandAtOrBelow(bounds.Top); i < rects_.size(); ++i) {
      const RECT& r = rects_[i];
      if (r.Top >= bounds.Bottom) break;
      if (r.Right <= bounds.Left || r.Left >= bounds.Right) continue;
      RECT c{r.Left > bounds.Left ? r.Left : bounds.Left, r.Top > bounds.Top ? r.Top : bounds.Top,
             r.Right < bounds.Right ? r.Right : bounds.Right, r.Bottom < bounds.Bottom ? r.Bottom : bounds.Bottom};
      f(c);
    }
  }
  // Calls f(x0, x1) for the parts of row y's interval [x0, x1) inside.
  template <class F>
  void ForEachSpan(int y, int x0, int x1, F&& f) const {
    if (x0 >= x1 || y < box_.Top || y >= box_.Bottom) return;
    for (size_t i = FirstBandAtOrBelow(y); i < rects_.size(); ++i) {
      const RECT& r = rects_[i];
      if (r.Top > y) break;
      if (r.Right <= x0) continue;
      if (r.Left >= x1) break;
      f(r.Left > x0 ? r.Left : x0, r.Right < x1 ? r.Right : x1);
    }
  }

 private:
  void UpdateBox();
  // Keeps only what lies in r (cut false) or takes r out (cut true),
  // band by band, without a general sweep.
  void ClipOrCut(const RECT& r, bool cut);
};

}  // namespace rtl::detail
