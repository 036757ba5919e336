// Regions: trees of rectangles and paths combined by set operations,
// answered in pixels where a question needs them.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/win/gdiplus/gdiplus_internal.h"

namespace rtl::detail {

using rtl::backend::kInfiniteExtent;

std::shared_ptr<const TGpRegionNode> RegionNode(TGpRegionNode::TKind kind) {
  auto n = std::make_shared<TGpRegionNode>();
  n->Kind = kind;
  return n;
}

std::shared_ptr<const TGpRegionNode> RectNode(const GpRectF& rect) {
  auto n = std::make_shared<TGpRegionNode>();
  n->Kind = TGpRegionNode::rnRect;
  n->Rect = {rect.X, rect.Y, rect.Width, rect.Height};
  return n;
}

std::shared_ptr<const TGpRegionNode> PathNode(const TGpPathData& path) {
  auto n = std::make_shared<TGpRegionNode>();
  n->Kind = TGpRegionNode::rnPath;
  n->Path = path;
  return n;
}

std::shared_ptr<const TGpRegionNode> CombineNodes(std::shared_ptr<const TGpRegionNode> a,
                                                  std::shared_ptr<const TGpRegionNode> b, CombineMode mode) {
  using K = TGpRegionNode;
  auto is = [](const std::shared_ptr<const TGpRegionNode>& n, K::TKind k) { return n->Kind == k; };
  switch (mode) {
    case CombineModeReplace: return b;
    case CombineModeIntersect:
      if (is(a, K::rnEmpty) || is(b, K::rnInfinite)) return a;
      if (is(b, K::rnEmpty) || is(a, K::rnInfinite)) return b;
      break;
    case CombineModeUnion:
      if (is(a, K::rnInfinite) || is(b, K::rnEmpty)) return a;
      if (is(b, K::rnInfinite) || is(a, K::rnEmpty)) return b;
      break;
    case CombineModeXor:
      if (is(b, K::rnEmpty)) return a;
      if (is(a, K::rnEmpty)) return b;
      break;
    case CombineModeExclude:
      if (is(a, K::rnEmpty) || is(b, K::rnEmpty)) return a;
      if (is(b, K::rnInfinite)) return RegionNode(K::rnEmpty);
      break;
    case CombineModeComplement:
      if (is(b, K::rnEmpty) || is(a, K::rnEmpty)) return b;
      if (is(a, K::rnInfinite)) return RegionNode(K::rnEmpty);
      break;
  }
  auto n = std::make_shared<TGpRegionNode>();
  n->Kind = K::rnCombine;
  n->Combine = mode;
  n->Left = std::move(a);
  n->Right = std::move(b);
  return n;
}

std::shared_ptr<const TGpRegionNode> TransformNode(const std::shared_ptr<const TGpRegionNode>& node,
                                                   const TGpMatrix& m) {
  if (m.IsIdentity()) return node;
  switch (node->Kind) {
    case TGpRegionNode::rnEmpty:
    case TGpRegionNode::rnInfinite: return node;
    case TGpRegionNode::rnRect: {
      const auto& r = node->Rect;
      if (m.M12 == 0 && m.M21 == 0) {
        double x1, y1, x2, y2;
        m.Map(r.X, r.Y, x1, y1);
        m.Map(r.X + r.Width, r.Y + r.Height, x2, y2);
        return RectNode(GpRectF{REAL(std::min(x1, x2)), REAL(std::min(y1, y2)), REAL(std::fabs(x2 - x1)),
                                REAL(std::fabs(y2 - y1))});
      }
      TGpPathData p;
      AddRectangle(p, GpRectF{r.X, r.Y, r.Width, r.Height});
      TransformPathData(p, m);
      return PathNode(p);
    }
    case TGpRegionNode::rnPath: {
      TGpPathData p = node->Path;
      TransformPathData(p, m);
      return PathNode(p);
    }
    case TGpRegionNode::rnCombine:
      return CombineNodes(TransformNode(node->Left, m), TransformNode(node->Right, m),
                          static_cast<CombineMode>(node->Combine));
  }
  return node;
}

namespace {

// A balanced union of the rectangles, so that a region of many keeps a
// shallow tree and stays rectangular for the painter.
std::shared_ptr<const TGpRegionNode> UnionOf(const std::vector<TRect>& rects, size_t from, size_t to) {
  if (from >= to) return RegionNode(TGpRegionNode::rnEmpty);
  if (to - from == 1) {
    const TRect& r = rects[from];
    return RectNode(GpRectF{REAL(r.Left), REAL(r.Top), REAL(r.Width()), REAL(r.Height())});
  }
  size_t mid = (from + to) / 2;
  return CombineNodes(UnionOf(rects, from, mid), UnionOf(rects, mid, to), CombineModeUnion);
}

}  // namespace

std::shared_ptr<const TGpRegionNode> RegionFromHrgn(HRGN rgn) {
  DWORD size = GetRegionData(rgn, 0, nullptr);
  if (size < sizeof(RGNDATAHEADER)) return nullptr;
  std::vector<char> buffer(size);
  auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
  if (GetRegionData(rgn, size, data) == 0) return nullptr;
  std::vector<TRect> rects(data->rdh.nCount);
  if (!rects.empty()) std::memcpy(rects.data(), data->Buffer, rects.size() * sizeof(TRect));
  return UnionOf(rects, 0, rects.size());
}

}  // namespace rtl::detail

