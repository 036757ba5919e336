// Exceptions, the last OS error, format settings and Format.
#pragma once

#include <exception>
#include <initializer_list>

#include "platform/rtl/object.h"

// ---- Exceptions -----------------------------------------------------------

class Exception : public TObject, public std::exception {
  RTL_CLASS(Exception, TObject)
  AnsiString FMessage;
  Integer FHelpContext = 0;

 public:
  explicit Exception(const AnsiString& msg) : FMessage(msg) {}
  Exception(const char* msg) : FMessage(msg) {}
  // The host framework's CreateFmt.
  Exception(const AnsiString& fmt, std::initializer_list<struct TVarRec> args);
  Exception(const Exception& o) : TObject(), std::exception(o), FMessage(o.FMessage), FHelpContext(o.FHelpContext) {}

  const AnsiString& Message() const { return FMessage; }
  void SetMessage(const AnsiString& m) { FMessage = m; }
  Integer HelpContext() const { return FHelpContext; }
  void SetHelpContext(Integer v) { FHelpContext = v; }
  const char* what() const noexcept override { return FMessage.c_str(); }
};

// Declares an exception class that takes its parent's constructors.
#define RTL_EXCEPTION(Name, Parent)   \
  class Name : public Parent {        \
    RTL_CLASS(Name, Parent)           \
   public:                            \
    using Parent::Parent;             \
  };

RTL_EXCEPTION(EAbort, Exception)
RTL_EXCEPTION(EConvertError, Exception)
RTL_EXCEPTION(EListError, Exception)
RTL_EXCEPTION(EStringListError, Exception)
RTL_EXCEPTION(EInvalidOperation, Exception)
RTL_EXCEPTION(EInvalidPointer, Exception)
RTL_EXCEPTION(EInvalidCast, Exception)
RTL_EXCEPTION(EInvalidArgument, Exception)
RTL_EXCEPTION(EOutOfMemory, Exception)
RTL_EXCEPTION(EIntError, Exception)
RTL_EXCEPTION(EDivByZero, EIntError)
RTL_EXCEPTION(ERangeError, EIntError)
RTL_EXCEPTION(EMathError, Exception)
RTL_EXCEPTION(EZeroDivide, EMathError)
RTL_EXCEPTION(EStreamError, Exception)
RTL_EXCEPTION(EFilerError, EStreamError)
RTL_EXCEPTION(EReadError, EFilerError)
RTL_EXCEPTION(EWriteError, EFilerError)
RTL_EXCEPTION(EClassNotFound, EFilerError)
RTL_EXCEPTION(EFileStreamError, EStreamError)
RTL_EXCEPTION(EFOpenError, EFileStreamError)
RTL_EXCEPTION(EFCreateError, EFileStreamError)
RTL_EXCEPTION(EResNotFound, Exception)
RTL_EXCEPTION(EComponentError, Exception)
RTL_EXCEPTION(EIniFileException, Exception)
RTL_EXCEPTION(ERegistryException, Exception)
RTL_EXCEPTION(EThread, Exception)
RTL_EXCEPTION(EExternal, Exception)

class EOSError : public Exception {
  RTL_CLASS(EOSError, Exception)
  Cardinal FErrorCode = 0;

 public:
  using Exception::Exception;
  Cardinal ErrorCode() const { return FErrorCode; }
  void SetErrorCode(Cardinal c) { FErrorCode = c; }
};

// Raises EAbort, the silent exception.
[[noreturn]] void Abort();

// ---- The last OS error ----------------------------------------------------
// Codes are the original platform's error numbers (ERROR_FILE_NOT_FOUND = 2,
// ...); POSIX errno values are translated into them where they are set.

Cardinal GetLastError();
void SetLastError(Cardinal code);
// Translates an errno value into the platform error number.
Cardinal ErrnoToOSError(int err);
// Sets the last error from errno.
void SetLastErrorFromErrno();
// The text of an error number, as the system gives it.
AnsiString SysErrorMessage(Cardinal code);
// Raises EOSError for the last error ("System Error.  Code: %d.\n%s").
[[noreturn]] void RaiseLastOSError();
[[noreturn]] void RaiseLastOSError(Cardinal code);
// Raises EOSError when ok is false; returns ok otherwise.
bool Win32Check(bool ok);

