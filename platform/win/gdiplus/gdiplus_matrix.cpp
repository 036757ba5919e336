// Matrices: 3x2 affine transforms, composed in either order.
#include <cmath>

#include "platform/win/gdiplus/gdiplus_internal.h"

namespace rtl::detail {

TGpMatrix Compose(const TGpMatrix& m, const TGpMatrix& op, MatrixOrder order) {
  return order == MatrixOrderAppend ? m.Then(op) : op.Then(m);
}

TGpMatrix Translation(double dx, double dy) {
  TGpMatrix t;
  t.Dx = dx;
  t.Dy = dy;
  return t;
}

TGpMatrix Scaling(double sx, double sy) {
  TGpMatrix t;
  t.M11 = sx;
  t.M22 = sy;
  return t;
}

TGpMatrix Rotation(double degrees) {
  // Clockwise on a y-down surface; whole quarter turns come out exact.
  double r = std::fmod(degrees, 360.0) * M_PI / 180.0;
  double c = std::cos(r), s = std::sin(r);
  if (std::fabs(c) < 1e-12) c = 0;
  if (std::fabs(s) < 1e-12) s = 0;
  TGpMatrix t;
  t.M11 = c;
  t.M12 = s;
  t.M21 = -s;
  t.M22 = c;
  return t;
}

bool ValidOrder(MatrixOrder order) { return order == MatrixOrderPrepend || order == MatrixOrderAppend; }

}  // namespace rtl::detail

using namespace rtl::detail;

namespace {

TGpMatrix Elements(REAL m11, REAL m12, REAL m21, REAL m22, REAL dx, REAL dy) {
  TGpMatrix m;
  m.M11 = m11;
  m.M12 = m12;
  m.M21 = m21;
  m.M22 = m22;
  m.Dx = dx;
  m.Dy = dy;
  return m;
}

GpStatus Apply(GpMatrix* matrix, const TGpMatrix& op, MatrixOrder order) {
  if (!matrix || !ValidOrder(order)) return InvalidParameter;
  matrix->M = Compose(matrix->M, op, order);
  return Ok;
}

}  // namespace

GpStatus GdipCreateMatrix(GpMatrix** matrix) {
  if (!matrix) return InvalidParameter;
  *matrix = new GpMatrix;
  return Ok;
}

GpStatus GdipCreateMatrix2(REAL m11, REAL m12, REAL m21, REAL m22, REAL dx, REAL dy, GpMatrix** matrix) {
  if (!matrix) return InvalidParameter;
  *matrix = new GpMatrix{Elements(m11, m12, m21, m22, dx, dy)};
  return Ok;
}

GpStatus GdipCreateMatrix3(const GpRectF* rect, const GpPointF* dstplg, GpMatrix** matrix) {
  if (!rect || !dstplg || !matrix || rect->Width == 0 || rect->Height == 0) return InvalidParameter;
  // The rectangle onto the parallelogram (upper-left, upper-right, lower-left).
  double m11 = (dstplg[1].X - dstplg[0].X) / rect->Width, m12 = (dstplg[1].Y - dstplg[0].Y) / rect->Width;
  double m21 = (dstplg[2].X - dstplg[0].X) / rect->Height, m22 = (dstplg[2].Y - dstplg[0].Y) / rect->Height;
  TGpMatrix m;
  m.M11 = m11;
  m.M12 = m12;
  m.M21 = m21;
  m.M22 = m22;
  m.Dx = dstplg[0].X - rect->X * m11 - rect->Y * m21;
  m.Dy = dstplg[0].Y - rect->X * m12 - rect->Y * m22;
  *matrix = new GpMatrix{m};
  return Ok;
}

GpStatus GdipCreateMatrix3I(const GpRect* rect, const GpPoint* dstplg, GpMatrix** matrix) {
  if (!rect || !dstplg) return InvalidParameter;
  GpRectF r{REAL(rect->X), REAL(rect->Y), REAL(rect->Width), REAL(rect->Height)};
  std::vector<GpPointF> p = ToPointsF(dstplg, 3);
  return GdipCreateMatrix3(&r, p.data(), matrix);
}

GpStatus GdipCloneMatrix(GpMatrix* matrix, GpMatrix** cloneMatrix) {
  if (!matrix || !cloneMatrix) return InvalidParameter;
  *cloneMatrix = new GpMatrix{matrix->M};
  return Ok;
}

GpStatus GdipDeleteMatrix(GpMatrix* matrix) {
  if (!matrix) return InvalidParameter;
  delete matrix;
  return Ok;
}

GpStatus GdipSetMatrixElements(GpMatrix* matrix, REAL m11, REAL m12, REAL m21, REAL m22, REAL dx, REAL dy) {
  if (!matrix) return InvalidParameter;
  matrix->M = Elements(m11, m12, m21, m22, dx, dy);
  return Ok;
}

