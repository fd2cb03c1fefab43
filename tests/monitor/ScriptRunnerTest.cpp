#include "monitor/ScriptRunner.h"

#include "monitor/CommandLine.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace {

using namespace std::chrono_literals;
using TKind = TScriptCommand::TKind;

TEST(ParseScript, EveryCommandWithCommentsAndBlankLines) {
  const auto c = ParseScript("# setup\n"
                             "check in 0\n"
                             "  uncheck   out 12  # trailing comment\n"
                             "\n"
                             "click btnListeLeeren\r\n"
                             "select log 3\n"
                             "send 1 90 3c 7F\n"
                             "send 0 f8 0 0\n"
                             "wait 250\n"
                             "wait log 100000\n"
                             "close messagebox\n"
                             "dump\n"
                             "quit");
  ASSERT_EQ(c.size(), 11u);
  EXPECT_EQ(c[0].Kind, TKind::Check);
  EXPECT_TRUE(c[0].Checked);
  EXPECT_FALSE(c[0].Output);
  EXPECT_EQ(c[0].Index, 0);
  EXPECT_EQ(c[0].Line, 2);
  EXPECT_EQ(c[1].Kind, TKind::Check);
  EXPECT_FALSE(c[1].Checked);
  EXPECT_TRUE(c[1].Output);
  EXPECT_EQ(c[1].Index, 12);
  EXPECT_EQ(c[1].Line, 3);
  EXPECT_EQ(c[2].Kind, TKind::Click);
  EXPECT_EQ(c[2].Name, "btnListeLeeren");
  EXPECT_EQ(c[3].Kind, TKind::SelectLog);
  EXPECT_EQ(c[3].Index, 3);
  EXPECT_EQ(c[4].Kind, TKind::Send);
  EXPECT_EQ(c[4].Index, 1);
  EXPECT_EQ(c[4].Bytes[0], 0x90);
  EXPECT_EQ(c[4].Bytes[1], 0x3C);
  EXPECT_EQ(c[4].Bytes[2], 0x7F);
  EXPECT_EQ(c[5].Bytes[0], 0xF8);
  EXPECT_EQ(c[6].Kind, TKind::Wait);
  EXPECT_EQ(c[6].Ms, 250);
  EXPECT_EQ(c[7].Kind, TKind::WaitLog);
  EXPECT_EQ(c[7].Index, 100000);
  EXPECT_EQ(c[8].Kind, TKind::CloseMessageBox);
  EXPECT_EQ(c[9].Kind, TKind::Dump);
  EXPECT_EQ(c[10].Kind, TKind::Quit);
  EXPECT_EQ(c[10].Line, 13);
}

TEST(ParseScript, PointerCommandsAndScreenshot) {
  using TPointer = TScriptCommand::TPointer;
  const auto c = ParseScript("mouse move 0 0\n"
                             "mouse down 700 12\n"
                             "mouse  up\t700 12\n"
                             "click 5 32768\n"
                             "screenshot /tmp/hot.png\n"
                             "click btnResetIn\n"
                             "rclick 40 8\n"
                             "menu  Available skins \n"
                             "hit 700 12");
  ASSERT_EQ(c.size(), 9u);
  const struct {
    TPointer Pointer;
    int X, Y;
  } pointer[] = {{TPointer::Move, 0, 0},
                 {TPointer::Down, 700, 12},
                 {TPointer::Up, 700, 12},
                 {TPointer::Click, 5, 32768},
                 {TPointer::RightClick, 40, 8}};
  for (int i : {0, 1, 2, 3, 6}) {
    SCOPED_TRACE(i);
    EXPECT_EQ(c[i].Kind, TKind::Pointer);
    const auto& expected = pointer[i == 6 ? 4 : i];
    EXPECT_EQ(c[i].Pointer, expected.Pointer);
    EXPECT_EQ(c[i].X, expected.X);
    EXPECT_EQ(c[i].Y, expected.Y);
  }
  EXPECT_EQ(c[4].Kind, TKind::Screenshot);
  EXPECT_EQ(c[4].Name, "/tmp/hot.png");
  EXPECT_EQ(c[5].Kind, TKind::Click);
  EXPECT_EQ(c[7].Kind, TKind::Menu);
  EXPECT_EQ(c[7].Name, "Available skins") << "words joined by one blank";
  EXPECT_EQ(c[8].Kind, TKind::Hit);
  EXPECT_EQ(c[8].X, 700);
  EXPECT_EQ(c[8].Y, 12);
}

