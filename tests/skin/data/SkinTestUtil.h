#pragma once
// Skins built in the tests: images encoded from pixel rules, containers
// packed from them, and a message recorder.

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/PngCodec.h"
#include "skin/data/qcSkinPack.h"
#include "skin/data/sSkinMessages.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

// A bitmap whose pixel (x, y) is aPixel(x, y), a 0xAARRGGBB value.
inline platform::Bitmap MakeBitmap(int aW, int aH,
                                   const std::function<std::uint32_t(int, int)>& aPixel) {
  platform::Bitmap b(aW, aH);
  for (int y = 0; y < aH; ++y)
    for (int x = 0; x < aW; ++x)
      b.SetPixel(x, y, aPixel(x, y));
  return b;
}

// A BMP file of 24 or 32 bits per pixel, bottom-up.
inline TBytes EncodeBmp(const platform::Bitmap& aImage, int aBits) {
  int w = aImage.Width(), h = aImage.Height();
  int bpp = aBits / 8;
  int rowSize = (w * bpp + 3) & ~3;
  TBytes out(54 + std::size_t(rowSize) * h, 0);
  auto put32 = [&](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
      out[at + i] = std::uint8_t(v >> (8 * i));
  };
  out[0] = 'B';
  out[1] = 'M';
  put32(2, std::uint32_t(out.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, std::uint32_t(w));
  put32(22, std::uint32_t(h));
  out[26] = 1;
  out[28] = std::uint8_t(aBits);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      std::uint32_t p = aImage.Pixel(x, y);
      std::uint8_t* d = out.data() + 54 + std::size_t(rowSize) * (h - 1 - y) + x * bpp;
      for (int i = 0; i < bpp; ++i)
        d[i] = std::uint8_t(p >> (8 * i));
    }
  return out;
}

inline TBytes EncodePngBytes(const platform::Bitmap& aImage) {
  return platform::EncodePng(aImage).Data;
}

// A grey JPEG of the given size (SkinTestUtil.cpp keeps libjpeg's macros
// away from the platform headers).
TBytes EncodeJpeg(int aW, int aH, int aGrey = 128);

// A container of an options text and images, the options entry first.
inline TBytes PackSkin(const std::string& aOptions,
                       const std::vector<std::pair<std::string, TBytes>>& aImages = {}) {
  std::vector<TqcPackEntry> entries{{"Options.dat", TBytes(aOptions.begin(), aOptions.end())}};
  for (const auto& [name, bytes] : aImages)
    entries.push_back({name, bytes});
  return PackSkinData(entries);
}

// Records the messages shown while it lives.
class TMessageRecorder {
public:
  struct Message {
    std::string Text;
    TsMessageKind Kind;
  };
  TMessageRecorder() {
    SetSkinMessageHandler([this](const std::string& aText, TsMessageKind aKind) {
      Messages.push_back({aText, aKind});
    });
  }
  ~TMessageRecorder() { SetSkinMessageHandler(nullptr); }
  std::vector<Message> Messages;
};
