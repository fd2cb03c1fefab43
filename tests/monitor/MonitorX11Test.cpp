// Smoke test of the program on an X display: a private Xvfb, xdotool for the
// window's geometry and a click on an input line's check box; the caption
// buttons of the main window, its system menu and the modal message box.
#include "ChildProcess.h"
#include "XScreenPixels.h"
#include "XShapeQuery.h"
#include "midi/sysMidiIn.h"
#include "monitor/MonitorAutomation.h"
#include "monitor/monitor.h"
#include "platform/gfx/Enlarge.h"
#include "platform/gfx/ImageCodec.h"
#include "platform/mm/MidiService.h"
#include "platform/win/Input.h"
#include "platform/win/MessageLoop.h"
#include "platform/win/WindowGeometry.h"
#include "skin/frame/sSkinProvider.h"
#include "support/PixelCheck.h"
#include "support/XvfbServer.h"
#include "toolkit/MessageForm.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <regex>
#include <thread>

namespace {

using namespace std::chrono_literals;

const std::string Monitor = std::string(MM_BINARY_DIR) + "/midimonitor";

// Where the first input line's check box, a point of the caption and the
// middle of the close button lie relative to the window's top left corner,
// the window's size and its region, from the same window built in memory.
struct TGeometry {
  TPoint CheckBox;
  TPoint Caption;
  TPoint Close;
  TSize Window;
  platform::Region Shape;
};

TGeometry DesignedGeometry() {
  platform::StartMidiService("virtual:in=Demo Keyboard;out=Loopback");
  TGeometry g;
  {
    TApplication application;
    Application->Initialize();
    auto* form = Application->CreateForm<TfrmMonitor>();
    form->Show();
    platform::PumpUntilIdle();
    TsCheckListBox* list = form->clbInputDevices;
    const TRect line = list->ItemRect(0);
    const TPoint screen =
        list->ClientToScreen({line.Left + list->CheckHitWidth() / 2, line.Top + line.Height() / 2});
    g.CheckBox = {screen.X - form->Left(), screen.Y - form->Top()};
    g.Window = {form->Width(), form->Height()};
    const TRect close = TsSkinProvider::Of(form)->Layout().Buttons.Close.Rect;
    g.Close = {(close.Left + close.Right) / 2, (close.Top + close.Bottom) / 2};
    g.Caption = {g.Window.cx / 2, g.Close.Y};
    platform::GetWindowRgn(form->Handle(), &g.Shape);
  }
  FreeMidiDevices();
  platform::StopMidiService();
  return g;
}

// The X window id of the program's window once it is mapped (bounded wait),
// or empty.
std::string MonitorWindowId(const std::vector<std::string>& aEnv) {
  std::string id;
  for (auto until = std::chrono::steady_clock::now() + 15s;
       id.empty() && std::chrono::steady_clock::now() < until; std::this_thread::sleep_for(100ms)) {
    TChildProcess search({"xdotool", "search", "--name", "Sonaro MidiMonitor"}, aEnv);
    search.Wait(5000);
    id = search.Stdout();
    id = id.substr(0, id.find('\n'));
  }
  return id;
}

// Runs the program on an Xvfb of its own at scale aScale (GDK_SCALE, which
// "auto" follows) with a script that waits for the log, writes a screenshot
// and dumps; clicks the first input line's check box at its point on the
// screen (the last pixel of its block) and checks the window's size, that the
// port opened and the screenshot's size. aAt gets where the window was.
void ClickTheFirstInputLine(int aScale, TPoint& aAt) {
  const TGeometry designed = DesignedGeometry();
  // Xvfb picks a free display itself, so tests starting servers at the same
  // moment never meet on one.
  XvfbServer xvfb(1600, 1200);
  ASSERT_TRUE(xvfb.Running()) << xvfb.Why();
  const std::vector<std::string> env = {"DISPLAY=" + xvfb.Display(),
                                        "GDK_SCALE=" + std::to_string(aScale)};

  const std::string shot = "/tmp/" + UniqueName("mm_x11_") + ".png";
  // The program waits for what the click causes (the log filling once the
  // port is open; bounded by the script's wait), not for a fixed time.
  const std::string script = "/tmp/" + UniqueName("mm_x11_") + ".txt";
  std::ofstream(script) << "wait log 1\nscreenshot " << shot << "\ndump\nquit\n";
  TChildProcess monitor({Monitor, "--midi=virtual", "--script", script}, env);
  const std::string id = MonitorWindowId(env);
  ASSERT_FALSE(id.empty()) << monitor.Stderr();

  TChildProcess geometry({"xdotool", "getwindowgeometry", id}, env);
  ASSERT_EQ(geometry.Wait(5000), 0);
  std::smatch m;
  const std::string text = geometry.Stdout();
  ASSERT_TRUE(
      std::regex_search(text, m, std::regex(R"(Position: (\d+),(\d+).*\n.*Geometry: (\d+)x(\d+))")))
      << text;
  aAt = {std::stoi(m[1]), std::stoi(m[2])};
  EXPECT_EQ(std::stoi(m[3]), aScale * designed.Window.cx);
  EXPECT_EQ(std::stoi(m[4]), aScale * designed.Window.cy);

  const int x = aAt.X + aScale * designed.CheckBox.X + aScale - 1;
  const int y = aAt.Y + aScale * designed.CheckBox.Y + aScale - 1;
  TChildProcess click(
      {"xdotool", "mousemove", "--sync", std::to_string(x), std::to_string(y), "click", "1"}, env);
  ASSERT_EQ(click.Wait(5000), 0) << click.Stderr();

  ASSERT_EQ(monitor.Wait(60000), 0) << monitor.Stderr();
  const std::string dump = monitor.Stdout();
  EXPECT_NE(dump.find("item\tclbInputDevices\t0\t[x] Demo Keyboard\n"), std::string::npos) << dump;
  // The demo keyboard plays once its port is open: the log fills.
  EXPECT_NE(dump.find("item\tlbListe\t0\t"), std::string::npos) << dump;

  const platform::ImageResult image = platform::LoadImageFile(shot);
  std::filesystem::remove(shot);
  std::filesystem::remove(script);
  ASSERT_TRUE(image.Ok()) << image.Error;
  EXPECT_EQ(image.Image.Width(), aScale * designed.Window.cx);
  EXPECT_EQ(image.Image.Height(), aScale * designed.Window.cy);
}

TEST(MonitorOnX11, WindowOpensAtItsSizeAndAClickOpensThePort) {
  if (!HaveProgram("Xvfb") || !HaveProgram("xdotool"))
    GTEST_SKIP() << "Xvfb or xdotool is missing";
  TPoint at{-1, -1};
  ClickTheFirstInputLine(1, at);
  EXPECT_EQ(at, (TPoint{617, 450}));
}

// On a desktop that asks for twice the size the window shows twice as large,
// at a place on the grid of its doubled pixels, and a click at a point of the
// enlarged check box reaches it.
TEST(MonitorOnX11, ScaledTwiceAClickAtTheDoubledPointReachesTheCheckBox) {
  if (!HaveProgram("Xvfb") || !HaveProgram("xdotool"))
    GTEST_SKIP() << "Xvfb or xdotool is missing";
  TPoint at{-1, -1};
  ClickTheFirstInputLine(2, at);
  EXPECT_EQ(at.X % 2, 0);
  EXPECT_EQ(at.Y % 2, 0);
}

TPoint WindowPosition(const std::vector<std::string>& aEnv, const std::string& aId) {
  TChildProcess geometry({"xdotool", "getwindowgeometry", aId}, aEnv);
  geometry.Wait(5000);
  std::smatch m;
  const std::string text = geometry.Stdout();
  if (!std::regex_search(text, m, std::regex(R"(Position: (-?\d+),(-?\d+))")))
    return {-1, -1};
  return {std::stoi(m[1]), std::stoi(m[2])};
}

bool RunXdotool(const std::vector<std::string>& aEnv, std::vector<std::string> aArgs) {
  aArgs.insert(aArgs.begin(), "xdotool");
  TChildProcess tool(aArgs, aEnv);
  return tool.Wait(5000) == 0;
}

// The skinned frame is the only frame on X: its shape is the window's region,
// its caption moves the window and its close button ends the program.
TEST(MonitorOnX11, TheSkinnedFrameShapesMovesAndClosesTheWindow) {
  if (!HaveProgram("Xvfb") || !HaveProgram("xdotool"))
    GTEST_SKIP() << "Xvfb or xdotool is missing";
  const TGeometry designed = DesignedGeometry();
  ASSERT_FALSE(designed.Shape.IsEmpty());
  XvfbServer xvfb(1600, 1200);
  ASSERT_TRUE(xvfb.Running()) << xvfb.Why();
  const std::vector<std::string> env = {"DISPLAY=" + xvfb.Display()};
  // Unscaled whatever GDK_SCALE the person running the tests has set.
  TChildProcess monitor({Monitor, "--midi=virtual", "--scale=1"}, env);
  const std::string id = MonitorWindowId(env);
  ASSERT_FALSE(id.empty()) << monitor.Stderr();

  // The shape arrives with the frame's first paint.
  platform::Region shape;
  for (auto until = std::chrono::steady_clock::now() + 10s;
       shape != designed.Shape && std::chrono::steady_clock::now() < until;
       std::this_thread::sleep_for(100ms))
    shape = platform::Region::FromRects(XBoundingShape(xvfb.Display(), std::stoul(id)));
  EXPECT_TRUE(shape == designed.Shape) << "the X shape is not the window's region";

  const TPoint from{617 + designed.Caption.X, 450 + designed.Caption.Y};
  ASSERT_TRUE(RunXdotool(env, {"mousemove", "--sync", std::to_string(from.X),
                               std::to_string(from.Y), "mousedown", "1"}));
  ASSERT_TRUE(RunXdotool(env, {"mousemove", "--sync", std::to_string(from.X + 100),
                               std::to_string(from.Y + 60), "mouseup", "1"}));
  TPoint moved = WindowPosition(env, id);
  for (auto until = std::chrono::steady_clock::now() + 10s;
       moved != TPoint{717, 510} && std::chrono::steady_clock::now() < until;
       std::this_thread::sleep_for(100ms))
    moved = WindowPosition(env, id);
  EXPECT_EQ(moved, (TPoint{717, 510}));

  ASSERT_TRUE(RunXdotool(env, {"mousemove", "--sync", std::to_string(moved.X + designed.Close.X),
                               std::to_string(moved.Y + designed.Close.Y), "click", "1"}));
  EXPECT_EQ(monitor.Wait(20000), 0) << monitor.Stderr();
}

// The system menu on the display: a right click on the caption opens it, a
// click outside the program's windows closes it (the menu holds the
// pointer), and Up and Enter in a menu opened again choose Close.
TEST(MonitorOnX11, SystemMenuOpensClosesAndChoosesClose) {
  if (!HaveProgram("Xvfb") || !HaveProgram("xdotool"))
    GTEST_SKIP() << "Xvfb or xdotool is missing";
  XvfbServer xvfb(1600, 1200);
  ASSERT_TRUE(xvfb.Running()) << xvfb.Why();
  const std::vector<std::string> env = {"DISPLAY=" + xvfb.Display()};
  TChildProcess monitor({Monitor, "--midi=virtual", "--scale=1"}, env);
  ASSERT_FALSE(MonitorWindowId(env).empty()) << monitor.Stderr();
  // The caption of the window at (617, 450); the desktop far from it. The
  // popup menu's X class is its window class.
  const auto xdotool = [&](std::vector<std::string> aArgs) {
    aArgs.insert(aArgs.begin(), "xdotool");
    TChildProcess input(aArgs, env);
    return input.Wait(10000);
  };
  const std::vector<std::string> popup = {"search", "--onlyvisible", "--class", "#32768"};
  const auto popupGone = [&] {
    for (auto until = std::chrono::steady_clock::now() + 10s;
         std::chrono::steady_clock::now() < until; std::this_thread::sleep_for(50ms))
      if (xdotool(popup) != 0)
        return true;
    return false;
  };
  std::vector<std::string> waitPopup = popup;
  waitPopup.insert(waitPopup.begin() + 1, "--sync");
  ASSERT_EQ(xdotool({"mousemove", "--sync", "677", "458", "click", "3"}), 0);
  ASSERT_EQ(xdotool(waitPopup), 0);
  ASSERT_EQ(xdotool({"mousemove", "--sync", "20", "20", "click", "1"}), 0);
  EXPECT_TRUE(popupGone()) << "a click outside the program closes the menu";
  ASSERT_EQ(xdotool({"mousemove", "--sync", "677", "458", "click", "3"}), 0);
  ASSERT_EQ(xdotool(waitPopup), 0);
  ASSERT_EQ(xdotool({"key", "Up", "Return"}), 0);
  EXPECT_EQ(monitor.Wait(30000), 0) << monitor.Stderr();
}

// Input 1 is held by another program: checking it opens the modal box.
constexpr const char* BusyLayout = "virtual:in=Keyboard,Busy*;out=Synth";

// The box that checking the held input opens, built in memory: its size, its
// close button's rectangle and its normal, hot and pressed looks, and the
// main window's close button.
struct TBoxDesign {
  TSize Box;
  TRect Close;
  platform::Bitmap Normal, Hot, Pressed;
  TPoint MainClose;
};

std::function<void()> gInTheBox;
void RunInTheBox(platform::HWND, platform::UINT, platform::UINT_PTR aId, platform::DWORD) {
  platform::KillTimer(nullptr, aId);
  if (auto action = std::exchange(gInTheBox, nullptr))
    action();
}

// The skin's look of aRect of a window, as its frame provider painted it.
platform::Bitmap CachedArea(TForm* aForm, const TRect& aRect) {
  const platform::Bitmap& cache = *TsSkinProvider::Of(aForm)->SkinData().CacheBmp();
  platform::Bitmap area(aRect.Width(), aRect.Height());
  for (int y = 0; y < aRect.Height(); ++y)
    for (int x = 0; x < aRect.Width(); ++x)
      area.SetPixel(x, y, cache.Pixel(aRect.Left + x, aRect.Top + y) | 0xFF000000u);
  return area;
}

TPoint Centre(const TRect& aRect) {
  return {(aRect.Left + aRect.Right) / 2, (aRect.Top + aRect.Bottom) / 2};
}

TBoxDesign DesignedBox() {
  platform::StartMidiService(BusyLayout);
  TBoxDesign d;
  {
    TApplication application;
    Application->Initialize();
    Application->SetTitle("Sonaro MidiMonitor");
    auto* form = Application->CreateForm<TfrmMonitor>();
    form->Show();
    platform::PumpUntilIdle();
    d.MainClose = Centre(TsSkinProvider::Of(form)->Layout().Buttons.Close.Rect);
    // The looks are taken inside the box's modal loop, through the layer's
    // input as a host delivers it.
    gInTheBox = [&] {
      TMessageForm* box = ShowingMessageBox();
      if (!box)
        return;
      d.Box = {box->Width(), box->Height()};
      d.Close = TsSkinProvider::Of(box)->Layout().Buttons.Close.Rect;
      const TPoint at = Centre(d.Close);
      const platform::POINT screen{box->Left() + at.X, box->Top() + at.Y};
      d.Normal = CachedArea(box, d.Close);
      platform::InputMouseMove(screen);
      platform::PumpUntilIdle();
      d.Hot = CachedArea(box, d.Close);
      platform::InputMouseButton(platform::MouseButton::Left, true, screen);
      platform::PumpUntilIdle();
      d.Pressed = CachedArea(box, d.Close);
      // Released on the button the box closes and the button is let go (a
      // box still showing is closed, so the run goes on).
      platform::InputMouseButton(platform::MouseButton::Left, false, screen);
      platform::PumpUntilIdle();
      if (ShowingMessageBox() == box)
        box->SetModalResult(mrOk);
    };
    platform::SetTimer(nullptr, 0, 10, &RunInTheBox);
    // A click on the held input's check box opens the box.
    TCheckListBox* list = form->clbInputDevices;
    const TRect line = list->ItemRect(1);
    const TPoint box = list->ClientToScreen(
        {line.Left + TCheckListBox::CheckAreaWidth() / 2, line.Top + line.Height() / 2});
    platform::InputMouseButton(platform::MouseButton::Left, true, {box.X, box.Y});
    platform::InputMouseButton(platform::MouseButton::Left, false, {box.X, box.Y});
    platform::PumpUntilIdle();
    gInTheBox = nullptr;
  }
  FreeMidiDevices();
  platform::StopMidiService();
  return d;
}

// The id of the visible X window of that class (bounded wait), or empty.
std::string VisibleWindowOfClass(const std::vector<std::string>& aEnv, const std::string& aClass) {
  std::string id;
  for (auto until = std::chrono::steady_clock::now() + 15s;
       id.empty() && std::chrono::steady_clock::now() < until; std::this_thread::sleep_for(50ms)) {
    TChildProcess search({"xdotool", "search", "--onlyvisible", "--class", aClass}, aEnv);
    search.Wait(5000);
    id = search.Stdout();
    id = id.substr(0, id.find('\n'));
  }
  return id;
}

// Whether the screen comes to show aLook (enlarged by aScale) at aArea within
// ten seconds; on a time-out both images are written for a look.
::testing::AssertionResult ScreenShows(const XvfbServer& aXvfb, const TRect& aArea,
                                       const platform::Bitmap& aLook, int aScale,
                                       const std::string& aName) {
  const platform::Bitmap expected = platform::Enlarged(aLook, aScale);
  platform::Bitmap shown;
  for (auto until = std::chrono::steady_clock::now() + 10s;
       std::chrono::steady_clock::now() < until; std::this_thread::sleep_for(50ms)) {
    shown = XScreenArea(aXvfb.Display(), aArea);
    if (shown == expected)
      return ::testing::AssertionSuccess();
  }
  return pixelcheck::SameBitmap(shown, expected, aName, pixelcheck::TPixelMatch::ColorOnly);
}

// The box opened by the script's check of the held input, on the screen at
// scale aScale, worked with real pointer input: hovering its close button
// shows the hot look, a press the pressed look and keeps the box, a release
// elsewhere keeps it, a release on the button closes it; then the main
// window's close button ends the program.
void CloseTheBoxWithItsCloseButton(int aScale) {
  const TBoxDesign design = DesignedBox();
  ASSERT_FALSE(design.Box.cx == 0) << "the box did not show in memory";
  ASSERT_FALSE(design.Hot == design.Normal) << "the skin's hot look differs from the normal one";
  ASSERT_FALSE(design.Pressed == design.Hot) << "the skin's pressed look differs from the hot one";
  XvfbServer xvfb(1600, 1200);
  ASSERT_TRUE(xvfb.Running()) << xvfb.Why();
  const std::vector<std::string> env = {"DISPLAY=" + xvfb.Display(),
                                        "GDK_SCALE=" + std::to_string(aScale)};
  const std::string script = "/tmp/" + UniqueName("mm_x11_box_") + ".txt";
  std::ofstream(script) << "check in 1\n";
  TChildProcess monitor({Monitor, std::string("--midi=") + BusyLayout, "--script", script}, env);
  const std::string box = VisibleWindowOfClass(env, "TMessageForm");
  std::filesystem::remove(script);
  ASSERT_FALSE(box.empty()) << monitor.Stderr();
  const TPoint at = WindowPosition(env, box);

  const TRect close{at.X + aScale * design.Close.Left, at.Y + aScale * design.Close.Top,
                    at.X + aScale * design.Close.Right, at.Y + aScale * design.Close.Bottom};
  const TPoint onClose{at.X + aScale * Centre(design.Close).X + aScale - 1,
                       at.Y + aScale * Centre(design.Close).Y + aScale - 1};
  const TPoint inBox{at.X + aScale * design.Box.cx / 2, at.Y + aScale * design.Box.cy / 3};
  const auto move = [&](TPoint aTo) {
    return RunXdotool(env, {"mousemove", "--sync", std::to_string(aTo.X), std::to_string(aTo.Y)});
  };
  // The first press is away from the last one's point, so the two are no
  // double click.
  ASSERT_TRUE(move({onClose.X - aScale * 6, onClose.Y}));
  EXPECT_TRUE(ScreenShows(xvfb, close, design.Hot, aScale, "x11-box-hot"));
  ASSERT_TRUE(RunXdotool(env, {"mousedown", "1"}));
  EXPECT_TRUE(ScreenShows(xvfb, close, design.Pressed, aScale, "x11-box-pressed"));
  EXPECT_EQ(VisibleWindowOfClass(env, "TMessageForm"), box) << "a press keeps the box";

  // Released off the button: nothing happens; the button shows normal and
  // hot again when the pointer comes back.
  ASSERT_TRUE(move(inBox));
  ASSERT_TRUE(RunXdotool(env, {"mouseup", "1"}));
  EXPECT_TRUE(ScreenShows(xvfb, close, design.Normal, aScale, "x11-box-normal"));
  ASSERT_TRUE(move(onClose));
  EXPECT_TRUE(ScreenShows(xvfb, close, design.Hot, aScale, "x11-box-hot-again"));

  ASSERT_TRUE(RunXdotool(env, {"click", "1"}));
  bool gone = false;
  for (auto until = std::chrono::steady_clock::now() + 10s;
       !gone && std::chrono::steady_clock::now() < until; std::this_thread::sleep_for(50ms)) {
    TChildProcess search({"xdotool", "search", "--onlyvisible", "--class", "TMessageForm"}, env);
    gone = search.Wait(5000) == 1;
  }
  EXPECT_TRUE(gone) << "a release on the close button closes the box";

  const std::string main = VisibleWindowOfClass(env, "TfrmMonitor");
  ASSERT_FALSE(main.empty());
  const TPoint mainAt = WindowPosition(env, main);
  ASSERT_TRUE(move({mainAt.X + aScale * design.MainClose.X + aScale - 1,
                    mainAt.Y + aScale * design.MainClose.Y + aScale - 1}));
  ASSERT_TRUE(RunXdotool(env, {"click", "1"}));
  EXPECT_EQ(monitor.Wait(20000), 0) << monitor.Stderr();
}

TEST(MonitorOnX11, TheModalBoxsCloseButtonShowsHotAndPressedAndClosesOnRelease) {
  if (!HaveProgram("Xvfb") || !HaveProgram("xdotool"))
    GTEST_SKIP() << "Xvfb or xdotool is missing";
  CloseTheBoxWithItsCloseButton(1);
}

TEST(MonitorOnX11, ScaledTwiceTheModalBoxsCloseButtonWorksAtItsDoubledPlace) {
  if (!HaveProgram("Xvfb") || !HaveProgram("xdotool"))
    GTEST_SKIP() << "Xvfb or xdotool is missing";
  CloseTheBoxWithItsCloseButton(2);
}

} // namespace
