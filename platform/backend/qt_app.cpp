#include "platform/backend/qt_app.h"

#include <QGuiApplication>
#include <cstdlib>
#include <mutex>

namespace rtl::detail {

void EnsureQtApplication() {
  static std::once_flag once;
  std::call_once(once, [] {
    if (QCoreApplication::instance()) return;
    if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
      setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "pdfbatch";
    static char* argv[] = {name, nullptr};
    // Lives as long as the process: windows and fonts may be used until exit.
    new QGuiApplication(argc, argv);
  });
}

}  // namespace rtl::detail
