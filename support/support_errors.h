// Errors of the support library's system wrappers.
#pragma once

#include "platform/rtl/sysutils.h"

RTL_EXCEPTION(EJclError, Exception)
RTL_EXCEPTION(EJclInternalError, EJclError)

// Carries the last OS error at the moment it was raised, with the system's
// text for it: "Win32 error: <text> (<code>)" and, on the next line, Msg.
class EJclWin32Error : public EJclError {
  RTL_CLASS(EJclWin32Error, EJclError)
  Cardinal FLastError;
  AnsiString FLastErrorMsg;

 public:
  explicit EJclWin32Error(const AnsiString& Msg);
  Cardinal LastError() const { return FLastError; }
  const AnsiString& LastErrorMsg() const { return FLastErrorMsg; }
};

RTL_EXCEPTION(EJclMutexError, EJclWin32Error)
RTL_EXCEPTION(ESharedMemError, EJclError)
