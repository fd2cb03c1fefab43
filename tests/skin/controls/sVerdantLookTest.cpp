// The monitor window's page, its tab and its status bar with the built-in
// skin, written as PNG files to the build's test-output folder for a look.

#include "SkinDataFixture.h"
#include "platform/gfx/PngCodec.h"
#include "platform/host/ScreenComposer.h"
#include "platform/win/Input.h"
#include "platform/win/Paint.h"
#include "skin/controls/qcEditWnd.h"
#include "skin/controls/qcScrollTracking.h"
#include "skin/controls/sPageControl.h"
#include "skin/controls/sPanel.h"
#include "skin/controls/sStatusBar.h"
#include "skin/data/sVerdantSkin.h"
#include "toolkit/ListBox.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

class VerdantLookTest : public SkinDataTest {
protected:
  void SetUp() override {
    SkinDataTest::SetUp();
    auto& verdant = fManager->InternalSkins.Add();
    verdant.SetName(VerdantSkinName);
    const auto data = VerdantSkinData();
    verdant.ReadData(data.data(), data.size());
    fManager->SetSkinName(VerdantSkinName);
    fForm->SetBorderStyle(bsToolWindow);
    fForm->SetClientWidth(732);
    fForm->SetClientHeight(351);
    platform::PumpUntilIdle();
  }

  static void Save(const platform::Bitmap& aImage, const std::string& aName) {
    const auto folder = std::filesystem::path(MM_BINARY_DIR) / "test-output";
    std::filesystem::create_directories(folder);
    EXPECT_TRUE(platform::SavePngFile(aImage, (folder / aName).string()).Ok());
  }
};

TEST_F(VerdantLookTest, TheMonitorsPageWithItsTabAndStatusBar) {
  TsPageControl* pages = nullptr;
  TsStatusBar* bar = nullptr;
  {
    TLoadingBracket bracket;
    pages = new TsPageControl(fForm);
    pages->SetParent(fForm);
    pages->SetBounds(0, 0, 732, 351);
    pages->SetAlign(alClient);
    pages->SetStyle(tsButtons);
    pages->SetHotTrack(true);
    auto* inOut = new TsTabSheet(fForm);
    inOut->SetPageControl(pages);
    inOut->SetCaption("In/Out");
    auto* log = new TsTabSheet(fForm);
    log->SetPageControl(pages);
    log->SetCaption("Log");
    pages->SetActivePage(inOut);
    bar = new TsStatusBar(fForm);
    bar->SetParent(inOut);
    bar->SetBounds(0, 301, 724, 19);
    bar->SetAlign(alBottom);
    bar->Panels().Add().SetWidth(50);
  }
  bar->Panels()[0].SetText("Port 1: Note on  Kanal 1  C4  Velocity 100");
  platform::PumpUntilIdle();
  ASSERT_TRUE(pages->SkinPaints());
  ASSERT_TRUE(bar->SkinData.Skinned());
  platform::RedrawWindow(fForm->Handle(), nullptr, nullptr,
                         platform::RDW_INVALIDATE | platform::RDW_ERASE | platform::RDW_FRAME |
                             platform::RDW_ALLCHILDREN | platform::RDW_UPDATENOW);
  platform::PumpUntilIdle();
  Save(platform::CaptureWindow(fForm->Handle()), "verdant-monitor-page.png");
  Save(*bar->SkinData.CacheBmp(), "verdant-statusbar.png");
  bar->SetSizeGrip(true);
  platform::PumpUntilIdle();
  Save(*bar->SkinData.CacheBmp(), "verdant-statusbar-grip.png");
  const TRect second = pages->TabRect(1);
  platform::InputMouseMove(pages->ClientToScreen({second.Left + 4, second.Top + 4}));
  platform::PumpUntilIdle();
  EXPECT_EQ(pages->CurItem(), 1);
  Save(*pages->SkinData.CacheBmp(), "verdant-pages-hot.png");
}

} // namespace

// A list of the log's kind (section BUTTON_BIG) on a skinned panel, scrolled
// to its middle, with the pointer over the down arrow of its skinned bar.
TEST_F(VerdantLookTest, AListWithItsSkinnedScrollBar) {
  TsPanel* panel = nullptr;
  {
    TLoadingBracket bracket;
    panel = new TsPanel(fForm);
    panel->SetParent(fForm);
    panel->SetBounds(0, 0, 260, 240);
  }
  auto* list = new TListBox(fForm);
  list->SetParent(panel);
  list->SetBounds(10, 10, 240, 220);
  for (int i = 0; i < 100; ++i)
    list->Items().Add("90, 3C, " + std::to_string(10 + i));
  platform::PumpUntilIdle();
  TqcSkinParams params;
  params.Control = list;
  params.SkinSection = "BUTTON_BIG";
  TqcEditWnd adapter(list->Handle(), nullptr, fManager.get(), params);
  list->SetTopIndex(40);
  list->SetItemIndex(45);
  platform::PumpUntilIdle();
  platform::RECT r;
  platform::GetWindowRect(list->Handle(), &r);
  platform::InputMouseMove({r.Right - 10, r.Bottom - 10});
  platform::PumpUntilIdle();
  platform::RedrawWindow(fForm->Handle(), nullptr, nullptr,
                         platform::RDW_INVALIDATE | platform::RDW_ERASE | platform::RDW_FRAME |
                             platform::RDW_ALLCHILDREN | platform::RDW_UPDATENOW);
  platform::PumpUntilIdle();
  EXPECT_TRUE(adapter.sBarVert.fScrollVisible);
  EXPECT_EQ(ScrollTracking().HotPart, spSecondArrow);
  EXPECT_EQ(list->TopIndex(), 40);
  const platform::Bitmap shot = platform::CaptureWindow(fForm->Handle());
  Save(shot, "verdant-list-scrollbar.png");
  // The bar and the list's right edge four times enlarged.
  platform::RECT form;
  platform::GetWindowRect(fForm->Handle(), &form);
  const TRect bar{r.Right - 30 - form.Left, r.Top - form.Top, r.Right - form.Left,
                  r.Bottom - form.Top};
  platform::Bitmap zoom(bar.Width() * 4, bar.Height() * 4);
  for (int y = 0; y < zoom.Height(); ++y)
    for (int x = 0; x < zoom.Width(); ++x)
      zoom.SetPixel(x, y, shot.Pixel(bar.Left + x / 4, bar.Top + y / 4));
  Save(zoom, "verdant-list-scrollbar-zoom.png");
}
