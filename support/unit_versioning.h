// The per-process registry of unit version records. The first module of
// the process that needs it creates it and publishes its address in named
// shared memory (named after the process id, guarded by a named mutex), so
// that every module built with these units shares one registry.
#pragma once

#include <memory>
#include <vector>

#include "platform/rtl/object.h"
#include "platform/win/kernel/windef.h"

class TJclMutex;

// Static data of a registering unit; the registry keeps its address.
struct TUnitVersionInfo {
  const char* RCSfile;   // identifies the unit's source
  const char* Revision;  // "$Revision: 3850 $"
  const char* Date;
  const char* LogPath;   // the unit's folder in the library's source tree
  const char* Extra;
  void* Data;
};

class TUnitVersion : public TObject {
  RTL_CLASS(TUnitVersion, TObject)
  const TUnitVersionInfo* FInfo;

 public:
  explicit TUnitVersion(const TUnitVersionInfo* Info) : FInfo(Info) {}
  const TUnitVersionInfo* Info() const { return FInfo; }
};

class TUnitVersioningModule : public TObject {
  RTL_CLASS(TUnitVersioningModule, TObject)
  HINSTANCE FInstance;
  std::vector<std::unique_ptr<TUnitVersion>> FItems;

 public:
  explicit TUnitVersioningModule(HINSTANCE Instance) : FInstance(Instance) {}
  HINSTANCE Instance() const { return FInstance; }
  Integer Count() const { return static_cast<Integer>(FItems.size()); }
  TUnitVersion* Items(Integer Index) const { return FItems.at(static_cast<size_t>(Index)).get(); }
  // Appends a version for Info unless the same record is there already.
  void Add(const TUnitVersionInfo* Info);
};

class TUnitVersioning : public TObject {
  RTL_CLASS(TUnitVersioning, TObject)
  std::vector<std::unique_ptr<TUnitVersioningModule>> FModules;

 public:
  Integer ModuleCount() const { return static_cast<Integer>(FModules.size()); }
  TUnitVersioningModule* Modules(Integer Index) const { return FModules.at(static_cast<size_t>(Index)).get(); }
  // Adds Info to the first module entry of Instance, created when missing.
  virtual void Add(HINSTANCE Instance, const TUnitVersionInfo* Info);
  // Frees the last module entry of Instance.
  virtual void UnregisterModule(HINSTANCE Instance);
};

// How one module reaches the process's registry: the state its copy of the
// registry's unit keeps. The process id names the shared objects
// ("MutexNPA_UnitVersioning_<id>", "ShmNPA_UnitVersioning_<id>").
class TUnitVersioningLink {
  DWORD FProcessId;
  TUnitVersioning* FRegistry = nullptr;
  bool FOwnsRegistry = false;
  std::unique_ptr<TJclMutex> FMutex;
  void* FShared = nullptr;
  bool FFinalized = false;

  TUnitVersioning* ReadPublished() const;
  TUnitVersioning* Connect();

 public:
  explicit TUnitVersioningLink(DWORD ProcessId);
  ~TUnitVersioningLink();
  TUnitVersioningLink(const TUnitVersioningLink&) = delete;
  TUnitVersioningLink& operator=(const TUnitVersioningLink&) = delete;

  // The registry, created and published by the first module that asks;
  // null after Finalize. Raises EJclMutexError "Failed to create mutex"
  // when the mutex cannot be had.
  TUnitVersioning* GetUnitVersioning();
  bool OwnsRegistry() const { return FOwnsRegistry; }
  void Register(HINSTANCE Instance, const TUnitVersionInfo* Info);
  void Unregister(HINSTANCE Instance);
  // The unit's shut-down: withdraws the published address when this module
  // created the registry (so that no other module reaches a freed one),
  // unmaps the shared memory, frees or forgets the registry and frees the
  // mutex. Registering afterwards does nothing.
  void Finalize();
};

// This module's link, for the current process.
TUnitVersioning* GetUnitVersioning();
void RegisterUnitVersion(HINSTANCE Instance, const TUnitVersionInfo& Info);
void UnregisterUnitVersion(HINSTANCE Instance);
void FinalizeUnitVersioning();
