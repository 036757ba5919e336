// The small types every skin object shares: what a change touched, the
// element states, and the image and gradient modes.
#pragma once

#include "platform/rtl/closure.h"
#include "platform/rtl/types.h"

class TObject;

enum TdxSkinChange { scStruct, scContent, scDetails };
using TdxSkinChanges = TSet<TdxSkinChange, 3>;

using TdxSkinChangeNotify = TClosure<void(TObject* Sender, TdxSkinChanges AChanges)>;

enum TdxSkinElementState {
  esNormal,
  esHot,
  esPressed,
  esDisabled,
  esActive,
  esFocused,
  esDroppedDown,
  esChecked,
  esHotCheck,
  esActiveDisabled,
  esCheckPressed,
};
constexpr int dxSkinElementStateCount = esCheckPressed + 1;
// A 16-bit set, as the skin stream holds it.
using TdxSkinElementStates = TSet<TdxSkinElementState, 16>;

// The byte-sized modes are stored as their ordinals in the skin stream.
enum TdxSkinImageLayout : Byte { ilHorizontal, ilVertical };
enum TdxSkinStretchMode : Byte { smStretch, smTile, smNoResize };
enum TdxSkinGradientMode : Byte { gmHorizontal, gmVertical, gmForwardDiagonal, gmBackwardDiagonal };
enum TdxSkinIconSize { sis16, sis48 };
