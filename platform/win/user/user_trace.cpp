// Tracing by channel: PDFBATCH_TRACE names the channels to print on
// standard error (a comma list: msg, paint, win, input; "all" for every
// one). Call sites keep the answer in a local static, so a channel that is
// off costs one test of a flag.
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/win/user/user_internal.h"

namespace rtl::detail {

bool TraceOn(const char* channel) {
  const char* env = std::getenv("PDFBATCH_TRACE");
  if (!env || !*env) return false;
  std::string list = std::string(",") + env + ",";
  return list.find(",all,") != std::string::npos || list.find("," + std::string(channel) + ",") != std::string::npos;
}

void Trace(const char* channel, const char* fmt, ...) {
  std::fprintf(stderr, "[%s] ", channel);
  va_list args;
  va_start(args, fmt);
  std::vfprintf(stderr, fmt, args);
  va_end(args);
  std::fputc('\n', stderr);
}

}  // namespace rtl::detail