// ---- Format settings ------------------------------------------------------

struct TFormatSettings {
  AnsiString CurrencyString = "$";
  Byte CurrencyFormat = 0;
  Byte NegCurrFormat = 0;
  Byte CurrencyDecimals = 2;
  char ThousandSeparator = ',';
  char DecimalSeparator = '.';
  char DateSeparator = '/';
  char TimeSeparator = ':';
  char ListSeparator = ',';
  AnsiString ShortDateFormat = "M/d/yyyy";
  AnsiString LongDateFormat = "dddd, MMMM d, yyyy";
  AnsiString TimeAMString = "AM";
  AnsiString TimePMString = "PM";
  AnsiString ShortTimeFormat = "h:mm AMPM";
  AnsiString LongTimeFormat = "h:mm:ss AMPM";
  AnsiString ShortMonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                    "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  AnsiString LongMonthNames[12] = {"January", "February", "March",     "April",   "May",      "June",
                                   "July",    "August",   "September", "October", "November", "December"};
  AnsiString ShortDayNames[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  AnsiString LongDayNames[7] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
  Word TwoDigitYearCenturyWindow = 50;

  // The en-US values, which are the defaults.
  static TFormatSettings Default() { return TFormatSettings(); }
};

// The process-wide settings that Format, the conversions and the date
// functions use. Tests install another locale by assigning to it.
extern TFormatSettings FormatSettings;

// ---- Format ---------------------------------------------------------------

// One argument of Format (the host framework's `array of const` element).
struct TVarRec {
  enum TKind { vtInteger, vtInt64, vtExtended, vtString, vtWideString, vtChar, vtPointer, vtBoolean };
  TKind Kind;
  Int64 VInteger = 0;
  Extended VExtended = 0;
  AnsiString VString;
  const void* VPointer = nullptr;

  TVarRec(int v) : Kind(vtInteger), VInteger(v) {}
  TVarRec(unsigned v) : Kind(vtInt64), VInteger(v) {}
  TVarRec(long v) : Kind(vtInt64), VInteger(v) {}
  TVarRec(unsigned long v) : Kind(vtInt64), VInteger(static_cast<Int64>(v)) {}
  TVarRec(long long v) : Kind(vtInt64), VInteger(v) {}
  TVarRec(unsigned long long v) : Kind(vtInt64), VInteger(static_cast<Int64>(v)) {}
  TVarRec(short v) : Kind(vtInteger), VInteger(v) {}
  TVarRec(unsigned short v) : Kind(vtInteger), VInteger(v) {}
  TVarRec(signed char v) : Kind(vtInteger), VInteger(v) {}
  TVarRec(unsigned char v) : Kind(vtInteger), VInteger(v) {}
  TVarRec(double v) : Kind(vtExtended), VExtended(v) {}
  TVarRec(float v) : Kind(vtExtended), VExtended(v) {}
  TVarRec(long double v) : Kind(vtExtended), VExtended(static_cast<double>(v)) {}
  TVarRec(bool v) : Kind(vtBoolean), VInteger(v) {}
  TVarRec(char v) : Kind(vtChar), VString(1, v) {}
  TVarRec(const char* v) : Kind(vtString), VString(v ? v : "") {}
  TVarRec(const AnsiString& v) : Kind(vtString), VString(v) {}
  TVarRec(const WideString& v);
  TVarRec(const void* v) : Kind(vtPointer), VPointer(v) {}
};

// The host framework's Format: directives %d %u %x %e %f %g %n %m %p %s,
// with an optional index ("%1:s"), left justification ("-"), width and
// precision ("*" takes them from the arguments). Raises EConvertError for
// a bad directive or an argument of the wrong kind.
AnsiString Format(const AnsiString& fmt, std::initializer_list<TVarRec> args);
AnsiString Format(const AnsiString& fmt, std::initializer_list<TVarRec> args, const TFormatSettings& fs);
AnsiString Format(const AnsiString& fmt, const TVarRec* args, int count, const TFormatSettings& fs);

// Floating-point text in the host framework's formats, used by Format and
// by the conversion functions.
enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };
AnsiString FloatToStrF(Extended value, TFloatFormat format, int precision, int digits);
AnsiString FloatToStrF(Extended value, TFloatFormat format, int precision, int digits, const TFormatSettings& fs);
