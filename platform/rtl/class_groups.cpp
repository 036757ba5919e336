#include "platform/rtl/class_groups.h"

#include <map>
#include <mutex>

namespace {

struct TGroups {
  std::mutex Lock;
  // A class (a group's head maps to itself) -> the head of its group.
  std::map<TClass, TClass> Heads;
};

TGroups& Groups() {
  static TGroups G;
  return G;
}

TClass HeadOf(const std::map<TClass, TClass>& Heads, TClass AClass) {
  for (TClass c = AClass; c; c = c->Parent) {
    auto it = Heads.find(c);
    if (it != Heads.end()) return it->second;
  }
  return nullptr;
}

}  // namespace

void StartClassGroup(TClass AClass) {
  if (!AClass) return;
  TGroups& G = Groups();
  std::lock_guard<std::mutex> Guard(G.Lock);
  G.Heads[AClass] = AClass;
}

void GroupDescendentsWith(TClass AClass, TClass AClassGroup) {
  if (!AClass || !AClassGroup) return;
  TGroups& G = Groups();
  std::lock_guard<std::mutex> Guard(G.Lock);
  TClass Head = HeadOf(G.Heads, AClassGroup);
  G.Heads[AClass] = Head ? Head : AClassGroup;
}

TClass ClassGroupOf(TClass AClass) {
  TGroups& G = Groups();
  std::lock_guard<std::mutex> Guard(G.Lock);
  return HeadOf(G.Heads, AClass);
}
