// The program's command line end to end: --skin and script failures, headless.
#include "ChildProcess.h"
#include "platform/gfx/ImageCodec.h"
#include "platform/gfx/SystemColors.h"
#include "platform/host/Host.h"
#include "support/PixelCheck.h"
#include "support/TextLines.h"
#include "support/WaitUntil.h"

#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace {

const std::string Monitor = std::string(MM_BINARY_DIR) + "/midimonitor";

class MonitorCommandLine : public ::testing::Test {
protected:
  void SetUp() override {
    fDir = std::filesystem::temp_directory_path() / UniqueName("monitor-cli");
    std::filesystem::create_directories(fDir);
  }
  void TearDown() override { std::filesystem::remove_all(fDir); }
  std::string File(const std::string& aName, const std::string& aText) {
    std::ofstream((fDir / aName).string(), std::ios::binary) << aText;
    return (fDir / aName).string();
  }
  std::filesystem::path fDir;
};

// A damaged skin leaves the built-in one; its error shows in a message box,
// which the script sees in the dump and closes.
TEST_F(MonitorCommandLine, DamagedSkinShowsItsErrorAndTheProgramRunsOn) {
  const std::string skin = File("Broken.qsz", std::string("QSzf\x09", 5));
  const std::string script = File("s.txt", "dump\nclose messagebox\nquit\n");
  TChildProcess monitor(
      {Monitor, "--headless", "--midi=virtual", "--skin=" + skin, "--script", script, "--dump"});
  ASSERT_EQ(monitor.Wait(60000), 0) << monitor.Stderr();
  const std::string out = monitor.Stdout();
  EXPECT_NE(out.find("messagebox\tStream read error\n"), std::string::npos) << out;
  // The final dump, after the box closed, shows none.
  EXPECT_EQ(out.find("messagebox"), out.rfind("messagebox")) << out;
}

// A right click on the caption opens the window's system menu; the script
// sees its items in the dump, finds no item it names, and chooses Close.
TEST_F(MonitorCommandLine, SystemMenuDrivenFromAScript) {
  const std::string script = File("s.txt", "rclick 60 8\ndump\nmenu Restore\n");
  TChildProcess failing({Monitor, "--headless", "--midi=virtual", "--script", script});
  EXPECT_EQ(failing.Wait(60000), 1);
  EXPECT_NE(failing.Stderr().find("script line 3: menu Restore: the open menu has no such item"),
            std::string::npos)
      << failing.Stderr();
  const std::string out = failing.Stdout();
  EXPECT_NE(out.find("menu\tMove\t1\nmenu\tClose\t1\n"), std::string::npos) << out;

  TChildProcess closing({Monitor, "--headless", "--midi=virtual", "--script",
                         File("c.txt", "rclick 60 8\nmenu Close\nwait 60000\n")});
  EXPECT_EQ(closing.Wait(60000), 0) << "Close ends the program before the wait does";
}

// The skinned caption from a script: pressing the close button (at 720, 8),
// sliding onto the caption and releasing there leaves the program running;
// the skinned system menu opened on the caption then closes it.
TEST_F(MonitorCommandLine, ASlideOffTheCloseButtonKeepsTheProgramAndTheSystemMenuClosesIt) {
  const std::string script = File("s.txt", "mouse move 720 8\nmouse down 720 8\nmouse move 300 8\n"
                                           "mouse up 300 8\ndump\nrclick 300 8\ndump\nmenu Close\n"
                                           "wait 60000\n");
  TChildProcess monitor({Monitor, "--headless", "--midi=virtual", "--script", script});
  EXPECT_EQ(monitor.Wait(60000), 0) << monitor.Stderr();
  const std::string out = monitor.Stdout();
  const auto menu = out.find("menu\tMove\t1\nmenu\tClose\t1\n");
  EXPECT_NE(menu, std::string::npos) << out;
  // The first dump, before the right click, shows no menu: the release on
  // the caption neither closed the program nor opened anything.
  EXPECT_NE(out.find("caption\tfrmMonitor"), out.rfind("caption\tfrmMonitor")) << out;
  EXPECT_EQ(out.find("menu\t"), menu) << out;
}

