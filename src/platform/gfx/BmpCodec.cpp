#include "platform/gfx/BmpCodec.h"

#include <algorithm>
#include <bit>
#include <iterator>

namespace platform {

namespace {

constexpr std::uint32_t BiRgb = 0;
constexpr std::uint32_t BiRle8 = 1;
constexpr std::uint32_t BiRle4 = 2;
constexpr std::uint32_t BiBitfields = 3;
constexpr std::uint32_t BiJpeg = 4;
constexpr std::uint32_t BiPng = 5;
constexpr std::uint32_t BiAlphaBitfields = 6;

constexpr std::size_t FileHeaderSize = 14;
constexpr std::uint32_t CoreHeaderSize = 12;
constexpr std::uint32_t InfoHeaderSize = 40;
constexpr std::uint32_t V5HeaderSize = 124;

// Little-endian fields; callers have checked that the bytes are there.
std::uint16_t U16(std::span<const std::uint8_t> aData, std::size_t aAt) {
  return std::uint16_t(aData[aAt] | (aData[aAt + 1] << 8));
}
std::uint32_t U32(std::span<const std::uint8_t> aData, std::size_t aAt) {
  return std::uint32_t(aData[aAt]) | (std::uint32_t(aData[aAt + 1]) << 8) |
         (std::uint32_t(aData[aAt + 2]) << 16) | (std::uint32_t(aData[aAt + 3]) << 24);
}

std::uint32_t Bgra(std::uint8_t aBlue, std::uint8_t aGreen, std::uint8_t aRed,
                   std::uint8_t aAlpha) {
  return std::uint32_t(aBlue) | (std::uint32_t(aGreen) << 8) | (std::uint32_t(aRed) << 16) |
         (std::uint32_t(aAlpha) << 24);
}

// One channel of a bit-field pixel, scaled to 8 bits.
struct ChannelMask {
  std::uint32_t Mask = 0;
  int Shift = 0;
  int Bits = 0;

