#include "skin/controls/sControlPaint.h"

#include "SkinDataFixture.h"
#include "platform/gfx/Raster.h"
#include "support/PixelCheck.h"
#include "toolkit/Label.h"

#include <gtest/gtest.h>

namespace {

using ControlPaintTest = SkinDataTest;

TEST_F(ControlPaintTest, ChildrenAreToldToRepaintOnlyWhereTheyShow) {
  TsTestPanel* parent = Panel(fForm, "PANEL", {0, 0, 200, 150});
  TsTestPanel* shown = Panel(parent, "PANEL", {0, 0, 20, 20});
  TsTestPanel* hidden = Panel(parent, "PANEL", {30, 0, 20, 20});
  hidden->SetVisible(false);
  platform::PumpUntilIdle();
  shown->Received.clear();
  hidden->Received.clear();
  RepaintChildrenAfterParent(parent);
  RepaintChildrenAfterParent(parent);
  EXPECT_EQ(shown->Received[scRepaintChildren], 2);
  EXPECT_EQ(hidden->Received[scRepaintChildren], 0);
}

TEST_F(ControlPaintTest, WindowlessChildrenPaintOverWhatTheParentShows) {
  TsTestPanel* parent = Panel(fForm, "GRAD", {0, 0, 60, 40});
  auto* label = new TLabel(parent);
  label->SetParent(parent);
  label->SetAutoSize(false);
  label->SetTransparent(true);
  label->SetBounds(5, 6, 10, 8);
  platform::PumpUntilIdle();
  platform::Bitmap target = pixelcheck::Filled(60, 40, 0xFF000000u);
  pixelcheck::DCHolder dc(platform::CreateCompatibleDC(nullptr));
  platform::SelectObject(dc.get(), &target);
  PaintGraphicChildren(dc.get(), parent);
  // A transparent label without text shows the parent's cache behind it, nothing else.
  platform::Bitmap expected = pixelcheck::Filled(60, 40, 0xFF000000u);
  pixelcheck::Paint(expected, Bounds(5, 6, 10, 8), platform::raster::PixelOf(parent->CacheColor));
  EXPECT_TRUE(pixelcheck::SameBitmap(target, expected, "graphic-children"));
}

} // namespace
