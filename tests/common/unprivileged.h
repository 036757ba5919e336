// Runs a test body in a child process without root's privileges, so that
// permission bits deny as they do for a user: as root the child becomes
// the user "nobody" (65534); otherwise it keeps the current user.
#pragma once

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <exception>

namespace test_helpers {

// Body returns 0 on success or a code naming what failed (an exception
// gives 99). The result is the child's code; -1 when privileges could not
// be dropped.
template <class F>
int RunUnprivileged(F body) {
  pid_t pid = fork();
  if (pid == 0) {
    int rc = 99;
    if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0)) _exit(100);
    try {
      rc = body();
    } catch (...) {
    }
    _exit(rc);
  }
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -2;
  return WEXITSTATUS(status) == 100 ? -1 : WEXITSTATUS(status);
}

}  // namespace test_helpers
