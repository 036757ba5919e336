// A table of objects addressed by handles that carry a generation: the
// handle value is (generation << 16 | slot) + 1, so a stale handle whose
// slot was reused fails the lookup instead of reaching the newer object.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace rtl::detail {

template <class T>
class THandleTable {
  struct Slot {
    std::unique_ptr<T> Object;
    uint32_t Generation = 1;
  };
  std::vector<Slot> slots_;
  std::vector<uint32_t> free_;
  mutable std::mutex lock_;

  static constexpr uint32_t kSlotBits = 20;
  static constexpr uint32_t kSlotMask = (1u << kSlotBits) - 1;
  static constexpr uint32_t kGenMask = (1u << (31 - kSlotBits)) - 1;

 public:
  // Takes ownership; returns the handle value (never 0).
  uintptr_t Add(std::unique_ptr<T> obj) {
    std::lock_guard<std::mutex> g(lock_);
    uint32_t slot;
    if (!free_.empty()) {
      slot = free_.back();
      free_.pop_back();
    } else {
      slot = static_cast<uint32_t>(slots_.size());
      slots_.emplace_back();
    }
    slots_[slot].Object = std::move(obj);
    return Encode(slot, slots_[slot].Generation);
  }

  // The object of a live handle, null for 0, stale or foreign values.
  T* Get(uintptr_t h) const {
    std::lock_guard<std::mutex> g(lock_);
    uint32_t slot;
    if (!Decode(h, slot)) return nullptr;
    return slots_[slot].Object.get();
  }

  // Removes the object and returns it; the handle goes stale.
  std::unique_ptr<T> Remove(uintptr_t h) {
    std::lock_guard<std::mutex> g(lock_);
    uint32_t slot;
    if (!Decode(h, slot)) return nullptr;
    std::unique_ptr<T> obj = std::move(slots_[slot].Object);
    slots_[slot].Generation = (slots_[slot].Generation + 1) & kGenMask;
    if (slots_[slot].Generation == 0) slots_[slot].Generation = 1;
    free_.push_back(slot);
    return obj;
  }

  // Calls f(handle, object) for every live object.
  template <class F>
  void ForEach(F&& f) const {
    std::vector<std::pair<uintptr_t, T*>> live;
    {
      std::lock_guard<std::mutex> g(lock_);
      for (uint32_t i = 0; i < slots_.size(); ++i)
        if (slots_[i].Object) live.emplace_back(Encode(i, slots_[i].Generation), slots_[i].Object.get());
    }
    for (auto& [h, o] : live) f(h, o);
  }

 private:
  static uintptr_t Encode(uint32_t slot, uint32_t gen) {
    return ((static_cast<uintptr_t>(gen) << kSlotBits) | slot) + 1;
  }
  bool Decode(uintptr_t h, uint32_t& slot) const {
    if (h == 0 || h > 0x7FFFFFFFu) return false;
    uintptr_t v = h - 1;
    slot = static_cast<uint32_t>(v & kSlotMask);
    uint32_t gen = static_cast<uint32_t>(v >> kSlotBits);
    return slot < slots_.size() && slots_[slot].Object && slots_[slot].Generation == gen;
  }
};

}  // namespace rtl::detail
