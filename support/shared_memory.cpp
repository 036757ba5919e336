#include "support/shared_memory.h"

#include <strings.h>

#include <atomic>

#include "platform/rtl/sysutils.h"
#include "platform/win/kernel/kernel.h"
#include "support/support_errors.h"
#include "support/sync_objects.h"

namespace {

TMMFHandleListItem* gHandleList = nullptr;
std::atomic<TJclIntfCriticalSection*> gListLock{nullptr};
std::atomic<bool> gShuttingDown{false};

// The list's lock, created on first use; none once the unit shuts down.
TJclIntfCriticalSection* ListLock() {
  TJclIntfCriticalSection* lock = gListLock.load();
  if (lock || gShuttingDown) return lock;
  auto* created = new TJclIntfCriticalSection();
  if (gListLock.compare_exchange_strong(lock, created)) return created;
  delete created;  // another thread was first
  return lock;
}

// Holds the list's lock for a block.
class TListGuard {
  TJclIntfCriticalSection* FLock;

 public:
  TListGuard() : FLock(ListLock()) {
    if (FLock) FLock->_AddRef();
  }
  ~TListGuard() {
    if (FLock) FLock->_Release();
  }
  TListGuard(const TListGuard&) = delete;
  TListGuard& operator=(const TListGuard&) = delete;
};

AnsiString Quoted(const AnsiString& s) { return "\"" + s + "\""; }

}  // namespace

Integer SharedGetMem(void*& P, const AnsiString& Name, Cardinal Size, DWORD DesiredAccess) {
  P = nullptr;
  TListGuard guard;
  for (TMMFHandleListItem* item = gHandleList; item; item = item->Next) {
    if (::strcasecmp(item->Name.c_str(), Name.c_str()) == 0) {
      ++item->References;
      P = item->Memory;
      return ERROR_ALREADY_EXISTS;
    }
  }
  Integer result = ERROR_ALREADY_EXISTS;
  HANDLE handle = OpenFileMapping(DesiredAccess, FALSE, Name.c_str());
  if (!handle) {
    if (Size == 0) throw ESharedMemError("The MMF named " + Quoted(Name) + " cannot be created empty");
    SetLastError(ERROR_SUCCESS);
    handle = CreateFileMapping(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, Size, Name.c_str());
    if (!handle) RaiseLastOSError();
    result = static_cast<Integer>(GetLastError());
  }
  void* memory = MapViewOfFile(handle, DesiredAccess, 0, 0, 0);
  if (!memory) {
    Cardinal error = GetLastError();
    CloseHandle(handle);
    RaiseLastOSError(error);
  }
  gHandleList = new TMMFHandleListItem{gHandleList, memory, handle, Name, 1};
  P = memory;
  return result;
}

bool SharedCloseMem(void*& P) {
  if (!P) return true;
  TListGuard guard;
  for (TMMFHandleListItem** link = &gHandleList; *link; link = &(*link)->Next) {
    TMMFHandleListItem* item = *link;
    if (item->Memory != P) continue;
    if (item->References > 1) {
      --item->References;
    } else {
      UnmapViewOfFile(item->Memory);
      CloseHandle(item->Handle);
      *link = item->Next;
      delete item;
    }
    P = nullptr;
    return true;
  }
  return false;
}

void FinalizeSharedMemory() {
  gShuttingDown = true;
  delete gListLock.exchange(nullptr);
}
