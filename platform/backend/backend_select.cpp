// Which backend the process uses: chosen once, on first use.
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/backend/backend.h"

namespace rtl::backend {
namespace {

std::mutex g_lock;
std::unique_ptr<IBackend> g_backend;

std::unique_ptr<IBackend> Choose() {
  const char* want = std::getenv("PDFBATCH_BACKEND");
  if (want && std::strcmp(want, "headless") == 0) return CreateHeadlessBackend();
  if (auto qt = CreateQtBackend()) return qt;
  return CreateHeadlessBackend();
}

}  // namespace

IBackend& Backend() {
  std::lock_guard<std::mutex> g(g_lock);
  if (!g_backend) g_backend = Choose();
  return *g_backend;
}

void SetBackend(std::unique_ptr<IBackend> backend) {
  std::lock_guard<std::mutex> g(g_lock);
  if (!g_backend) g_backend = std::move(backend);
}

bool BackendChosen() {
  std::lock_guard<std::mutex> g(g_lock);
  return g_backend != nullptr;
}

}  // namespace rtl::backend
