#pragma once
// Rasterised glyphs of one face at one size (a strike), rendered by FreeType in
// 8-bit grey-scale coverage and kept for the life of the process, so that a
// caption drawn a second time costs no rasterising.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace platform {

// One rendered character. The coverage bitmap sits Left pixels right of the pen
// and its top row Top pixels above the baseline.
struct Glyph {
  int Advance = 0;
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
  std::vector<std::uint8_t> Coverage; // Width x Height, row by row, 0 = none
};

// Larger heights are drawn at this pixel height: one glyph of it already takes a
// megabyte of coverage.
constexpr int MaxPixelHeight = 1000;

// What identifies a strike: the font file and face, the requested height (as
// in the font record: negative = character height, positive = cell height, in
// pixels), the synthesised styles, and the requested weight and slant (for
// choosing faces that stand in for missing characters).
struct StrikeKey {
  std::string Path;
  int Index = 0;
  int Height = 0;
  bool Embolden = false;
  bool Oblique = false;
  int Weight = 400;
  bool Italic = false;
  friend auto operator<=>(const StrikeKey&, const StrikeKey&) = default;
};

// Whole-pixel metrics of a strike. Distances below the baseline are positive.
struct StrikeMetrics {
  int Ascent = 0;
  int Descent = 0;
  int EmHeight = 0;
  int ExternalLeading = 0;
  int AveCharWidth = 0;
  int MaxCharWidth = 0;
  int UnderlineOffset = 0; // top of the underline below the baseline
  int UnderlineThickness = 1;
  int StrikeoutOffset = 0; // top of the strike-out line above the baseline
  int StrikeoutThickness = 1;
};

class GlyphStrike {
public:
  // The shared strike for aKey, opened on first use; nullptr when FreeType
  // cannot load the face. Safe to call from any thread.
  static std::shared_ptr<GlyphStrike> Get(const StrikeKey& aKey);

  GlyphStrike(const GlyphStrike&) = delete;
  GlyphStrike& operator=(const GlyphStrike&) = delete;
  ~GlyphStrike();

  const StrikeMetrics& Metrics() const { return fMetrics; }
  // The glyph of aChar, rasterised on first use. Control characters have no
  // outline and no advance. A character the face lacks is taken, at the same
  // em size, from an installed face that has it (see MatchFallbackFile), or
  // else shows the face's missing-glyph shape. The reference stays valid as
  // long as the strike. Thread-safe.
  const Glyph& GlyphFor(char32_t aChar);
  // How many glyphs this strike has rasterised so far.
  std::size_t RasterisedCount() const;

private:
  struct FaceHandle;
  GlyphStrike(const StrikeKey& aKey, std::unique_ptr<FaceHandle> aFace,
              const StrikeMetrics& aMetrics);
  unsigned IndexOf(char32_t aChar);
  // The glyph of aChar from this face alone; the second with the lock held.
  const Glyph& OwnGlyph(char32_t aChar);
  const Glyph& OwnGlyphLocked(char32_t aChar);
  // Called without the strike's lock held.
  const Glyph& BorrowedGlyph(char32_t aChar);
  Glyph Rasterise(unsigned aIndex);

  static constexpr unsigned UnknownIndex = ~0u;
  // Keys of glyphs borrowed from other faces: the character with this bit.
  static constexpr unsigned BorrowedBit = 0x80000000u;

  StrikeKey fKey;
  std::unique_ptr<FaceHandle> fFace;
  StrikeMetrics fMetrics;
  mutable std::mutex fMutex;
  // Glyphs by the face's glyph index, so that all characters no face has
  // share the one missing-glyph shape, and borrowed glyphs by character.
  std::unordered_map<unsigned, Glyph> fGlyphs;
  // The glyph indexes of the first code points, looked up once.
  std::array<unsigned, 0x800> fIndexOf;
  std::size_t fRasterised = 0;
};

} // namespace platform