TEST(ParseScript, WheelAndKeys) {
  const auto c = ParseScript("wheel 700 60 3\nwheel 0 0 -1000\nkey Down\nkey Space\nkey PageDown");
  ASSERT_EQ(c.size(), 5u);
  EXPECT_EQ(c[0].Kind, TKind::Wheel);
  EXPECT_EQ(c[0].X, 700);
  EXPECT_EQ(c[0].Y, 60);
  EXPECT_EQ(c[0].Index, 3);
  EXPECT_EQ(c[1].Index, -1000);
  const struct {
    const char* Name;
    int VirtKey;
    char32_t Char;
  } keys[] = {{"Down", 0x28, 0}, {"Space", 0x20, U' '}, {"PageDown", 0x22, 0}};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(c[2 + i].Kind, TKind::Key);
    EXPECT_EQ(c[2 + i].Name, keys[i].Name);
    EXPECT_EQ(c[2 + i].Index, keys[i].VirtKey);
    EXPECT_EQ(c[2 + i].KeyChar, keys[i].Char);
  }
}

TEST(ParseScript, BadLinesNameTheirLineNumber) {
  const char* bad[] = {"mouse move 1",    "mouse move 1 2 3",
                       "mouse drag 1 2",  "mouse click 1 2",
                       "mouse move -1 2", "mouse up 1 y",
                       "mouse down 1 2x", "mouse move 32769 0",
                       "click 1",         "click 1 2 3",
                       "click x 2",       "rclick 1",
                       "rclick x 2",      "menu",
                       "screenshot",      "screenshot a b",
                       "mouse",           "check 1",
                       "check in",        "check in -1",
                       "check in x",      "check sideways 1",
                       "click btnOk",     "select log",
                       "send 0 90 3C",    "send 0 100 00 00",
                       "send 0 G0 00 00", "wait",
                       "wait -5",         "wait log many",
                       "close",           "dump now",
                       "wheel 1 2",       "wheel 1 2 1001",
                       "wheel 1 2 -1001", "wheel -1 2 1",
                       "wheel 1 2 x",     "key",
                       "key down",        "key Down Up",
                       "frobnicate"};
  for (const char* line : bad) {
    try {
      ParseScript(std::string("dump\n\n") + line);
      ADD_FAILURE() << line;
    } catch (const std::invalid_argument& e) {
      EXPECT_EQ(std::string(e.what()).rfind("script line 3: ", 0), 0u) << e.what();
    }
  }
}

class TFakeTarget : public TScriptTarget {
public:
  std::vector<std::string> Calls;
  int Lines = 0;
  bool BoxShowing = false;
  void SetLineChecked(bool aOutput, int aIndex, bool aChecked) override {
    if (aIndex > 3)
      throw std::out_of_range("no line " + std::to_string(aIndex));
    Calls.push_back(std::string(aChecked ? "check " : "uncheck ") + (aOutput ? "out " : "in ") +
                    std::to_string(aIndex));
  }
  void ClickButton(const std::string& aName) override { Calls.push_back("click " + aName); }
  void SelectLogLine(int aIndex) override { Calls.push_back("select " + std::to_string(aIndex)); }
  void MovePointer(TScriptCommand::TPointer aAction, int aX, int aY) override {
    Calls.push_back("pointer " + std::to_string(int(aAction)) + " " + std::to_string(aX) + " " +
                    std::to_string(aY));
  }
  void TurnWheel(int aX, int aY, int aNotches) override {
    Calls.push_back("wheel " + std::to_string(aX) + " " + std::to_string(aY) + " " +
                    std::to_string(aNotches));
  }
  void PressKey(int aVirtKey, char32_t aChar) override {
    Calls.push_back("key " + std::to_string(aVirtKey) + " " + std::to_string(int(aChar)));
  }
  void Screenshot(const std::string& aPath) override {
    if (aPath.empty() || aPath[0] != '/')
      throw std::runtime_error("cannot write " + aPath);
    Calls.push_back("screenshot " + aPath);
  }
  void HitTest(int aX, int aY) override {
    Calls.push_back("hit " + std::to_string(aX) + " " + std::to_string(aY));
  }
  void InjectMessage(int aPort, std::uint8_t aStatus, std::uint8_t aData1,
                     std::uint8_t aData2) override {
    Calls.push_back("send " + std::to_string(aPort) + " " + std::to_string(aStatus) + " " +
                    std::to_string(aData1) + " " + std::to_string(aData2));
  }
  int LogLineCount() const override { return Lines; }
  bool CloseMessageBox() override {
    Calls.push_back("close");
    return std::exchange(BoxShowing, false);
  }
  void ChooseMenuItem(const std::string& aCaption) override {
    if (aCaption == "Nope")
      throw std::runtime_error("menu Nope: the open menu has no such item");
    Calls.push_back("menu " + aCaption);
  }
  void Dump() override { Calls.push_back("dump"); }
  void Quit() override { Calls.push_back("quit"); }
};

