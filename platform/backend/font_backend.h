// Fonts for GDI: face names mapped to installed families, metrics, advance
// widths and glyph coverage masks (grey or aliased, optionally rotated).
// Glyphs are cached per face and character, except those too large to be
// made whole, which are made a window at a time. No Qt type appears here.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace rtl::backend {

// The largest em height a face takes (larger requests get this): its
// metrics and the sums of a line's advances stay well inside int.
constexpr int kLargestPixelSize = 1 << 24;

struct TFontRequest {
  std::u16string Face;  // as the application names it
  int PixelSize = 12;   // em height in pixels, 1..kLargestPixelSize
  int Weight = 400;     // 100..900
  bool Italic = false;
  bool Antialias = true;
  int Stretch = 100;    // percent of the natural width
  bool PreferFixed = false;
  bool PreferSerif = false;
  bool operator==(const TFontRequest&) const = default;
};

struct TFontMetrics {
  int Ascent = 0, Descent = 0;
  int ExternalLeading = 0;
  int AveCharWidth = 0, MaxCharWidth = 0;
  int UnderlinePos = 0;        // below the baseline
  int StrikeOutPos = 0;        // above the baseline
  int LineThickness = 1;
  bool FixedPitch = false;
  std::u16string Family;       // the installed family used
};

// A coverage mask: Left/Top place its top-left corner relative to the pen
// position on the baseline (y grows downwards).
struct TGlyph {
  int Left = 0, Top = 0;
  int Width = 0, Height = 0;
  std::vector<uint8_t> Coverage;
};

// Pixels [Left, Right) x [Top, Bottom) relative to the pen position.
struct TGlyphBox {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  bool IsEmpty() const { return Left >= Right || Top >= Bottom; }
};

class TFontFace {
 public:
  // One face per distinct request, shared.
  static std::shared_ptr<TFontFace> Get(const TFontRequest& request);
  ~TFontFace();
  TFontFace(const TFontFace&) = delete;
  TFontFace& operator=(const TFontFace&) = delete;

  const TFontRequest& Request() const { return request_; }
  const TFontMetrics& Metrics() const { return metrics_; }
  // Advance in whole pixels.
  int Advance(char32_t c);
  // Left and right side bearings (A and C of the ABC widths).
  void Bearings(char32_t c, int& a, int& cRight);
  bool HasGlyph(char32_t c);
  // The glyph's whole mask, made once and kept; `angle` in tenths of a
  // degree, counter-clockwise. Null for a glyph too large to be made
  // whole (or whose image cannot be had): such a one is drawn with
  // GlyphBounds and GlyphPart.
  const TGlyph* Glyph(char32_t c, int angle);
  // Where the glyph's ink may lie, from its outline.
  TGlyphBox GlyphBounds(char32_t c, int angle);
  // The glyph's coverage inside `window`, filled from its outline and not
  // kept; the mask is cut further to GlyphBounds. Empty when nothing of
  // it lies in the window or the window is past kLargestGlyphPart pixels
  // or its image cannot be had.
  TGlyph GlyphPart(char32_t c, int angle, const TGlyphBox& window);
  static constexpr int64_t kLargestGlyphPart = int64_t(1) << 24;

 private:
  struct TImpl;
  explicit TFontFace(const TFontRequest& request);
  TGlyphBox BoundsLocked(char32_t c, int angle);
  TFontRequest request_;
  int size_ = 12;        // the em height drawn, request_.PixelSize held in range
  double magnify_ = 1;   // size_ over the em height of the font asked of the engine
  TFontMetrics metrics_;
  std::unique_ptr<TImpl> impl_;
  std::mutex lock_;
  std::unordered_map<char32_t, int> advances_;
  std::unordered_map<uint64_t, std::unique_ptr<TGlyph>> glyphs_;
};

// The installed family that stands in for a face name.
std::u16string ResolveFontFamily(const std::u16string& face, bool preferFixed = false, bool preferSerif = false);
// The families the system offers, sorted, with the face names the
// application may ask for that map onto them.
std::vector<std::u16string> FontFamilies();
bool FamilyIsFixedPitch(const std::u16string& family);
// Makes the fonts of a file available to the process; the count of faces.
// `id`, when given, receives what RemoveFontFile takes back.
int AddFontFile(const std::string& path, int* id = nullptr);
// Takes back the fonts one AddFontFile call made available.
bool RemoveFontFile(int id);

}  // namespace rtl::backend
