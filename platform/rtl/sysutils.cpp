#include "platform/rtl/sysutils.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "platform/rtl/decimal_digits.h"
#include "platform/rtl/text_codec.h"

TClass TObject::StaticClass() {
  static const TMetaClass meta{"TObject", nullptr, &::rtl::detail::Factory<TObject>};
  return &meta;
}
TClass TObject::ClassType() const { return StaticClass(); }

RTL_IMPLEMENT_CLASS(Exception)
RTL_IMPLEMENT_CLASS(EAbort)
RTL_IMPLEMENT_CLASS(EConvertError)
RTL_IMPLEMENT_CLASS(EListError)
RTL_IMPLEMENT_CLASS(EStringListError)
RTL_IMPLEMENT_CLASS(EInvalidOperation)
RTL_IMPLEMENT_CLASS(EInvalidPointer)
RTL_IMPLEMENT_CLASS(EInvalidCast)
RTL_IMPLEMENT_CLASS(EInvalidArgument)
RTL_IMPLEMENT_CLASS(EOutOfMemory)
RTL_IMPLEMENT_CLASS(EIntError)
RTL_IMPLEMENT_CLASS(EDivByZero)
RTL_IMPLEMENT_CLASS(ERangeError)
RTL_IMPLEMENT_CLASS(EMathError)
RTL_IMPLEMENT_CLASS(EZeroDivide)
RTL_IMPLEMENT_CLASS(EStreamError)
RTL_IMPLEMENT_CLASS(EFilerError)
RTL_IMPLEMENT_CLASS(EReadError)
RTL_IMPLEMENT_CLASS(EWriteError)
RTL_IMPLEMENT_CLASS(EClassNotFound)
RTL_IMPLEMENT_CLASS(EFileStreamError)
RTL_IMPLEMENT_CLASS(EFOpenError)
RTL_IMPLEMENT_CLASS(EFCreateError)
RTL_IMPLEMENT_CLASS(EResNotFound)
RTL_IMPLEMENT_CLASS(EComponentError)
RTL_IMPLEMENT_CLASS(EIniFileException)
RTL_IMPLEMENT_CLASS(ERegistryException)
RTL_IMPLEMENT_CLASS(EThread)
RTL_IMPLEMENT_CLASS(EExternal)
RTL_IMPLEMENT_CLASS(EOSError)

Exception::Exception(const AnsiString& fmt, std::initializer_list<TVarRec> args) : FMessage(Format(fmt, args)) {}

void Abort() { throw EAbort("Operation aborted"); }

TVarRec::TVarRec(const WideString& v) : Kind(vtWideString), VString(WideToAnsi(v)) {}

// ---- Last OS error --------------------------------------------------------

namespace {
thread_local Cardinal tLastError = 0;

struct TErrorText {
  Cardinal Code;
  const char* Text;
};
// The system's texts for the errors this layer reports.
constexpr TErrorText kErrorTexts[] = {
    {0, "The operation completed successfully"},
    {1, "Incorrect function"},
    {2, "The system cannot find the file specified"},
    {3, "The system cannot find the path specified"},
    {4, "The system cannot open the file"},
    {5, "Access is denied"},
    {6, "The handle is invalid"},
    {8, "Not enough storage is available to process this command"},
    {15, "The system cannot find the drive specified"},
    {16, "The directory cannot be removed"},
    {17, "The system cannot move the file to a different disk drive"},
    {18, "There are no more files"},
    {19, "The media is write protected"},
    {21, "The device is not ready"},
    {29, "The system cannot write to the specified device"},
    {30, "The system cannot read from the specified device"},
    {32, "The process cannot access the file because it is being used by another process"},
    {39, "The disk is full"},
    {50, "The request is not supported"},
    {80, "The file exists"},
    {87, "The parameter is incorrect"},
    {109, "The pipe has been ended"},
    {111, "The file name is too long"},
    {112, "There is not enough space on the disk"},
    {122, "The data area passed to a system call is too small"},
    {123, "The filename, directory name, or volume label syntax is incorrect"},
    {126, "The specified module could not be found"},
    {127, "The specified procedure could not be found"},
    {145, "The directory is not empty"},
    {183, "Cannot create a file when that file already exists"},
    {193, "%1 is not a valid Win32 application"},
    {206, "The filename or extension is too long"},
    {232, "The pipe is being closed"},
    {267, "The directory name is invalid"},
    {288, "Attempt to release mutex not owned by caller"},
    {487, "Attempt to access invalid address"},
    {995, "The I/O operation has been aborted because of either a thread exit or an application request"},
    {1132, "The base address or the file offset specified does not have the proper alignment"},
    {1400, "Invalid window handle"},
    {1812, "The specified image file did not contain a resource section"},
    {1813, "The specified resource type cannot be found in the image file"},
    {1814, "The specified resource name cannot be found in the image file"},
    {1460, "This operation returned because the timeout period expired"},
};
}  // namespace