TEST_F(MonitorCommandLine, BadScriptsAndBadOptionsGiveTheirExitCodeAndReason) {
  const struct {
    std::vector<std::string> Args;
    int ExitCode;
    std::string Reason;
  } cases[] = {
      {{"--script", File("a.txt", "mouse move 10\n")}, 2, "script line 1: unknown command"},
      {{"--script", File("b.txt", "dump\nclick 10 x\n")}, 2, "script line 2: y \"x\" is not valid"},
      {{"--script", File("c.txt", "screenshot " + (fDir / "no" / "x.png").string() + "\n")},
       1,
       "script line 1: cannot write " + (fDir / "no" / "x.png").string()},
      {{"--script", File("d.txt", "menu Close\n")},
       1,
       "script line 1: menu Close: no popup menu is open"},
      {{"--skin="}, 2, "--skin= needs a skin folder, a .qsz file or none"},
      {{"--screen"}, 2, "--screen goes with --screenshot"},
      {{"--log="}, 2, "--log= needs a file, or - for standard output"},
      {{"--log=" + (fDir / "no" / "x.log").string()},
       1,
       "cannot write the log " + (fDir / "no" / "x.log").string() + ": No such file or directory"},
      {{"--log=/dev/full", "--script",
        File("e.txt", "check in 0\nsend 0 90 3C 64\nwait log 1\n"
                      "quit\n")},
       1,
       "the log /dev/full: No space left on device"},
      {{"--out="}, 2, "--out= needs a part of a port name"},
      {{"--scale=4"}, 2, "--scale= takes 1, 2, 3 or auto"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Reason);
    std::vector<std::string> args{Monitor, "--headless", "--midi=virtual"};
    args.insert(args.end(), c.Args.begin(), c.Args.end());
    TChildProcess monitor(args);
    EXPECT_EQ(monitor.Wait(60000), c.ExitCode);
    EXPECT_NE(monitor.Stderr().find(c.Reason), std::string::npos) << monitor.Stderr();
  }
}

// SIGINT and SIGTERM end the program as closing its window does, with the
// log written: exit code 0 for the router, also once a script ended without
// quitting; a script cut short is a failure.
TEST_F(MonitorCommandLine, StopSignalsEndTheProgramCleanlyWithTheLogWritten) {
  const std::string router = "running without a display until SIGINT or SIGTERM";
  const struct {
    std::vector<std::string> Args;
    int Signal;
    std::vector<std::string> Log; // the lines after their time
    int ExitCode;
    std::string Reason;
  } cases[] = {
      {{}, SIGTERM, {}, 0, "midimonitor: SIGTERM: ending"},
      {{"--script", File("a.txt", "check out 0\ncheck in 0\nsend 0 90 3C 64\n"
                                  "send 0 C9 00 00\nwait log 2\n")},
       SIGINT,
       {"Keys\t90, 3C, 64\tNote On \tKanal 0\tC Oktave 5\tVelocity 100",
        "Keys\tC9, 00, 00\tProgram Change\tKanal 9\tAcousticGrandPiano\t"},
       0,
       "midimonitor: SIGINT: ending"},
      {{"--script", File("b.txt", "check in 0\nsend 0 D0 40 00\nwait log 1\nwait 60000\n")},
       SIGTERM,
       {"Keys\tD0, 40, 00\tMonophonic Aftertouch\tKanal 0\tTastendruck 64\t"},
       1,
       "midimonitor: SIGTERM came before the script ended"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Reason);
    const bool untilSignal = c.ExitCode == 0;
    std::vector<std::string> args{Monitor, "--headless", "--midi=virtual:in=Keys;out=Synth",
                                  "--log=-"};
    args.insert(args.end(), c.Args.begin(), c.Args.end());
    TChildProcess monitor(args);
    // Ready for the signal: the program says it runs until one comes, or
    // the script's messages are in the log while it waits.
    const auto ready = [&] {
      return untilSignal ? monitor.Stderr().find(router) != std::string::npos
                         : textlines::Lines(monitor.Stdout()).size() >= c.Log.size();
    };
    ASSERT_TRUE(WaitUntil(ready, 60000)) << monitor.Stderr();
    kill(monitor.Pid(), c.Signal);
    EXPECT_EQ(monitor.Wait(60000), c.ExitCode);
    EXPECT_NE(monitor.Stderr().find(c.Reason), std::string::npos) << monitor.Stderr();
    // The time's form has the log line's own test.
    std::vector<std::string> log = textlines::Lines(monitor.Stdout());
    for (std::string& line : log)
      line.erase(0, line.find('\t') + 1);
    EXPECT_EQ(log, c.Log) << monitor.Stdout();
  }
}

