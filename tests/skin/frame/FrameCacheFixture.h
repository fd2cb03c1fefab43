#pragma once
// A headless form with a frame cache: the skin data a frame provider owns
// (section FORM, owned through a frame owner), its title-bar state and
// layout, over the small frame skin "F" below or the built-in skin.
//
// Skin "F": GLOBALINFO with BIRIGHT 2, BILEFT 3, BISPACE 1, BIVALIGN 0 and
// the large caption-button images, each three 12 x 10 frames (normal, hot,
// pressed) of one colour with a key pixel in the top-left corner; FORM plain
// with a 2-pixel border mask of one colour; FORMTITLE plain in two states
// with their font colours. Skin "G" adds a 2-pixel glow to the active title,
// skin "OLD" too but as a skin of version 7.5; skin "PLATE" adds a plain
// CAPTION section.

#include "SkinDataFixture.h"
#include "platform/gfx/Font.h"
#include "skin/data/sVerdantSkin.h"
#include "skin/frame/sFrameCache.h"
#include "skin/paint/sControlCodes.h"
#include "support/PixelCheck.h"

#include <array>
#include <memory>

// The images of skin "F", rows of the master bitmap.
enum TFrameImage { fiClose, fiMax, fiMin, fiNorm };
inline constexpr int kButtonW = 12;
inline constexpr int kButtonH = 10;

// Colours of skin "F".
inline constexpr TColor kFormColor = 0x00404040;
inline constexpr TColor kFormHotColor = 0x00505050;
inline constexpr TColor kMaskColor = 0x00102030;
inline constexpr TColor kTitleColor = 0x00806040;
inline constexpr TColor kTitleHotColor = 0x00A08060;
inline constexpr TColor kTitleFont = 0x00C0C0C0;
inline constexpr TColor kTitleHotFont = 0x00FFFFFF;
inline constexpr TColor kGlowColor = 0x0000FF00;
inline constexpr TColor kPlateHotColor = 0x00204020;
inline constexpr TColor kPlateHotFont = 0x0000FFFF;

// The pixel of frame aFrame (0 normal, 1 hot, 2 pressed) of a button image.
inline std::uint32_t ButtonPixel(TFrameImage aImage, int aFrame) {
  return pixelcheck::Px(40 + 50 * std::uint32_t(aImage), 60 + 60 * std::uint32_t(aFrame), 200);
}

inline std::string FrameSkinOptions(int aGlowSize, const std::string& aVersion = "8.00") {
  const auto n = [](TColor aColor) { return std::to_string(aColor); };
  return "[GLOBALINFO]\nVERSION=" + aVersion + "\nMASTERBITMAP=MASTER.BMP\nCOLOR=" + n(kFormColor) +
         "\nBIRIGHT=2\nBILEFT=3\nBISPACE=1\nBIVALIGN=0\n"
         "BICONCLOSE=@0000@0000@0036@0010@3@0\n"
         "BICONMAX=@0000@0010@0036@0020@3@0\n"
         "BICONMIN=@0000@0020@0036@0030@3@0\n"
         "BICONNORM=@0036@0000@0072@0010@3@0\n"
         "[FORM]\nSTATES=2\nCOLOR=" +
         n(kFormColor) + "\nHOTCOLOR=" + n(kFormHotColor) +
         "\nBORDERSMASK=^0000^0030^0006^0036^0002^0002^0002^0002^1^0^1^0\n"
         "[FORMTITLE]\nSTATES=2\nCOLOR=" +
         n(kTitleColor) + "\nHOTCOLOR=" + n(kTitleHotColor) + "\nFONTCOLOR=" + n(kTitleFont) +
         "\nHOTFONTCOLOR=" + n(kTitleHotFont) + "\nHGSIZE=" + std::to_string(aGlowSize) +
         "\nHGCOL=" + n(kGlowColor) + "\n";
}

