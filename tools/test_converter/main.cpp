// A stand-in for the external converter, for tests. What it does is told by
// environment variables, taken in this order:
//   TC_LOG=path        appends its arguments (without the program), one per
//                      line, to the file.
//   TC_FDS=path        appends "fd N" for each descriptor it has open.
//   TC_SCRIPT=steps    runs steps separated by ';':
//                        out:TEXT   writes TEXT to standard output in one write
//                        err:TEXT   the same to standard error
//                        burst:N    writes N bytes ('a'..'z' repeated) to
//                                   standard output
//                        sleep:MS   sleeps MS milliseconds
//                        stdin:     reads standard input until its end
//                        spawn:MS   starts a grandchild that keeps the
//                                   standard streams and sleeps MS
//                                   milliseconds
//                        escape:MS  the same, the grandchild in a session
//                                   of its own (out of the child's group);
//                                   writes "grandchild PID\n" first
//                      TEXT takes the escapes \n \r \t \b \a \0 \; \\ \xHH.
//   TC_CREATE=path     creates the file (text "converted\n").
//   TC_CREATE_ARG=N    creates the file named by argument N (1-based).
//   TC_ARGV=path       appends its argument count and its arguments (without
//                      the program), each ended by a NUL, so that any byte
//                      of an argument reads back.
//   TC_WHEN=rules      rules text=action separated by ';', for the runs
//                      with an argument that holds text: sleep:MS sleeps
//                      first, late:MS sleeps after TC_CREATE_ARG's file is
//                      written, nocreate skips TC_CREATE_ARG, abort ends by
//                      abort() before creating, exit:N ends with N.
//   TC_ABORT=1         ends by abort().
//   TC_EXIT=code       ends with that exit code (0 otherwise).
#include <dirent.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

