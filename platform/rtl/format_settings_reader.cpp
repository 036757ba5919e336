#include "platform/rtl/format_settings_reader.h"

#include <atomic>

#include "platform/rtl/sysutils.h"

namespace {
std::atomic<TFormatSettingsReader> g_reader{nullptr};
}  // namespace

void SetFormatSettingsReader(TFormatSettingsReader Reader) { g_reader = Reader; }

void GetFormatSettings() {
  TFormatSettingsReader reader = g_reader;
  if (!reader) return;
  TFormatSettings settings = FormatSettings;
  if (reader(settings)) FormatSettings = settings;
}
