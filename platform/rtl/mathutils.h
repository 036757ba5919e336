// Number functions: the original platform's MulDiv, the host framework's
// rounding (halves to even), ranges, powers and its pseudo-random numbers.
//
// Integer `div` and `mod` truncate toward zero, as C++'s / and % do.
#pragma once

#include <atomic>

#include "platform/rtl/sysutils.h"

// Raised for an operation without a result ("Invalid floating point
// operation"), e.g. rounding NaN or a value out of the result's range.
RTL_EXCEPTION(EInvalidOp, EMathError)
// Raised for an integer result out of range ("Integer overflow").
RTL_EXCEPTION(EIntOverflow, EIntError)

// a * b / c with a 64-bit product, the quotient rounded half away from
// zero. -1 when c is 0 or the result does not fit 32 bits.
Integer MulDiv(Integer a, Integer b, Integer c);

// ---- Rounding -------------------------------------------------------------------
// The conversions to integers raise EInvalidOp for NaN, infinities and
// values outside the result type.

// Nearest integer, halves to even (Round(2.5) = 2, Round(-0.5) = 0).
Int64 Round(Extended x);
// Toward zero.
Int64 Trunc(Extended x);
// The integer and fractional parts, with the sign of x.
Extended Int(Extended x);
Extended Frac(Extended x);
Integer Ceil(Extended x);
Integer Floor(Extended x);

// Rounds to a multiple of 10^digit (digit -2 keeps two decimals): halves
// away from zero, or to even for RoundTo.
Extended SimpleRoundTo(Extended value, Integer digit = -2);
Extended RoundTo(Extended value, Integer digit);

// ---- Comparison and ranges --------------------------------------------------------

constexpr Integer Max(Integer a, Integer b) { return a > b ? a : b; }
constexpr Int64 Max(Int64 a, Int64 b) { return a > b ? a : b; }
constexpr Cardinal Max(Cardinal a, Cardinal b) { return a > b ? a : b; }
constexpr UInt64 Max(UInt64 a, UInt64 b) { return a > b ? a : b; }
constexpr Extended Max(Extended a, Extended b) { return a > b ? a : b; }
constexpr Integer Min(Integer a, Integer b) { return a < b ? a : b; }
constexpr Int64 Min(Int64 a, Int64 b) { return a < b ? a : b; }
constexpr Cardinal Min(Cardinal a, Cardinal b) { return a < b ? a : b; }
constexpr UInt64 Min(UInt64 a, UInt64 b) { return a < b ? a : b; }
constexpr Extended Min(Extended a, Extended b) { return a < b ? a : b; }

// lo <= value <= hi.
constexpr bool InRange(Integer value, Integer lo, Integer hi) { return value >= lo && value <= hi; }
constexpr bool InRange(Int64 value, Int64 lo, Int64 hi) { return value >= lo && value <= hi; }
constexpr bool InRange(Extended value, Extended lo, Extended hi) { return value >= lo && value <= hi; }
// value clamped to lo..hi; hi wins when lo > hi.
constexpr Integer EnsureRange(Integer value, Integer lo, Integer hi) { return Min(Max(value, lo), hi); }
constexpr Int64 EnsureRange(Int64 value, Int64 lo, Int64 hi) { return Min(Max(value, lo), hi); }
constexpr Extended EnsureRange(Extended value, Extended lo, Extended hi) { return Min(Max(value, lo), hi); }

// -1, 0 or 1 (0 for NaN).
constexpr Integer Sign(Integer v) { return v < 0 ? -1 : v > 0 ? 1 : 0; }
constexpr Integer Sign(Int64 v) { return v < 0 ? -1 : v > 0 ? 1 : 0; }
constexpr Integer Sign(Extended v) { return v < 0 ? -1 : v > 0 ? 1 : 0; }

constexpr Integer IfThen(bool condition, Integer ifTrue, Integer ifFalse = 0) { return condition ? ifTrue : ifFalse; }
constexpr Int64 IfThen(bool condition, Int64 ifTrue, Int64 ifFalse = 0) { return condition ? ifTrue : ifFalse; }
constexpr Extended IfThen(bool condition, Extended ifTrue, Extended ifFalse = 0) { return condition ? ifTrue : ifFalse; }

constexpr Integer Sqr(Integer x) { return x * x; }
constexpr Int64 Sqr(Int64 x) { return x * x; }
constexpr Extended Sqr(Extended x) { return x * x; }

// Equal within epsilon; epsilon 0 means a relative tolerance of 1e-12
// (and at least 1e-12).
bool SameValue(Extended a, Extended b, Extended epsilon = 0);
// |a| <= epsilon, 1e-12 when epsilon is 0.
bool IsZero(Extended a, Extended epsilon = 0);
bool IsNan(Extended a);
bool IsInfinite(Extended a);

// base^exponent; Power(x, 0) is 1, a negative base with a fractional
// exponent is NaN.
Extended Power(Extended base, Extended exponent);
Extended IntPower(Extended base, Integer exponent);

// Quotient and remainder truncated toward zero; EDivByZero ("Division by
// zero") for a zero divisor, EIntOverflow for the lowest value by -1.
void DivMod(Integer dividend, Integer divisor, Integer& result, Integer& remainder);
void DivMod(Int64 dividend, Int64 divisor, Int64& result, Int64& remainder);

// ---- Pseudo-random numbers ----------------------------------------------------------
// The host's linear congruential generator: the same seed gives the same
// sequence on every machine, so tests set RandSeed.

extern std::atomic<Integer> RandSeed;
// Seeds from the clock.
void Randomize();
// 0 <= result < 1.
Extended Random();
// 0 <= result < range; 0 when range <= 0.
Integer Random(Integer range);
// from <= result < to (or to <= result < from).
Integer RandomRange(Integer from, Integer to);
