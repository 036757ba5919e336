// A hang (a blocking open of a FIFO, an endless read of a device) ends the
// test program instead of the test run waiting for its time-out.
#pragma once

#include <unistd.h>

class HangGuard {
 public:
  explicit HangGuard(unsigned seconds) { alarm(seconds); }
  ~HangGuard() { alarm(0); }
  HangGuard(const HangGuard&) = delete;
  HangGuard& operator=(const HangGuard&) = delete;
};
