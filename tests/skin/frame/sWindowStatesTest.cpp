// How an adopted form's frame follows its window state through the window
// layer: the cover over the frame while the platform handles activation and
// caption changes, snapping and the maximized size, the show animation at
// Time 0, the minimize and hide animations on the user-interface thread's
// timer, and printing.

#include "FrameFixture.h"
#include "platform/gfx/DeviceContext.h"
#include "platform/gfx/SystemColors.h"
#include "platform/host/HeadlessHost.h"
#include "platform/host/ScreenComposer.h"
#include "platform/win/DefWindowProc.h"
#include "platform/win/Input.h"
#include "platform/win/Layered.h"
#include "platform/win/WindowHost.h"
#include "skin/data/sSkinBroadcast.h"
#include "skin/frame/qcWindowAnimation.h"
#include "skin/paint/pixels/PixelOps.h"
#include "support/PixelCheck.h"
#include "toolkit/Panel.h"

#include <functional>
#include <thread>
#include <vector>

using namespace platform;

namespace {

// A form that lets a test look at the screen while the provider has passed a
// message on to the form's own handling.
class TWatchedForm : public TForm {
public:
  using TForm::TForm;
  std::function<void(const TMessage&)> OnPassedOn;

protected:
  void WndProc(TMessage& aMessage) override {
    if (OnPassedOn)
      OnPassedOn(aMessage);
    TForm::WndProc(aMessage);
  }
};

// The visible cover windows, top first.
std::vector<HWND> Covers() {
  std::vector<HWND> covers;
  for (HWND w = GetTopWindow(nullptr); w != nullptr; w = GetWindow(w, GW_HWNDNEXT))
    if (GetClassNameW(w) == "TqcLayeredCover" && IsWindowVisible(w))
      covers.push_back(w);
  return covers;
}

TRect WindowRectOf(HWND aWnd) {
  RECT r{};
  GetWindowRect(aWnd, &r);
  return r;
}

class WindowStatesTest : public FrameTest {
protected:
  void TearDown() override {
    FrameTest::TearDown();
    EXPECT_EQ(RunningAnimationCount(), 0);
    EXPECT_FALSE(WindowAnimationRunning);
  }

  TWatchedForm* ShowWatched(TRect aBounds = {40, 30, 340, 230}) {
    auto* form = fApp->CreateForm<TWatchedForm>();
    form->SetBorderStyle(bsToolWindow);
    form->SetBorderIcons({biSystemMenu});
    form->SetBoundsRect(aBounds);
    form->SetCaption("Frame");
    form->Show();
    PumpUntilIdle();
    return form;
  }

  // A plain window the activation can go to and come back from.
  static HWND OtherWindow() {
    static const bool registered = [] {
      WNDCLASSEXW wc;
      wc.lpfnWndProc = DefWindowProcW;
      wc.lpszClassName = "TOtherWindow";
      return RegisterClassExW(&wc) != 0;
    }();
    EXPECT_TRUE(registered);
    HWND other = CreateWindowExW(0, "TOtherWindow", "other", WS_POPUP, 500, 400, 50, 50, nullptr,
                                 nullptr, nullptr, nullptr);
    ShowWindow(other, SW_SHOW);
    return other;
  }