Cardinal GetLastError() { return tLastError; }
void SetLastError(Cardinal code) { tLastError = code; }

Cardinal ErrnoToOSError(int err) {
  switch (err) {
    case 0: return 0;
    case ENOENT: return 2;
    case ENOTDIR: return 3;
    case EACCES:
    case EPERM:
    case EROFS: return 5;
    case EBADF: return 6;
    case ENOMEM: return 8;
    case EBUSY: return 32;
    case EEXIST: return 80;
    case EINVAL: return 87;
    case EPIPE: return 109;
    case ENAMETOOLONG: return 206;
    case ENOSPC: return 112;
    case ENOTEMPTY: return 145;
    case ENOEXEC: return 193;
    case EXDEV: return 17;
    case EISDIR: return 5;
    case ETIMEDOUT: return 1460;
    case EIO: return 30;
    default: return 1;
  }
}

void SetLastErrorFromErrno() { tLastError = ErrnoToOSError(errno); }

AnsiString SysErrorMessage(Cardinal code) {
  for (const TErrorText& e : kErrorTexts)
    if (e.Code == code) return e.Text;
  return Format("Unknown error %d", {static_cast<Int64>(code)});
}

void RaiseLastOSError(Cardinal code) {
  if (code != 0) {
    EOSError e(Format("System Error.  Code: %d.\n%s", {static_cast<Int64>(code), SysErrorMessage(code)}));
    e.SetErrorCode(code);
    throw e;
  }
  throw EOSError("A call to an OS function failed");
}

void RaiseLastOSError() { RaiseLastOSError(GetLastError()); }

bool Win32Check(bool ok) {
  if (!ok) RaiseLastOSError();
  return ok;
}

TFormatSettings FormatSettings;

// ---- Floating-point text ----------------------------------------------------

namespace {

using TDecimal = rtl::detail::TDecimalDigits;

// Rounds to `count` digits; zero keeps one digit "0" for the text builders.
void RoundDigits(TDecimal& d, int count) {
  rtl::detail::RoundDecimal(d, count);
  if (d.Digits.empty()) {
    d.Digits = "0";
    d.Exponent = 0;
  }
}

bool IsZeroDigits(const AnsiString& s) { return s.find_first_not_of('0') == AnsiString::npos; }

AnsiString ExponentText(int exp, int minDigits, bool forceSign) {
  AnsiString r = "E";
  if (exp < 0)
    r += '-';
  else if (forceSign)
    r += '+';
  AnsiString n = std::to_string(std::abs(exp));
  if (static_cast<int>(n.size()) < minDigits) n.insert(0, minDigits - n.size(), '0');
  return r + n;
}

// Fixed text of the digits with `decimals` digits after the point.
AnsiString FixedText(const TDecimal& d, int decimals, char decSep, char thouSep, bool groups) {
  AnsiString intPart, fracPart;
  int pointPos = d.Exponent + 1;  // digits before the point
  if (pointPos <= 0) {
    intPart = "0";
    fracPart.assign(-pointPos, '0');
    fracPart += d.Digits;
  } else if (pointPos >= static_cast<int>(d.Digits.size())) {
    intPart = d.Digits + AnsiString(pointPos - d.Digits.size(), '0');
  } else {
    intPart = d.Digits.substr(0, pointPos);
    fracPart = d.Digits.substr(pointPos);
  }
  if (static_cast<int>(fracPart.size()) < decimals) fracPart.append(decimals - fracPart.size(), '0');
  fracPart.resize(decimals);
  if (groups && thouSep) {
    AnsiString g;
    int n = static_cast<int>(intPart.size());
    for (int i = 0; i < n; ++i) {
      if (i > 0 && (n - i) % 3 == 0) g += thouSep;
      g += intPart[i];
    }
    intPart = g;
  }
  AnsiString r = intPart;
  if (decimals > 0) {
    r += decSep;
    r += fracPart;
  }
  return r;
}

AnsiString CurrencyText(const AnsiString& num, bool neg, const TFormatSettings& fs) {
  const AnsiString& c = fs.CurrencyString;
  if (!neg) {
    switch (fs.CurrencyFormat) {
      case 1: return num + c;
      case 2: return c + " " + num;
      case 3: return num + " " + c;
      default: return c + num;
    }
  }
  switch (fs.NegCurrFormat) {
    case 1: return "-" + c + num;
    case 2: return c + "-" + num;
    case 3: return c + num + "-";
    case 4: return "(" + num + c + ")";
    case 5: return "-" + num + c;
    case 6: return num + "-" + c;
    case 7: return num + c + "-";
    case 8: return "-" + num + " " + c;
    case 9: return "-" + c + " " + num;
    case 10: return num + " " + c + "-";
    case 11: return c + " " + num + "-";
    case 12: return c + " -" + num;
    case 13: return num + "- " + c;
    case 14: return "(" + c + " " + num + ")";
    case 15: return "(" + num + " " + c + ")";
    default: return "(" + c + num + ")";
  }
}

}  // namespace

