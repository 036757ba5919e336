#include "support/unit_versioning.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/win/kernel/kernel.h"
#include "support/shared_memory.h"
#include "support/sync_objects.h"

RTL_IMPLEMENT_CLASS(TUnitVersion)
RTL_IMPLEMENT_CLASS(TUnitVersioningModule)
RTL_IMPLEMENT_CLASS(TUnitVersioning)

namespace {

// What the shared memory holds. Named objects outlive a process that dies
// holding them, and a later process may get the same id: the start time
// tells a registry of this process from a stale address.
struct TPublishedRegistry {
  TUnitVersioning* Registry;
  uint64_t ProcessStart;
};

// The process's start time in clock ticks since boot, 0 when unknown.
uint64_t ProcessStartTime() {
  static const uint64_t start = [] {
    uint64_t ticks = 0;
    if (FILE* f = std::fopen("/proc/self/stat", "r")) {
      char buf[1024];
      size_t n = std::fread(buf, 1, sizeof buf - 1, f);
      std::fclose(f);
      buf[n] = 0;
      // Fields after the command name, which may hold blanks and ')'.
      if (const char* p = std::strrchr(buf, ')')) {
        unsigned long long v = 0;
        if (std::sscanf(p + 1, " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %*u %*u %*d %*d %*d %*d %*d %*d %llu",
                        &v) == 1)
          ticks = v;
      }
    }
    return ticks;
  }();
  return start;
}

// Holds a mutex for a block.
class TMutexGuard {
  TJclMutex& FMutex;

 public:
  explicit TMutexGuard(TJclMutex& Mutex) : FMutex(Mutex) { FMutex.WaitFor(INFINITE); }
  ~TMutexGuard() { FMutex.Release(); }
  TMutexGuard(const TMutexGuard&) = delete;
  TMutexGuard& operator=(const TMutexGuard&) = delete;
};

}  // namespace

// ---- The registry -----------------------------------------------------------

void TUnitVersioningModule::Add(const TUnitVersionInfo* Info) {
  for (const auto& item : FItems)
    if (item->Info() == Info) return;
  FItems.push_back(std::make_unique<TUnitVersion>(Info));
}

void TUnitVersioning::Add(HINSTANCE Instance, const TUnitVersionInfo* Info) {
  for (const auto& module : FModules) {
    if (module->Instance() == Instance) {
      module->Add(Info);
      return;
    }
  }
  FModules.push_back(std::make_unique<TUnitVersioningModule>(Instance));
  FModules.back()->Add(Info);
}

void TUnitVersioning::UnregisterModule(HINSTANCE Instance) {
  for (size_t i = FModules.size(); i-- > 0;) {
    if (FModules[i]->Instance() == Instance) {
      FModules.erase(FModules.begin() + static_cast<std::ptrdiff_t>(i));
      return;
    }
  }
}

// ---- A module's link to it --------------------------------------------------

TUnitVersioningLink::TUnitVersioningLink(DWORD ProcessId) : FProcessId(ProcessId) {}

TUnitVersioningLink::~TUnitVersioningLink() { Finalize(); }

TUnitVersioning* TUnitVersioningLink::ReadPublished() const {
  const auto* published = static_cast<const TPublishedRegistry*>(FShared);
  return published->ProcessStart == ProcessStartTime() ? published->Registry : nullptr;
}

TUnitVersioning* TUnitVersioningLink::Connect() {
  if (FRegistry && FShared) FRegistry = ReadPublished();
  if (FRegistry) return FRegistry;
  if (!FShared)
    SharedGetMem(FShared, "ShmNPA_UnitVersioning_" + std::to_string(FProcessId), sizeof(TPublishedRegistry),
                 FILE_MAP_ALL_ACCESS);
  if (FShared) {
    FRegistry = ReadPublished();
    if (FRegistry) {
      FOwnsRegistry = false;
      return FRegistry;
    }
  }
  FRegistry = new TUnitVersioning();
  FOwnsRegistry = true;
  if (FShared) *static_cast<TPublishedRegistry*>(FShared) = {FRegistry, ProcessStartTime()};
  return FRegistry;
}

TUnitVersioning* TUnitVersioningLink::GetUnitVersioning() {
  if (FFinalized) return nullptr;
  if (!FMutex)
    FMutex = std::make_unique<TJclMutex>(nullptr, false, "MutexNPA_UnitVersioning_" + std::to_string(FProcessId));
  if (FRegistry && !FShared) return FRegistry;  // private: nobody else can change it
  TMutexGuard guard(*FMutex);
  return Connect();
}

void TUnitVersioningLink::Register(HINSTANCE Instance, const TUnitVersionInfo* Info) {
  if (TUnitVersioning* registry = GetUnitVersioning()) registry->Add(Instance, Info);
}

void TUnitVersioningLink::Unregister(HINSTANCE Instance) {
  if (TUnitVersioning* registry = GetUnitVersioning()) registry->UnregisterModule(Instance);
}

void TUnitVersioningLink::Finalize() {
  if (FFinalized) return;
  FFinalized = true;
  if (FShared) {
    if (FOwnsRegistry && FMutex) {
      TMutexGuard guard(*FMutex);
      auto* published = static_cast<TPublishedRegistry*>(FShared);
      if (ReadPublished() == FRegistry) *published = {nullptr, 0};
    }
    SharedCloseMem(FShared);
  }
  if (FOwnsRegistry) delete FRegistry;
  FRegistry = nullptr;
  FOwnsRegistry = false;
  FMutex.reset();
}

namespace {
TUnitVersioningLink& ThisModule() {
  // Never destroyed: the unit's own shut-down finalizes it, and static
  // destruction must not reach kernel objects that may be gone.
  static auto* link = new TUnitVersioningLink(GetCurrentProcessId());
  return *link;
}
}  // namespace

TUnitVersioning* GetUnitVersioning() { return ThisModule().GetUnitVersioning(); }

void RegisterUnitVersion(HINSTANCE Instance, const TUnitVersionInfo& Info) { ThisModule().Register(Instance, &Info); }

void UnregisterUnitVersion(HINSTANCE Instance) { ThisModule().Unregister(Instance); }

void FinalizeUnitVersioning() { ThisModule().Finalize(); }
