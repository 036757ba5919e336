// The headless backend: no native windows; screens are the layer's own
// profile, the clipboard lives in memory and tells of its changes at once.
#include <map>
#include <mutex>

#include "platform/backend/backend.h"

namespace rtl::backend {
namespace {

class THeadlessBackend : public IBackend {
  std::mutex lock_;
  TEventHandler handler_;
  std::vector<std::pair<AnsiString, std::string>> clipboard_;
  TPoint cursor_;

 public:
  bool HasWindows() const override { return false; }
  std::unique_ptr<INativeWindow> CreateNativeWindow(const TNativeParams&, uintptr_t) override { return nullptr; }
  void SetEventHandler(TEventHandler handler) override { handler_ = std::move(handler); }
  void Wait(int) override {}
  void ProcessEvents() override {}
  void Wake() override {}
  std::vector<TScreenInfo> Screens() override { return {}; }
  TPoint CursorPos() override { return cursor_; }
  void SetCursorPos(const TPoint& p) override { cursor_ = p; }
  void Beep() override {}
  std::vector<AnsiString> ClipboardTypes() override {
    std::lock_guard<std::mutex> g(lock_);
    std::vector<AnsiString> r;
    for (auto& [mime, data] : clipboard_) r.push_back(mime);
    return r;
  }
  bool ClipboardData(const AnsiString& mime, std::string& data) override {
    std::lock_guard<std::mutex> g(lock_);
    for (auto& [m, d] : clipboard_)
      if (m == mime) {
        data = d;
        return true;
      }
    return false;
  }
  void SetClipboard(const std::vector<std::pair<AnsiString, std::string>>& content) override {
    {
      std::lock_guard<std::mutex> g(lock_);
      clipboard_ = content;
    }
    if (handler_) {
      TNativeEvent e;
      e.Kind = neClipboardChanged;
      handler_(e);
    }
  }
};

}  // namespace

std::unique_ptr<IBackend> CreateHeadlessBackend() { return std::make_unique<THeadlessBackend>(); }

}  // namespace rtl::backend