// --in and --out, each given twice, check the ports whose names contain one
// of their patterns at start.
TEST_F(MonitorCommandLine, InAndOutChooseThePortsByName) {
  TChildProcess monitor({Monitor, "--headless",
                         "--midi=virtual:in=Keystation,Pads,Drums;out=Synth,Sampler", "--in=keys",
                         "--in=DRUM", "--out=sampler", "--script",
                         File("s.txt", "send 2 90 3C 64\nwait log 1\ndump\nquit\n")});
  ASSERT_EQ(monitor.Wait(60000), 0) << monitor.Stderr();
  const std::string out = monitor.Stdout();
  for (const char* line :
       {"item\tclbInputDevices\t0\t[x] Keystation\n", "item\tclbInputDevices\t1\t[ ] Pads\n",
        "item\tclbInputDevices\t2\t[x] Drums\n", "item\tclbOutputDevices\t0\t[ ] Synth\n",
        "item\tclbOutputDevices\t1\t[x] Sampler\n",
        "status\tDrums: Statusbyte 90, Parameter 1 3C, Parameter 2 64\n"})
    EXPECT_NE(out.find(line), std::string::npos) << line << out;
}

// --screen shows the whole headless screen: the desktop colour, and the
// window at its place, pixel for pixel as the window's own screenshot shows
// it where that is opaque.
TEST_F(MonitorCommandLine, ScreenScreenshotShowsTheWindowAtItsPlaceOnTheDesktop) {
  const std::string window = (fDir / "window.png").string();
  const std::string screen = (fDir / "screen.png").string();
  for (const auto& args : {std::vector<std::string>{"--screenshot", window},
                           std::vector<std::string>{"--screenshot", screen, "--screen"}}) {
    std::vector<std::string> all{Monitor, "--headless", "--midi=virtual"};
    all.insert(all.end(), args.begin(), args.end());
    TChildProcess monitor(all);
    ASSERT_EQ(monitor.Wait(60000), 0) << monitor.Stderr();
  }
  const platform::ImageResult w = platform::LoadImageFile(window);
  const platform::ImageResult s = platform::LoadImageFile(screen);
  ASSERT_TRUE(w.Ok() && s.Ok());
  const TSize size = platform::HostOptions{}.HeadlessScreen;
  EXPECT_EQ(s.Image.Width(), size.cx);
  EXPECT_EQ(s.Image.Height(), size.cy);
  const std::uint32_t desktop = platform::GetSysColor(platform::COLOR_BACKGROUND);
  EXPECT_EQ(s.Image.Pixel(0, 0) & 0xFFFFFF,
            ((desktop & 0xFF) << 16) | (desktop & 0xFF00) | ((desktop >> 16) & 0xFF));
  // Where the window is: the place whose pixels match the window's caption
  // (the rows below repeat themselves too much to tell places apart).
  const auto matchesAt = [&](int aLeft, int aTop, int aRowFrom, int aRowTo) {
    for (int y = aRowFrom; y < aRowTo; ++y)
      for (int x = 0; x < w.Image.Width(); ++x) {
        const std::uint32_t pixel = w.Image.Pixel(x, y);
        if (pixel >> 24 != 0 &&
            (pixel & 0xFFFFFF) != (s.Image.Pixel(aLeft + x, aTop + y) & 0xFFFFFF))
          return false;
      }
    return true;
  };
  TPoint at{-1, -1};
  for (int y = 0; y + w.Image.Height() <= s.Image.Height() && at.X < 0; ++y)
    for (int x = 0; x + w.Image.Width() <= s.Image.Width() && at.X < 0; ++x)
      if (matchesAt(x, y, 0, 18))
        at = {x, y};
  ASSERT_GE(at.X, 0) << "the window is not on the screen";
  EXPECT_TRUE(matchesAt(at.X, at.Y, 0, w.Image.Height()));
  int transparent = 0;
  for (int y = 0; y < w.Image.Height(); ++y)
    for (int x = 0; x < w.Image.Width(); ++x)
      transparent += w.Image.Pixel(x, y) >> 24 == 0;
  EXPECT_GT(transparent, 0) << "the frame's corners are cut out of the window";
}

