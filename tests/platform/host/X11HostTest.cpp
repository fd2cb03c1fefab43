// The X11 host on an Xvfb server of the test's own, driven by xdotool.

#include "platform/host/X11Host.h"

#include "platform/gfx/Drawing.h"
#include "platform/host/DisplayScale.h"
#include "platform/host/ScreenComposer.h"
#include "support/PixelCheck.h"
#include "support/WinTestSupport.h"
#include "support/XvfbServer.h"

#include <cstdlib>
#include <gtest/gtest.h>

// Xlib after the test framework: it defines macros such as None.
// clang-format off
#include <X11/Xlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/shape.h>
// clang-format on

using namespace platform;
using namespace wintest;

namespace {

class X11HostTest : public ::testing::Test {
protected:
  X11HostTest() = default;
  explicit X11HostTest(const std::vector<std::string>& aServerArgs, int aScale = 1)
      : fServer(1024, 768, aServerArgs), fScale(aScale) {}

  void SetUp() override {
    Reset();
    if (!fServer.Running())
      GTEST_SKIP() << "no X server for the test: " << fServer.Why();
    std::string error;
    fHost = X11Host::Open(fServer.Display().c_str(), error, fScale);
    ASSERT_TRUE(fHost) << error;
    fProbe = XOpenDisplay(fServer.Display().c_str());
    ASSERT_TRUE(fProbe);
    // Paint client areas in the colour held as user data.
    Log::Get().Override = [](HWND aWnd, UINT aMsg, WPARAM aWParam, LPARAM, LRESULT& aAnswer) {
      if (aMsg != WM_ERASEBKGND || !GetWindowLongPtrW(aWnd, GWLP_USERDATA))
        return false;
      RECT r;
      GetClientRect(aWnd, &r);
      FillSolidRect(reinterpret_cast<HDC>(aWParam), &r,
                    COLORREF(GetWindowLongPtrW(aWnd, GWLP_USERDATA)));
      aAnswer = 1;
      return true;
    };
  }
  void TearDown() override {
    Reset();
    if (fProbe)
      XCloseDisplay(fProbe);
    fHost.reset();
  }
  // Runs the loop until aDone or five seconds pass.
  bool Until(const std::function<bool()>& aDone) { return PumpUntil(aDone, 5000); }
  // Where the X server has the window (root coordinates).
  TRect XGeometry(HWND aWnd) {
    fHost->Sync();
    ::Window win = fHost->NativeWindow(aWnd), root = 0, child = 0;
    int x = 0, y = 0, rx = 0, ry = 0;
    unsigned w = 0, h = 0, border = 0, depth = 0;
    XGetGeometry(fProbe, win, &root, &x, &y, &w, &h, &border, &depth);
    XTranslateCoordinates(fProbe, win, root, 0, 0, &rx, &ry, &child);
    return Bounds(rx, ry, int(w), int(h));
  }
  void Settle() {
    PumpUntilIdle();
    fHost->Sync();
    PumpUntilIdle();
  }
  // The window's bounding shape on the X server.
  platform::Region XShape(HWND aWnd) {
    int count = 0, ordering = 0;
    XRectangle* rects =
        XShapeGetRectangles(fProbe, fHost->NativeWindow(aWnd), ShapeBounding, &count, &ordering);
    std::vector<TRect> got;
    for (int i = 0; i < count; ++i)
      got.push_back(Bounds(rects[i].x, rects[i].y, rects[i].width, rects[i].height));
    XFree(rects);
    return platform::Region::FromRects(got);
  }
  // Clicks at screen point (aX, aY) of the X server and returns the button
  // press the layer got (no window: none came).
  Record ClickOnServer(int aX, int aY) {
    Log::Get().Clear();
    if (fServer.Xdotool("mousemove " + std::to_string(aX) + " " + std::to_string(aY) +
                        " click 1") != 0 ||
        !Until([] { return Log::Get().Last(WM_LBUTTONUP).Wnd != nullptr; }))
      return {};
    return Log::Get().Last(WM_LBUTTONDOWN);
  }

