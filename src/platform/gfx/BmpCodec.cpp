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

// The fields of the file and information headers the decoder uses.
struct BmpHeader {
  std::uint32_t PixelOffset = 0;
  std::uint32_t Size = 0; // of the information header
  bool Core = false;      // the old header with 16-bit sizes and 3-byte palette entries
  std::int64_t Width = 0;
  std::int64_t Height = 0; // positive; TopDown tells the row order
  bool TopDown = false;
  std::uint32_t BitCount = 0;
  std::uint32_t Compression = BiRgb;
  std::uint32_t ColorsUsed = 0;

  bool RunLength() const { return Compression == BiRle8 || Compression == BiRle4; }
  bool BitFields() const { return Compression == BiBitfields || Compression == BiAlphaBitfields; }
};

// Reads the headers and checks the size; an error text, empty when they are
// sound.
std::string ReadHeader(std::span<const std::uint8_t> aData, BmpHeader& aHeader) {
  if (aData.size() < 2 || aData[0] != 'B' || aData[1] != 'M')
    return "no BMP signature";
  if (aData.size() < FileHeaderSize + 4)
    return "truncated header";
  aHeader.PixelOffset = U32(aData, 10);
  aHeader.Size = U32(aData, FileHeaderSize);
  if (aHeader.Size != CoreHeaderSize &&
      (aHeader.Size < InfoHeaderSize || aHeader.Size > V5HeaderSize))
    return "unknown header size " + std::to_string(aHeader.Size);
  if (aData.size() < FileHeaderSize + aHeader.Size)
    return "truncated header";
  aHeader.Core = aHeader.Size == CoreHeaderSize;
  if (aHeader.Core) {
    aHeader.Width = U16(aData, 18);
    aHeader.Height = U16(aData, 20);
    aHeader.BitCount = U16(aData, 24);
  } else {
    aHeader.Width = std::int32_t(U32(aData, 18));
    aHeader.Height = std::int32_t(U32(aData, 22));
    aHeader.BitCount = U16(aData, 28);
    aHeader.Compression = U32(aData, 30);
    aHeader.ColorsUsed = U32(aData, 46);
  }
  aHeader.TopDown = aHeader.Height < 0;
  if (aHeader.TopDown)
    aHeader.Height = -aHeader.Height;
  const std::string size = std::to_string(aHeader.Width) + " x " + std::to_string(aHeader.Height);
  if (aHeader.Width <= 0 || aHeader.Height == 0)
    return "invalid size " + size;
  if (!ImageSizeAllowed(aHeader.Width, aHeader.Height))
    return "image too large (" + size + ")";
  return {};
}

// Whether the compression and the bit depth are supported together; an error
// text, empty when they are.
std::string CheckEncoding(const BmpHeader& aHeader) {
  const std::string bits = std::to_string(aHeader.BitCount);
  switch (aHeader.Compression) {
  case BiRgb:
    break;
  case BiRle8:
  case BiRle4:
    if (aHeader.BitCount != (aHeader.Compression == BiRle8 ? 8u : 4u))
      return "run-length encoding with " + bits + " bits per pixel";
    if (aHeader.TopDown)
      return "run-length encoded rows must be stored bottom-up";
    break;
  case BiJpeg:
  case BiPng:
    return "embedded JPEG or PNG data is not supported";
  case BiBitfields:
  case BiAlphaBitfields:
    if (aHeader.BitCount != 16 && aHeader.BitCount != 32)
      return "bit-field masks with " + bits + " bits per pixel";
    break;
  default:
    return "unknown compression " + std::to_string(aHeader.Compression);
  }
  const std::uint32_t depths[] = {1, 4, 8, 16, 24, 32};
  if (std::find(std::begin(depths), std::end(depths), aHeader.BitCount) == std::end(depths))
    return "unsupported bit depth " + bits;
  return {};
}

// The red, green, blue and alpha masks: inside V2 and later headers, else
// after the header (aAt moves past them); 16-bit pixels without masks are
// 5-5-5. An error text, empty when they are there.
std::string ReadMasks(std::span<const std::uint8_t> aData, const BmpHeader& aHeader,
                      std::size_t& aAt, std::uint32_t (&aMasks)[4]) {
  if (!aHeader.BitFields()) {
    if (aHeader.BitCount == 16) {
      aMasks[0] = 0x7C00;
      aMasks[1] = 0x03E0;
      aMasks[2] = 0x001F;
    }
    return {};
  }
  std::size_t count = aHeader.Compression == BiAlphaBitfields ? 4 : 3;
  const std::size_t from = FileHeaderSize + InfoHeaderSize;
  if (aHeader.Size == InfoHeaderSize) {
    if (aData.size() - aAt < count * 4)
      return "truncated colour masks";
    aAt += count * 4;
  } else {
    count = std::min<std::size_t>(4, (aHeader.Size - InfoHeaderSize) / 4);
  }
  for (std::size_t i = 0; i < count; ++i)
    aMasks[i] = U32(aData, from + i * 4);
  return {};
}

