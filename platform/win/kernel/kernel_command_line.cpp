#include "platform/win/kernel/kernel_command_line.h"

namespace rtl::detail {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::vector<std::string> SplitCommandLine(const std::string& commandLine) {
  std::vector<std::string> args;
  const size_t n = commandLine.size();
  size_t i = 0;
  while (i < n && IsBlank(commandLine[i])) ++i;
  if (i == n) return args;

  // The program: quotes group and are dropped; backslashes are path
  // separators, not escapes.
  std::string program;
  bool quoted = false;
  for (; i < n; ++i) {
    char c = commandLine[i];
    if (c == '"')
      quoted = !quoted;
    else if (IsBlank(c) && !quoted)
      break;
    else
      program += c;
  }
  args.push_back(std::move(program));

  for (;;) {
    while (i < n && IsBlank(commandLine[i])) ++i;
    if (i == n) break;
    std::string arg;
    quoted = false;
    while (i < n && (quoted || !IsBlank(commandLine[i]))) {
      size_t backslashes = 0;
      while (i < n && commandLine[i] == '\\') {
        ++backslashes;
        ++i;
      }
      if (i < n && commandLine[i] == '"') {
        arg.append(backslashes / 2, '\\');
        if (backslashes % 2 == 1) {
          arg += '"';
        } else if (quoted && i + 1 < n && commandLine[i + 1] == '"') {
          // A doubled quote inside quotes is one literal quote.
          arg += '"';
          ++i;
        } else {
          quoted = !quoted;
        }
        ++i;
      } else {
        arg.append(backslashes, '\\');
        if (i < n && (quoted || !IsBlank(commandLine[i]))) arg += commandLine[i++];
      }
    }
    args.push_back(std::move(arg));
  }
  return args;
}

}  // namespace rtl::detail