  XvfbServer fServer;
  int fScale = 1;
  std::unique_ptr<X11Host> fHost;
  Display* fProbe = nullptr;
};

TEST_F(X11HostTest, WindowAppearsAtItsPositionAndSize) {
  HWND a = Make("A", WS_OVERLAPPEDWINDOW | WS_VISIBLE, Bounds(100, 80, 300, 200));
  Settle();
  EXPECT_EQ(XGeometry(a), Bounds(100, 80, 300, 200));
  XWindowAttributes attrs;
  XGetWindowAttributes(fProbe, fHost->NativeWindow(a), &attrs);
  EXPECT_EQ(attrs.map_state, IsViewable);
  char* name = nullptr;
  XFetchName(fProbe, fHost->NativeWindow(a), &name);
  EXPECT_STREQ(name, "A");
  XFree(name);
  SetWindowTextW(a, "Monitor – Gerät");
  Settle();
  XFetchName(fProbe, fHost->NativeWindow(a), &name);
  EXPECT_STREQ(name, "Monitor – Gerät") << "the title follows the window text";
  XFree(name);
  MoveWindow(a, 150, 90, 320, 210, TRUE);
  Settle();
  EXPECT_EQ(XGeometry(a), Bounds(150, 90, 320, 210));
  ShowWindow(a, SW_HIDE);
  Settle();
  XGetWindowAttributes(fProbe, fHost->NativeWindow(a), &attrs);
  EXPECT_EQ(attrs.map_state, IsUnmapped);
}

TEST_F(X11HostTest, ClickReachesTheWindowItHits) {
  HWND a = Make("A", WS_POPUP | WS_VISIBLE, Bounds(50, 50, 200, 150));
  HWND c = Make("C", WS_CHILD | WS_VISIBLE, Bounds(20, 30, 60, 40), a);
  HWND b = Make("B", WS_POPUP | WS_VISIBLE, Bounds(400, 50, 100, 100));
  Settle();
  const Record down = ClickOnServer(95, 95);
  EXPECT_EQ(down.Wnd, c);
  EXPECT_EQ(GET_X_LPARAM(down.LParam), 95 - 70);
  EXPECT_EQ(GET_Y_LPARAM(down.LParam), 95 - 80);
  EXPECT_EQ(ClickOnServer(450, 100).Wnd, b);
  EXPECT_EQ(GetActiveWindow(), b) << "the click activates";
  // Keys reach the focus with their text.
  Log::Get().Clear();
  ASSERT_EQ(fServer.Xdotool("key a"), 0);
  ASSERT_TRUE(Until([] { return Log::Get().Last(WM_KEYUP).Wnd != nullptr; }));
  EXPECT_EQ(Log::Get().Last(WM_CHAR).WParam, WPARAM('a'));
  EXPECT_EQ(Log::Get().Last(WM_KEYDOWN).WParam, WPARAM('A'));
}

TEST_F(X11HostTest, CaptionDragMovesTheWindow) {
  HWND a = Make("A", WS_OVERLAPPEDWINDOW | WS_VISIBLE, Bounds(100, 100, 300, 200));
  Settle();
  ASSERT_EQ(fServer.Xdotool("mousemove 200 110 mousedown 1 mousemove 230 130 mousemove 260 150 "
                            "mouseup 1"),
            0);
  ASSERT_TRUE(Until([&] {
    RECT r;
    GetWindowRect(a, &r);
    return r.Left == 160 && r.Top == 140;
  }));
  Settle();
  EXPECT_EQ(XGeometry(a), Bounds(160, 140, 300, 200));
}

TEST_F(X11HostTest, ShapeFollowsTheWindowRegion) {
  HWND a = Make("A", WS_POPUP | WS_VISIBLE, Bounds(10, 10, 100, 80));
  HRGN rgn = CreateRectRgn(0, 0, 100, 40);
  HRGN lower = CreateRectRgn(20, 40, 80, 80);
  CombineRgn(rgn, rgn, lower, RGN_OR);
  DeleteObject(lower);
  const platform::Region expected = *rgn;
  SetWindowRgn(a, rgn, TRUE);
  Settle();
  EXPECT_EQ(XShape(a), expected);
  SetWindowRgn(a, nullptr, TRUE);
  Settle();
  int count = 0, ordering = 0;
  XRectangle* rects =
      XShapeGetRectangles(fProbe, fHost->NativeWindow(a), ShapeBounding, &count, &ordering);
  ASSERT_EQ(count, 1);
  EXPECT_EQ(Bounds(rects[0].x, rects[0].y, rects[0].width, rects[0].height), Bounds(0, 0, 100, 80));
  XFree(rects);
}

// Pixels of the window's visible area whose block of aScale x aScale pixels
// on the X server's screen differs from the composed rendering.
int Mismatches(Display* aProbe, HWND aWnd, int aScale = 1) {
  const Bitmap composed = ComposeScreen(GetWindowHost()->ScreenSize(), false);
  RECT r;
  GetWindowRect(aWnd, &r);
  platform::Region visible(TRect{0, 0, r.Width(), r.Height()});
  platform::Region shape;
  if (GetWindowRgn(aWnd, &shape) != ERROR)
    visible = visible.Intersect(shape);
  XImage* shot =
      XGetImage(aProbe, DefaultRootWindow(aProbe), r.Left * aScale, r.Top * aScale,
                unsigned(r.Width() * aScale), unsigned(r.Height() * aScale), AllPlanes, ZPixmap);
  if (!shot)
    return -1;
  int bad = 0;
  for (const TRect& band : visible.Rects())
    for (int y = band.Top * aScale; y < band.Bottom * aScale; ++y)
      for (int x = band.Left * aScale; x < band.Right * aScale; ++x)
        bad += (XGetPixel(shot, x, y) & 0xFFFFFF) !=
               (composed.Pixel(r.Left + x / aScale, r.Top + y / aScale) & 0xFFFFFF);
  XDestroyImage(shot);
  return bad;
}

TEST_F(X11HostTest, MovedByOthersTheLayerFollowsAndUncoveredPartsAreRepainted) {
  HWND a = Make("A", WS_POPUP | WS_VISIBLE | WS_BORDER, Bounds(50, 50, 200, 150));
  SetWindowLongPtrW(a, GWLP_USERDATA, LONG_PTR(RGB(200, 30, 30)));
  HWND b = Make("B", WS_POPUP | WS_VISIBLE, Bounds(100, 100, 100, 80));
  SetWindowLongPtrW(b, GWLP_USERDATA, LONG_PTR(RGB(30, 30, 200)));
  RedrawWindow(nullptr, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  Settle();
  // Another client moves B away: the layer learns the new place from the
  // configure event, and A's uncovered part comes back from A's frame.
  const std::string id = std::to_string(fHost->NativeWindow(b));
  ASSERT_EQ(fServer.Xdotool("windowmove " + id + " 500 400"), 0);
  ASSERT_TRUE(Until([&] {
    RECT r;
    GetWindowRect(b, &r);
    return r.Left == 500 && r.Top == 400;
  }));
  Settle();
  EXPECT_EQ(Mismatches(fProbe, a), 0);
  EXPECT_EQ(Mismatches(fProbe, b), 0);
}

TEST_F(X11HostTest, ScreenImageEqualsTheHeadlessRendering) {
  HWND a = Make("Monitor", WS_OVERLAPPEDWINDOW | WS_VISIBLE, Bounds(40, 30, 320, 220));
  SetWindowLongPtrW(a, GWLP_USERDATA, LONG_PTR(RGB(10, 120, 200)));
  HWND c =
      Make("C", WS_CHILD | WS_VISIBLE | WS_BORDER, Bounds(20, 20, 100, 60), a, WS_EX_CLIENTEDGE);
  SetWindowLongPtrW(c, GWLP_USERDATA, LONG_PTR(RGB(250, 240, 10)));
  HWND b = Make("B", WS_POPUP | WS_VISIBLE | WS_DLGFRAME, Bounds(300, 150, 150, 100));
  SetWindowLongPtrW(b, GWLP_USERDATA, LONG_PTR(RGB(0, 90, 0)));
  SetWindowRgn(b, CreateRectRgn(0, 0, 120, 100), FALSE);
  RedrawWindow(nullptr, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  Settle();
  const Bitmap composed = ComposeScreen(fHost->ScreenSize(), false);
  XImage* shot = XGetImage(fProbe, DefaultRootWindow(fProbe), 0, 0, 1024, 768, AllPlanes, ZPixmap);
  ASSERT_TRUE(shot);
  // Compare where windows are: the server's own root background is not ours,
  // so outside the windows the screen image takes the composed pixels.
  Bitmap actual = composed;
  for (HWND w : {a, b}) {
    RECT r;
    GetWindowRect(w, &r);
    platform::Region area(r);
    platform::Region shape;
    if (GetWindowRgn(w, &shape) != ERROR) {
      shape.Offset(r.Left, r.Top);
      area = area.Intersect(shape);
    }
    for (const TRect& band : area.Rects())
      for (int y = band.Top; y < band.Bottom; ++y)
        for (int x = band.Left; x < band.Right; ++x)
          actual.SetPixel(x, y, std::uint32_t(XGetPixel(shot, x, y)) | 0xFF000000u);
  }
  XDestroyImage(shot);
  EXPECT_TRUE(
      pixelcheck::SameBitmap(actual, composed, "x11-screen", pixelcheck::TPixelMatch::ColorOnly));
  EXPECT_FALSE(fHost->LayeredSupported()) << "Xvfb runs no compositor";
}

// The work area is the window manager's _NET_WORKAREA entry for the current
// desktop, cut to the screen; without one it is the whole screen (1024 x 768).
TEST_F(X11HostTest, WorkAreaFollowsTheWindowManager) {
  const ::Window root = DefaultRootWindow(fProbe);
  const Atom workArea = XInternAtom(fProbe, "_NET_WORKAREA", False);
  const Atom desktop = XInternAtom(fProbe, "_NET_CURRENT_DESKTOP", False);
  auto set = [&](Atom aProperty, std::vector<long> aValues) {
    XChangeProperty(fProbe, root, aProperty, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(aValues.data()), int(aValues.size()));
    XSync(fProbe, False);
  };
  auto workAreaNow = [] {
    RECT r{};
    EXPECT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0));
    return r;
  };
  EXPECT_EQ(fHost->WorkArea(), (TRect{0, 0, 1024, 768}));
  const struct {
    std::vector<long> Areas;
    long Desktop;
    TRect Expected;
  } rows[] = {
      {{0, 0, 1024, 740}, 0, {0, 0, 1024, 740}},                    // panel at the bottom
      {{0, 28, 1024, 740, 60, 0, 964, 768}, 1, {60, 0, 1024, 768}}, // second desktop
      {{0, 28, 1024, 740}, 3, {0, 28, 1024, 768}},                  // no entry: the first
      {{-10, 0, 2000, 900}, 0, {0, 0, 1024, 768}},                  // cut to the screen
      {{0, 0, 0, 0}, 0, {0, 0, 1024, 768}},                         // empty: the screen
  };
  for (const auto& r : rows) {
    set(workArea, r.Areas);
    set(desktop, {r.Desktop});
    EXPECT_EQ(fHost->WorkArea(), r.Expected) << r.Areas[0] << "," << r.Areas[1];
    EXPECT_EQ(workAreaNow(), r.Expected);
  }
}

// A stand-in window manager on the probe connection: it takes the root's
// substructure redirection, announces the move-resize request, maps and
// configures what clients ask for and keeps the move-resize requests it gets.
class FakeWindowManager {
public:
  explicit FakeWindowManager(Display* aDpy) : fDpy(aDpy) {
    const ::Window root = DefaultRootWindow(fDpy);
    fMoveResize = XInternAtom(fDpy, "_NET_WM_MOVERESIZE", False);
    XChangeProperty(fDpy, root, XInternAtom(fDpy, "_NET_SUPPORTED", False), XA_ATOM, 32,
                    PropModeReplace, reinterpret_cast<unsigned char*>(&fMoveResize), 1);
    XSelectInput(fDpy, root, SubstructureRedirectMask | SubstructureNotifyMask);
    XSync(fDpy, False);
  }
  // Handles what has arrived.
  void Run() {
    XSync(fDpy, False);
    while (XPending(fDpy) > 0) {
      XEvent ev;
      XNextEvent(fDpy, &ev);
      if (ev.type == MapRequest) {
        XMapWindow(fDpy, ev.xmaprequest.window);
      } else if (ev.type == ConfigureRequest) {
        const XConfigureRequestEvent& r = ev.xconfigurerequest;
        XWindowChanges changes{r.x, r.y, r.width, r.height, r.border_width, r.above, r.detail};
        XConfigureWindow(fDpy, r.window, unsigned(r.value_mask), &changes);
      } else if (ev.type == ClientMessage && ev.xclient.message_type == fMoveResize) {
        Requests.push_back(ev.xclient);
      }
    }
    XSync(fDpy, False);
  }
  std::vector<XClientMessageEvent> Requests;

private:
  Display* fDpy;
  Atom fMoveResize = 0;
};

TEST_F(X11HostTest, WithAWindowManagerMovingAndSizingAreAskedOfIt) {
  FakeWindowManager wm(fProbe);
  // The host learns what the window manager offers when it opens.
  fHost.reset();
  std::string error;
  fHost = X11Host::Open(fServer.Display().c_str(), error);
  ASSERT_TRUE(fHost) << error;
  // The window manager's events arrive on the probe connection, which the
  // layer's loop does not wait on: look at it every 20 ms, for five seconds.
  const auto untilWm = [&](const std::function<bool()>& aDone) {
    const auto step = [&] {
      wm.Run();
      return aDone();
    };
    for (int i = 0; i < 250; ++i)
      if (PumpUntil(step, 20))
        return true;
    return false;
  };
  HWND a = Make("A", WS_OVERLAPPEDWINDOW | WS_VISIBLE, Bounds(100, 100, 300, 200));
  ASSERT_TRUE(untilWm([&] {
    XWindowAttributes attrs;
    XGetWindowAttributes(fProbe, fHost->NativeWindow(a), &attrs);
    return attrs.map_state == IsViewable;
  }));
  Settle();
  RECT r;
  GetWindowRect(a, &r);
  // _NET_WM_MOVERESIZE directions: 8 move, 4 bottom-right, 0 top-left.
  const struct {
    int X, Y;
    long Direction;
  } cases[] = {
      {r.Left + 100, r.Top + 10, 8}, {r.Right - 2, r.Bottom - 2, 4}, {r.Left + 1, r.Top + 1, 0}};
  for (const auto& c : cases) {
    wm.Requests.clear();
    ASSERT_EQ(fServer.Xdotool("mousemove " + std::to_string(c.X) + " " + std::to_string(c.Y) +
                              " mousedown 1"),
              0);
    ASSERT_TRUE(untilWm([&] { return !wm.Requests.empty(); })) << "direction " << c.Direction;
    const XClientMessageEvent& request = wm.Requests.front();
    EXPECT_EQ(request.window, fHost->NativeWindow(a));
    EXPECT_EQ(request.data.l[0], c.X);
    EXPECT_EQ(request.data.l[1], c.Y);
    EXPECT_EQ(request.data.l[2], c.Direction);
    EXPECT_EQ(request.data.l[3], long(Button1));
    ASSERT_EQ(fServer.Xdotool("mouseup 1"), 0);
    Settle();
    // The window manager runs the drag: the layer is not left in a loop of
    // its own, holding the mouse.
    EXPECT_EQ(GetCapture(), nullptr);
    GetWindowRect(a, &r);
    EXPECT_EQ(r, Bounds(100, 100, 300, 200)) << "the layer itself moved nothing";
  }
}

// A server without shared memory: frames take the plain XPutImage path and
// reach the screen the same.
class X11PlainImageTest : public X11HostTest {
protected:
  X11PlainImageTest() : X11HostTest({"-extension", "MIT-SHM"}) {}
};

TEST_F(X11PlainImageTest, FramesReachTheScreenWithoutSharedMemory) {
  EXPECT_FALSE(fHost->UsesSharedMemory());
  HWND a = Make("A", WS_OVERLAPPEDWINDOW | WS_VISIBLE, Bounds(30, 40, 732, 351));
  SetWindowLongPtrW(a, GWLP_USERDATA, LONG_PTR(RGB(10, 120, 200)));
  HWND c = Make("C", WS_CHILD | WS_VISIBLE | WS_BORDER, Bounds(20, 20, 100, 60), a);
  SetWindowLongPtrW(c, GWLP_USERDATA, LONG_PTR(RGB(250, 240, 10)));
  RedrawWindow(nullptr, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  Settle();
  EXPECT_EQ(Mismatches(fProbe, a), 0);
  // A partial update goes through the same path.
  SetWindowLongPtrW(c, GWLP_USERDATA, LONG_PTR(RGB(0, 90, 0)));
  RedrawWindow(c, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
  Settle();
  EXPECT_EQ(Mismatches(fProbe, a), 0);
}

// A host that shows every window twice as large, through shared memory
// (true) and through plain XPutImage (false).
class X11ScaledHostTest : public X11HostTest, public ::testing::WithParamInterface<bool> {
protected:
  X11ScaledHostTest()
      : X11HostTest(GetParam() ? std::vector<std::string>{}
                               : std::vector<std::string>{"-extension", "MIT-SHM"},
                    2) {}
};

INSTANTIATE_TEST_SUITE_P(SharedMemory, X11ScaledHostTest, ::testing::Values(true, false));

TEST_P(X11ScaledHostTest, EveryPixelShowsAsATwoByTwoBlockOfTheUnscaledImage) {
  EXPECT_EQ(fHost->UsesSharedMemory(), GetParam());
  EXPECT_EQ(fHost->Scale(), 2);
  // The layer works on the screen in unscaled pixels.
  EXPECT_EQ(fHost->ScreenSize(), (TSize{512, 384}));
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 512);
  HWND a = Make("Monitor", WS_OVERLAPPEDWINDOW | WS_VISIBLE, Bounds(40, 30, 320, 220));
  SetWindowLongPtrW(a, GWLP_USERDATA, LONG_PTR(RGB(10, 120, 200)));
  HWND c =
      Make("C", WS_CHILD | WS_VISIBLE | WS_BORDER, Bounds(20, 20, 100, 60), a, WS_EX_CLIENTEDGE);
  SetWindowLongPtrW(c, GWLP_USERDATA, LONG_PTR(RGB(250, 240, 10)));
  HRGN notched = CreateRectRgn(0, 0, 320, 220);
  HRGN notch = CreateRectRgn(0, 0, 7, 3);
  CombineRgn(notched, notched, notch, RGN_DIFF);
  DeleteObject(notch);
  const platform::Region shape = *notched;
  SetWindowRgn(a, notched, FALSE);
  RedrawWindow(nullptr, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  Settle();
  EXPECT_EQ(XGeometry(a), Bounds(80, 60, 640, 440));

  std::vector<TRect> doubled;
  for (const TRect& r : shape.Rects())
    doubled.push_back({r.Left * 2, r.Top * 2, r.Right * 2, r.Bottom * 2});
  EXPECT_EQ(XShape(a), platform::Region::FromRects(doubled));

  EXPECT_EQ(Mismatches(fProbe, a, 2), 0);

  // A partial update reaches the same blocks.
  SetWindowLongPtrW(c, GWLP_USERDATA, LONG_PTR(RGB(0, 90, 0)));
  RedrawWindow(c, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
  Settle();
  EXPECT_EQ(Mismatches(fProbe, a, 2), 0);
}

TEST_P(X11ScaledHostTest, PointerAndWorkAreaAreInUnscaledPixels) {
  HWND a = Make("A", WS_POPUP | WS_VISIBLE, Bounds(50, 50, 200, 150));
  HWND c = Make("C", WS_CHILD | WS_VISIBLE, Bounds(20, 30, 60, 40), a);
  Settle();
  // Screen pixel (191, 191) lies in the block of unscaled pixel (95, 95).
  const Record down = ClickOnServer(191, 191);
  EXPECT_EQ(down.Wnd, c);
  EXPECT_EQ(GET_X_LPARAM(down.LParam), 95 - 70);
  EXPECT_EQ(GET_Y_LPARAM(down.LParam), 95 - 80);

  // The layer's work area: the unscaled pixels wholly inside the window
  // manager's one.
  const Atom workArea = XInternAtom(fProbe, "_NET_WORKAREA", False);
  std::vector<long> area{1, 28, 1023, 711};
  XChangeProperty(fProbe, DefaultRootWindow(fProbe), workArea, XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(area.data()), int(area.size()));
  XSync(fProbe, False);
  EXPECT_EQ(fHost->WorkArea(), (TRect{1, 14, 512, 369}));
}

// "auto": GDK_SCALE decides when set, else the X resource Xft.dpi the
// desktop published on the root window (read when the display is opened).
TEST_F(X11HostTest, AutoScaleFollowsGdkScaleThenXftDpi) {
  const char* before = std::getenv("GDK_SCALE");
  const std::string saved = before ? before : "";
  const std::string resources = "Xft.antialias:\t1\nXft.dpi:\t192\n";
  XChangeProperty(fProbe, DefaultRootWindow(fProbe), XA_RESOURCE_MANAGER, XA_STRING, 8,
                  PropModeReplace, reinterpret_cast<const unsigned char*>(resources.data()),
                  int(resources.size()));
  XSync(fProbe, False);
  const struct {
    const char* GdkScale;
    int Expected;
  } rows[] = {{nullptr, 2}, {"3", 3}, {"1", 1}};
  for (const auto& r : rows) {
    if (r.GdkScale)
      setenv("GDK_SCALE", r.GdkScale, 1);
    else
      unsetenv("GDK_SCALE");
    fHost.reset();
    std::string error;
    fHost = X11Host::Open(fServer.Display().c_str(), error, AutoDisplayScale);
    ASSERT_TRUE(fHost) << error;
    EXPECT_EQ(fHost->Scale(), r.Expected) << (r.GdkScale ? r.GdkScale : "unset");
    EXPECT_EQ(fHost->ScreenSize(), (TSize{1024 / r.Expected, 768 / r.Expected}));
  }
  if (before)
    setenv("GDK_SCALE", saved.c_str(), 1);
  else
    unsetenv("GDK_SCALE");
}

} // namespace
