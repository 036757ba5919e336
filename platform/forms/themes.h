// The framework's theme services: whether its own controls draw with the
// platform's visual styles. They never do here: the framework's controls
// draw the classic look whatever theme provider the window system has.
#pragma once

class TThemeServices {
 public:
  bool ThemesEnabled() const { return false; }
};

// The process-wide instance.
TThemeServices* ThemeServices();
