// Wrappers of the kernel's waitable objects and a critical section that is
// held for as long as a reference to it is.
#pragma once

#include "platform/rtl/threads.h"
#include "platform/win/kernel/kernel.h"

// A waitable handle, closed when the object goes.
class TJclDispatcherObject : public TObject {
  RTL_CLASS(TJclDispatcherObject, TObject)

 protected:
  HANDLE FHandle = nullptr;

 public:
  TJclDispatcherObject() = default;
  ~TJclDispatcherObject() override;
  HANDLE Handle() const { return FHandle; }
  // WaitForSingleObject's result: WAIT_OBJECT_0, WAIT_ABANDONED,
  // WAIT_TIMEOUT or WAIT_FAILED.
  DWORD WaitFor(DWORD TimeOut);
};

class TJclMutex : public TJclDispatcherObject {
  RTL_CLASS(TJclMutex, TJclDispatcherObject)
  AnsiString FName;
  bool FExisted = false;

 public:
  // Creates the mutex, or opens it when the name exists; raises
  // EJclMutexError "Failed to create mutex" when the system gives no handle.
  TJclMutex(LPSECURITY_ATTRIBUTES SecAttr, bool InitialOwner, const AnsiString& Name);
  bool Release();
  const AnsiString& Name() const { return FName; }
  // Whether the name existed before.
  bool Existed() const { return FExisted; }
};

// Entered when a reference to it is taken (_AddRef) and left when the
// reference is given back (_Release), as an interface held for a block.
class TJclIntfCriticalSection : public TObject {
  RTL_CLASS(TJclIntfCriticalSection, TObject)
  TCriticalSection FCriticalSection;

 public:
  Integer _AddRef();
  Integer _Release();
};
