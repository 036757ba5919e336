#include "platform/rtl/mathutils.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <ctime>

RTL_IMPLEMENT_CLASS(EInvalidOp)
RTL_IMPLEMENT_CLASS(EIntOverflow)

namespace {

[[noreturn]] void InvalidOp() { throw EInvalidOp("Invalid floating point operation"); }

constexpr double kTwo63 = 9223372036854775808.0;

// Nearest integer of a double, halves to even, in double.
double RoundHalfEven(double x) {
  double r = std::floor(x);
  double d = x - r;  // exact: r and x share the binade or x is integral
  if (d > 0.5 || (d == 0.5 && std::fmod(r, 2.0) != 0)) r += 1;
  return r;
}

Int64 ToInt64(double x) {
  if (!(x >= -kTwo63 && x < kTwo63)) InvalidOp();
  return static_cast<Int64>(x);
}

Integer ToInteger(double x) {
  if (!(x >= -2147483648.0 && x <= 2147483647.0)) InvalidOp();
  return static_cast<Integer>(x);
}

}  // namespace

Integer MulDiv(Integer a, Integer b, Integer c) {
  if (c == 0) return -1;
  const Int64 p = static_cast<Int64>(a) * b;
  const bool neg = (p < 0) != (c < 0);
  const UInt64 ap = p < 0 ? UInt64(0) - static_cast<UInt64>(p) : static_cast<UInt64>(p);
  const UInt64 ac = c < 0 ? UInt64(0) - static_cast<UInt64>(static_cast<Int64>(c)) : static_cast<UInt64>(c);
  // Adding half the divisor rounds halves away from zero; with an odd
  // divisor there is no exact half and this is plain nearest rounding.
  const UInt64 q = (ap + ac / 2) / ac;
  const Int64 r = neg ? -static_cast<Int64>(q) : static_cast<Int64>(q);
  if (r > INT32_MAX || r < INT32_MIN) return -1;
  return static_cast<Integer>(r);
}

Int64 Round(Extended x) { return ToInt64(RoundHalfEven(x)); }

Int64 Trunc(Extended x) { return ToInt64(std::trunc(x)); }
Extended Int(Extended x) { return std::trunc(x); }
Extended Frac(Extended x) { return x - std::trunc(x); }
Integer Ceil(Extended x) { return ToInteger(std::ceil(x)); }
Integer Floor(Extended x) { return ToInteger(std::floor(x)); }

Extended SimpleRoundTo(Extended value, Integer digit) {
  // Scaling by multiplying with an exact power of ten loses less than
  // dividing by an inexact one.
  if (digit <= 0) {
    double f = IntPower(10, -digit);
    return std::round(value * f) / f;
  }
  double f = IntPower(10, digit);
  return std::round(value / f) * f;
}

Extended RoundTo(Extended value, Integer digit) {
  if (digit <= 0) {
    double f = IntPower(10, -digit);
    return RoundHalfEven(value * f) / f;
  }
  double f = IntPower(10, digit);
  return RoundHalfEven(value / f) * f;
}

bool SameValue(Extended a, Extended b, Extended epsilon) {
  constexpr double kResolution = 1e-12;
  if (epsilon == 0) epsilon = std::max(std::min(std::fabs(a), std::fabs(b)) * kResolution, kResolution);
  return a > b ? a - b <= epsilon : b - a <= epsilon;
}

bool IsZero(Extended a, Extended epsilon) { return std::fabs(a) <= (epsilon == 0 ? 1e-12 : epsilon); }
bool IsNan(Extended a) { return std::isnan(a); }
bool IsInfinite(Extended a) { return std::isinf(a); }

Extended Power(Extended base, Extended exponent) { return std::pow(base, exponent); }

Extended IntPower(Extended base, Integer exponent) {
  UInt64 n = exponent < 0 ? UInt64(0) - static_cast<UInt64>(static_cast<Int64>(exponent)) : static_cast<UInt64>(exponent);
  double r = 1, b = base;
  while (n) {
    if (n & 1) r *= b;
    b *= b;
    n >>= 1;
  }
  return exponent < 0 ? 1 / r : r;
}

void DivMod(Integer dividend, Integer divisor, Integer& result, Integer& remainder) {
  if (divisor == 0) throw EDivByZero("Division by zero");
  if (divisor == -1 && dividend == INT32_MIN) throw EIntOverflow("Integer overflow");
  result = dividend / divisor;
  remainder = dividend % divisor;
}

void DivMod(Int64 dividend, Int64 divisor, Int64& result, Int64& remainder) {
  if (divisor == 0) throw EDivByZero("Division by zero");
  if (divisor == -1 && dividend == INT64_MIN) throw EIntOverflow("Integer overflow");
  result = dividend / divisor;
  remainder = dividend % divisor;
}

// ---- Pseudo-random numbers ----------------------------------------------------------

std::atomic<Integer> RandSeed{0};

namespace {

uint32_t NextSeed() {
  Integer old = RandSeed.load(std::memory_order_relaxed), next;
  do {
    next = static_cast<Integer>(static_cast<uint32_t>(old) * 0x08088405u + 1u);
  } while (!RandSeed.compare_exchange_weak(old, next, std::memory_order_relaxed));
  return static_cast<uint32_t>(next);
}

// 0 <= result < range, for range < 2^32.
UInt64 RandomBelow(UInt64 range) { return (static_cast<UInt64>(NextSeed()) * range) >> 32; }

}  // namespace

void Randomize() {
  timespec ts;
  clock_gettime(CLOCK_REALTIME, &ts);
  RandSeed = static_cast<Integer>(static_cast<uint32_t>(ts.tv_sec * 1000003 + ts.tv_nsec));
}

Extended Random() { return NextSeed() * (1.0 / 4294967296.0); }

Integer Random(Integer range) { return range > 0 ? static_cast<Integer>(RandomBelow(static_cast<UInt64>(range))) : 0; }

Integer RandomRange(Integer from, Integer to) {
  Int64 lo = std::min(from, to), hi = std::max(from, to);
  return static_cast<Integer>(lo + static_cast<Int64>(RandomBelow(static_cast<UInt64>(hi - lo))));
}
