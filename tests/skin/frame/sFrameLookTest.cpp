// Whole frame caches with the built-in skin, written as PNG files to the
// build's test-output folder for a look: a 500 x 400 form with close,
// maximize and minimize buttons, and the monitor's tool window, each active
// and inactive.

#include "FrameCacheFixture.h"
#include "platform/gfx/PngCodec.h"
#include "platform/gfx/Raster.h"

#include <filesystem>

namespace {

class FrameLookTest : public FrameCacheTest {
protected:
  void SetUp() override {
    FrameCacheTest::SetUp();
    UseSkin(VerdantSkinName);
    // The platform's caption font: the GUI face, bold.
    platform::LOGFONTW font;
    font.lfHeight = platform::DefaultGuiFontHeight;
    font.lfWeight = platform::FW_BOLD;
    font.lfFaceName = platform::DefaultGuiFaceName;
    fCaptionFont = platform::CreateFontIndirectW(&font);
  }
  void TearDown() override {
    platform::DeleteObject(fCaptionFont);
    FrameCacheTest::TearDown();
  }
  platform::HFONT fCaptionFont = nullptr;

  static void Save(const platform::Bitmap& aImage, const std::string& aName) {
    const auto folder = std::filesystem::path(MM_BINARY_DIR) / "test-output";
    std::filesystem::create_directories(folder);
    EXPECT_TRUE(platform::SavePngFile(aImage, (folder / aName).string()).Ok());
  }
  // The cache as the window shows it over a blue desktop: what the window
  // region cuts out of the corners shows the desktop.
  platform::Bitmap OnDesktop(const platform::Bitmap& aCache, const TsFrameView& aView) {
    platform::Bitmap shown = aCache;
    const std::vector<TRect> cutouts = BuildCornerCutouts(
        *fManager, fData->BorderIndex, fTitle.TitleSkin, aCache.Width(), aCache.Height());
    const platform::Region region = WindowRegion(aView.Form, cutouts);
    for (int y = 0; y < shown.Height(); ++y)
      for (int x = 0; x < shown.Width(); ++x)
        if (!region.Contains({x, y}))
          shown.SetPixel(x, y, pixelcheck::Px(58, 110, 165));
    return shown;
  }
  // The ends of the title band enlarged four times, its corners sixteen times.
  static void SaveEnds(const platform::Bitmap& aCache, const std::string& aName) {
    const int w = aCache.Width();
    const struct {
      const char* Part;
      TRect R;
      int Zoom;
    } parts[] = {{"left", {0, 0, 160, 40}, 4},
                 {"right", {w - 160, 0, w, 40}, 4},
                 {"corner-left", {0, 0, 16, 16}, 16},
                 {"corner-right", {w - 16, 0, w, 16}, 16}};
    for (const auto& part : parts) {
      platform::Bitmap zoom(part.R.Width() * part.Zoom, part.R.Height() * part.Zoom);
      platform::raster::Stretch(zoom, zoom.BoundsRect(), zoom.BoundsRect(), aCache, part.R, {});
      Save(zoom, aName + "-" + part.Part + ".png");
    }
  }
};

TEST_F(FrameLookTest, AFormWithThreeButtonsActiveAndInactive) {
  for (const bool active : {true, false}) {
    TsFrameView view = SingleView(500, 400, active);
    view.Caption = "MIDI-Monitor";
    view.CaptionFont = fCaptionFont;
    const platform::Bitmap cache = OnDesktop(Paint(view), view);
    ASSERT_EQ(cache.Width(), 500);
    ASSERT_EQ(cache.Height(), 400);
    const std::string name = active ? "frame-verdant-active" : "frame-verdant-inactive";
    Save(cache, name + ".png");
    SaveEnds(cache, name);
  }
}

TEST_F(FrameLookTest, TheMonitorsToolWindowActiveAndInactive) {
  for (const bool active : {true, false}) {
    TsFrameView view = SingleView(738, 372, active);
    view.Form.BorderStyle = bsToolWindow;
    view.Form.Style = platform::WS_CAPTION | platform::WS_SYSMENU;
    view.Form.SystemMenu.VisibleMax = false;
    view.Form.SystemMenu.VisibleMin = false;
    view.ClientSize = {732, 351};
    view.Caption = "MIDI-Monitor";
    view.CaptionFont = fCaptionFont;
    Save(OnDesktop(Paint(view), view),
         active ? "frame-verdant-tool-active.png" : "frame-verdant-tool-inactive.png");
  }
}

} // namespace
