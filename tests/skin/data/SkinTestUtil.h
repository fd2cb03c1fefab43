#pragma once
// Skins built in the tests: images encoded from pixel rules, containers
// packed from them, and a message recorder.

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/BmpCodec.h"
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

// BMP files of 24 or 32 bits per pixel, bottom-up.
using platform::EncodeBmp;

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
