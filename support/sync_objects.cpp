#include "support/sync_objects.h"

#include "support/support_errors.h"

RTL_IMPLEMENT_CLASS(TJclDispatcherObject)
RTL_IMPLEMENT_CLASS(TJclMutex)
RTL_IMPLEMENT_CLASS(TJclIntfCriticalSection)

TJclDispatcherObject::~TJclDispatcherObject() {
  if (FHandle) CloseHandle(FHandle);
}

DWORD TJclDispatcherObject::WaitFor(DWORD TimeOut) { return WaitForSingleObject(FHandle, TimeOut); }

TJclMutex::TJclMutex(LPSECURITY_ATTRIBUTES SecAttr, bool InitialOwner, const AnsiString& Name) : FName(Name) {
  FHandle = CreateMutex(SecAttr, InitialOwner ? TRUE : FALSE, Name.empty() ? nullptr : Name.c_str());
  if (!FHandle) throw EJclMutexError("Failed to create mutex");
  FExisted = GetLastError() == ERROR_ALREADY_EXISTS;
}

bool TJclMutex::Release() { return ReleaseMutex(FHandle) != FALSE; }

// The count is not kept: the object's owner decides its lifetime.
Integer TJclIntfCriticalSection::_AddRef() {
  FCriticalSection.Enter();
  return -1;
}

Integer TJclIntfCriticalSection::_Release() {
  FCriticalSection.Leave();
  return -1;
}