TEST(ScriptRunner, RunsOneCommandPerStepAndHonoursWaits) {
  TFakeTarget target;
  TScriptRunner runner(ParseScript("check out 2\nwait 100\nsend 0 90 3C 64\nwait log 2\ndump"),
                       target, 1000ms);
  const auto t0 = TScriptRunner::TClock::time_point{} + 1h;
  EXPECT_EQ(runner.Step(t0), TScriptRunner::TState::Running);
  EXPECT_EQ(target.Calls, std::vector<std::string>{"check out 2"});
  runner.Step(t0);        // starts the wait
  runner.Step(t0 + 99ms); // still waiting
  EXPECT_EQ(target.Calls.size(), 1u);
  runner.Step(t0 + 100ms);
  EXPECT_EQ(target.Calls.back(), "send 0 144 60 100");
  runner.Step(t0 + 100ms); // wait log 2 begins
  target.Lines = 1;
  runner.Step(t0 + 500ms);
  EXPECT_EQ(target.Calls.size(), 2u);
  target.Lines = 2;
  runner.Step(t0 + 600ms);
  EXPECT_EQ(target.Calls.back(), "dump");
  EXPECT_EQ(runner.Step(t0 + 600ms), TScriptRunner::TState::Finished);
}

TEST(ScriptRunner, FailuresEndTheScriptWithTheirLine) {
  const struct {
    const char* Script;
    int Lines;
    const char* Error;
  } cases[] = {
      {"dump\nwait log 5", 4, "script line 2: wait log 5: the log has 4 lines after 1000 ms"},
      {"check in 9", 0, "script line 1: no line 9"},
      {"\nclose messagebox", 0, "script line 2: no message box is showing"},
      {"mouse move 1 1\nscreenshot out.png", 0, "script line 2: cannot write out.png"},
      {"dump\nmenu Nope", 0, "script line 2: menu Nope: the open menu has no such item"},
  };
  for (const auto& c : cases) {
    TFakeTarget target;
    target.Lines = c.Lines;
    TScriptRunner runner(ParseScript(c.Script), target, 1000ms);
    auto now = TScriptRunner::TClock::time_point{};
    for (int i = 0; i < 10 && runner.State() == TScriptRunner::TState::Running; ++i) {
      runner.Step(now);
      now += 600ms;
    }
    EXPECT_EQ(runner.State(), TScriptRunner::TState::Failed) << c.Script;
    EXPECT_EQ(runner.Error(), c.Error);
  }
}

TEST(ScriptRunner, RunGoesOnUntilAWaitOrAWindowCommand) {
  TFakeTarget target;
  TScriptRunner runner(ParseScript("send 0 90 1 1\nsend 0 90 1 2\ndump\ncheck in 0\nsend 0 80 1 "
                                   "0\nwait 50\nclick btnResetIn\nselect log 0\ndump"),
                       target);
  const auto t0 = TScriptRunner::TClock::time_point{};
  runner.Run(t0, 100);
  EXPECT_EQ(target.Calls.size(), 4u);
  EXPECT_EQ(target.Calls.back(), "check in 0");
  runner.Run(t0, 100); // the send, then the wait starts
  EXPECT_EQ(target.Calls.size(), 5u);
  runner.Run(t0 + 10ms, 100);
  EXPECT_EQ(target.Calls.size(), 5u);
  runner.Run(t0 + 50ms, 100);
  EXPECT_EQ(target.Calls.back(), "click btnResetIn");
  runner.Run(t0 + 50ms, 1);
  EXPECT_EQ(target.Calls.back(), "select 0");
  EXPECT_EQ(runner.Run(t0 + 50ms, 100), TScriptRunner::TState::Finished);
  EXPECT_EQ(target.Calls.back(), "dump");
  EXPECT_EQ(target.Calls.size(), 8u);
}