  HeadlessHost fHost{{1024, 768}};
};

TEST_F(WindowStatesTest, CoverIsUpWhileThePlatformHandlesActivationAndGoneAfter) {
  TWatchedForm* form = ShowWatched();
  const HWND wnd = form->Handle();
  HWND other = OtherWindow();
  PumpUntilIdle();
  ASSERT_NE(GetActiveWindow(), wnd);

  std::vector<std::vector<HWND>> coversSeen;
  form->OnPassedOn = [&](const TMessage& aMessage) {
    if (aMessage.Msg == WM_NCACTIVATE)
      coversSeen.push_back(Covers());
  };
  // A click on the form activates it through the window layer.
  fHost.Click({200, 150});
  PumpUntilIdle();
  ASSERT_EQ(GetActiveWindow(), wnd);
  ASSERT_EQ(coversSeen.size(), 1u);
  ASSERT_EQ(coversSeen[0].size(), 1u);
  const HWND cover = coversSeen[0][0];
  EXPECT_FALSE(IsWindow(cover));
  EXPECT_TRUE(Covers().empty());

  // Deactivation is covered the same way; the cover lay exactly over the
  // frame: the window's place without the client area.
  TRect coverRect;
  Region coverShape;
  form->OnPassedOn = [&](const TMessage& aMessage) {
    if (aMessage.Msg != WM_NCACTIVATE)
      return;
    const std::vector<HWND> covers = Covers();
    ASSERT_EQ(covers.size(), 1u);
    EXPECT_EQ(covers[0], GetTopWindow(nullptr));
    coverRect = WindowRectOf(covers[0]);
    GetWindowRgn(covers[0], &coverShape);
    EXPECT_NE(GetWindowLongW(covers[0], GWL_EXSTYLE) & WS_EX_NOACTIVATE, 0);
  };
  SetActiveWindow(other);
  PumpUntilIdle();
  EXPECT_EQ(coverRect, WindowRectOf(wnd));
  POINT client{0, 0};
  ClientToScreen(wnd, &client);
  const TPoint inClient{client.X - coverRect.Left + 5, client.Y - coverRect.Top + 5};
  EXPECT_FALSE(coverShape.Contains(inClient));
  EXPECT_TRUE(coverShape.Contains({inClient.X, 2}));
  EXPECT_TRUE(Covers().empty());
  form->OnPassedOn = nullptr;
}

TEST_F(WindowStatesTest, CoverShowsTheFrameCacheOverTheFrame) {
  TWatchedForm* form = ShowWatched();
  const HWND wnd = form->Handle();
  HWND other = OtherWindow();
  PumpUntilIdle();
  const TRect window = WindowRectOf(wnd);
  Bitmap screen;
  Bitmap cache;
  form->OnPassedOn = [&](const TMessage& aMessage) {
    if (aMessage.Msg != WM_NCACTIVATE)
      return;
    screen = ComposeScreen(fHost.ScreenSize(), true);
    cache = *TsSkinProvider::Of(form)->SkinData().CacheBmp();
  };
  SetActiveWindow(wnd);
  form->OnPassedOn = nullptr;
  DestroyWindow(other);
  ASSERT_FALSE(screen.Empty());
  ASSERT_EQ(cache.Width(), window.Width());

  // Over the frame the screen shows the frame cache; the corners cut out of
  // the window show what lies below.
  POINT origin{0, 0};
  ClientToScreen(wnd, &origin);
  const TRect client = TRect{0, 0, form->ClientWidth(), form->ClientHeight()}.Offset(
      origin.X - window.Left, origin.Y - window.Top);
  Region shape;
  if (GetWindowRgn(wnd, &shape) == ERROR)
    shape = Region(TRect{0, 0, window.Width(), window.Height()});
  int compared = 0;
  for (int y = 0; y < window.Height(); ++y)
    for (int x = 0; x < window.Width(); ++x)
      if (!client.Contains({x, y}) && shape.Contains({x, y})) {
        ++compared;
        ASSERT_EQ(screen.Pixel(window.Left + x, window.Top + y) & 0xFFFFFFu,
                  cache.Pixel(x, y) & 0xFFFFFFu)
            << x << "," << y;
      }
  EXPECT_GT(compared, window.Width() * 10);
}

TEST_F(WindowStatesTest, ActivationKeepsTheCacheOfAFrameWithOneLook) {
  // A FORM section of one state without border mask looks the same active
  // and inactive: activation repaints the frame from the cache as it is.
  auto& skin = fManager->InternalSkins.Add();
  skin.SetName("One");
  skin.ReadData(PackSkin("[GLOBALINFO]\nCOLOR=12632256\n[FORM]\nSTATES=1\nCOLOR=4210752\n", {}));
  fManager->SetSkinName("One");
  TForm* form = ShowForm();
  HWND other = OtherWindow();
  PumpUntilIdle();
  Bitmap& cache = *TsSkinProvider::Of(form)->SkinData().CacheBmp();
  ASSERT_FALSE(cache.Empty());
  // A mark that a rebuild would paint over.
  const std::uint32_t mark = pixelcheck::Px(1, 2, 3);
  cache.SetPixel(1, 1, mark);
  SetActiveWindow(form->Handle());
  SetActiveWindow(other);
  PumpUntilIdle();
  EXPECT_EQ(cache.Pixel(1, 1), mark);
  // Verdant's FORM section has two states: the same changes rebuild it.
  fManager->SetSkinName(VerdantSkinName);
  PumpUntilIdle();
  Bitmap& verdant = *TsSkinProvider::Of(form)->SkinData().CacheBmp();
  verdant.SetPixel(1, 1, mark);
  SetActiveWindow(form->Handle());
  PumpUntilIdle();
  EXPECT_NE(verdant.Pixel(1, 1), mark);
}

TEST_F(WindowStatesTest, CaptionChangeIsCoveredAndTheFrameRepainted) {
  TWatchedForm* form = ShowWatched();
  int coveredSetTexts = 0;
  form->OnPassedOn = [&](const TMessage& aMessage) {
    if (aMessage.Msg == WM_SETTEXT && Covers().size() == 1)
      ++coveredSetTexts;
  };
  form->SetCaption("Neuer Titel");
  form->OnPassedOn = nullptr;
  EXPECT_EQ(coveredSetTexts, 1);
  EXPECT_TRUE(Covers().empty());
  EXPECT_EQ(GetWindowTextW(form->Handle()), "Neuer Titel");
}

TEST_F(WindowStatesTest, MovingSnapsToTheWorkAreaEdgesWhenAsked) {
  TForm* form = ShowForm();
  TsSkinProvider* provider = TsSkinProvider::Of(form);
  const HWND wnd = form->Handle();
  const TRect area = fHost.WorkArea();
  const int w = form->Width(), h = form->Height();
  struct Case {
    const char* Name;
    bool Snap;
    TPoint To;
    TPoint Expected;
  };
  const Case cases[] = {
      {"9 from the left edge", true, {area.Left + 9, 100}, {area.Left, 100}},
      {"10 from the left edge", true, {area.Left + 10, 100}, {area.Left + 10, 100}},
      {"near the bottom right",
       true,
       {area.Right - w - 4, area.Bottom - h + 3},
       {area.Right - w, area.Bottom - h}},
      {"snapping off", false, {area.Left + 9, 100}, {area.Left + 9, 100}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    provider->ScreenSnap = c.Snap;
    SetWindowPos(wnd, nullptr, c.To.X, c.To.Y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    const TRect r = WindowRectOf(wnd);
    EXPECT_EQ((TPoint{r.Left, r.Top}), c.Expected);
  }
}

TEST_F(WindowStatesTest, MaximizedSizePutsTheFrameJustOutsideTheWorkArea) {
  TForm* form = ShowForm();
  // The tool window's frame is the dialog frame.
  const int b = GetSystemMetrics(SM_CXDLGFRAME);
  const TRect area = fHost.WorkArea();
  MINMAXINFO info = DefaultMinMaxInfo(form->Handle());
  SendMessageW(form->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMaxPosition, (POINT{area.Left - b, area.Top - b}));
  EXPECT_EQ(info.ptMaxSize, (POINT{area.Width() + 2 * b, area.Height() + 2 * b}));

  // A form without border keeps the platform's answer.
  TForm* plain = ShowForm({400, 300, 500, 400});
  plain->SetBorderStyle(bsNone);
  const MINMAXINFO before = DefaultMinMaxInfo(plain->Handle());
  info = before;
  SendMessageW(plain->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMaxPosition, before.ptMaxPosition);
  EXPECT_EQ(info.ptMaxSize, before.ptMaxSize);
}

TEST_F(WindowStatesTest, ShowAnimationAtTimeZeroShowsOneFinishedImage) {
  fManager->AnimEffects.FormShow = {true, 0, 1};
  fManager->AnimEffects.FormHide = {true, 0, 0};
  // The hook adopts a form when it is first activated, so its first showing
  // passes the provider by; the next one is animated.
  TWatchedForm* form = ShowWatched();
  // A child window, which the finished image must show too.
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  panel->SetBounds(20, 20, 120, 60);
  panel->SetCaption("Panel");
  form->Hide();
  PumpUntilIdle();
  // The moment the form may be drawn again, the cover shows the finished
  // window at full opacity in the form's place.
  std::vector<std::vector<HWND>> coversAtRedraw;
  Bitmap shown;
  form->OnPassedOn = [&](const TMessage& aMessage) {
    if (aMessage.Msg != WM_SETREDRAW || aMessage.WParam == 0 || !WindowAnimationRunning)
      return;
    coversAtRedraw.push_back(Covers());
    if (coversAtRedraw.back().size() == 1) {
      const HWND cover = coversAtRedraw.back()[0];
      EXPECT_EQ(GetLayerInfo(cover).Alpha, 255);
      EXPECT_EQ(WindowRectOf(cover), WindowRectOf(form->Handle()));
      shown = CaptureWindow(cover);
    }
  };
  form->Show();
  form->OnPassedOn = nullptr;
  PumpUntilIdle();
  ASSERT_EQ(coversAtRedraw.size(), 1u);
  EXPECT_EQ(coversAtRedraw[0].size(), 1u);
  // Afterwards the form itself shows, plain, and no cover is left.
  EXPECT_TRUE(Covers().empty());
  EXPECT_TRUE(IsWindowVisible(form->Handle()));
  EXPECT_EQ(GetWindowLongW(form->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
  EXPECT_FALSE(TsSkinProvider::Of(form)->RunState().ShowAnimating());
  // The image was the finished window.
  EXPECT_TRUE(pixelcheck::SameBitmap(shown, CaptureWindow(form->Handle()), "show-finished",
                                     pixelcheck::TPixelMatch::ColorOnly));
}

TEST_F(WindowStatesTest, AFormShownMinimizedStillBecomesVisible) {
  // The show animation does not run for an iconic window; the window it
  // kept from drawing must draw again, and later covers must work.
  fManager->AnimEffects.FormHide = {true, 0, 0};
  TForm* form = ShowForm();
  form->Hide();
  PumpUntilIdle();
  form->SetWindowState(wsMinimized);
  form->Show();
  PumpUntilIdle();
  const HWND wnd = form->Handle();
  EXPECT_TRUE(IsIconic(wnd));
  EXPECT_NE(GetWindowLongW(wnd, GWL_STYLE) & WS_VISIBLE, 0);
  EXPECT_FALSE(TsSkinProvider::Of(form)->RunState().ShowAnimating());
  EXPECT_FALSE(WindowAnimationRunning);
  EXPECT_TRUE(Covers().empty());
}

TEST_F(WindowStatesTest, MinimizeAnimationTicksOnTheUserInterfaceThreadsTimer) {
  fManager->AnimEffects.Minimizing = {true, 120, 0};
  TForm* form = ShowForm();
  TsSkinProvider* provider = TsSkinProvider::Of(form);
  const HWND wnd = form->Handle();
  SendMessageW(wnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(IsIconic(wnd));
  TqcWindowAnimation* animation = RunningAnimation(wnd);
  ASSERT_NE(animation, nullptr);
  EXPECT_TRUE(provider->RunState().Minimizing());
  // Ten frames of 12 ms for 120 ms; the first was shown at once.
  EXPECT_EQ(animation->FramesLeft(), 9);
  const auto uiThread = std::this_thread::get_id();
  std::vector<TRect> frames;
  animation->OnFrame = [&](int, const TqcAnimationFrame& aFrame) {
    EXPECT_EQ(std::this_thread::get_id(), uiThread);
    frames.push_back(aFrame.Rect);
    EXPECT_EQ(Covers().size(), 1u);
  };
  EXPECT_TRUE(PumpUntil([&] { return RunningAnimation(wnd) == nullptr; }, 5000));
  EXPECT_EQ(frames.size(), 9u);
  // The last frame lies on the minimized caption strip at the bottom left.
  ASSERT_FALSE(frames.empty());
  EXPECT_EQ(frames.back().Left, fHost.WorkArea().Left);
  EXPECT_EQ(frames.back().Bottom, fHost.WorkArea().Bottom);
  EXPECT_FALSE(provider->RunState().Minimizing());
  EXPECT_TRUE(Covers().empty());
}

TEST_F(WindowStatesTest, HideWithTimeZeroLeavesNoCoverBehind) {
  fManager->AnimEffects.FormHide = {true, 0, 0};
  TForm* form = ShowForm();
  form->Hide();
  EXPECT_FALSE(IsWindowVisible(form->Handle()));
  // The hide animation ran, without frames, and took its cover along.
  EXPECT_TRUE(TsSkinProvider::Of(form)->RunState().HideSkipped());
  EXPECT_TRUE(Covers().empty());
  EXPECT_EQ(RunningAnimationCount(), 0);
  EXPECT_FALSE(WindowAnimationRunning);
  // Shown again, the form hides with the hide cover again.
  form->Show();
  PumpUntilIdle();
  EXPECT_FALSE(TsSkinProvider::Of(form)->RunState().HideSkipped());
}

TEST_F(WindowStatesTest, HideAnimationRunsOnTheUserInterfaceThreadsTimer) {
  fManager->AnimEffects.FormHide = {true, 48, 0};
  TForm* form = ShowForm();
  form->Hide();
  // The animation went to the loop's timer; the flag is back at once.
  EXPECT_FALSE(WindowAnimationRunning);
  EXPECT_EQ(RunningAnimationCount(), 1);
  EXPECT_EQ(Covers().size(), 1u);
  EXPECT_TRUE(PumpUntil([] { return RunningAnimationCount() == 0; }, 5000));
  EXPECT_TRUE(Covers().empty());
}

TEST_F(WindowStatesTest, PrintDrawsTheFrameFromTheFrameCache) {
  TForm* form = ShowForm();
  TsSkinProvider* provider = TsSkinProvider::Of(form);
  const HWND wnd = form->Handle();
  const TRect window = WindowRectOf(wnd);
  // A cache in two colours, marked fresh, so that the printed frame shows
  // where it came from.
  TsCommonData& data = provider->SkinData();
  data.InitCacheBmp();
  Bitmap& cache = *data.CacheBmp();
  cache.SetSize(window.Width(), window.Height());
  for (int y = 0; y < cache.Height(); ++y)
    for (int x = 0; x < cache.Width(); ++x)
      cache.SetPixel(x, y,
                     (x + y) % 2 != 0 ? pixelcheck::Px(200, 10, 10) : pixelcheck::Px(10, 10, 200));
  data.BGChanged = false;

  Bitmap printed = pixelcheck::Filled(window.Width(), window.Height(), pixelcheck::Px(0, 255, 0));
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, &printed);
  SendMessageW(wnd, WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_NONCLIENT | PRF_CLIENT);
  DeleteDC(dc);

  // Outside the client area every pixel is the cache's.
  POINT origin{0, 0};
  ClientToScreen(wnd, &origin);
  const TRect client = TRect{0, 0, form->ClientWidth(), form->ClientHeight()}.Offset(
      origin.X - window.Left, origin.Y - window.Top);
  Bitmap expected = printed;
  for (int y = 0; y < expected.Height(); ++y)
    for (int x = 0; x < expected.Width(); ++x)
      if (!client.Contains({x, y}))
        expected.SetPixel(
            x, y, (x + y) % 2 != 0 ? pixelcheck::Px(200, 10, 10) : pixelcheck::Px(10, 10, 200));
  EXPECT_TRUE(pixelcheck::SameBitmap(printed, expected, "print-frame"));
  // The client area was painted by the form, not left alone.
  EXPECT_NE(printed.Pixel(client.Left + 5, client.Top + 5), pixelcheck::Px(0, 255, 0));
}

} // namespace
