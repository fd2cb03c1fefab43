#include "platform/gfx/PngCodec.h"

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <png.h>
#include <system_error>

namespace platform {

namespace {

// What the libpng callbacks share with the decoding function. libpng reports
// errors through ErrorHandler, which records the text and jumps back to the
// setjmp in the function that started the library call.
struct PngIo {
  const std::uint8_t* Data = nullptr;
  std::size_t Size = 0;
  std::size_t Position = 0;
  std::vector<std::uint8_t>* Output = nullptr;
  char Message[160] = "";
};

[[noreturn]] void ErrorHandler(png_structp aPng, png_const_charp aMessage) {
  auto* io = static_cast<PngIo*>(png_get_error_ptr(aPng));
  std::snprintf(io->Message, sizeof io->Message, "%s", aMessage);
  png_longjmp(aPng, 1);
}

void WarningHandler(png_structp, png_const_charp) {}

void ReadFromBuffer(png_structp aPng, png_bytep aOut, std::size_t aCount) {
  auto* io = static_cast<PngIo*>(png_get_io_ptr(aPng));
  if (aCount > io->Size - io->Position)
    png_error(aPng, "unexpected end of data");
  std::memcpy(aOut, io->Data + io->Position, aCount);
  io->Position += aCount;
}

bool Append(std::vector<std::uint8_t>& aTo, const std::uint8_t* aBytes, std::size_t aCount) {
  try {
    aTo.insert(aTo.end(), aBytes, aBytes + aCount);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

void WriteToBuffer(png_structp aPng, png_bytep aBytes, std::size_t aCount) {
  auto* io = static_cast<PngIo*>(png_get_io_ptr(aPng));
  if (!Append(*io->Output, aBytes, aCount))
    png_error(aPng, "out of memory");
}

void FlushNothing(png_structp) {}

// Whether every chunk up to IEND (or the end of the data) lies within the
// data. The library gives a chunk it keeps whole (text, colour profile) a
// buffer of the length its header claims before it reads the data, so a
// damaged file of a hundred bytes would reserve gigabytes.
bool ChunksFitTheData(std::span<const std::uint8_t> aData) {
  constexpr std::size_t kChunkFrame = 12; // length, type, CRC
  std::size_t at = 8;
  while (aData.size() - at >= 8) {
    const std::size_t rest = aData.size() - at;
    const std::size_t length = png_get_uint_32(aData.data() + at);
    if (rest < kChunkFrame || length > rest - kChunkFrame)
      return false;
    if (std::memcmp(aData.data() + at + 4, "IEND", 4) == 0)
      return true;
    at += kChunkFrame + length;
  }
  return true;
}

// Owns the libpng read or write structures.
struct PngHandle {
  png_structp Png = nullptr;
  png_infop Info = nullptr;
  bool Writing = false;

  PngHandle(bool aWriting, PngIo& aIo) : Writing(aWriting) {
    Png = aWriting
              ? png_create_write_struct(PNG_LIBPNG_VER_STRING, &aIo, ErrorHandler, WarningHandler)
              : png_create_read_struct(PNG_LIBPNG_VER_STRING, &aIo, ErrorHandler, WarningHandler);
    if (Png)
      Info = png_create_info_struct(Png);
  }
  ~PngHandle() {
    if (Writing)
      png_destroy_write_struct(&Png, &Info);
    else
      png_destroy_read_struct(&Png, &Info, nullptr);
  }
  PngHandle(const PngHandle&) = delete;
  PngHandle& operator=(const PngHandle&) = delete;
};

// Runs the library's decoding into aResult. Nothing in this frame has a
// destructor, so the library's longjmp back to the setjmp skips none.
bool ReadPng(png_structp aPng, png_infop aInfo, ImageResult& aResult) {
  if (setjmp(png_jmpbuf(aPng)))
    return false;
  png_set_user_limits(aPng, MaxImageSide, MaxImageSide);
  png_set_read_fn(aPng, png_get_error_ptr(aPng), ReadFromBuffer);
  png_read_info(aPng, aInfo);

  const png_uint_32 width = png_get_image_width(aPng, aInfo);
  const png_uint_32 height = png_get_image_height(aPng, aInfo);
  const int colorType = png_get_color_type(aPng, aInfo);
  const int bitDepth = png_get_bit_depth(aPng, aInfo);
  if (!ImageSizeAllowed(width, height))
    png_error(aPng, "image too large");
  const bool transparency = png_get_valid(aPng, aInfo, PNG_INFO_tRNS) != 0;
  aResult.FileBitsPerPixel = png_get_channels(aPng, aInfo) * bitDepth;
  aResult.HasAlpha = (colorType & PNG_COLOR_MASK_ALPHA) != 0 || transparency;

  if (colorType == PNG_COLOR_TYPE_PALETTE)
    png_set_palette_to_rgb(aPng);
  if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8)
    png_set_expand_gray_1_2_4_to_8(aPng);
  if (transparency)
    png_set_tRNS_to_alpha(aPng);
  if (bitDepth == 16)
    png_set_scale_16(aPng);
  if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
    png_set_gray_to_rgb(aPng);
  png_set_bgr(aPng);
  if (!aResult.HasAlpha)
    png_set_filler(aPng, 0xFF, PNG_FILLER_AFTER);
  const int passes = png_set_interlace_handling(aPng);
  png_read_update_info(aPng, aInfo);
  if (png_get_rowbytes(aPng, aInfo) != std::size_t(width) * 4)
    png_error(aPng, "unexpected row layout");

  if (!aResult.Image.SetSize(int(width), int(height)))
    png_error(aPng, "not enough memory");
  // Interlaced images are combined pass by pass into the rows in place.
  for (int pass = 0; pass < passes; ++pass)
    for (png_uint_32 row = 0; row < height; ++row)
      png_read_row(aPng, reinterpret_cast<png_bytep>(aResult.Image.ScanLine(int(row))), nullptr);
  png_read_end(aPng, nullptr);
  return true;
}

bool WritePng(png_structp aPng, png_infop aInfo, const Bitmap& aImage, PngAlpha aAlpha) {
  if (setjmp(png_jmpbuf(aPng)))
    return false;
  png_set_write_fn(aPng, png_get_error_ptr(aPng), WriteToBuffer, FlushNothing);
  const bool alpha = aAlpha == PngAlpha::Keep;
  png_set_IHDR(aPng, aInfo, png_uint_32(aImage.Width()), png_uint_32(aImage.Height()), 8,
               alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(aPng, aInfo);
  png_set_bgr(aPng);
  if (!alpha)
    png_set_filler(aPng, 0, PNG_FILLER_AFTER);
  for (int row = 0; row < aImage.Height(); ++row)
    png_write_row(aPng, reinterpret_cast<png_const_bytep>(aImage.ScanLine(row)));
  png_write_end(aPng, nullptr);
  return true;
}

} // namespace

ImageResult DecodePng(std::span<const std::uint8_t> aData) {
  if (aData.size() < 8 || png_sig_cmp(aData.data(), 0, 8) != 0)
    return ImageError(ImageFormat::Png, "damaged PNG image: no PNG signature");
  if (!ChunksFitTheData(aData))
    return ImageError(ImageFormat::Png, "damaged PNG image: a chunk runs past the end of the data");
  PngIo io;
  io.Data = aData.data();
  io.Size = aData.size();
  PngHandle handle(false, io);
  if (!handle.Info)
    return ImageError(ImageFormat::Png, "PNG reader: not enough memory");
  ImageResult result;
  result.Format = ImageFormat::Png;
  if (!ReadPng(handle.Png, handle.Info, result))
    return ImageError(ImageFormat::Png, std::string("damaged PNG image: ") + io.Message);
  return result;
}

PngEncodeResult EncodePng(const Bitmap& aImage, PngAlpha aAlpha) {
  PngEncodeResult result;
  if (aImage.Empty()) {
    result.Error = "cannot write an empty bitmap as PNG";
    return result;
  }
  PngIo io;
  io.Output = &result.Data;
  PngHandle handle(true, io);
  if (!handle.Info || !WritePng(handle.Png, handle.Info, aImage, aAlpha)) {
    result.Data.clear();
    result.Error = std::string("PNG writer: ") + (handle.Info ? io.Message : "not enough memory");
  }
  return result;
}

FileResult SavePngFile(const Bitmap& aImage, const std::string& aPath, PngAlpha aAlpha) {
  PngEncodeResult png = EncodePng(aImage, aAlpha);
  if (!png.Ok())
    return {png.Error};
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(aPath.c_str(), "wb"),
                                                       &std::fclose);
  auto fail = [&](int aErrno) {
    return FileResult{"cannot write \"" + aPath + "\": " + std::generic_category().message(aErrno)};
  };
  if (!file)
    return fail(errno);
  if (std::fwrite(png.Data.data(), 1, png.Data.size(), file.get()) != png.Data.size())
    return fail(errno);
  if (std::fclose(file.release()) != 0)
    return fail(errno);
  return {};
}

} // namespace platform