using namespace rtl::detail;

namespace {

bool ValidMode(CombineMode m) { return m >= CombineModeReplace && m <= CombineModeComplement; }

GpStatus Combine(GpRegion* region, std::shared_ptr<const TGpRegionNode> with, CombineMode mode) {
  if (!region || !ValidMode(mode)) return InvalidParameter;
  region->Root = CombineNodes(region->Root, std::move(with), mode);
  return Ok;
}

TGpMatrix GraphicsTransform(GpGraphics* g) { return g ? g->World.Then(PageTransform(g)) : TGpMatrix(); }

std::vector<TRect> Pixels(const GpRegion* region, const TGpMatrix& m) {
  return rtl::backend::GpRegionRects(*region->Root, m);
}

GpRectF Bounds(const std::vector<TRect>& rects) {
  if (rects.empty()) return GpRectF{0, 0, 0, 0};
  TRect b = rects[0];
  for (const TRect& r : rects) {
    b.Left = std::min(b.Left, r.Left);
    b.Top = std::min(b.Top, r.Top);
    b.Right = std::max(b.Right, r.Right);
    b.Bottom = std::max(b.Bottom, r.Bottom);
  }
  return GpRectF{REAL(b.Left), REAL(b.Top), REAL(b.Width()), REAL(b.Height())};
}

}  // namespace

GpStatus GdipCreateRegion(GpRegion** region) {
  if (!region) return InvalidParameter;
  *region = new GpRegion{RegionNode(TGpRegionNode::rnInfinite)};
  return Ok;
}

GpStatus GdipCreateRegionRect(const GpRectF* rect, GpRegion** region) {
  if (!rect || !region) return InvalidParameter;
  *region = new GpRegion{RectNode(*rect)};
  return Ok;
}

GpStatus GdipCreateRegionRectI(const GpRect* rect, GpRegion** region) {
  if (!rect) return InvalidParameter;
  GpRectF r{REAL(rect->X), REAL(rect->Y), REAL(rect->Width), REAL(rect->Height)};
  return GdipCreateRegionRect(&r, region);
}

GpStatus GdipCreateRegionPath(GpPath* path, GpRegion** region) {
  if (!path || !region) return InvalidParameter;
  *region = new GpRegion{PathNode(path->Data)};
  return Ok;
}

GpStatus GdipCreateRegionHrgn(HRGN hRgn, GpRegion** region) {
  if (!region) return InvalidParameter;
  auto node = RegionFromHrgn(hRgn);
  if (!node) return InvalidParameter;
  *region = new GpRegion{std::move(node)};
  return Ok;
}

GpStatus GdipCloneRegion(GpRegion* region, GpRegion** cloneRegion) {
  if (!region || !cloneRegion) return InvalidParameter;
  *cloneRegion = new GpRegion{region->Root};
  return Ok;
}

GpStatus GdipDeleteRegion(GpRegion* region) {
  if (!region) return InvalidParameter;
  delete region;
  return Ok;
}