TEST(ScriptRunner, RealInputLetsTheLoopRunBeforeTheNextCommand) {
  TFakeTarget target;
  TScriptRunner runner(
      ParseScript("mouse move 3 4\nmouse down 5 6\nmouse up 7 8\nclick 9 10\nrclick 1 2\nmenu "
                  "Close\nwheel 1 2 -3\nkey End\nscreenshot /a.png"),
      target);
  for (const char* call :
       {"pointer 0 3 4", "pointer 1 5 6", "pointer 2 7 8", "pointer 3 9 10", "pointer 4 1 2",
        "menu Close", "wheel 1 2 -3", "key 35 0", "screenshot /a.png"}) {
    runner.Run({}, 100);
    EXPECT_EQ(target.Calls.back(), call);
  }
  EXPECT_EQ(target.Calls.size(), 7u);
  EXPECT_EQ(runner.Run({}, 100), TScriptRunner::TState::Finished);
}

TEST(ScriptRunner, QuitEndsAtOnce) {
  TFakeTarget target;
  TScriptRunner runner(ParseScript("quit\ndump"), target);
  EXPECT_EQ(runner.Step({}), TScriptRunner::TState::Finished);
  EXPECT_EQ(runner.Step({}), TScriptRunner::TState::Finished);
  EXPECT_EQ(target.Calls, std::vector<std::string>{"quit"});
}

// A command that runs the loop (a modal message box) lets the next steps run
// inside it; the outer step then returns without repeating anything.
TEST(ScriptRunner, StepCalledFromInsideACommandGoesOn) {
  struct TModalTarget : TFakeTarget {
    TScriptRunner* Runner = nullptr;
    void SetLineChecked(bool aOutput, int aIndex, bool aChecked) override {
      TFakeTarget::SetLineChecked(aOutput, aIndex, aChecked);
      BoxShowing = true;
      while (BoxShowing && Runner->State() == TScriptRunner::TState::Running)
        Runner->Step({});
      Calls.push_back("focus moved");
    }
  } target;
  TScriptRunner runner(ParseScript("check in 1\nclose messagebox\ndump"), target);
  target.Runner = &runner;
  runner.Step({});
  runner.Step({});
  EXPECT_EQ(target.Calls, (std::vector<std::string>{"check in 1", "close", "focus moved", "dump"}));
}

TEST(CommandLine, OptionsAndValues) {
  const auto o = ParseCommandLine({"--midi=virtual:in=A,B*;out=C", "--headless", "--screenshot",
                                   "/tmp/a.png", "--after", "1500", "--script", "-", "--dump"});
  EXPECT_EQ(o.Midi, "virtual:in=A,B*;out=C");
  EXPECT_TRUE(o.Headless);
  EXPECT_EQ(o.Screenshot, "/tmp/a.png");
  EXPECT_EQ(o.AfterMs, 1500);
  EXPECT_EQ(o.Script, "-");
  EXPECT_TRUE(o.Dump);
  EXPECT_FALSE(o.ListPorts);
  const auto d = ParseCommandLine({});
  EXPECT_EQ(d.Midi, "auto");
  EXPECT_FALSE(d.Headless);
  EXPECT_TRUE(ParseCommandLine({"--list-ports"}).ListPorts);
}

TEST(CommandLine, SkinOption) {
  EXPECT_EQ(ParseCommandLine({}).Skin, "");
  EXPECT_EQ(ParseCommandLine({"--skin=none"}).Skin, "none");
  EXPECT_EQ(ParseCommandLine({"--skin=../My Skins/Leafy.qsz"}).Skin, "../My Skins/Leafy.qsz");
  EXPECT_THROW(ParseCommandLine({"--skin="}), std::invalid_argument);
  EXPECT_THROW(ParseCommandLine({"--skin", "a.qsz"}), std::invalid_argument);
}

TEST(CommandLine, SkinSwitchesAreLeftToTheSkinEngine) {
  for (const char* arg : {"/qcver", "/QCVer", "/qctest", "/QCTEST"})
    EXPECT_NO_THROW(ParseCommandLine({arg, "--headless"})) << arg;
  EXPECT_TRUE(ParseCommandLine({"/qcver", "--headless"}).Headless);
  for (const char* arg : {"/qc", "/qcversion", "qcver", "-qcver"})
    EXPECT_THROW(ParseCommandLine({arg}), std::invalid_argument) << arg;
}

TEST(CommandLine, BadCommandLinesAreRefused) {
  const std::vector<std::vector<std::string>> bad = {
      {"--midi="},  {"--screenshot"}, {"--after", "10"}, {"--screenshot", "a", "--after", "x"},
      {"--script"}, {"--frob"},       {"virtual"},       {"--screenshot", "a", "--after", "-1"}};
  for (const auto& args : bad)
    EXPECT_THROW(ParseCommandLine(args), std::invalid_argument) << args[0];
}

} // namespace