  explicit ChannelMask(std::uint32_t aMask) : Mask(aMask) {
    if (aMask != 0) {
      Shift = std::countr_zero(aMask);
      Bits = std::bit_width(aMask >> Shift);
    }
  }
  std::uint8_t Extract(std::uint32_t aPixel) const {
    if (Bits == 0)
      return 0;
    std::uint32_t value = (aPixel & Mask) >> Shift;
    if (Bits >= 8)
      return std::uint8_t(value >> (Bits - 8));
    std::uint32_t max = (1u << Bits) - 1;
    return std::uint8_t((value * 255 + max / 2) / max);
  }
};

// Run-length encoded rows (8 or 4 bits per pixel), bottom-up. Pixels the
// runs skip over get palette entry 0, as in a zeroed bitmap. Runs reaching
// past a row's end or below the last row are cut off. False when the data
// ends before the end-of-bitmap mark.
bool DecodeRunLength(std::span<const std::uint8_t> aData, int aBitCount,
                     const std::uint32_t (&aPalette)[256], Bitmap& aImage) {
  const int width = aImage.Width(), height = aImage.Height();
  // A few bytes may describe a picture of the largest size, so the
  // background is one filled row copied down: a block copy per row, not a
  // store per pixel.
  std::fill(aImage.ScanLine(0), aImage.ScanLine(0) + width, aPalette[0]);
  for (int y = 1; y < height; ++y)
    std::copy_n(aImage.ScanLine(0), width, aImage.ScanLine(y));
  // Position in file order: rows count up from the bottom.
  std::int64_t x = 0, row = 0;
  auto put = [&](std::uint8_t aIndex) {
    if (x < width && row < height)
      aImage.ScanLine(height - 1 - int(row))[x] = aPalette[aIndex];
    ++x;
  };
  // The i-th pixel of a run of 4-bit pairs: high nibble first.
  auto nibble = [](std::uint8_t aPair, int aIndex) {
    return std::uint8_t((aIndex & 1) ? aPair & 0x0F : aPair >> 4);
  };
  std::size_t at = 0;
  for (;;) {
    if (aData.size() - at < 2)
      return false;
    const std::uint8_t count = aData[at], value = aData[at + 1];
    at += 2;
    if (count > 0) {
      for (int i = 0; i < count; ++i)
        put(aBitCount == 8 ? value : nibble(value, i));
      continue;
    }
    switch (value) {
    case 0: // end of line
      x = 0;
      ++row;
      break;
    case 1: // end of bitmap
      return true;
    case 2: // move right and up
      if (aData.size() - at < 2)
        return false;
      x += aData[at];
      row += aData[at + 1];
      at += 2;
      break;
    default: { // literal pixels, padded to a whole 16-bit word
      const std::size_t bytes = aBitCount == 8 ? value : (value + 1u) / 2;
      const std::size_t padded = (bytes + 1) & ~std::size_t(1);
      if (aData.size() - at < padded)
        return false;
      for (int i = 0; i < value; ++i)
        put(aBitCount == 8 ? aData[at + std::size_t(i)]
                           : nibble(aData[at + std::size_t(i) / 2], i));
      at += padded;
      break;
    }
    }
  }
}

ImageResult Fail(const std::string& aWhat) {
  return ImageError(ImageFormat::Bmp, "damaged or unsupported BMP image: " + aWhat);
}

} // namespace

ImageResult DecodeBmp(std::span<const std::uint8_t> aData) {
  if (aData.size() < 2 || aData[0] != 'B' || aData[1] != 'M')
    return Fail("no BMP signature");
  if (aData.size() < FileHeaderSize + 4)
    return Fail("truncated header");
  const std::uint32_t pixelOffset = U32(aData, 10);
  const std::uint32_t headerSize = U32(aData, FileHeaderSize);
  if (headerSize != CoreHeaderSize && (headerSize < InfoHeaderSize || headerSize > V5HeaderSize))
    return Fail("unknown header size " + std::to_string(headerSize));
  if (aData.size() < FileHeaderSize + headerSize)
    return Fail("truncated header");

  const bool core = headerSize == CoreHeaderSize;
  std::int64_t width, height;
  std::uint32_t bitCount, compression = BiRgb, colorsUsed = 0;
  if (core) {
    width = U16(aData, 18);
    height = U16(aData, 20);
    bitCount = U16(aData, 24);
  } else {
    width = std::int32_t(U32(aData, 18));
    height = std::int32_t(U32(aData, 22));
    bitCount = U16(aData, 28);
    compression = U32(aData, 30);
    colorsUsed = U32(aData, 46);
  }
  const bool topDown = height < 0;
  if (topDown)
    height = -height;
  if (width <= 0 || height == 0)
    return Fail("invalid size " + std::to_string(width) + " x " + std::to_string(height));
  if (!ImageSizeAllowed(width, height))
    return Fail("image too large (" + std::to_string(width) + " x " + std::to_string(height) + ")");

  switch (compression) {
  case BiRgb:
    break;
  case BiRle8:
  case BiRle4:
    if (bitCount != (compression == BiRle8 ? 8u : 4u))
      return Fail("run-length encoding with " + std::to_string(bitCount) + " bits per pixel");
    if (topDown)
      return Fail("run-length encoded rows must be stored bottom-up");
    break;
  case BiJpeg:
  case BiPng:
    return Fail("embedded JPEG or PNG data is not supported");
  case BiBitfields:
  case BiAlphaBitfields:
    if (bitCount != 16 && bitCount != 32)
      return Fail("bit-field masks with " + std::to_string(bitCount) + " bits per pixel");
    break;
  default:
    return Fail("unknown compression " + std::to_string(compression));
  }
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 &&
      bitCount != 32)
    return Fail("unsupported bit depth " + std::to_string(bitCount));

  // Bit-field masks: inside V2 and later headers, else after the header.
  std::size_t at = FileHeaderSize + headerSize;
  std::uint32_t masks[4] = {0, 0, 0, 0}; // red, green, blue, alpha
  if (compression == BiBitfields || compression == BiAlphaBitfields) {
    std::size_t count = compression == BiAlphaBitfields ? 4 : 3;
    std::size_t from = FileHeaderSize + InfoHeaderSize;
    if (headerSize == InfoHeaderSize) {
      if (aData.size() - at < count * 4)
        return Fail("truncated colour masks");
      at += count * 4;
    } else {
      count = std::min<std::size_t>(4, (headerSize - InfoHeaderSize) / 4);
    }
    for (std::size_t i = 0; i < count; ++i)
      masks[i] = U32(aData, from + i * 4);
  } else if (bitCount == 16) {
    masks[0] = 0x7C00;
    masks[1] = 0x03E0;
    masks[2] = 0x001F;
  }

  // The palette: entries beyond the stored ones (or beyond the pixel data's
  // start) are opaque black, so no index can reach outside it.
  std::uint32_t palette[256];
  std::fill(std::begin(palette), std::end(palette), 0xFF000000u);
  if (bitCount <= 8) {
    const std::size_t maxEntries = std::size_t(1) << bitCount;
    const std::size_t entrySize = core ? 3 : 4;
    std::size_t entries = colorsUsed == 0 || colorsUsed > maxEntries ? maxEntries : colorsUsed;
    std::size_t end = aData.size();
    if (pixelOffset >= at && pixelOffset < end)
      end = pixelOffset;
    entries = std::min(entries, (end - std::min(end, at)) / entrySize);
    for (std::size_t i = 0; i < entries; ++i) {
      const std::uint8_t* e = aData.data() + at + i * entrySize;
      palette[i] = Bgra(e[0], e[1], e[2], 255);
    }
  }

