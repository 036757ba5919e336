// Conversions between the painter's plain descriptions and Qt, shared by
// the painting, region and text halves of the GDI+ painter.
#pragma once

#include <QBrush>
#include <QImage>
#include <QPainterPath>
#include <QPen>
#include <QRegion>
#include <QTransform>

#include "platform/backend/gdiplus_painter.h"

namespace rtl::backend::detail {

inline QTransform ToQ(const TGpMatrix& m) { return QTransform(m.M11, m.M12, m.M21, m.M22, m.Dx, m.Dy); }

// A QImage over pixels in memory, without copying. A bottom-up buffer is
// shown with its rows reversed; Flip then maps top-down coordinates onto it.
struct TImageView {
  QImage Image;
  bool Flipped = false;
  QTransform Flip() const {
    return Flipped ? QTransform(1, 0, 0, -1, 0, Image.height()) : QTransform();
  }
};
TImageView View(const TGpPixels& pixels);
// A premultiplied top-down copy for reading (textures, image sources).
QImage SourceImage(const TGpPixels& pixels);

QPainterPath ToQPath(const TGpPathData& path);
void AppendPath(const QPainterPath& from, TGpPathData& to);
QBrush ToQBrush(const TGpBrushData& brush);
QPen ToQPen(const TGpPenData& pen, const TGpMatrix& world);

// Regions: only rectangles (exact), or paths involved (rasterised or kept
// as outlines).
bool RegionIsRectangular(const TGpRegionNode& region);
QRegion ToQRegion(const TGpRegionNode& region, const QTransform& transform);
QPainterPath ToQRegionPath(const TGpRegionNode& region, const QTransform& transform);
QRect PixelRect(const QRectF& r);

}  // namespace rtl::backend::detail