// The master bitmap: rows 0-29 close, maximize, minimize (x 0-35) and the
// restore image (x 36-71, row 0-9); rows 30-35 the FORM border mask.
inline platform::Bitmap FrameSkinMaster() {
  return MakeBitmap(72, 36, [](int aX, int aY) -> std::uint32_t {
    if (aY >= 30)
      return aX < 6 ? pixelcheck::Opaque(kMaskColor) : 0xFF000000u;
    if (aX % kButtonW == 0 && aY % kButtonH == 0)
      return 0xFFFF00FFu;
    const TFrameImage image = aX >= 36 ? fiNorm : TFrameImage(aY / kButtonH);
    return ButtonPixel(image, (aX % 36) / kButtonW);
  });
}

// A button frame as PaintMaskGlyph draws an unmasked master piece: its key
// pixel leaves what is below; faded, every channel is the average (rounded
// down) of the image and what is below.
inline void PaintButtonFrame(platform::Bitmap& aBmp, TPoint aAt, TFrameImage aImage, int aFrame,
                             bool aFaded) {
  for (int y = 0; y < kButtonH; ++y)
    for (int x = 0; x < kButtonW; ++x) {
      if (x == 0 && y == 0)
        continue;
      const std::uint32_t src = ButtonPixel(aImage, aFrame);
      const std::uint32_t dst = aBmp.Pixel(aAt.X + x, aAt.Y + y);
      std::uint32_t out = 0;
      for (int shift : {0, 8, 16, 24})
        out |= ((((src >> shift) & 0xFF) + ((dst >> shift) & 0xFF)) / 2) << shift;
      aBmp.SetPixel(aAt.X + x, aAt.Y + y, aFaded ? out : src);
    }
}

// Where the buttons of a single-border form aWidth wide lie: the close
// button ends BIRIGHT 2 + frame 3 from the right edge, maximize and minimize
// follow with 1 pixel between them; all centred on the caption's line 10
// (19 / 2 + 3 / 2), so from row 5 to 15.
inline TPoint CloseAt(int aWidth) {
  return {aWidth - 5 - kButtonW, 5};
}
inline TPoint MaxAt(int aWidth) {
  return {aWidth - 5 - 2 * kButtonW - 1, 5};
}
inline TPoint MinAt(int aWidth) {
  return {aWidth - 5 - 3 * kButtonW - 2, 5};
}

// The button states of an expected frame.
struct TButtonStates {
  TqcCaptionButtonState Close = cbsNormal;
  TqcCaptionButtonState Max = cbsNormal;
  TqcCaptionButtonState Min = cbsNormal;
};

// The frame cache of skin "F" for a single-border form without caption text:
// the plain form's colour over the caption rows (0 to 22), the 2-pixel border
// mask, the section colour between it and the 3-pixel frame below the
// caption, the title section over rows 0 to 21 and the three buttons, faded
// in their normal state on an inactive form. The client area is not painted.
inline platform::Bitmap ExpectedSingleFrame(int aWidth, int aHeight, bool aActive,
                                            TButtonStates aStates = {}) {
  using pixelcheck::Opaque;
  using pixelcheck::Paint;
  const std::uint32_t form = Opaque(aActive ? kFormHotColor : kFormColor);
  platform::Bitmap bmp = pixelcheck::Filled(aWidth, aHeight, 0);
  Paint(bmp, {0, 0, aWidth, 23}, form);
  const std::uint32_t mask = Opaque(kMaskColor);
  Paint(bmp, {0, 0, aWidth, 2}, mask);
  Paint(bmp, {0, aHeight - 2, aWidth, aHeight}, mask);
  Paint(bmp, {0, 0, 2, aHeight}, mask);
  Paint(bmp, {aWidth - 2, 0, aWidth, aHeight}, mask);
  Paint(bmp, {2, 22, 3, aHeight - 2}, form);
  Paint(bmp, {aWidth - 3, 22, aWidth - 2, aHeight - 2}, form);
  Paint(bmp, {3, aHeight - 3, aWidth - 3, aHeight - 2}, form);
  Paint(bmp, {0, 0, aWidth, 22}, Opaque(aActive ? kTitleHotColor : kTitleColor));
  const auto button = [&](TPoint aAt, TFrameImage aImage, int aState) {
    PaintButtonFrame(bmp, aAt, aImage, aState, aState == 0 && !aActive);
  };
  button(CloseAt(aWidth), fiClose, aStates.Close);
  button(MaxAt(aWidth), fiMax, aStates.Max);
  button(MinAt(aWidth), fiMin, aStates.Min);
  return bmp;
}