GpStatus GdipSetInfinite(GpRegion* region) {
  if (!region) return InvalidParameter;
  region->Root = RegionNode(TGpRegionNode::rnInfinite);
  return Ok;
}

GpStatus GdipSetEmpty(GpRegion* region) {
  if (!region) return InvalidParameter;
  region->Root = RegionNode(TGpRegionNode::rnEmpty);
  return Ok;
}

GpStatus GdipCombineRegionRect(GpRegion* region, const GpRectF* rect, CombineMode combineMode) {
  if (!rect) return InvalidParameter;
  return Combine(region, RectNode(*rect), combineMode);
}

GpStatus GdipCombineRegionRectI(GpRegion* region, const GpRect* rect, CombineMode combineMode) {
  if (!rect) return InvalidParameter;
  GpRectF r{REAL(rect->X), REAL(rect->Y), REAL(rect->Width), REAL(rect->Height)};
  return GdipCombineRegionRect(region, &r, combineMode);
}

GpStatus GdipCombineRegionPath(GpRegion* region, GpPath* path, CombineMode combineMode) {
  if (!path) return InvalidParameter;
  return Combine(region, PathNode(path->Data), combineMode);
}

GpStatus GdipCombineRegionRegion(GpRegion* region, GpRegion* region2, CombineMode combineMode) {
  if (!region2) return InvalidParameter;
  return Combine(region, region2->Root, combineMode);
}

GpStatus GdipTranslateRegion(GpRegion* region, REAL dx, REAL dy) {
  if (!region) return InvalidParameter;
  region->Root = TransformNode(region->Root, Translation(dx, dy));
  return Ok;
}

GpStatus GdipTranslateRegionI(GpRegion* region, INT dx, INT dy) { return GdipTranslateRegion(region, REAL(dx), REAL(dy)); }

GpStatus GdipTransformRegion(GpRegion* region, GpMatrix* matrix) {
  if (!region || !matrix) return InvalidParameter;
  region->Root = TransformNode(region->Root, matrix->M);
  return Ok;
}

GpStatus GdipGetRegionBounds(GpRegion* region, GpGraphics* graphics, GpRectF* rect) {
  if (!region || !graphics || !rect) return InvalidParameter;
  const TGpRegionNode& n = *region->Root;
  if (n.Kind == TGpRegionNode::rnInfinite) {
    *rect = GpRectF{-kInfiniteExtent, -kInfiniteExtent, 2 * kInfiniteExtent, 2 * kInfiniteExtent};
  } else if (n.Kind == TGpRegionNode::rnRect) {
    *rect = GpRectF{n.Rect.X, n.Rect.Y, n.Rect.Width, n.Rect.Height};
  } else {
    *rect = Bounds(Pixels(region, TGpMatrix()));
  }
  return Ok;
}

GpStatus GdipGetRegionBoundsI(GpRegion* region, GpGraphics* graphics, GpRect* rect) {
  if (!rect) return InvalidParameter;
  GpRectF r;
  GpStatus s = GdipGetRegionBounds(region, graphics, &r);
  if (s == Ok) *rect = GpRect{INT(std::floor(r.X)), INT(std::floor(r.Y)), INT(std::ceil(r.Width)), INT(std::ceil(r.Height))};
  return s;
}