  if (pixelOffset > aData.size())
    return Fail("truncated pixel data");
  const bool runLength = compression == BiRle8 || compression == BiRle4;
  const std::uint64_t rowBytes = (std::uint64_t(width) * bitCount + 31) / 32 * 4;
  if (!runLength && (aData.size() - pixelOffset) / rowBytes < std::uint64_t(height))
    return Fail("truncated pixel data");

  ImageResult result;
  result.Format = ImageFormat::Bmp;
  result.FileBitsPerPixel = int(bitCount);
  if (!result.Image.SetSize(int(width), int(height)))
    return Fail("not enough memory for " + std::to_string(width) + " x " + std::to_string(height));
  if (runLength) {
    if (!DecodeRunLength(aData.subspan(pixelOffset), int(bitCount), palette, result.Image))
      return Fail("truncated pixel data");
    return result;
  }

  const ChannelMask red(masks[0]), green(masks[1]), blue(masks[2]), alpha(masks[3]);
  const bool rawPixels = bitCount == 32 && compression == BiRgb;
  result.HasAlpha = bitCount == 32 && (rawPixels || masks[3] != 0);
  const int w = int(width);
  for (int row = 0; row < int(height); ++row) {
    const std::uint8_t* src = aData.data() + pixelOffset + std::uint64_t(row) * rowBytes;
    std::uint32_t* dst = result.Image.ScanLine(topDown ? row : int(height) - 1 - row);
    switch (bitCount) {
    case 1:
      for (int x = 0; x < w; ++x)
        dst[x] = palette[(src[x >> 3] >> (7 - (x & 7))) & 1];
      break;
    case 4:
      for (int x = 0; x < w; ++x)
        dst[x] = palette[(x & 1) ? (src[x >> 1] & 0x0F) : (src[x >> 1] >> 4)];
      break;
    case 8:
      for (int x = 0; x < w; ++x)
        dst[x] = palette[src[x]];
      break;
    case 24:
      for (int x = 0; x < w; ++x, src += 3)
        dst[x] = Bgra(src[0], src[1], src[2], 255);
      break;
    case 16:
    case 32:
      if (rawPixels) {
        for (int x = 0; x < w; ++x, src += 4)
          dst[x] = Bgra(src[0], src[1], src[2], src[3]);
        break;
      }
      for (int x = 0; x < w; ++x) {
        std::uint32_t p = bitCount == 16 ? std::uint32_t(src[0] | (src[1] << 8))
                                         : Bgra(src[0], src[1], src[2], src[3]);
        src += bitCount / 8;
        dst[x] = Bgra(blue.Extract(p), green.Extract(p), red.Extract(p),
                      masks[3] ? alpha.Extract(p) : 255);
      }
      break;
    }
  }
  return result;
}

std::vector<std::uint8_t> EncodeBmp(const Bitmap& aImage, int aBitsPerPixel) {
  const int bytesPerPixel = aBitsPerPixel == 32 ? 4 : 3;
  const int width = aImage.Width();
  const int height = aImage.Height();
  const std::size_t rowSize = (std::size_t(width) * bytesPerPixel + 3) & ~std::size_t(3);
  constexpr std::size_t HeaderSize = 14 + 40;
  std::vector<std::uint8_t> out(HeaderSize + rowSize * height, 0);
  auto put32 = [&](std::size_t aAt, std::uint32_t aValue) {
    for (int i = 0; i < 4; ++i)
      out[aAt + i] = std::uint8_t(aValue >> (8 * i));
  };
  out[0] = 'B';
  out[1] = 'M';
  put32(2, std::uint32_t(out.size()));
  put32(10, HeaderSize);
  put32(14, 40);
  put32(18, std::uint32_t(width));
  put32(22, std::uint32_t(height));
  out[26] = 1;
  out[28] = std::uint8_t(bytesPerPixel * 8);
  put32(34, std::uint32_t(rowSize * height));
  put32(38, 2835); // 72 dots per inch
  put32(42, 2835);
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = out.data() + HeaderSize + rowSize * (height - 1 - y);
    const std::uint32_t* pixels = aImage.ScanLine(y);
    for (int x = 0; x < width; ++x)
      for (int i = 0; i < bytesPerPixel; ++i)
        row[x * bytesPerPixel + i] = std::uint8_t(pixels[x] >> (8 * i));
  }
  return out;
}

} // namespace platform
