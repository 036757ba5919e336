#include "app/progress_form.h"

#include <string>

#include "platform/forms/bitmap.h"
#include "platform/forms/comctrls.h"
#include "platform/forms/extctrls.h"
#include "platform/forms/graphics.h"
#include "platform/forms/stdctrls.h"
#include "platform/rtl/properties.h"
#include "platform/win/gdi/gdi.h"

RTL_IMPLEMENT_PUBLISHED(TProgressForm,
                        RTL_FIELD(ImageIcon),
                        RTL_FIELD(LabelConverting),
                        RTL_FIELD(LabelConvertInfo),
                        RTL_FIELD(ProgressBar),
                        RTL_FIELD(ButtonStop),
                        RTL_HANDLER(FormCreate),
                        RTL_HANDLER(ButtonStopClick))

namespace {

// A page with its corner folded and lines of text, and an arrow leaving
// it: a document being turned into another.
void DrawProgressIcon(TCanvas* c, TColor background) {
  c->Brush()->SetColor(background);
  c->FillRect(Rect(0, 0, 32, 32));
  c->Pen()->SetColor(TColor(RGB(0x70, 0x70, 0x70)));
  c->Brush()->SetColor(clWhite);
  c->Polygon({Point(3, 1), Point(17, 1), Point(23, 7), Point(23, 29), Point(3, 29)});
  c->Brush()->SetColor(TColor(RGB(0xD8, 0xD8, 0xD8)));
  c->Polygon({Point(17, 1), Point(17, 7), Point(23, 7)});
  c->Pen()->SetColor(TColor(RGB(0xB0, 0x30, 0x30)));
  for (Integer y : {11, 15, 19, 23}) {
    c->MoveTo(7, y);
    c->LineTo(y == 23 ? 14 : 19, y);
  }
  c->Pen()->SetColor(TColor(RGB(0x1E, 0x5A, 0xA8)));
  c->Brush()->SetColor(TColor(RGB(0x2F, 0x7B, 0xD6)));
  c->Polygon({Point(14, 17), Point(22, 17), Point(22, 12), Point(31, 21), Point(22, 30), Point(22, 25),
              Point(14, 25)});
}

// The path with its middle cut (DrawText's path ellipsis) so that it is at
// most Width wide in the canvas's font; the file name at its end stays.
AnsiString FitPath(TCanvas* c, const AnsiString& path, Integer width) {
  if (width <= 0) return path;
  // Room for the ellipsis that the cut may leave.
  std::string buffer = path;
  buffer.resize(path.size() + 4, '\0');
  RECT r = {0, 0, width, 0};
  DrawTextExA(c->Handle(), buffer.data(), static_cast<int>(path.size()), &r,
              DT_CALCRECT | DT_SINGLELINE | DT_PATH_ELLIPSIS | DT_MODIFYSTRING | DT_NOPREFIX, nullptr);
  return AnsiString(buffer.c_str());
}

Integer WrappedHeight(TCanvas* c, const AnsiString& text, Integer width) {
  RECT r = {0, 0, width, 0};
  DrawTextA(c->Handle(), text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  return r.Bottom;
}

}  // namespace

void TProgressForm::ShowConvertInfo(const AnsiString& input, const AnsiString& output) {
  const AnsiString full = ConvertInfoText(input, output);
  TBitmap measure;
  TCanvas* c = measure.Canvas();
  c->Font()->Assign(LabelConvertInfo->Font());
  const Integer width = LabelConvertInfo->Width();
  if (WrappedHeight(c, full, width) <= LabelConvertInfo->Height()) {
    LabelConvertInfo->SetCaption(full);
    return;
  }
  // Cut at the end, the text would lose the file names the user needs to
  // see: each path gets at most a line with the words beside it, and
  // loses the middle of its folder instead.
  const AnsiString in = FitPath(c, input, width - c->TextWidth("Convert file \"\""));
  const AnsiString out = FitPath(c, output, width - c->TextWidth("to \"\","));
  LabelConvertInfo->SetCaption(ConvertInfoText(in, out));
}

void TProgressForm::FormCreate(TObject*) {
  if (ImageIcon) DrawProgressIcon(ImageIcon->Canvas(), Color());
}

bool TProgressForm::CloseQuery() { return false; }

void TProgressForm::ButtonStopClick(TObject* Sender) {
  if (OnStop) OnStop(Sender);
}

AnsiString ConvertInfoText(const AnsiString& input, const AnsiString& output) {
  // Joined rather than formatted: the paths are data.
  return "Convert file \"" + input + "\" to \"" + output + "\", please wait...";
}
