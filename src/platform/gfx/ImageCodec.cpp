#include "platform/gfx/ImageCodec.h"

#include "platform/gfx/BmpCodec.h"
#include "platform/gfx/JpegCodec.h"
#include "platform/gfx/PngCodec.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <system_error>

namespace platform {

ImageFormat DetectImageFormat(std::span<const std::uint8_t> aData) {
  static constexpr std::uint8_t PngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (aData.size() >= 2 && aData[0] == 'B' && aData[1] == 'M')
    return ImageFormat::Bmp;
  if (aData.size() >= 8 && std::equal(PngSignature, PngSignature + 8, aData.begin()))
    return ImageFormat::Png;
  if (aData.size() >= 3 && aData[0] == 0xFF && aData[1] == 0xD8 && aData[2] == 0xFF)
    return ImageFormat::Jpeg;
  return ImageFormat::Unknown;
}

ImageResult DecodeImage(std::span<const std::uint8_t> aData) {
  switch (DetectImageFormat(aData)) {
  case ImageFormat::Bmp:
    return DecodeBmp(aData);
  case ImageFormat::Png:
    return DecodePng(aData);
  case ImageFormat::Jpeg:
    return DecodeJpeg(aData);
  case ImageFormat::Unknown:
    break;
  }
  return ImageError(ImageFormat::Unknown, "unknown image format (not BMP, PNG or JPEG)");
}

FileResult ReadFileBytes(const std::string& aPath, std::vector<std::uint8_t>& aBytes) {
  aBytes.clear();
  auto fail = [&](int aErrno) {
    aBytes.clear();
    return FileResult{"cannot read \"" + aPath + "\": " + std::generic_category().message(aErrno)};
  };
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(aPath.c_str(), "rb"),
                                                       &std::fclose);
  if (!file)
    return fail(errno);
  std::uint8_t chunk[65536];
  for (;;) {
    std::size_t n = std::fread(chunk, 1, sizeof chunk, file.get());
    aBytes.insert(aBytes.end(), chunk, chunk + n);
    if (n < sizeof chunk)
      break;
  }
  if (std::ferror(file.get()))
    return fail(errno ? errno : EIO);
  return {};
}

ImageResult LoadImageFile(const std::string& aPath) {
  std::vector<std::uint8_t> bytes;
  FileResult read = ReadFileBytes(aPath, bytes);
  if (!read.Ok())
    return ImageError(ImageFormat::Unknown, read.Error);
  ImageResult result = DecodeImage(bytes);
  if (!result.Ok())
    result.Error = "\"" + aPath + "\": " + result.Error;
  return result;
}

ImageResult ImageError(ImageFormat aFormat, std::string aMessage) {
  ImageResult result;
  result.Format = aFormat;
  result.Error = std::move(aMessage);
  return result;
}

bool ImageSizeAllowed(std::int64_t aWidth, std::int64_t aHeight) {
  return aWidth > 0 && aHeight > 0 && aWidth <= MaxImageSide && aHeight <= MaxImageSide &&
         aWidth * aHeight <= MaxImagePixels;
}

} // namespace platform
