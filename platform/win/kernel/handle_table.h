// The one table behind every handle of the layer: windows, menus, icons,
// GDI objects and kernel objects. A handle value is
//
//   kind << 60 | generation << 22 | slot << 2
//
// so it is never 0, never negative (the pseudo handles and HWND_* values
// are), a multiple of 4 as kernel handles are, and never the same for two
// kinds. Freed slots are reused oldest first, and each reuse bumps the
// slot's generation; a slot whose generation runs out is retired rather than
// wrapped, so a value once handed out never names another object.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

namespace rtl::detail {

enum class THandleKind : uintptr_t { Window = 1, Menu, Icon, Gdi, Kernel };

struct TNoHandleInfo {};

// A looked-up object with a reference that keeps it alive. It turns into a
// plain pointer only as a named value: a temporary would leave the pointer
// dangling once the reference went.
template <class T>
class THandleRef {
  std::shared_ptr<T> p_;

 public:
  THandleRef() = default;
  THandleRef(std::nullptr_t) {}
  explicit THandleRef(std::shared_ptr<T> p) : p_(std::move(p)) {}
  T* get() const { return p_.get(); }
  T* operator->() const { return p_.get(); }
  T& operator*() const { return *p_; }
  operator T*() const& { return p_.get(); }
  operator T*() const&& = delete;
  explicit operator bool() const { return p_ != nullptr; }
  template <class U>
  THandleRef<U> As() const {
    return THandleRef<U>(std::static_pointer_cast<U>(p_));
  }
};

// `Info` is what a handle carries besides its object (a kernel handle's
// access rights); `GenerationBits` is there for tests of running out.
template <class T, class Info = TNoHandleInfo, unsigned GenerationBits = 38>
class THandleTable {
  static_assert(GenerationBits >= 1 && GenerationBits <= 38);
  static constexpr unsigned kSlotShift = 2, kSlotBits = 20, kGenerationShift = kSlotShift + kSlotBits;
  static constexpr unsigned kKindShift = 60;
  static constexpr uint64_t kSlotMask = (uint64_t{1} << kSlotBits) - 1;
  static constexpr uint64_t kGenerationMax = (uint64_t{1} << GenerationBits) - 1;
  static constexpr uint32_t kNone = UINT32_MAX;

  struct TSlot {
    std::shared_ptr<T> Object;
    Info Data{};
    uint64_t Generation = 0;
    uint32_t NextFree = kNone;
  };

  const uintptr_t kind_;
  mutable std::mutex lock_;
  std::vector<TSlot> slots_;
  uint32_t freeHead_ = kNone, freeTail_ = kNone;

 public:
  static_assert(sizeof(uintptr_t) == 8, "handle values need 64 bits");

  explicit THandleTable(THandleKind kind) : kind_(static_cast<uintptr_t>(kind)) {}
  THandleTable(const THandleTable&) = delete;
  THandleTable& operator=(const THandleTable&) = delete;

  // The new handle of the object; 0 when every slot is taken.
  uintptr_t Add(std::shared_ptr<T> obj, Info info = {}) {
    std::lock_guard<std::mutex> g(lock_);
    uint32_t slot;
    if (freeHead_ != kNone) {
      slot = freeHead_;
      freeHead_ = slots_[slot].NextFree;
      if (freeHead_ == kNone) freeTail_ = kNone;
    } else {
      if (slots_.size() > kSlotMask) return 0;
      slot = static_cast<uint32_t>(slots_.size());
      slots_.emplace_back();
    }
    TSlot& s = slots_[slot];
    s.Object = std::move(obj);
    s.Data = std::move(info);
    s.NextFree = kNone;
    return Encode(slot, s.Generation);
  }

  // The object of a live handle of this table, null for anything else;
  // `info` receives what the handle carries.
  std::shared_ptr<T> Get(uintptr_t h, Info* info = nullptr) const {
    std::lock_guard<std::mutex> g(lock_);
    const TSlot* s = Find(h);
    if (!s) return nullptr;
    if (info) *info = s->Data;
    return s->Object;
  }

  // Takes the object out; the handle is stale from now on. The caller
  // drops the returned reference outside any lock of its own that the
  // object's destructor might take.
  std::shared_ptr<T> Remove(uintptr_t h) {
    std::lock_guard<std::mutex> g(lock_);
    TSlot* s = const_cast<TSlot*>(Find(h));
    if (!s) return nullptr;
    std::shared_ptr<T> obj = std::move(s->Object);
    s->Data = Info{};
    if (s->Generation < kGenerationMax) {
      ++s->Generation;
      const auto slot = static_cast<uint32_t>(s - slots_.data());
      if (freeTail_ == kNone)
        freeHead_ = slot;
      else
        slots_[freeTail_].NextFree = slot;
      freeTail_ = slot;
    }
    return obj;
  }

  // Calls f(handle, object) for every live object, outside the lock, each
  // object kept alive meanwhile.
  template <class F>
  void ForEach(F&& f) const {
    std::vector<std::pair<uintptr_t, std::shared_ptr<T>>> live;
    {
      std::lock_guard<std::mutex> g(lock_);
      for (uint32_t i = 0; i < slots_.size(); ++i)
        if (slots_[i].Object) live.emplace_back(Encode(i, slots_[i].Generation), slots_[i].Object);
    }
    for (auto& [h, o] : live) f(h, o);
  }

 private:
  uintptr_t Encode(uint32_t slot, uint64_t generation) const {
    return kind_ << kKindShift | generation << kGenerationShift | uintptr_t{slot} << kSlotShift;
  }
  // Under the lock.
  const TSlot* Find(uintptr_t h) const {
    if (h >> kKindShift != kind_ || (h & ((uintptr_t{1} << kSlotShift) - 1))) return nullptr;
    const auto slot = static_cast<size_t>(h >> kSlotShift & kSlotMask);
    const uint64_t generation = (h >> kGenerationShift) & ((uint64_t{1} << (kKindShift - kGenerationShift)) - 1);
    if (slot >= slots_.size()) return nullptr;
    const TSlot& s = slots_[slot];
    return s.Object && s.Generation == generation ? &s : nullptr;
  }
};

}  // namespace rtl::detail