// The palette from aAt: entries beyond the stored ones (or beyond the pixel
// data's start) are opaque black, so no index can reach outside it.
void ReadPalette(std::span<const std::uint8_t> aData, const BmpHeader& aHeader, std::size_t aAt,
                 std::uint32_t (&aPalette)[256]) {
  std::fill(std::begin(aPalette), std::end(aPalette), 0xFF000000u);
  if (aHeader.BitCount > 8)
    return;
  const std::size_t maxEntries = std::size_t(1) << aHeader.BitCount;
  const std::size_t entrySize = aHeader.Core ? 3 : 4;
  const std::uint32_t used = aHeader.ColorsUsed;
  std::size_t entries = used == 0 || used > maxEntries ? maxEntries : used;
  std::size_t end = aData.size();
  if (aHeader.PixelOffset >= aAt && aHeader.PixelOffset < end)
    end = aHeader.PixelOffset;
  entries = std::min(entries, (end - std::min(end, aAt)) / entrySize);
  for (std::size_t i = 0; i < entries; ++i) {
    const std::uint8_t* e = aData.data() + aAt + i * entrySize;
    aPalette[i] = Bgra(e[0], e[1], e[2], 255);
  }
}

// Rows of 1, 4 or 8 bits per pixel: palette indexes, the leftmost pixel in
// the high bits.
void IndexedRow(const std::uint8_t* aSrc, int aWidth, int aBitCount,
                const std::uint32_t (&aPalette)[256], std::uint32_t* aDst) {
  for (int x = 0; x < aWidth; ++x) {
    const std::uint8_t index = aBitCount == 8 ? aSrc[x]
                               : aBitCount == 4
                                   ? ((x & 1) ? (aSrc[x >> 1] & 0x0F) : (aSrc[x >> 1] >> 4))
                                   : (aSrc[x >> 3] >> (7 - (x & 7))) & 1;
    aDst[x] = aPalette[index];
  }
}

// 16- and 32-bit rows through the channel masks; an alpha of 255 without an
// alpha mask.
struct MaskedPixels {
  ChannelMask Red, Green, Blue, Alpha;
  bool HasAlpha;

  explicit MaskedPixels(const std::uint32_t (&aMasks)[4])
      : Red(aMasks[0]), Green(aMasks[1]), Blue(aMasks[2]), Alpha(aMasks[3]),
        HasAlpha(aMasks[3] != 0) {}

  void Row(const std::uint8_t* aSrc, int aWidth, int aBitCount, std::uint32_t* aDst) const {
    for (int x = 0; x < aWidth; ++x, aSrc += aBitCount / 8) {
      const std::uint32_t p = aBitCount == 16 ? std::uint32_t(aSrc[0] | (aSrc[1] << 8))
                                              : Bgra(aSrc[0], aSrc[1], aSrc[2], aSrc[3]);
      aDst[x] = Bgra(Blue.Extract(p), Green.Extract(p), Red.Extract(p),
                     HasAlpha ? Alpha.Extract(p) : 255);
    }
  }
};

// The uncompressed rows, each padded to whole 32-bit words; the caller has
// checked that they are all there.
void DecodeRows(std::span<const std::uint8_t> aData, const BmpHeader& aHeader,
                const std::uint32_t (&aPalette)[256], const std::uint32_t (&aMasks)[4],
                std::uint64_t aRowBytes, Bitmap& aImage) {
  const MaskedPixels masked(aMasks);
  const bool rawPixels = aHeader.BitCount == 32 && aHeader.Compression == BiRgb;
  const int w = int(aHeader.Width), height = int(aHeader.Height);
  const int bits = int(aHeader.BitCount);
  for (int row = 0; row < height; ++row) {
    const std::uint8_t* src = aData.data() + aHeader.PixelOffset + std::uint64_t(row) * aRowBytes;
    std::uint32_t* dst = aImage.ScanLine(aHeader.TopDown ? row : height - 1 - row);
    if (bits <= 8) {
      IndexedRow(src, w, bits, aPalette, dst);
    } else if (bits == 24) {
      for (int x = 0; x < w; ++x, src += 3)
        dst[x] = Bgra(src[0], src[1], src[2], 255);
    } else if (rawPixels) {
      for (int x = 0; x < w; ++x, src += 4)
        dst[x] = Bgra(src[0], src[1], src[2], src[3]);
    } else {
      masked.Row(src, w, bits, dst);
    }
  }
}

} // namespace

ImageResult DecodeBmp(std::span<const std::uint8_t> aData) {
  BmpHeader header;
  if (std::string e = ReadHeader(aData, header); !e.empty())
    return Fail(e);
  if (std::string e = CheckEncoding(header); !e.empty())
    return Fail(e);
  std::size_t at = FileHeaderSize + header.Size;
  std::uint32_t masks[4] = {0, 0, 0, 0};
  if (std::string e = ReadMasks(aData, header, at, masks); !e.empty())
    return Fail(e);
  std::uint32_t palette[256];
  ReadPalette(aData, header, at, palette);

  if (header.PixelOffset > aData.size())
    return Fail("truncated pixel data");
  const std::uint64_t rowBytes = (std::uint64_t(header.Width) * header.BitCount + 31) / 32 * 4;
  if (!header.RunLength() &&
      (aData.size() - header.PixelOffset) / rowBytes < std::uint64_t(header.Height))
    return Fail("truncated pixel data");
  ImageResult result;
  result.Format = ImageFormat::Bmp;
  result.FileBitsPerPixel = int(header.BitCount);
  if (!result.Image.SetSize(int(header.Width), int(header.Height)))
    return Fail("not enough memory for " + std::to_string(header.Width) + " x " +
                std::to_string(header.Height));
  if (header.RunLength()) {
    if (!DecodeRunLength(aData.subspan(header.PixelOffset), int(header.BitCount), palette,
                         result.Image))
      return Fail("truncated pixel data");
    return result;
  }
  result.HasAlpha = header.BitCount == 32 && (header.Compression == BiRgb || masks[3] != 0);
  DecodeRows(aData, header, palette, masks, rowBytes, result.Image);
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
