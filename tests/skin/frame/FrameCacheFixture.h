#pragma once
// A headless form with a frame cache: the skin data a frame provider owns
// (section FORM, owned through a frame owner), its title-bar state and
// layout, over the small frame skin "F" below or the built-in skin.
//
// Skin "F": GLOBALINFO with BIRIGHT 2, BILEFT 3, BISPACE 1, BIVALIGN 0 and
// the large caption-button images, each three 12 x 10 frames (normal, hot,
// pressed) of one colour with a key pixel in the top-left corner; FORM plain
// with a 2-pixel border mask of one colour; FORMTITLE plain in two states
// with their font colours; no glow unless asked for.

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

// The pixel of frame aFrame (0 normal, 1 hot, 2 pressed) of a button image.
inline std::uint32_t ButtonPixel(TFrameImage aImage, int aFrame) {
  return pixelcheck::Px(40 + 50 * std::uint32_t(aImage), 60 + 60 * std::uint32_t(aFrame), 200);
}

inline std::string FrameSkinOptions(int aGlowSize) {
  const auto n = [](TColor aColor) { return std::to_string(aColor); };
  return "[GLOBALINFO]\nVERSION=8.00\nMASTERBITMAP=MASTER.BMP\nCOLOR=" + n(kFormColor) +
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

class TTestFrameOwner : public TsFrameOwner {
public:
  explicit TTestFrameOwner(TForm* aForm) : fForm(aForm) {}
  TForm* FramedForm() const override { return fForm; }
  bool PaintsCustomFrame() const override { return false; }
  std::string OwnerClassName() const override { return "TTestFrameOwner"; }

private:
  TForm* fForm;
};

class FrameCacheTest : public SkinDataTest {
protected:
  void SetUp() override {
    SkinDataTest::SetUp();
    fOwner = std::make_unique<TTestFrameOwner>(fForm);
    AddFrameSkin("F", FrameSkinOptions(0));
    AddFrameSkin("G", FrameSkinOptions(2));
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
    fData->RefreshPlainState(false);
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

  std::unique_ptr<TTestFrameOwner> fOwner;
  std::unique_ptr<TsScrollWndData> fData;
  TsTitleBarData fTitle;
  TqcFrameLayout fLayout;
  platform::HFONT fFont = nullptr;
};