GpStatus GdipGetRegionHRgn(GpRegion* region, GpGraphics* graphics, HRGN* hRgn) {
  if (!region || !hRgn) return InvalidParameter;
  if (region->Root->Kind == TGpRegionNode::rnInfinite) {
    *hRgn = nullptr;
    return Ok;
  }
  std::vector<TRect> rects = Pixels(region, GraphicsTransform(graphics));
  std::vector<char> buffer(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
  auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
  data->rdh.dwSize = sizeof(RGNDATAHEADER);
  data->rdh.iType = RDH_RECTANGLES;
  data->rdh.nCount = static_cast<DWORD>(rects.size());
  data->rdh.nRgnSize = static_cast<DWORD>(rects.size() * sizeof(RECT));
  GpRectF b = Bounds(rects);
  data->rdh.rcBound = RECT(INT(b.X), INT(b.Y), INT(b.X + b.Width), INT(b.Y + b.Height));
  if (!rects.empty()) std::memcpy(data->Buffer, rects.data(), rects.size() * sizeof(RECT));
  *hRgn = ExtCreateRegion(nullptr, static_cast<DWORD>(buffer.size()), data);
  return *hRgn ? Ok : OutOfMemory;
}

GpStatus GdipIsEmptyRegion(GpRegion* region, GpGraphics* graphics, BOOL* result) {
  if (!region || !graphics || !result) return InvalidParameter;
  *result = region->Root->Kind == TGpRegionNode::rnEmpty || Pixels(region, TGpMatrix()).empty();
  return Ok;
}

GpStatus GdipIsInfiniteRegion(GpRegion* region, GpGraphics* graphics, BOOL* result) {
  if (!region || !graphics || !result) return InvalidParameter;
  *result = region->Root->Kind == TGpRegionNode::rnInfinite;
  return Ok;
}

GpStatus GdipIsEqualRegion(GpRegion* region, GpRegion* region2, GpGraphics* graphics, BOOL* result) {
  if (!region || !region2 || !graphics || !result) return InvalidParameter;
  *result = region->Root == region2->Root || Pixels(region, TGpMatrix()) == Pixels(region2, TGpMatrix());
  return Ok;
}

GpStatus GdipIsVisibleRegionPoint(GpRegion* region, REAL x, REAL y, GpGraphics*, BOOL* result) {
  if (!region || !result) return InvalidParameter;
  TPoint p(INT(std::floor(x)), INT(std::floor(y)));
  std::vector<TRect> rects = Pixels(region, TGpMatrix());
  *result = std::any_of(rects.begin(), rects.end(), [&](const TRect& r) { return r.Contains(p); });
  return Ok;
}

GpStatus GdipIsVisibleRegionPointI(GpRegion* region, INT x, INT y, GpGraphics* graphics, BOOL* result) {
  return GdipIsVisibleRegionPoint(region, REAL(x), REAL(y), graphics, result);
}

GpStatus GdipIsVisibleRegionRect(GpRegion* region, REAL x, REAL y, REAL width, REAL height, GpGraphics*,
                                 BOOL* result) {
  if (!region || !result) return InvalidParameter;
  TRect box(INT(std::floor(x)), INT(std::floor(y)), INT(std::ceil(x + width)), INT(std::ceil(y + height)));
  std::vector<TRect> rects = Pixels(region, TGpMatrix());
  *result = !box.IsEmpty() && std::any_of(rects.begin(), rects.end(), [&](const TRect& r) {
    return r.Left < box.Right && box.Left < r.Right && r.Top < box.Bottom && box.Top < r.Bottom;
  });
  return Ok;
}

GpStatus GdipIsVisibleRegionRectI(GpRegion* region, INT x, INT y, INT width, INT height, GpGraphics* graphics,
                                  BOOL* result) {
  return GdipIsVisibleRegionRect(region, REAL(x), REAL(y), REAL(width), REAL(height), graphics, result);
}

GpStatus GdipGetRegionScansCount(GpRegion* region, UINT* count, GpMatrix* matrix) {
  if (!region || !count || !matrix) return InvalidParameter;
  *count = static_cast<UINT>(Pixels(region, matrix->M).size());
  return Ok;
}

GpStatus GdipGetRegionScans(GpRegion* region, GpRectF* rects, INT* count, GpMatrix* matrix) {
  if (!region || !count || !matrix) return InvalidParameter;
  std::vector<TRect> r = Pixels(region, matrix->M);
  if (rects)
    for (size_t i = 0; i < r.size(); ++i)
      rects[i] = GpRectF{REAL(r[i].Left), REAL(r[i].Top), REAL(r[i].Width()), REAL(r[i].Height())};
  *count = static_cast<INT>(r.size());
  return Ok;
}

GpStatus GdipGetRegionScansI(GpRegion* region, GpRect* rects, INT* count, GpMatrix* matrix) {
  if (!region || !count || !matrix) return InvalidParameter;
  std::vector<TRect> r = Pixels(region, matrix->M);
  if (rects)
    for (size_t i = 0; i < r.size(); ++i) rects[i] = GpRect{r[i].Left, r[i].Top, r[i].Width(), r[i].Height()};
  *count = static_cast<INT>(r.size());
  return Ok;
}
