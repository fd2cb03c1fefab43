#include "platform/gfx/JpegCodec.h"

#include <csetjmp>
#include <cstddef>
#include <cstdio>

// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

namespace platform {

namespace {

// Progressive files may hold any number of scans; beyond this many the data
// is taken as damaged rather than spending minutes on it.
constexpr int MaxScans = 500;

// The library's error manager extended by the jump back into ReadJpeg and
// the text of the failure, and the progress hook that limits the scans.
struct JpegError {
  jpeg_error_mgr Manager;
  jpeg_progress_mgr Progress;
  std::jmp_buf Jump;
  char Message[JMSG_LENGTH_MAX] = "";
};

[[noreturn]] void Abort(j_common_ptr aInfo) {
  auto* error = reinterpret_cast<JpegError*>(aInfo->err);
  (*aInfo->err->format_message)(aInfo, error->Message);
  std::longjmp(error->Jump, 1);
}

// Corrupt-data warnings (level -1) abort: the picture would be partly made up.
void Message(j_common_ptr aInfo, int aLevel) {
  if (aLevel < 0)
    Abort(aInfo);
}

void ScanLimit(j_common_ptr aInfo) {
  auto* info = reinterpret_cast<j_decompress_ptr>(aInfo);
  if (info->input_scan_number > MaxScans) {
    auto* error = reinterpret_cast<JpegError*>(aInfo->err);
    std::snprintf(error->Message, sizeof error->Message, "more than %d scans", MaxScans);
    std::longjmp(error->Jump, 1);
  }
}

std::uint32_t Bgra(unsigned aBlue, unsigned aGreen, unsigned aRed) {
  return aBlue | (aGreen << 8) | (aRed << 16) | 0xFF000000u;
}

// CMYK to BGRA in place. Files with the Adobe marker store the inks
// inverted (255 = no ink), which is what the library hands back.
void CmykToBgra(std::uint32_t* aRow, int aWidth, bool aInverted) {
  auto* bytes = reinterpret_cast<std::uint8_t*>(aRow);
  for (int x = 0; x < aWidth; ++x, bytes += 4) {
    unsigned c = bytes[0], m = bytes[1], y = bytes[2], k = bytes[3];
    if (!aInverted) {
      c = 255 - c;
      m = 255 - m;
      y = 255 - y;
      k = 255 - k;
    }
    aRow[x] = Bgra((y * k + 127) / 255, (m * k + 127) / 255, (c * k + 127) / 255);
  }
}

// Runs the library's decoding into aResult. Nothing in this frame has a
// destructor, so the longjmp back to the setjmp skips none.
bool ReadJpeg(jpeg_decompress_struct& aInfo, JpegError& aError, std::span<const std::uint8_t> aData,
              ImageResult& aResult) {
  if (setjmp(aError.Jump))
    return false;
  jpeg_create_decompress(&aInfo);
  aError.Progress.progress_monitor = ScanLimit;
  aInfo.progress = &aError.Progress;
  aInfo.mem->max_memory_to_use = 1L << 30;
  jpeg_mem_src(&aInfo, aData.data(), static_cast<unsigned long>(aData.size()));
  jpeg_read_header(&aInfo, TRUE);

  if (!ImageSizeAllowed(aInfo.image_width, aInfo.image_height)) {
    std::snprintf(aError.Message, sizeof aError.Message, "image too large (%u x %u)",
                  aInfo.image_width, aInfo.image_height);
    return false;
  }
  const bool cmyk = aInfo.jpeg_color_space == JCS_CMYK || aInfo.jpeg_color_space == JCS_YCCK;
  aResult.FileBitsPerPixel = aInfo.num_components * 8;
  aInfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRA;
  jpeg_start_decompress(&aInfo);
  if (aInfo.output_components != 4) {
    std::snprintf(aError.Message, sizeof aError.Message, "unsupported colour layout");
    return false;
  }
  if (!aResult.Image.SetSize(int(aInfo.output_width), int(aInfo.output_height))) {
    std::snprintf(aError.Message, sizeof aError.Message, "not enough memory");
    return false;
  }
  while (aInfo.output_scanline < aInfo.output_height) {
    std::uint32_t* row = aResult.Image.ScanLine(int(aInfo.output_scanline));
    JSAMPROW rows[1] = {reinterpret_cast<JSAMPROW>(row)};
    jpeg_read_scanlines(&aInfo, rows, 1);
    if (cmyk)
      CmykToBgra(row, int(aInfo.output_width), aInfo.saw_Adobe_marker);
  }
  jpeg_finish_decompress(&aInfo);
  return true;
}

} // namespace

ImageResult DecodeJpeg(std::span<const std::uint8_t> aData) {
  if (aData.size() < 3 || aData[0] != 0xFF || aData[1] != 0xD8 || aData[2] != 0xFF)
    return ImageError(ImageFormat::Jpeg, "damaged JPEG image: no JPEG signature");
  jpeg_decompress_struct info{};
  JpegError error;
  info.err = jpeg_std_error(&error.Manager);
  error.Manager.error_exit = Abort;
  error.Manager.emit_message = Message;
  ImageResult result;
  result.Format = ImageFormat::Jpeg;
  const bool ok = ReadJpeg(info, error, aData, result);
  jpeg_destroy_decompress(&info);
  if (!ok)
    return ImageError(ImageFormat::Jpeg, std::string("damaged JPEG image: ") + error.Message);
  return result;
}

} // namespace platform
