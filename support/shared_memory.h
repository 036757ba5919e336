// Named shared memory, mapped once per name in the process: a second open
// of a name mapped already takes another reference to the same view.
#pragma once

#include "platform/rtl/types.h"
#include "platform/win/kernel/windef.h"

struct TMMFHandleListItem {
  TMMFHandleListItem* Next;
  void* Memory;
  HANDLE Handle;
  AnsiString Name;
  Integer References;
};

// Maps the named mapping into P with DesiredAccess (FILE_MAP_*), creating
// it with Size bytes when it does not exist. Returns ERROR_ALREADY_EXISTS
// (183) when the mapping existed before (also when this process mapped it
// already, compared without regard to case), else the last error of the
// creation. Creating with size 0 raises ESharedMemError "The MMF named
// "<name>" cannot be created empty"; a failed creation or mapping raises
// the last OS error.
Integer SharedGetMem(void*& P, const AnsiString& Name, Cardinal Size, DWORD DesiredAccess);
// Gives back one reference to memory from SharedGetMem; the last one
// unmaps the view and closes the mapping. P becomes null. False when P is
// not such memory; a null P does nothing and succeeds.
bool SharedCloseMem(void*& P);

// The unit's shut-down: frees the lock of the list, which is not created
// again afterwards.
void FinalizeSharedMemory();
