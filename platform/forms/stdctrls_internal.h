// What the standard and common controls' sources share: the groups of
// published properties most controls have, and small drawing helpers.
#pragma once

#include "platform/forms/controls.h"

// The published properties and events that most controls share; used
// inside RTL_IMPLEMENT_PUBLISHED.
#define RTL_CONTROL_PROPS                                                                            \
  RTL_PROP(Align).Default(alNone), RTL_PROP(Anchors).Default({akLeft, akTop}), RTL_PROP(Constraints), \
      RTL_PROP(DragCursor).Default(crDrag).Idents(CursorIdentMap()), RTL_PROP(DragKind).Default(dkDrag), \
      RTL_PROP(DragMode).Default(dmManual), RTL_PROP(Enabled).Default(true).Stored<&Self::IsEnabledStored>(), \
      RTL_PROP(Font).Stored<&Self::IsFontStored>(), RTL_PROP(ParentFont).Default(true),                 \
      RTL_PROP(ParentShowHint).Default(true), RTL_PROP(PopupMenu),                                       \
      RTL_PROP(ShowHint).Stored<&Self::IsShowHintStored>(),                                              \
      RTL_PROP(Visible).Default(true).Stored<&Self::IsVisibleStored>()

#define RTL_COLOR_PROP(DefaultColor) \
  RTL_PROP(Color).Default(DefaultColor).Stored<&Self::IsColorStored>().Idents(ColorIdentMap())

#define RTL_MOUSE_EVENTS                                                                                    \
  RTL_EVENT(OnClick), RTL_EVENT(OnContextPopup), RTL_EVENT(OnDblClick), RTL_EVENT(OnDragDrop),             \
      RTL_EVENT(OnDragOver), RTL_EVENT(OnEndDrag), RTL_EVENT(OnMouseDown), RTL_EVENT(OnMouseEnter),         \
      RTL_EVENT(OnMouseLeave), RTL_EVENT(OnMouseMove), RTL_EVENT(OnMouseUp), RTL_EVENT(OnStartDrag)

#define RTL_WINCONTROL_EVENTS \
  RTL_EVENT(OnEnter), RTL_EVENT(OnExit), RTL_EVENT(OnKeyDown), RTL_EVENT(OnKeyPress), RTL_EVENT(OnKeyUp)

namespace rtl::detail {

// DrawText in the DC's font and colour; disabled text is embossed (the
// highlight one pixel down and right, the shadow over it).
void DrawControlText(HDC DC, const AnsiString& Text, TRect& Rect, UINT Flags, bool Enabled);

// The height of a line of Font's text.
Integer FontLineHeight(TFont* Font);

}  // namespace rtl::detail