// The version box of /qcver shows before the window exists. A script sees it
// in a dump that holds nothing else yet, closes it, and goes on with the
// window; a screenshot taken meanwhile shows the box, and the dump at the end
// lists it. Headless, each box's text also goes to standard error.
TEST_F(MonitorCommandLine, TheVersionBoxBeforeTheWindowIsScriptedScreenshotAndDumped) {
  const std::string script = File("s.txt", "dump\nclose messagebox\nwait 100\ndump\nquit\n");
  TChildProcess scripted({Monitor, "/qcver", "--headless", "--midi=virtual", "--script", script});
  ASSERT_EQ(scripted.Wait(60000), 0) << scripted.Stderr();
  const std::string out = scripted.Stdout();
  EXPECT_EQ(out.find("messagebox\tQuillaControls v9.13\ncaption\tfrmMonitor\t"), 0u) << out;
  EXPECT_EQ(out.rfind("messagebox"), 0u) << "the box is gone when the window shows: " << out;
  EXPECT_NE(scripted.Stderr().find("midimonitor: QuillaControls v9.13\n"), std::string::npos)
      << scripted.Stderr();

  const std::string shot = (fDir / "box.png").string();
  TChildProcess pictured({Monitor, "/qcver", "--headless", "--midi=virtual", "--screenshot", shot,
                          "--after", "200", "--dump"});
  ASSERT_EQ(pictured.Wait(60000), 0) << pictured.Stderr();
  EXPECT_EQ(pictured.Stdout(), "messagebox\tQuillaControls v9.13\n");
  const platform::ImageResult box = platform::LoadImageFile(shot);
  ASSERT_TRUE(box.Ok()) << box.Error;
  EXPECT_GT(box.Image.Width(), 100);
  EXPECT_LT(box.Image.Width(), 400) << "the box, not a window of the monitor's size";
}

// Behind the error box of a skin that fails to load, the window shows the
// built-in skin as finished: below the tab row (where only the focus mark of
// the active window differs) pixel for pixel as a run without the skin
// option. The dump, taken while the box shows, lists it.
TEST_F(MonitorCommandLine, BehindASkinErrorBoxTheWindowLooksFinished) {
  const std::string skin = File("Broken.qsz", std::string("QSzf\x09", 5));
  const std::string broken = (fDir / "broken.png").string();
  const std::string plain = (fDir / "plain.png").string();
  TChildProcess failing({Monitor, "--headless", "--midi=virtual", "--skin=" + skin, "--screenshot",
                         broken, "--after", "300", "--dump"});
  ASSERT_EQ(failing.Wait(60000), 0) << failing.Stderr();
  EXPECT_NE(failing.Stdout().find("messagebox\tStream read error\n"), std::string::npos)
      << failing.Stdout();
  EXPECT_NE(failing.Stderr().find("midimonitor: Stream read error\n"), std::string::npos)
      << failing.Stderr();
  TChildProcess usual({Monitor, "--headless", "--midi=virtual", "--screenshot", plain});
  ASSERT_EQ(usual.Wait(60000), 0) << usual.Stderr();
  const platform::ImageResult a = platform::LoadImageFile(broken);
  const platform::ImageResult b = platform::LoadImageFile(plain);
  ASSERT_TRUE(a.Ok() && b.Ok());
  ASSERT_EQ(a.Image.BoundsRect(), b.Image.BoundsRect());
  constexpr int TabRowBottom = 42, Frame = 4;
  const TRect below{Frame, TabRowBottom, a.Image.Width() - Frame, a.Image.Height() - Frame};
  EXPECT_TRUE(pixelcheck::SameBitmap(pixelcheck::Cropped(a.Image, below),
                                     pixelcheck::Cropped(b.Image, below), "behind-skin-error-box"));
}

// --scale=2 writes every pixel of the unscaled screenshot as a 2 x 2 block.
TEST_F(MonitorCommandLine, AScaledScreenshotIsTheUnscaledOneInBlocks) {
  const std::string one = (fDir / "one.png").string();
  const std::string two = (fDir / "two.png").string();
  for (const auto& [scale, file] : {std::pair{"--scale=1", one}, std::pair{"--scale=2", two}}) {
    TChildProcess monitor({Monitor, "--headless", "--midi=virtual", scale, "--screenshot", file});
    ASSERT_EQ(monitor.Wait(60000), 0) << monitor.Stderr();
  }
  const platform::ImageResult a = platform::LoadImageFile(one);
  const platform::ImageResult b = platform::LoadImageFile(two);
  ASSERT_TRUE(a.Ok() && b.Ok());
  ASSERT_EQ(b.Image.Width(), 2 * a.Image.Width());
  ASSERT_EQ(b.Image.Height(), 2 * a.Image.Height());
  int differing = 0;
  for (int y = 0; y < b.Image.Height(); ++y)
    for (int x = 0; x < b.Image.Width(); ++x)
      differing += b.Image.Pixel(x, y) != a.Image.Pixel(x / 2, y / 2);
  EXPECT_EQ(differing, 0);
}

} // namespace
