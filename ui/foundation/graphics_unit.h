// The drawing unit's start-up and shut-down and the state they keep: the
// AlphaBlend entry point of msimg32 (bound by name), the shut-down flag
// and the screen resolution (dpi_scaling.h). The start-up runs only on the
// first initialisation and the shut-down only when the last finalisation
// brings the counter back.
#pragma once

#include "platform/win/gdi/gdi_records.h"

using TcxAlphaBlendFunc = BOOL (*)(HDC ADest, int AXDest, int AYDest, int AWDest, int AHDest, HDC ASource,
                                   int AXSource, int AYSource, int AWSource, int AHSource, BLENDFUNCTION ABlend);

// Null when msimg32 or its AlphaBlend is missing (or before start-up).
TcxAlphaBlendFunc cxAlphaBlendProc();
// Set from the unit's shut-down until its next start-up; the shared
// canvases are no longer handed out then.
bool cxGraphicsShuttingDown();

namespace cx_graphics_detail {
// Start-up: clears the shut-down flag, binds AlphaBlend, registers the
// unit's streamed classes, reads the screen's pixels per inch.
void StartGraphics();
// Shut-down: sets the shut-down flag, frees the shared canvases and the
// msimg32 binding.
void StopGraphics();
}  // namespace cx_graphics_detail