GpStatus GdipMultiplyMatrix(GpMatrix* matrix, GpMatrix* matrix2, MatrixOrder order) {
  if (!matrix2) return InvalidParameter;
  return Apply(matrix, matrix2->M, order);
}

GpStatus GdipTranslateMatrix(GpMatrix* matrix, REAL offsetX, REAL offsetY, MatrixOrder order) {
  return Apply(matrix, Translation(offsetX, offsetY), order);
}

GpStatus GdipScaleMatrix(GpMatrix* matrix, REAL scaleX, REAL scaleY, MatrixOrder order) {
  return Apply(matrix, Scaling(scaleX, scaleY), order);
}

GpStatus GdipRotateMatrix(GpMatrix* matrix, REAL angle, MatrixOrder order) {
  return Apply(matrix, Rotation(angle), order);
}

GpStatus GdipShearMatrix(GpMatrix* matrix, REAL shearX, REAL shearY, MatrixOrder order) {
  return Apply(matrix, Elements(1, shearY, shearX, 1, 0, 0), order);
}

GpStatus GdipInvertMatrix(GpMatrix* matrix) {
  if (!matrix) return InvalidParameter;
  TGpMatrix inv;
  if (!matrix->M.Invert(inv)) return InvalidParameter;
  matrix->M = inv;
  return Ok;
}

GpStatus GdipTransformMatrixPoints(GpMatrix* matrix, GpPointF* pts, INT count) {
  if (!matrix || !pts || count <= 0) return InvalidParameter;
  for (INT i = 0; i < count; ++i) {
    double x, y;
    matrix->M.Map(pts[i].X, pts[i].Y, x, y);
    pts[i] = {REAL(x), REAL(y)};
  }
  return Ok;
}

GpStatus GdipTransformMatrixPointsI(GpMatrix* matrix, GpPoint* pts, INT count) {
  if (!matrix || !pts || count <= 0) return InvalidParameter;
  for (INT i = 0; i < count; ++i) {
    double x, y;
    matrix->M.Map(pts[i].X, pts[i].Y, x, y);
    pts[i] = {INT(std::lround(x)), INT(std::lround(y))};
  }
  return Ok;
}

GpStatus GdipVectorTransformMatrixPoints(GpMatrix* matrix, GpPointF* pts, INT count) {
  if (!matrix || !pts || count <= 0) return InvalidParameter;
  for (INT i = 0; i < count; ++i) {
    const TGpMatrix& m = matrix->M;
    pts[i] = {REAL(pts[i].X * m.M11 + pts[i].Y * m.M21), REAL(pts[i].X * m.M12 + pts[i].Y * m.M22)};
  }
  return Ok;
}

GpStatus GdipVectorTransformMatrixPointsI(GpMatrix* matrix, GpPoint* pts, INT count) {
  if (!matrix || !pts || count <= 0) return InvalidParameter;
  for (INT i = 0; i < count; ++i) {
    const TGpMatrix& m = matrix->M;
    pts[i] = {INT(std::lround(pts[i].X * m.M11 + pts[i].Y * m.M21)),
              INT(std::lround(pts[i].X * m.M12 + pts[i].Y * m.M22))};
  }
  return Ok;
}

GpStatus GdipGetMatrixElements(const GpMatrix* matrix, REAL* matrixOut) {
  if (!matrix || !matrixOut) return InvalidParameter;
  const TGpMatrix& m = matrix->M;
  const double e[6] = {m.M11, m.M12, m.M21, m.M22, m.Dx, m.Dy};
  for (int i = 0; i < 6; ++i) matrixOut[i] = REAL(e[i]);
  return Ok;
}

GpStatus GdipIsMatrixInvertible(const GpMatrix* matrix, BOOL* result) {
  if (!matrix || !result) return InvalidParameter;
  TGpMatrix inv;
  *result = matrix->M.Invert(inv);
  return Ok;
}

GpStatus GdipIsMatrixIdentity(const GpMatrix* matrix, BOOL* result) {
  if (!matrix || !result) return InvalidParameter;
  *result = matrix->M.IsIdentity();
  return Ok;
}

GpStatus GdipIsMatrixEqual(const GpMatrix* matrix, const GpMatrix* matrix2, BOOL* result) {
  if (!matrix || !matrix2 || !result) return InvalidParameter;
  const TGpMatrix &a = matrix->M, &b = matrix2->M;
  *result = a.M11 == b.M11 && a.M12 == b.M12 && a.M21 == b.M21 && a.M22 == b.M22 && a.Dx == b.Dx && a.Dy == b.Dy;
  return Ok;
}
