// Window subclass chains that parties join and leave in any order: the
// window procedure becomes one dispatcher that walks the chain, most
// recent first, and ends with the procedure the window had before.
#include <algorithm>
#include <map>
#include <vector>

#include "platform/rtl/sysutils.h"
#include "platform/win/user/user_internal.h"

namespace rtl::detail {
namespace {

struct TSubclass {
  SUBCLASSPROC Proc;
  UINT_PTR Id;
  DWORD_PTR RefData;
  bool Alive = true;
};

struct TChain {
  WNDPROC Original = nullptr;
  std::vector<std::shared_ptr<TSubclass>> Links;  // most recent first
};

std::map<HWND, TChain>& Chains() {
  static std::map<HWND, TChain> chains;
  return chains;
}

// The link being run on this thread, so that DefSubclassProc continues
// after it.
struct TWalk {
  HWND Hwnd;
  std::vector<std::shared_ptr<TSubclass>> Links;
  size_t Index;
  // The window's own procedure when the walk began: a subclass removing
  // itself (and with it the chain) mid-walk still passes the message on to
  // it, as it must WM_NCDESTROY.
  WNDPROC Original;
};
thread_local std::vector<TWalk*> t_walks;

LRESULT Continue(TWalk& walk, UINT msg, WPARAM wParam, LPARAM lParam) {
  while (walk.Index < walk.Links.size()) {
    auto link = walk.Links[walk.Index++];
    if (!link->Alive) continue;
    return link->Proc(walk.Hwnd, msg, wParam, lParam, link->Id, link->RefData);
  }
  auto it = Chains().find(walk.Hwnd);
  WNDPROC original = it != Chains().end() ? it->second.Original : walk.Original;
  return original ? CallProc(original, walk.Hwnd, msg, wParam, lParam) : DefWindowProcA(walk.Hwnd, msg, wParam, lParam);
}

LRESULT SubclassDispatcher(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto it = Chains().find(hwnd);
  if (it == Chains().end()) return DefWindowProcA(hwnd, msg, wParam, lParam);
  TWalk walk{hwnd, it->second.Links, 0, it->second.Original};
  t_walks.push_back(&walk);
  struct TPop {
    ~TPop() { t_walks.pop_back(); }
  } pop;
  LRESULT r = Continue(walk, msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    // The window is gone: its chain goes with it, the window keeps the
    // procedure it had.
    auto again = Chains().find(hwnd);
    if (again != Chains().end()) {
      for (auto& l : again->second.Links) l->Alive = false;
      Chains().erase(again);
    }
  }
  return r;
}

}  // namespace
}  // namespace rtl::detail

using namespace rtl::detail;

BOOL SetWindowSubclass(HWND hwnd, SUBCLASSPROC proc, UINT_PTR id, DWORD_PTR refData) {
  TWnd* w = GetWnd(hwnd);
  if (!w || !proc || w->Queue.get() != &CurrentQueue()) return FALSE;
  auto& chains = Chains();
  auto it = chains.find(hwnd);
  if (it == chains.end()) {
    TChain c;
    c.Original = w->Proc;
    it = chains.emplace(hwnd, std::move(c)).first;
    w->Proc = SubclassDispatcher;
  }
  for (auto& l : it->second.Links)
    if (l->Proc == proc && l->Id == id) {
      l->RefData = refData;
      return TRUE;
    }
  it->second.Links.insert(it->second.Links.begin(), std::make_shared<TSubclass>(TSubclass{proc, id, refData}));
  return TRUE;
}

BOOL GetWindowSubclass(HWND hwnd, SUBCLASSPROC proc, UINT_PTR id, DWORD_PTR* refData) {
  auto it = Chains().find(hwnd);
  if (it == Chains().end()) return FALSE;
  for (auto& l : it->second.Links)
    if (l->Proc == proc && l->Id == id) {
      if (refData) *refData = l->RefData;
      return TRUE;
    }
  return FALSE;
}

BOOL RemoveWindowSubclass(HWND hwnd, SUBCLASSPROC proc, UINT_PTR id) {
  auto it = Chains().find(hwnd);
  if (it == Chains().end()) return FALSE;
  auto& links = it->second.Links;
  auto found = std::find_if(links.begin(), links.end(), [&](auto& l) { return l->Proc == proc && l->Id == id; });
  if (found == links.end()) return FALSE;
  (*found)->Alive = false;
  links.erase(found);
  if (links.empty()) {
    // The last one leaves: the window gets its procedure back, unless
    // someone replaced the dispatcher meanwhile.
    if (TWnd* w = GetWndNoError(hwnd))
      if (w->Proc == SubclassDispatcher) w->Proc = it->second.Original;
    Chains().erase(it);
  }
  return TRUE;
}

LRESULT DefSubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  for (auto it = t_walks.rbegin(); it != t_walks.rend(); ++it)
    if ((*it)->Hwnd == hwnd) return Continue(**it, msg, wParam, lParam);
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}
