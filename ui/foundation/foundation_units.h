// The start-up and shut-down of the UI foundation's units, in dependency
// order: the library core (Windows version flags; the resource-string
// repository and the units loader are freed at its shut-down), the
// threading probe, the library strings, the geometry classes and the
// drawing unit with the GDI+ binding and images, the visual-style,
// composition and theme-manager bindings, the text engine's bar
// brushes, the window plumbing (library cursors, system controller), the
// component classes with the shared timer window, the hook controller, the
// touch gestures, the
// animation controller and the fader, the date utilities (the calendar tables' registry) and the date and time
// format controller.
#pragma once

class TUnitRegistry;

void RegisterFoundationUnits(TUnitRegistry& Registry);
void RegisterFoundationUnits();