class FrameCacheTest : public SkinDataTest {
protected:
  void SetUp() override {
    SkinDataTest::SetUp();
    fOwner = std::make_unique<TTestFrame>(fForm);
    AddFrameSkin("F", FrameSkinOptions(0));
    AddFrameSkin("G", FrameSkinOptions(2));
    AddFrameSkin("OLD", FrameSkinOptions(2, "7.50"));
    AddFrameSkin("PLATE",
                 FrameSkinOptions(0) +
                     "[CAPTION]\nSTATES=2\nCOLOR=0\nHOTCOLOR=" + std::to_string(kPlateHotColor) +
                     "\nFONTCOLOR=0\nHOTFONTCOLOR=" + std::to_string(kPlateHotFont) + "\n");
    auto& verdant = fManager->InternalSkins.Add();
    verdant.SetName(VerdantSkinName);
    const auto data = VerdantSkinData();
    verdant.ReadData(data.data(), data.size());
    UseSkin("F");
    platform::LOGFONTW font;
    font.lfHeight = -12;
    fFont = platform::CreateFontIndirectW(&font);
  }
  void TearDown() override {
    fData.reset();
    platform::DeleteObject(fFont);
    SkinDataTest::TearDown();
  }

  void AddFrameSkin(const std::string& aName, const std::string& aOptions) {
    auto& skin = fManager->InternalSkins.Add();
    skin.SetName(aName);
    skin.ReadData(PackSkin(aOptions, {{"MASTER.BMP", EncodeBmp(FrameSkinMaster(), 24)}}));
  }

  // Loads a skin and makes fresh frame skin data for it.
  void UseSkin(const std::string& aName) {
    fManager->SetSkinName(aName);
    fData = std::make_unique<TsScrollWndData>(fOwner.get(), true);
    fData->COC = cocForm;
    fData->SetSkinSection("FORM");
    fData->Loaded();
    fTitle.ResetForSkin();
    fLayout = {};
  }

  // A form with a single border (3-pixel dialog frame, 19-pixel caption),
  // the close, maximize and minimize buttons and no icon.
  TsFrameView SingleView(int aWidth, int aHeight, bool aActive = true) {
    TsFrameView view;
    view.Form.BorderStyle = bsSingle;
    view.Form.Style = platform::WS_CAPTION | platform::WS_SYSMENU | platform::WS_MINIMIZEBOX |
                      platform::WS_MAXIMIZEBOX;
    view.Form.Size = {aWidth, aHeight};
    view.Form.ShowAppIcon = false;
    view.ClientSize = {aWidth - 6, aHeight - 3 - 19 - 3};
    view.Active = aActive;
    view.CaptionFont = fFont;
    return view;
  }

  // Rebuilds the cache and returns a copy of it.
  platform::Bitmap Paint(const TsFrameView& aView) {
    fData->BGChanged = true;
    PaintAll(*fData, fTitle, aView, fLayout);
    return *fData->CacheBmp();
  }

  std::unique_ptr<TTestFrame> fOwner;
  std::unique_ptr<TsScrollWndData> fData;
  TsTitleBarData fTitle;
  TqcFrameLayout fLayout;
  platform::HFONT fFont = nullptr;
};
