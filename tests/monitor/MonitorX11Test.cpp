// Smoke test of the program on an X display: a private Xvfb, xdotool for the
// window's geometry and a click on an input line's check box.
#include "ChildProcess.h"
#include "XShapeQuery.h"
#include "midi/sysMidiIn.h"
#include "monitor/monitor.h"
#include "platform/gfx/ImageCodec.h"
#include "platform/mm/MidiService.h"
#include "platform/win/MessageLoop.h"
#include "platform/win/WindowGeometry.h"
#include "skin/frame/sSkinProvider.h"
#include "support/XvfbServer.h"

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
    TCheckListBox* list = form->clbInputDevices;
    const TRect line = list->ItemRect(0);
    const TPoint screen = list->ClientToScreen(
        {line.Left + TCheckListBox::CheckWidth / 2, line.Top + line.Height() / 2});
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

} // namespace
