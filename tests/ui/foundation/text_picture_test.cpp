// A picture to look at: one paragraph in every alignment of the text
// engine, stretched and spread rows, the ellipsis, a highlight and rotated
// captions.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/backend/codecs.h"
#include "platform/forms/graphics.h"
#include "tests/common/dib_canvas.h"
#include "tests/common/pictures.h"
#include "ui/foundation/text_routines.h"
#include "ui/foundation/text_rows.h"

namespace {

constexpr uint32_t kPicturePaper = 0x00FAFAF5u;
const char16_t kParagraph[] =
    u"Captions wrap where expected, never overflow their box, and keep accented letters whole: caf\u00E9 "
    u"cr\u00E8me, Stra\u00DFe.";

TEST(TextPicture, AlignmentsEllipsisHighlightAndRotation) {
  const int width = 640, height = 420;
  TDibCanvas dib(width, height, kPicturePaper);
  TCanvas canvas;
  canvas.SetHandle(dib.dc);
  canvas.Font()->SetName("Liberation Sans");
  canvas.Font()->SetHeight(-13);
  canvas.Font()->SetColor(clBlack);
  auto cx = std::make_unique<TcxCanvas>(&canvas);
  HDC dc = cx->GetHandle();
  HBRUSH frame = CreateSolidBrush(RGB(180, 180, 200));

  auto box = [&](TRect r, Integer flags, const std::u16string& text, Integer selStart = 0, Integer selLength = 0) {
    RECT outline = r;
    InflateRect(&outline, 1, 1);
    FrameRect(dc, &outline, frame);
    return cxDrawTextRowsW(dc, text, r, flags, selStart, selLength, nullptr, RGB(255, 220, 120), RGB(120, 0, 0));
  };
  const Integer cols[] = {10, 220, 430};
  // Row one: left, centre, right.
  box(TRect(cols[0], 10, cols[0] + 200, 100), TLF_WORDWRAP | TLF_LEFT, kParagraph);
  box(TRect(cols[1], 10, cols[1] + 200, 100), TLF_WORDWRAP | TLF_CENTER | TLF_VCENTER, kParagraph);
  box(TRect(cols[2], 10, cols[2] + 200, 100), TLF_WORDWRAP | TLF_RIGHT | TLF_BOTTOM, kParagraph);
  // Row two: justified, spread, spread over the height.
  box(TRect(cols[0], 120, cols[0] + 200, 210), TLF_JUSTIFY, kParagraph);
  box(TRect(cols[1], 120, cols[1] + 200, 210), TLF_SPREAD, kParagraph);
  box(TRect(cols[2], 120, cols[2] + 200, 210), TLF_WORDWRAP | TLF_VSPREAD, u"First\r\nSecond\r\nThird");
  // Row three: an ellipsis on two rows, a one-row caption with the
  // ellipsis and a highlight, and a highlight over two rows.
  box(TRect(cols[0], 230, cols[0] + 200, 262), TLF_WORDWRAP | TLF_ELLIPSIS | TLF_EDITRULES, kParagraph);
  box(TRect(cols[1], 230, cols[1] + 200, 262), 0x40A11, u"Document.pdf - A long application caption", 0, 12);
  box(TRect(cols[2], 230, cols[2] + 200, 300), TLF_WORDWRAP, kParagraph, 20, 40);
  // Row four: Far-East text wraps by character; rotated captions.
  box(TRect(cols[0], 320, cols[0] + 120, 400), TLF_WORDWRAP,
      u"\u65E5\u672C\u8A9E\u306E\u6587\u7AE0\u3067\u3059\u3002\u6539\u884C\u3057\u307E\u3059\u3002");
  const TRect up(cols[1], 300, cols[1] + 24, 410), down(cols[1] + 40, 300, cols[1] + 64, 410);
  cx->DrawFrameSides(up, clGray);
  cx->DrawFrameSides(down, clGray);
  cxDrawRotatedText(cx.get(), "Docked caption", up, qtLeft, clNavy, DT_SINGLELINE | DT_VCENTER);
  cxDrawRotatedText(cx.get(), "Docked caption", down, qtRight, clMaroon, DT_SINGLELINE | DT_VCENTER);
  const TRect flat(cols[1] + 80, 320, cols[1] + 200, 400);
  cx->DrawFrameSides(flat, clGray);
  cxDrawWrappedText(cx.get(), "Wrapped into lines and drawn from the bottom", flat, clBlack, DT_CENTER | DT_BOTTOM);
  DeleteObject(frame);

  std::vector<uint32_t> pixels(dib.bits, dib.bits + width * height);
  for (uint32_t& p : pixels) p |= 0xFF000000u;
  rtl::backend::TEncodeOptions options;
  options.Alpha = false;
  std::string png;
  ASSERT_TRUE(rtl::backend::EncodeImage(rtl::backend::iffPng, pixels.data(), width, height, width * 4, options, png));
  std::ofstream(PictureDir() + "ui_foundation_text_rows.png", std::ios::binary) << png;

  // Every box got ink, and none outside the boxes' columns.
  for (Integer left : cols) EXPECT_GT(dib.CountNot(kPicturePaper, left + 2, 12, left + 198, 98), 0) << left;
  cx.reset();
  canvas.SetHandle(nullptr);
}

}  // namespace
