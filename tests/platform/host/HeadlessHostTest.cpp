// The headless host: screen composition of windows (regions, stacking, layered
// blending), PNG output, injected input, and host selection.

#include "platform/host/HeadlessHost.h"

#include "platform/gfx/DeviceContext.h"
#include "platform/gfx/Drawing.h"
#include "platform/gfx/PngCodec.h"
#include "platform/gfx/Raster.h"
#include "platform/host/Host.h"
#include "platform/win/Layered.h"
#include "support/WinTestSupport.h"

#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

using namespace platform;
using namespace wintest;

namespace {

std::uint32_t Px(COLORREF aColor) {
  return raster::PixelOf(aColor);
}

// Paints every window of the recording class in the colour stored as its
// user data when it erases its background.
void PaintByUserData() {
  Log::Get().Override = [](HWND aWnd, UINT aMsg, WPARAM aWParam, LPARAM, LRESULT& aAnswer) {
    if (aMsg != WM_ERASEBKGND)
      return false;
    RECT r;
    GetClientRect(aWnd, &r);
    FillSolidRect(reinterpret_cast<HDC>(aWParam), &r,
                  COLORREF(GetWindowLongPtrW(aWnd, GWLP_USERDATA)));
    aAnswer = 1;
    return true;
  };
}

HWND Solid(const char* aName, TRect aRect, COLORREF aColor, DWORD aExStyle = 0) {
  HWND h = Make(aName, WS_POPUP, aRect, nullptr, aExStyle);
  SetWindowLongPtrW(h, GWLP_USERDATA, LONG_PTR(aColor));
  ShowWindow(h, SW_SHOWNA);
  return h;
}

class HeadlessHostTest : public ::testing::Test {
protected:
  void SetUp() override {
    Reset();
    PaintByUserData();
  }
  void TearDown() override { Reset(); }
  HeadlessHost fHost{{320, 240}};
};

TEST_F(HeadlessHostTest, ScreenComposesWindowsBottomToTopWithRegions) {
  const COLORREF red = RGB(200, 0, 0), blue = RGB(0, 0, 200);
  Solid("Below", Bounds(10, 10, 100, 100), red);
  HWND above = Solid("Above", Bounds(60, 60, 100, 100), blue);
  SetWindowRgn(above, CreateRectRgn(0, 0, 50, 50), TRUE);
  fHost.PumpUntilIdle();
  const Bitmap screen = fHost.CaptureScreen();
  ASSERT_EQ(screen.Width(), 320);
  ASSERT_EQ(screen.Height(), 240);
  // Expected from the rules: desktop, red square, the blue square's 50 x 50
  // region on top.
  Bitmap expected(320, 240);
  raster::Fill(expected, expected.BoundsRect(), Px(GetSysColor(COLOR_BACKGROUND)));
  raster::Fill(expected, Bounds(10, 10, 100, 100), Px(red));
  raster::Fill(expected, Bounds(60, 60, 50, 50), Px(blue));
  EXPECT_TRUE(screen == expected);
  EXPECT_GT(fHost.PresentCount(), 0);
}

TEST_F(HeadlessHostTest, LayeredWindowsBlendByConstantAndPerPixelAlpha) {
  Solid("White", Bounds(0, 0, 100, 100), RGB(255, 255, 255));
  HWND faded = Solid("Faded", Bounds(0, 0, 50, 50), RGB(0, 0, 0), WS_EX_LAYERED);
  SetLayeredWindowAttributes(faded, 0, 128, LWA_ALPHA);
  HWND glow = Make("Glow", WS_POPUP, Bounds(50, 50, 10, 10), nullptr, WS_EX_LAYERED);
  Bitmap source(10, 10);
  raster::Fill(source, source.BoundsRect(), 0x80800000u); // alpha 128, red 128 (premultiplied)
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, &source);
  const POINT at{50, 50}, zero{0, 0};
  const SIZE size{10, 10};
  BLENDFUNCTION blend;
  blend.AlphaFormat = AC_SRC_ALPHA;
  ShowWindow(glow, SW_SHOWNA);
  // A source rectangle outside the source bitmap is refused.
  const POINT outside{5, 5};
  EXPECT_FALSE(UpdateLayeredWindow(glow, nullptr, &at, &size, dc, &outside, 0, &blend, ULW_ALPHA));
  ASSERT_TRUE(UpdateLayeredWindow(glow, nullptr, &at, &size, dc, &zero, 0, &blend, ULW_ALPHA));
  DeleteDC(dc);
  fHost.PumpUntilIdle();
  const Bitmap screen = fHost.CaptureScreen();
  // 0 * 128/255 + 255 * (255 - 128)/255 = 127.
  EXPECT_EQ(screen.Pixel(10, 10), 0xFF7F7F7Fu);
  // Red: 128 + 255 * 127/255 = 255; green and blue: 127.
  EXPECT_EQ(screen.Pixel(55, 55), 0xFFFF7F7Fu);
  EXPECT_TRUE(LayeredWindowsSupported());
  EXPECT_FALSE(UpdateLayeredWindow(Solid("Plain", Bounds(0, 0, 5, 5), 0), nullptr, nullptr, nullptr,
                                   nullptr, nullptr, 0, nullptr, ULW_ALPHA))
      << "only layered windows";
}

