#include "support/support_errors.h"

RTL_IMPLEMENT_CLASS(EJclError)
RTL_IMPLEMENT_CLASS(EJclInternalError)
RTL_IMPLEMENT_CLASS(EJclWin32Error)
RTL_IMPLEMENT_CLASS(EJclMutexError)
RTL_IMPLEMENT_CLASS(ESharedMemError)

EJclWin32Error::EJclWin32Error(const AnsiString& Msg) : EJclError(Msg), FLastError(GetLastError()) {
  FLastErrorMsg = SysErrorMessage(FLastError);
  SetMessage(Format("Win32 error: %s (%u)%s%s", {FLastErrorMsg, FLastError, "\r\n", Msg}));
}
