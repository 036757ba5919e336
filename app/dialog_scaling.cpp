#include "app/dialog_scaling.h"

#include "platform/forms/comctrls.h"
#include "platform/forms/forms.h"
#include "platform/forms/graphics.h"
#include "platform/rtl/mathutils.h"

namespace {

constexpr Integer kDesignDpi = 96;

void ScaleChildren(TWinControl* Parent, Integer Dpi) {
  auto scale = [Dpi](Integer v) { return MulDiv(v, Dpi, kDesignDpi); };
  for (Integer i = 0; i < Parent->ControlCount(); ++i) {
    TControl* C = Parent->Controls(i);
    // Bounds first, then the font: auto-sized labels and edits then take
    // their size from the text in the new font.
    if (!dynamic_cast<TPageControl*>(Parent))
      C->SetBounds(scale(C->Left()), scale(C->Top()), scale(C->Width()), scale(C->Height()));
    if (!C->ParentFont()) C->Font()->SetHeight(scale(C->Font()->Height()));
    if (auto* W = dynamic_cast<TWinControl*>(C)) ScaleChildren(W, Dpi);
  }
}

}  // namespace

void ScaleDialogToScreen(TCustomForm* Form) {
  const Integer Dpi = Screen ? Screen->PixelsPerInch() : kDesignDpi;
  if (Dpi == kDesignDpi || Dpi <= 0) return;
  // The frame's size is known once the window exists; without it the
  // client size cannot be set exactly.
  Form->HandleNeeded();
  const Integer W = MulDiv(Form->ClientWidth(), Dpi, kDesignDpi);
  const Integer H = MulDiv(Form->ClientHeight(), Dpi, kDesignDpi);
  Form->SetClientWidth(W);
  Form->SetClientHeight(H);
  ScaleChildren(Form, Dpi);
  // Last, so that the controls that take the form's font size themselves
  // to their text after their bounds were scaled.
  Form->Font()->SetHeight(MulDiv(Form->Font()->Height(), Dpi, kDesignDpi));
}
