#pragma once
// Builders of small image files for the codec tests, fuzz seeds and
// benchmarks. PNG and JPEG files are written by libpng and libjpeg directly,
// independent of the code under test.

#include "platform/gfx/Bitmap.h"

#include <cstdint>
#include <vector>

namespace testdata {

using Bytes = std::vector<std::uint8_t>;

struct BmpSpec {
  std::uint32_t HeaderSize = 40; // 12 core, 40 information, 52/56 V2/V3, 108 V4, 124 V5
  int Width = 0;
  int Height = 0; // negative: rows stored top-down
  int BitCount = 24;
  std::uint32_t Compression = 0;
  std::uint32_t ColorsUsed = 0;
  std::vector<std::uint32_t> Palette; // 0x00RRGGBB, written as B, G, R (, 0)
  // Written inside V2 and later headers (red, green, blue, alpha), else after
  // the header.
  std::vector<std::uint32_t> Masks;
  std::vector<Bytes> Rows; // in file order, without padding
};
Bytes MakeBmp(const BmpSpec& aSpec);

struct PngColor {
  std::uint8_t Red = 0, Green = 0, Blue = 0;
};

struct PngSpec {
  int Width = 0;
  int Height = 0;
  int ColorType = 0; // PNG_COLOR_TYPE_*
  int BitDepth = 8;
  bool Interlaced = false;
  std::vector<Bytes> Rows; // top-down, packed as the PNG stores them
  std::vector<PngColor> Palette;
  Bytes PaletteAlpha;       // tRNS for palette images
  int TransparentGray = -1; // tRNS for grey images
  int TransparentRgb[3] = {-1, -1, -1};
};
Bytes MakePng(const PngSpec& aSpec);

struct JpegSpec {
  int Width = 0;
  int Height = 0;
  int Components = 3; // 1 grey, 3 RGB, 4 CMYK
  Bytes Pixels;       // rows top-down, Components bytes per pixel
  int Quality = 100;
  bool Progressive = false;
  // CMYK files get the Adobe marker (inks stored inverted) unless this is
  // false (inks stored as they are).
  bool AdobeMarker = true;
};
Bytes MakeJpeg(const JpegSpec& aSpec);

// A colourful deterministic picture with varying alpha.
platform::Bitmap TestPattern(int aWidth, int aHeight);

// 24-bit RGB rows of TestPattern, for the file builders.
Bytes PatternRgb(int aWidth, int aHeight);

// Little-endian appenders for hand-built files.
void Put16(Bytes& aTo, std::uint32_t aValue);
void Put32(Bytes& aTo, std::uint32_t aValue);

} // namespace testdata
