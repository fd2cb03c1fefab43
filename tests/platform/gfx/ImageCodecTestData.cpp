#include "ImageCodecTestData.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>
#include <png.h>

namespace testdata {

void Put16(Bytes& aTo, std::uint32_t aValue) {
  aTo.push_back(std::uint8_t(aValue));
  aTo.push_back(std::uint8_t(aValue >> 8));
}

void Put32(Bytes& aTo, std::uint32_t aValue) {
  Put16(aTo, aValue & 0xFFFF);
  Put16(aTo, aValue >> 16);
}

Bytes MakeBmp(const BmpSpec& aSpec) {
  const bool core = aSpec.HeaderSize == 12;
  Bytes header;
  Put32(header, aSpec.HeaderSize);
  if (core) {
    Put16(header, std::uint32_t(aSpec.Width));
    Put16(header, std::uint32_t(aSpec.Height));
    Put16(header, 1);
    Put16(header, std::uint32_t(aSpec.BitCount));
  } else {
    Put32(header, std::uint32_t(aSpec.Width));
    Put32(header, std::uint32_t(aSpec.Height));
    Put16(header, 1);
    Put16(header, std::uint32_t(aSpec.BitCount));
    Put32(header, aSpec.Compression);
    Put32(header, 0);
    Put32(header, 2835);
    Put32(header, 2835);
    Put32(header, aSpec.ColorsUsed);
    Put32(header, 0);
    if (aSpec.HeaderSize > 40)
      for (std::size_t i = 0; i < 4; ++i)
        Put32(header, i < aSpec.Masks.size() ? aSpec.Masks[i] : 0);
    header.resize(aSpec.HeaderSize, 0);
    if (aSpec.HeaderSize == 40)
      for (std::uint32_t mask : aSpec.Masks)
        Put32(header, mask);
  }
  for (std::uint32_t color : aSpec.Palette) {
    header.push_back(std::uint8_t(color));
    header.push_back(std::uint8_t(color >> 8));
    header.push_back(std::uint8_t(color >> 16));
    if (!core)
      header.push_back(0);
  }
  Bytes file = {'B', 'M'};
  Bytes pixels;
  for (const Bytes& row : aSpec.Rows) {
    pixels.insert(pixels.end(), row.begin(), row.end());
    pixels.resize((pixels.size() + 3) / 4 * 4, 0);
  }
  Put32(file, std::uint32_t(14 + header.size() + pixels.size()));
  Put32(file, 0);
  Put32(file, std::uint32_t(14 + header.size()));
  file.insert(file.end(), header.begin(), header.end());
  file.insert(file.end(), pixels.begin(), pixels.end());
  return file;
}

namespace {

// The builders only run on valid input; a failure is a mistake in a test.
[[noreturn]] void PngFail(png_structp, png_const_charp aMessage) {
  std::fprintf(stderr, "test PNG builder: %s\n", aMessage);
  std::abort();
}

void PngWrite(png_structp aPng, png_bytep aData, std::size_t aSize) {
  auto* out = static_cast<Bytes*>(png_get_io_ptr(aPng));
  out->insert(out->end(), aData, aData + aSize);
}

} // namespace

Bytes MakePng(const PngSpec& aSpec) {
  Bytes out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, PngFail, nullptr);
  png_infop info = png_create_info_struct(png);
  png_set_write_fn(png, &out, PngWrite, nullptr);
  png_set_IHDR(png, info, png_uint_32(aSpec.Width), png_uint_32(aSpec.Height), aSpec.BitDepth,
               aSpec.ColorType, aSpec.Interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (!aSpec.Palette.empty()) {
    std::vector<png_color> palette;
    for (const PngColor& c : aSpec.Palette)
      palette.push_back({c.Red, c.Green, c.Blue});
    png_set_PLTE(png, info, palette.data(), int(palette.size()));
  }
  png_color_16 color{};
  if (!aSpec.PaletteAlpha.empty()) {
    png_set_tRNS(png, info, aSpec.PaletteAlpha.data(), int(aSpec.PaletteAlpha.size()), nullptr);
  } else if (aSpec.TransparentGray >= 0) {
    color.gray = png_uint_16(aSpec.TransparentGray);
    png_set_tRNS(png, info, nullptr, 0, &color);
  } else if (aSpec.TransparentRgb[0] >= 0) {
    color.red = png_uint_16(aSpec.TransparentRgb[0]);
    color.green = png_uint_16(aSpec.TransparentRgb[1]);
    color.blue = png_uint_16(aSpec.TransparentRgb[2]);
    png_set_tRNS(png, info, nullptr, 0, &color);
  }
  png_write_info(png, info);
  if (aSpec.BitDepth == 16)
    png_set_swap(png); // rows hold 16-bit values in machine (little-endian) order
  std::vector<png_bytep> rows;
  for (const Bytes& row : aSpec.Rows)
    rows.push_back(const_cast<png_bytep>(row.data()));
  png_write_image(png, rows.data());
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return out;
}

Bytes MakeJpeg(const JpegSpec& aSpec) {
  jpeg_compress_struct info{};
  jpeg_error_mgr error{};
  info.err = jpeg_std_error(&error);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = JDIMENSION(aSpec.Width);
  info.image_height = JDIMENSION(aSpec.Height);
  info.input_components = aSpec.Components;
  info.in_color_space =
      aSpec.Components == 1 ? JCS_GRAYSCALE : (aSpec.Components == 4 ? JCS_CMYK : JCS_RGB);
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, aSpec.Quality, TRUE);
  if (aSpec.Progressive)
    jpeg_simple_progression(&info);
  info.write_Adobe_marker = aSpec.AdobeMarker && aSpec.Components == 4;
  jpeg_start_compress(&info, TRUE);
  const std::size_t stride = std::size_t(aSpec.Width) * aSpec.Components;
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(aSpec.Pixels.data() + info.next_scanline * stride);
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  Bytes out(buffer, buffer + size);
  std::free(buffer);
  return out;
}

platform::Bitmap TestPattern(int aWidth, int aHeight) {
  platform::Bitmap image(aWidth, aHeight);
  for (int y = 0; y < aHeight; ++y)
    for (int x = 0; x < aWidth; ++x) {
      std::uint32_t b = std::uint32_t(x * 255 / std::max(1, aWidth - 1));
      std::uint32_t g = std::uint32_t(y * 255 / std::max(1, aHeight - 1));
      std::uint32_t r = std::uint32_t((x * 7 + y * 13) & 0xFF);
      std::uint32_t a = std::uint32_t((x + y) * 3 & 0xFF);
      image.SetPixel(x, y, b | (g << 8) | (r << 16) | (a << 24));
    }
  return image;
}

Bytes PatternRgb(int aWidth, int aHeight) {
  platform::Bitmap image = TestPattern(aWidth, aHeight);
  Bytes out;
  out.reserve(std::size_t(aWidth) * aHeight * 3);
  for (int y = 0; y < aHeight; ++y)
    for (int x = 0; x < aWidth; ++x) {
      std::uint32_t p = image.Pixel(x, y);
      out.push_back(std::uint8_t(p >> 16));
      out.push_back(std::uint8_t(p >> 8));
      out.push_back(std::uint8_t(p));
    }
  return out;
}

} // namespace testdata