AnsiString FloatToStrF(Extended value, TFloatFormat format, int precision, int digits, const TFormatSettings& fs) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (precision < 1) precision = 1;
  if (precision > 18) precision = 18;
  TDecimal d = rtl::detail::ExpandDecimal(value);
  switch (format) {
    case ffGeneral: {
      RoundDigits(d, precision);
      AnsiString sign = d.Negative && !IsZeroDigits(d.Digits) ? "-" : "";
      if (IsZeroDigits(d.Digits)) return "0";
      if (d.Exponent < precision && d.Exponent >= -5) {
        int decimals = std::max(0, static_cast<int>(d.Digits.size()) - d.Exponent - 1);
        return sign + FixedText(d, decimals, fs.DecimalSeparator, 0, false);
      }
      AnsiString m(1, d.Digits[0]);
      if (d.Digits.size() > 1) {
        m += fs.DecimalSeparator;
        m += d.Digits.substr(1);
      }
      return sign + m + ExponentText(d.Exponent, digits, false);
    }
    case ffExponent: {
      RoundDigits(d, precision);
      if (static_cast<int>(d.Digits.size()) < precision) d.Digits.append(precision - d.Digits.size(), '0');
      AnsiString sign = d.Negative ? "-" : "";
      AnsiString m(1, d.Digits[0]);
      if (precision > 1) {
        m += fs.DecimalSeparator;
        m += d.Digits.substr(1, precision - 1);
      }
      return sign + m + ExponentText(IsZeroDigits(d.Digits) ? 0 : d.Exponent, digits, true);
    }
    case ffFixed:
    case ffNumber:
    case ffCurrency: {
      if (digits < 0) digits = 0;
      if (digits > 18) digits = 18;
      if (d.Exponent >= precision && format != ffCurrency)
        return FloatToStrF(value, ffGeneral, precision, 0, fs);
      RoundDigits(d, d.Exponent + 1 + digits);
      bool neg = d.Negative && !IsZeroDigits(d.Digits);
      AnsiString num = FixedText(d, digits, fs.DecimalSeparator, fs.ThousandSeparator, format != ffFixed);
      if (format == ffCurrency) return CurrencyText(num, neg, fs);
      return (neg ? "-" : "") + num;
    }
  }
  return AnsiString();
}

AnsiString FloatToStrF(Extended value, TFloatFormat format, int precision, int digits) {
  return FloatToStrF(value, format, precision, digits, FormatSettings);
}

// ---- Format ----------------------------------------------------------------

namespace {

[[noreturn]] void FormatError(const AnsiString& fmt) {
  throw EConvertError("Format '" + fmt + "' invalid or incompatible with argument");
}
[[noreturn]] void ArgumentMissing(const AnsiString& fmt) {
  throw EConvertError("No argument for format '" + fmt + "'");
}

AnsiString HexText(UInt64 v) {
  static const char kHex[] = "0123456789ABCDEF";
  AnsiString r;
  do {
    r.insert(r.begin(), kHex[v & 15]);
    v >>= 4;
  } while (v);
  return r;
}

}  // namespace

