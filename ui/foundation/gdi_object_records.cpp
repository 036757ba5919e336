#include "ui/foundation/gdi_object_records.h"

#include "platform/forms/graphics.h"
#include "platform/win/gdi/gdi.h"

namespace {

template <class TRecord>
bool ReadRecord(HGDIOBJ AHandle, TRecord& ARecord) {
  return GetObjectA(AHandle, static_cast<int>(sizeof(TRecord)), &ARecord) != 0;
}

}  // namespace

bool dxGetBitmapInfo(HBITMAP ABitmap, BITMAP& AInfo) { return ReadRecord(ABitmap, AInfo); }
bool cxReadBitmapRecord(HBITMAP ABitmap, BITMAP& AInfo) { return ReadRecord(ABitmap, AInfo); }

bool dxGetLogBrushData(HBRUSH ABrush, LOGBRUSH& ALogBrush) { return ReadRecord(ABrush, ALogBrush); }
bool dxGetLogBrushOf(HBRUSH ABrush, LOGBRUSH& ALogBrush) { return dxGetLogBrushData(ABrush, ALogBrush); }
bool cxReadBrushRecord(HBRUSH ABrush, LOGBRUSH& ALogBrush) { return ReadRecord(ABrush, ALogBrush); }
bool cxGetLogBrush(HBRUSH ABrush, LOGBRUSH& ALogBrush) { return cxReadBrushRecord(ABrush, ALogBrush); }

bool dxGetLogFontData(HFONT AFont, LOGFONTA& ALogFont) { return ReadRecord(AFont, ALogFont); }
bool dxGetLogFontOf(HFONT AFont, LOGFONTA& ALogFont) { return dxGetLogFontData(AFont, ALogFont); }
bool cxReadFontRecord(HFONT AFont, LOGFONTA& ALogFont) { return ReadRecord(AFont, ALogFont); }

bool cxReadPenRecord(HPEN APen, LOGPEN& ALogPen) { return ReadRecord(APen, ALogPen); }

void cxResetToDefaultFont(TFont* AFont) {
  const TFontData& data = DefFontData();
  AFont->SetCharset(data.Charset);
  AFont->SetName(data.Name);
  AFont->SetHeight(data.Height);
  AFont->SetPitch(data.Pitch);
  AFont->SetStyle(data.Style);
}