namespace {

const char* Var(const char* name) {
  const char* v = std::getenv(name);
  return v && *v ? v : nullptr;
}

void WriteAll(int fd, const std::string& data) {
  size_t done = 0;
  while (done < data.size()) {
    ssize_t n = write(fd, data.data() + done, data.size() - done);
    if (n <= 0) return;
    done += static_cast<size_t>(n);
  }
}

void AppendToFile(const char* path, const std::string& text) {
  if (FILE* f = std::fopen(path, "ab")) {
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
  }
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Splits the script into steps, resolving the escapes of each step's text.
std::vector<std::string> Steps(const std::string& script) {
  std::vector<std::string> steps(1);
  for (size_t i = 0; i < script.size(); ++i) {
    char c = script[i];
    if (c == ';') {
      steps.emplace_back();
    } else if (c == '\\' && i + 1 < script.size()) {
      char e = script[++i];
      switch (e) {
        case 'n': steps.back() += '\n'; break;
        case 'r': steps.back() += '\r'; break;
        case 't': steps.back() += '\t'; break;
        case 'b': steps.back() += '\b'; break;
        case 'a': steps.back() += '\a'; break;
        case '0': steps.back() += '\0'; break;
        case 'x':
          if (i + 2 < script.size() && HexDigit(script[i + 1]) >= 0 && HexDigit(script[i + 2]) >= 0) {
            steps.back() += static_cast<char>(HexDigit(script[i + 1]) * 16 + HexDigit(script[i + 2]));
            i += 2;
          }
          break;
        default: steps.back() += e;
      }
    } else {
      steps.back() += c;
    }
  }
  return steps;
}

void SleepMs(long ms) {
  timespec t = {ms / 1000, (ms % 1000) * 1000000L};
  while (nanosleep(&t, &t) != 0) {
  }
}

void RunStep(const std::string& step) {
  size_t colon = step.find(':');
  if (colon == std::string::npos) return;
  std::string kind = step.substr(0, colon), arg = step.substr(colon + 1);
  if (kind == "out") {
    WriteAll(1, arg);
  } else if (kind == "err") {
    WriteAll(2, arg);
  } else if (kind == "burst") {
    std::string data(std::strtoul(arg.c_str(), nullptr, 10), ' ');
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>('a' + i % 26);
    WriteAll(1, data);
  } else if (kind == "sleep") {
    SleepMs(std::strtol(arg.c_str(), nullptr, 10));
  } else if (kind == "spawn" || kind == "escape") {
    pid_t pid = fork();
    if (pid == 0) {
      if (kind == "escape") setsid();
      SleepMs(std::strtol(arg.c_str(), nullptr, 10));
      _exit(0);
    }
    if (pid > 0 && kind == "escape") {
      // Out of the group before anyone can end the group.
      while (getsid(pid) != pid) SleepMs(1);
      WriteAll(1, "grandchild " + std::to_string(pid) + "\n");
    }
  } else if (kind == "stdin") {
    char buf[4096];
    while (read(0, buf, sizeof buf) > 0) {
    }
  }
}

std::string OpenDescriptors() {
  std::string list;
  DIR* d = opendir("/proc/self/fd");
  if (!d) return list;
  int own = dirfd(d);
  while (dirent* e = readdir(d)) {
    if (e->d_name[0] == '.' || std::atoi(e->d_name) == own) continue;
    list += "fd " + std::string(e->d_name) + "\n";
  }
  closedir(d);
  return list;
}

void CreateOutput(const char* path) {
  if (FILE* f = std::fopen(path, "wb")) {
    std::fputs("converted\n", f);
    std::fclose(f);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (const char* log = Var("TC_LOG")) {
    std::string text;
    for (int i = 1; i < argc; ++i) text += std::string(argv[i]) + "\n";
    AppendToFile(log, text);
  }
  if (const char* argvLog = Var("TC_ARGV")) {
    std::string text = std::to_string(argc - 1) + '\0';
    for (int i = 1; i < argc; ++i) text += std::string(argv[i]) + '\0';
    AppendToFile(argvLog, text);
  }
  bool create = true, abortRun = false;
  long lateSleep = 0;
  const char* exitCode = Var("TC_EXIT");
  std::string ruleExit;
  if (const char* when = Var("TC_WHEN")) {
    std::string rules = when;
    size_t start = 0;
    while (start <= rules.size()) {
      size_t end = rules.find(';', start);
      if (end == std::string::npos) end = rules.size();
      std::string rule = rules.substr(start, end - start);
      start = end + 1;
      size_t eq = rule.find('=');
      if (eq == std::string::npos) continue;
      std::string text = rule.substr(0, eq), action = rule.substr(eq + 1);
      bool matches = false;
      for (int i = 1; i < argc; ++i) matches = matches || std::strstr(argv[i], text.c_str()) != nullptr;
      if (!matches) continue;
      if (action.rfind("sleep:", 0) == 0) SleepMs(std::strtol(action.c_str() + 6, nullptr, 10));
      if (action.rfind("late:", 0) == 0) lateSleep = std::strtol(action.c_str() + 5, nullptr, 10);
      if (action == "nocreate") create = false;
      if (action == "abort") abortRun = true;
      if (action.rfind("exit:", 0) == 0) ruleExit = action.substr(5);
    }
  }
  if (!ruleExit.empty()) exitCode = ruleExit.c_str();
  if (abortRun) std::abort();
  if (const char* fds = Var("TC_FDS")) AppendToFile(fds, OpenDescriptors());
  if (const char* script = Var("TC_SCRIPT"))
    for (const std::string& step : Steps(script)) RunStep(step);
  if (const char* path = Var("TC_CREATE")) CreateOutput(path);
  if (const char* n = create ? Var("TC_CREATE_ARG") : nullptr) {
    int i = std::atoi(n);
    if (i >= 1 && i < argc) CreateOutput(argv[i]);
  }
  if (lateSleep > 0) SleepMs(lateSleep);
  if (Var("TC_ABORT")) std::abort();
  return exitCode ? std::atoi(exitCode) : 0;
}