AnsiString Format(const AnsiString& fmt, const TVarRec* args, int count, const TFormatSettings& fs) {
  AnsiString out;
  out.reserve(fmt.size() + 16);
  const size_t n = fmt.size();
  int argIndex = 0;
  size_t i = 0;
  auto next = [&]() -> const TVarRec& {
    if (argIndex >= count) ArgumentMissing(fmt);
    return args[argIndex++];
  };
  // A number or "*" (taken from the arguments); -1 when absent or, from an
  // argument, negative. Both kinds share one cap of a million, so that no
  // directive pads to more than a megabyte: far beyond any real message,
  // and a format of a few hundred bytes cannot ask for gigabytes.
  constexpr Int64 kMaxNumber = 1000000;
  auto readNumber = [&]() -> int {
    if (i < n && fmt[i] == '*') {
      ++i;
      const TVarRec& a = next();
      if (a.Kind != TVarRec::vtInteger && a.Kind != TVarRec::vtInt64) FormatError(fmt);
      if (a.VInteger > kMaxNumber) FormatError(fmt);
      return a.VInteger < 0 ? -1 : static_cast<int>(a.VInteger);
    }
    if (i >= n || fmt[i] < '0' || fmt[i] > '9') return -1;
    int v = 0;
    while (i < n && fmt[i] >= '0' && fmt[i] <= '9') {
      v = v * 10 + (fmt[i] - '0');
      if (v > kMaxNumber) FormatError(fmt);
      ++i;
    }
    return v;
  };

  while (i < n) {
    size_t pct = fmt.find('%', i);
    if (pct == AnsiString::npos) {
      out.append(fmt, i, AnsiString::npos);
      break;
    }
    out.append(fmt, i, pct - i);
    i = pct + 1;
    if (i >= n) FormatError(fmt);
    if (fmt[i] == '%') {
      out += '%';
      ++i;
      continue;
    }
    int first = readNumber();
    if (i < n && fmt[i] == ':') {
      ++i;
      if (first < 0) first = 0;
      argIndex = first;
      first = readNumber();
    }
    bool left = false;
    if (i < n && fmt[i] == '-') {
      left = true;
      ++i;
      if (first >= 0) FormatError(fmt);
      first = readNumber();
    }
    int width = first;
    int prec = -1;
    if (i < n && fmt[i] == '.') {
      ++i;
      prec = readNumber();
      if (prec < 0) prec = 0;
    }
    if (i >= n) FormatError(fmt);
    char type = fmt[i++];
    if (type >= 'A' && type <= 'Z') type = static_cast<char>(type - 'A' + 'a');
    const TVarRec& a = next();
    bool isInt = a.Kind == TVarRec::vtInteger || a.Kind == TVarRec::vtInt64;
    AnsiString s;
    switch (type) {
      case 'd': {
        if (!isInt) FormatError(fmt);
        Int64 v = a.VInteger;
        bool neg = v < 0;
        UInt64 mag = neg ? UInt64(0) - static_cast<UInt64>(v) : static_cast<UInt64>(v);
        s = std::to_string(mag);
        if (prec > static_cast<int>(s.size())) s.insert(0, prec - s.size(), '0');
        if (neg) s.insert(s.begin(), '-');
        break;
      }
      case 'u': {
        if (!isInt) FormatError(fmt);
        UInt64 v = a.Kind == TVarRec::vtInteger ? static_cast<UInt64>(static_cast<uint32_t>(a.VInteger))
                                                 : static_cast<UInt64>(a.VInteger);
        s = std::to_string(v);
        if (prec > static_cast<int>(s.size())) s.insert(0, prec - s.size(), '0');
        break;
      }
      case 'x': {
        if (!isInt) FormatError(fmt);
        UInt64 v = a.Kind == TVarRec::vtInteger ? static_cast<UInt64>(static_cast<uint32_t>(a.VInteger))
                                                 : static_cast<UInt64>(a.VInteger);
        s = HexText(v);
        if (prec > static_cast<int>(s.size())) s.insert(0, prec - s.size(), '0');
        break;
      }
      case 'e':
      case 'f':
      case 'g':
      case 'n':
      case 'm': {
        if (a.Kind != TVarRec::vtExtended) FormatError(fmt);
        double v = a.VExtended;
        switch (type) {
          case 'e': s = FloatToStrF(v, ffExponent, prec < 0 ? 15 : prec, 3, fs); break;
          case 'f': s = FloatToStrF(v, ffFixed, 18, prec < 0 ? 2 : prec, fs); break;
          case 'g': s = FloatToStrF(v, ffGeneral, prec < 0 ? 15 : prec, 3, fs); break;
          case 'n': s = FloatToStrF(v, ffNumber, 18, prec < 0 ? 2 : prec, fs); break;
          default: s = FloatToStrF(v, ffCurrency, 18, prec < 0 ? fs.CurrencyDecimals : prec, fs); break;
        }
        break;
      }
      case 'p': {
        if (a.Kind != TVarRec::vtPointer) FormatError(fmt);
        s = HexText(reinterpret_cast<uintptr_t>(a.VPointer));
        s.insert(0, sizeof(void*) * 2 - s.size(), '0');
        break;
      }
      case 's': {
        if (a.Kind != TVarRec::vtString && a.Kind != TVarRec::vtWideString && a.Kind != TVarRec::vtChar)
          FormatError(fmt);
        s = a.VString;
        if (prec >= 0 && prec < static_cast<int>(s.size())) s.resize(prec);
        break;
      }
      default:
        FormatError(fmt);
    }
    if (width > static_cast<int>(s.size())) {
      if (left)
        s.append(width - s.size(), ' ');
      else
        s.insert(0, width - s.size(), ' ');
    }
    out += s;
  }
  return out;
}

AnsiString Format(const AnsiString& fmt, std::initializer_list<TVarRec> args, const TFormatSettings& fs) {
  return Format(fmt, args.begin(), static_cast<int>(args.size()), fs);
}

AnsiString Format(const AnsiString& fmt, std::initializer_list<TVarRec> args) {
  return Format(fmt, args.begin(), static_cast<int>(args.size()), FormatSettings);
}
