#include "SkinRender.h"

#include "SkinLoad.h"
#include "platform/gfx/ImageCodec.h"
#include "platform/gfx/PngCodec.h"
#include "platform/gfx/Raster.h"
#include "skin/data/sSkinManager.h"
#include "skin/data/sSkinText.h"
#include "skin/data/sVerdantSkin.h"
#include "skin/paint/pixels/PixelOps.h"
#include "skin/paint/sSectionPaint.h"

#include <algorithm>
#include <charconv>

namespace {

// A decimal whole number and nothing else.
std::optional<int> WholeNumber(const std::string& aText) {
  int value = 0;
  const char* end = aText.data() + aText.size();
  const auto [stop, error] = std::from_chars(aText.data(), end, value);
  if (aText.empty() || error != std::errc() || stop != end)
    return std::nullopt;
  return value;
}

// "RRGGBB" or "#RRGGBB" as the colour value 0x00BBGGRR; nothing for other
// text, which names an image file.
std::optional<TColor> RgbColor(const std::string& aText) {
  const std::string hex = !aText.empty() && aText[0] == '#' ? aText.substr(1) : aText;
  if (hex.size() != 6 || !std::all_of(hex.begin(), hex.end(), ::isxdigit))
    return std::nullopt;
  const unsigned long rgb = std::stoul(hex, nullptr, 16);
  return TColor(((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16));
}

std::optional<std::string> LoadRenderSkin(TsSkinManager& aManager, const std::string& aSkin) {
  if (aSkin != BuiltInSkinArgument)
    return LoadSkinPath(aManager, aSkin);
  TsStoredSkin& stored = aManager.InternalSkins.Add();
  stored.SetName(VerdantSkinName);
  const auto data = VerdantSkinData();
  stored.ReadData(data.data(), data.size());
  return FirstLoadError([&] { aManager.SetSkinName(VerdantSkinName); });
}

// A plain parent: a colour and nothing to copy.
TCacheInfo PlainParent(TColor aColor) {
  TCacheInfo info;
  info.X = info.Y = 0;
  info.FillColor = ColorToRGB(aColor);
  return info;
}

// The parent image as the background of a aWidth x aHeight bitmap from its
// top-left; what it does not cover is the plain colour aRest.
platform::Bitmap ParentBackground(const platform::Bitmap& aImage, int aWidth, int aHeight,
                                  TColor aRest) {
  platform::Bitmap parent = CreateBitmap32(aWidth, aHeight);
  FillRect32(parent, parent.BoundsRect(), ColorToRGB(aRest));
  platform::raster::Copy(parent, parent.BoundsRect(), aImage, {0, 0});
  return parent;
}

} // namespace

int RenderCommand(const TRenderArguments& aArguments, std::ostream& aErr) {
  auto fail = [&](const std::string& aText) {
    aErr << "skintool: " << aText << '\n';
    return 1;
  };
  const std::optional<int> width = WholeNumber(aArguments.Width);
  const std::optional<int> height = WholeNumber(aArguments.Height);
  auto sizeOk = [](std::optional<int> aSide) {
    return aSide && *aSide >= 1 && *aSide <= MaxRenderSide;
  };
  if (!sizeOk(width) || !sizeOk(height))
    return fail("the size " + aArguments.Width + " x " + aArguments.Height + " is not within 1.." +
                std::to_string(MaxRenderSide) + " x 1.." + std::to_string(MaxRenderSide));
  const std::optional<int> state = aArguments.State ? WholeNumber(*aArguments.State) : 0;
  if (!state || *state < 0)
    return fail("bad state \"" + aArguments.State.value_or("") + "\": a state is a number from 0");
  const std::optional<TColor> parentColor =
      aArguments.Parent ? RgbColor(*aArguments.Parent) : std::nullopt;

  TsSkinManager manager;
  if (const auto error = LoadRenderSkin(manager, aArguments.Skin))
    return fail("cannot load the skin \"" + aArguments.Skin + "\": " + *error);
  const int index = manager.GetSkinIndex(UpperCase(aArguments.Section));
  if (index < 0)
    return fail("no section " + aArguments.Section + " in the skin");
  const int states = std::max(manager.gd[std::size_t(index)].States, 1);
  if (*state >= states)
    return fail("bad state " + std::to_string(*state) + ": section " + aArguments.Section +
                " has the states 0.." + std::to_string(states - 1));

  platform::Bitmap parentImage;
  TCacheInfo parent = PlainParent(parentColor.value_or(manager.GetGlobalColor()));
  if (aArguments.Parent && !parentColor) {
    const platform::ImageResult image = platform::LoadImageFile(*aArguments.Parent);
    if (!image.Ok())
      return fail("cannot read the parent image: " + image.Error);
    parentImage = ParentBackground(image.Image, *width, *height, manager.GetGlobalColor());
    parent = CacheInfoFromBitmap(&parentImage, 0, 0);
  }
  platform::Bitmap out = CreateBitmap32(*width, *height);
  PaintSectionByIndex(&manager, index, parent, -1, -1, &out, {0, 0}, out.BoundsRect(), *state);
  const platform::FileResult saved = platform::SavePngFile(out, aArguments.OutFile);
  if (!saved.Ok())
    return fail(saved.Error);
  return 0;
}
