// Basic value types of the runtime library.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>

using Integer = int32_t;
using Cardinal = uint32_t;
using LongInt = int32_t;
using LongWord = uint32_t;
using ShortInt = int8_t;
using SmallInt = int16_t;
using Byte = uint8_t;
using Word = uint16_t;
using Int64 = int64_t;
using UInt64 = uint64_t;
using NativeInt = intptr_t;
using NativeUInt = uintptr_t;
using Extended = double;
using TColor = int32_t;
using TDateTime = double;
using AnsiChar = char;
using WideChar = char16_t;

// 8-bit text in the system code page (UTF-8 here) and UTF-16 text.
using AnsiString = std::string;
using WideString = std::u16string;

// A set of enumeration values, as the host framework's `set of` types.
// Values must lie in [0, N).
template <class E, int N = 64>
class TSet {
  static_assert(N > 0 && N <= 256, "set range");
  static constexpr int kWords = (N + 63) / 64;
  uint64_t bits_[kWords] = {};

  static constexpr int idx(E e) { return static_cast<int>(e); }

 public:
  constexpr TSet() = default;
  constexpr TSet(std::initializer_list<E> values) {
    for (E e : values) Include(e);
  }
  constexpr bool Contains(E e) const {
    int i = idx(e);
    return i >= 0 && i < N && (bits_[i / 64] >> (i % 64)) & 1u;
  }
  constexpr TSet& Include(E e) {
    int i = idx(e);
    if (i >= 0 && i < N) bits_[i / 64] |= uint64_t(1) << (i % 64);
    return *this;
  }
  constexpr TSet& Exclude(E e) {
    int i = idx(e);
    if (i >= 0 && i < N) bits_[i / 64] &= ~(uint64_t(1) << (i % 64));
    return *this;
  }
  constexpr bool Empty() const {
    for (uint64_t w : bits_)
      if (w) return false;
    return true;
  }
  constexpr void Clear() {
    for (uint64_t& w : bits_) w = 0;
  }
  constexpr TSet operator+(const TSet& o) const {
    TSet r;
    for (int i = 0; i < kWords; ++i) r.bits_[i] = bits_[i] | o.bits_[i];
    return r;
  }
  constexpr TSet operator-(const TSet& o) const {
    TSet r;
    for (int i = 0; i < kWords; ++i) r.bits_[i] = bits_[i] & ~o.bits_[i];
    return r;
  }
  constexpr TSet operator*(const TSet& o) const {
    TSet r;
    for (int i = 0; i < kWords; ++i) r.bits_[i] = bits_[i] & o.bits_[i];
    return r;
  }
  constexpr TSet operator+(E e) const { return TSet(*this).Include(e); }
  constexpr TSet operator-(E e) const { return TSet(*this).Exclude(e); }
  constexpr TSet& operator+=(const TSet& o) { return *this = *this + o; }
  constexpr TSet& operator-=(const TSet& o) { return *this = *this - o; }
  constexpr TSet& operator*=(const TSet& o) { return *this = *this * o; }
  constexpr TSet& operator+=(E e) { return Include(e); }
  constexpr TSet& operator-=(E e) { return Exclude(e); }
  constexpr bool operator==(const TSet& o) const {
    for (int i = 0; i < kWords; ++i)
      if (bits_[i] != o.bits_[i]) return false;
    return true;
  }
  // Subset test, as `a <= b` in the host framework.
  constexpr bool operator<=(const TSet& o) const { return (*this - o).Empty(); }
  // The set as an integer (only the first 64 values), for streaming.
  constexpr uint64_t ToBits() const { return bits_[0]; }
  static constexpr TSet FromBits(uint64_t b) {
    TSet r;
    r.bits_[0] = b;
    return r;
  }
};

struct TPoint {
  Integer X = 0, Y = 0;
  constexpr TPoint() = default;
  constexpr TPoint(Integer x, Integer y) : X(x), Y(y) {}
  constexpr bool operator==(const TPoint&) const = default;
};

struct TSize {
  Integer cx = 0, cy = 0;
  constexpr TSize() = default;
  constexpr TSize(Integer w, Integer h) : cx(w), cy(h) {}
  constexpr bool operator==(const TSize&) const = default;
};

struct TRect {
  Integer Left = 0, Top = 0, Right = 0, Bottom = 0;
  constexpr TRect() = default;
  constexpr TRect(Integer l, Integer t, Integer r, Integer b) : Left(l), Top(t), Right(r), Bottom(b) {}
  constexpr TRect(TPoint tl, TPoint br) : Left(tl.X), Top(tl.Y), Right(br.X), Bottom(br.Y) {}
  constexpr Integer Width() const { return Right - Left; }
  constexpr Integer Height() const { return Bottom - Top; }
  constexpr TPoint TopLeft() const { return {Left, Top}; }
  constexpr TPoint BottomRight() const { return {Right, Bottom}; }
  constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  constexpr bool Contains(TPoint p) const { return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom; }
  constexpr bool operator==(const TRect&) const = default;
};

constexpr TRect Rect(Integer l, Integer t, Integer r, Integer b) { return TRect(l, t, r, b); }
constexpr TRect Bounds(Integer l, Integer t, Integer w, Integer h) { return TRect(l, t, l + w, t + h); }
constexpr TPoint Point(Integer x, Integer y) { return TPoint(x, y); }