TEST_F(HeadlessHostTest, ScreenshotIsWrittenAsPngAndReadBack) {
  Solid("A", Bounds(20, 30, 40, 50), RGB(1, 2, 3));
  fHost.PumpUntilIdle();
  const std::string path = std::string(MM_BINARY_DIR) + "/headless-screenshot-test.png";
  std::string error;
  ASSERT_TRUE(SaveScreenshot(path, error)) << error;
  std::ifstream in(path, std::ios::binary);
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
  const ImageResult decoded = DecodePng(bytes);
  ASSERT_TRUE(decoded.Ok()) << decoded.Error;
  EXPECT_TRUE(decoded.Image == fHost.CaptureScreen());
  std::remove(path.c_str());
  EXPECT_FALSE(fHost.SaveScreenPng("/nonexistent-folder/x.png", error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(fHost.SaveWindowPng(nullptr, path, error));
}

TEST_F(HeadlessHostTest, InjectedClicksAndDragsReachWindows) {
  HWND a = Make("A", WS_OVERLAPPEDWINDOW | WS_VISIBLE, Bounds(20, 20, 200, 150));
  Log::Get().Clear();
  fHost.Click({100, 100});
  fHost.Drag({100, 28}, {130, 58});
  fHost.PumpUntilIdle();
  EXPECT_FALSE(Log::Get().Only({WM_LBUTTONDOWN}).empty());
  RECT r;
  GetWindowRect(a, &r);
  EXPECT_EQ(r, Bounds(50, 50, 200, 150));
  Log::Get().Clear();
  fHost.Key('Q', U'q');
  fHost.PumpUntilIdle();
  EXPECT_EQ(Log::Get().Last(WM_CHAR).WParam, WPARAM('q'));
}

TEST(HostSelectionTest, HeadlessAlwaysWorksAndAMissingDisplayIsAClearError) {
  std::string error;
  HostOptions headless;
  headless.Kind = HostKind::Headless;
  headless.HeadlessScreen = {640, 480};
  auto host = CreateHost(headless, error);
  ASSERT_TRUE(host);
  EXPECT_EQ(GetWindowHost(), host.get());
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 640);
  RECT work;
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
  EXPECT_EQ(work, Rect(0, 0, 640, 480));
  host.reset();
  HostOptions x11;
  x11.Display = ":987654";
  EXPECT_EQ(CreateHost(x11, error), nullptr);
  EXPECT_NE(error.find(":987654"), std::string::npos) << error;
}

} // namespace
