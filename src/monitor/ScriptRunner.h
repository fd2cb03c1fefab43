#pragma once
// Automation of the monitor window for tests and users: a script of commands,
// one a line, run on the user-interface thread in order. '#' starts a comment.
//   check in N | uncheck in N | check out N | uncheck out N
//   click btnResetIn | btnResetOut | btnListeLeeren
//   mouse move X Y | mouse down X Y | mouse up X Y | click X Y | rclick X Y
//                          the pointer at window point X Y (from the window's
//                          top-left corner, frame included), as real input;
//                          rclick clicks the right button
//   menu ITEM              chooses the item of the open popup menu whose
//                          caption (without '&' and shortcut) is ITEM
//   wheel X Y N            N wheel notches (negative: up) at window point X Y
//   key NAME               a key (Down, Space, PageDown ...) to the focused control
//   screenshot FILE        the window as it is now, as PNG
//   hit X Y                prints hit<TAB>X<TAB>Y<TAB>CODE: the window's
//                          WM_NCHITTEST answer at window point X Y
//   select log N
//   send N HH HH HH        inject a message into virtual input port N
//   wait MS | wait log N   (the latter fails the script after a time-out)
//   close messagebox
//   dump
//   quit

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct TScriptCommand {
  enum class TKind {
    Check,           // Output, Index, Checked
    Click,           // Name
    SelectLog,       // Index
    Send,            // Index, Bytes
    Wait,            // Ms
    WaitLog,         // Index: the line count to wait for
    CloseMessageBox, //
    Pointer,         // Pointer, X, Y
    Menu,            // Name: the item's caption
    Wheel,           // X, Y, Index: the notches
    Key,             // Name, Index: the virtual key, KeyChar
    Screenshot,      // Name: the file
    Hit,             // X, Y
    Dump,            //
    Quit,            //
  };
  enum class TPointer { Move, Down, Up, Click, RightClick };
  TKind Kind = TKind::Dump;
  int Line = 0; // line number in the script, from 1
  bool Output = false;
  bool Checked = false;
  int Index = 0;
  int Ms = 0;
  std::string Name;
  TPointer Pointer = TPointer::Move;
  int X = 0;
  int Y = 0;
  std::uint8_t Bytes[3] = {0, 0, 0};
  char32_t KeyChar = 0; // what the key types (0: nothing)
};

// Parses a whole script. Throws std::invalid_argument ("script line 3: ...")
// on the first line that is not a command.
std::vector<TScriptCommand> ParseScript(std::string_view aText);

// What the runner drives: the window, on the user-interface thread. Each
// operation acts as the user (or the MIDI service) would, and throws
// std::exception with a message when it cannot (a line that does not exist).
class TScriptTarget {
public:
  virtual ~TScriptTarget() = default;
  // Toggles line aIndex's check box if its state differs from aChecked; the
  // list's check handler runs.
  virtual void SetLineChecked(bool aOutput, int aIndex, bool aChecked) = 0;
  virtual void ClickButton(const std::string& aName) = 0;
  virtual void SelectLogLine(int aIndex) = 0;
  virtual void InjectMessage(int aPort, std::uint8_t aStatus, std::uint8_t aData1,
                             std::uint8_t aData2) = 0;
  // The left button (the right one for RightClick) and the pointer at window
  // point (aX, aY), delivered as a host delivers real input: the pointer
  // moves there first, then the button goes down, up or both. Takes effect
  // when the loop runs next.
  virtual void MovePointer(TScriptCommand::TPointer aAction, int aX, int aY) = 0;
  // aNotches turns of the wheel with the pointer at window point (aX, aY),
  // as real input; negative turns go up.
  virtual void TurnWheel(int aX, int aY, int aNotches) = 0;
  // Presses and releases key aVirtKey (typing aChar, 0: none) as real input.
  virtual void PressKey(int aVirtKey, char32_t aChar) = 0;
  // Writes the window as it is now as PNG.
  virtual void Screenshot(const std::string& aPath) = 0;
  // Prints the window's hit code at window point (aX, aY).
  virtual void HitTest(int aX, int aY) = 0;
  virtual int LogLineCount() const = 0;
  // Clicks the item of the open popup menu with that caption, as real input;
  // throws when no popup menu is open, it has no such item or the item is
  // greyed.
  virtual void ChooseMenuItem(const std::string& aCaption) = 0;
  // Closes a showing message box with OK; false when none shows.
  virtual bool CloseMessageBox() = 0;
  virtual void Dump() = 0;
  virtual void Quit() = 0;
};

class TScriptRunner {
public:
  using TClock = std::chrono::steady_clock;
  enum class TState { Running, Finished, Failed };

  TScriptRunner(std::vector<TScriptCommand> aCommands, TScriptTarget& aTarget,
                std::chrono::milliseconds aWaitLogTimeout = std::chrono::seconds(20));

  // Runs the next command unless a wait is still pending. The command is taken
  // off the script before it runs, so a Step called again from inside it (a
  // modal message box runs the loop) goes on with the command after it.
  TState Step(TClock::time_point aNow);
  // Steps until a wait is pending, a command that acts on the window has run
  // (it may open a modal loop, and its effects should settle before the next
  // one), or aMaxCommands commands have run.
  TState Run(TClock::time_point aNow, int aMaxCommands);

  TState State() const { return fState; }
  // Why the script failed ("script line 4: ...").
  const std::string& Error() const { return fError; }

private:
  void Fail(int aLine, const std::string& aText);
  // A wait is still pending (or has just failed the script).
  bool Waiting(TClock::time_point aNow);
  void Execute(const TScriptCommand& aCommand, TClock::time_point aNow);

  std::vector<TScriptCommand> fCommands;
  TScriptTarget& fTarget;
  std::chrono::milliseconds fWaitLogTimeout;
  std::size_t fNext = 0;
  bool fRanWindowCommand =
      false; // the last Step ran check, click, select, close, menu or a pointer command
  TState fState = TState::Running;
  std::string fError;
  // The wait in progress: a time, or a log line count with a deadline.
  const TScriptCommand* fWaiting = nullptr;
  TClock::time_point fWaitUntil{};
};
