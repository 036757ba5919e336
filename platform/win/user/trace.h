// Tracing by channel for code above the window system: PDFBATCH_TRACE names
// the channels printed on standard error (a comma list; "all" for every
// one). Keep TraceOn's answer in a local static: a channel that is off then
// costs one test of a flag.
#pragma once

namespace rtl::detail {

bool TraceOn(const char* channel);
void Trace(const char* channel, const char* fmt, ...) __attribute__((format(printf, 2, 3)));

}  // namespace rtl::detail
