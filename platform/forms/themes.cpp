#include "platform/forms/themes.h"

TThemeServices* ThemeServices() {
  static TThemeServices Services;
  return &Services;
}
