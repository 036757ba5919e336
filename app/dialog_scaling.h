// Dialogs are described at 96 dots per inch; on a screen of another
// resolution their layout and fonts grow or shrink with it, so that text
// keeps its room.
#pragma once

class TCustomForm;

// Scales the form's client size, its font and every control's bounds and
// own font by the screen's resolution over 96. Pages of a page control are
// left to it.
void ScaleDialogToScreen(TCustomForm* Form);
