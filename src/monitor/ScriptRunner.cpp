#include "monitor/ScriptRunner.h"

#include "platform/win/WinDefs.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>

namespace {

// The largest window coordinate a pointer command takes: points right of or
// below the window are allowed, so the pointer can leave it.
constexpr int MaxWindowPoint = 1 << 15;

std::vector<std::string_view> Words(std::string_view aLine) {
  std::vector<std::string_view> words;
  std::size_t i = 0;
  while (i < aLine.size()) {
    while (i < aLine.size() && (aLine[i] == ' ' || aLine[i] == '\t' || aLine[i] == '\r'))
      ++i;
    const std::size_t start = i;
    while (i < aLine.size() && aLine[i] != ' ' && aLine[i] != '\t' && aLine[i] != '\r')
      ++i;
    if (i > start)
      words.push_back(aLine.substr(start, i - start));
  }
  return words;
}

// The most notches one wheel command turns.
constexpr int MaxNotches = 1000;

// The keys a script can press: name, virtual key, the character it types.
struct TKeyName {
  std::string_view Name;
  int VirtKey;
  char32_t Char;
};
constexpr TKeyName KeyNames[] = {
    {"Up", platform::VK_UP, 0},          {"Down", platform::VK_DOWN, 0},
    {"Left", platform::VK_LEFT, 0},      {"Right", platform::VK_RIGHT, 0},
    {"PageUp", platform::VK_PRIOR, 0},   {"PageDown", platform::VK_NEXT, 0},
    {"Home", platform::VK_HOME, 0},      {"End", platform::VK_END, 0},
    {"Space", platform::VK_SPACE, U' '}, {"Enter", platform::VK_RETURN, U'\r'},
    {"Escape", platform::VK_ESCAPE, 0},  {"Tab", platform::VK_TAB, U'\t'},
};

int Number(std::string_view aWord, int aBase, int aMax, const char* aWhat, int aMin = 0) {
  int value = 0;
  const char* end = aWord.data() + aWord.size();
  const auto [ptr, ec] = std::from_chars(aWord.data(), end, value, aBase);
  if (aWord.empty() || ec != std::errc() || ptr != end || value < aMin || value > aMax)
    throw std::invalid_argument(std::string(aWhat) + " \"" + std::string(aWord) +
                                "\" is not valid");
  return value;
}

TScriptCommand ParseCommand(const std::vector<std::string_view>& w) {
  using TKind = TScriptCommand::TKind;
  TScriptCommand c;
  const std::size_t n = w.size();
  const std::string_view verb = w[0];
  if ((verb == "check" || verb == "uncheck") && n == 3 && (w[1] == "in" || w[1] == "out")) {
    c.Kind = TKind::Check;
    c.Checked = verb == "check";
    c.Output = w[1] == "out";
    c.Index = Number(w[2], 10, 1 << 20, "line");
  } else if ((verb == "mouse" && n == 4) || ((verb == "click" || verb == "rclick") && n == 3)) {
    using TPointer = TScriptCommand::TPointer;
    if (verb == "click")
      c.Pointer = TPointer::Click;
    else if (verb == "rclick")
      c.Pointer = TPointer::RightClick;
    else if (w[1] == "move")
      c.Pointer = TPointer::Move;
    else if (w[1] == "down")
      c.Pointer = TPointer::Down;
    else if (w[1] == "up")
      c.Pointer = TPointer::Up;
    else
      throw std::invalid_argument("no mouse action \"" + std::string(w[1]) + "\"");
    c.Kind = TKind::Pointer;
    c.X = Number(w[n - 2], 10, MaxWindowPoint, "x");
    c.Y = Number(w[n - 1], 10, MaxWindowPoint, "y");
  } else if (verb == "hit" && n == 3) {
    c.Kind = TKind::Hit;
    c.X = Number(w[1], 10, MaxWindowPoint, "x");
    c.Y = Number(w[2], 10, MaxWindowPoint, "y");
  } else if (verb == "wheel" && n == 4) {
    c.Kind = TKind::Wheel;
    c.X = Number(w[1], 10, MaxWindowPoint, "x");
    c.Y = Number(w[2], 10, MaxWindowPoint, "y");
    c.Index = Number(w[3], 10, MaxNotches, "notches", -MaxNotches);
  } else if (verb == "key" && n == 2) {
    const auto* key = std::find_if(std::begin(KeyNames), std::end(KeyNames),
                                   [&](const TKeyName& k) { return k.Name == w[1]; });
    if (key == std::end(KeyNames))
      throw std::invalid_argument("no key \"" + std::string(w[1]) + "\"");
    c.Kind = TKind::Key;
    c.Name = w[1];
    c.Index = key->VirtKey;
    c.KeyChar = key->Char;
  } else if (verb == "screenshot" && n == 2) {
    c.Kind = TKind::Screenshot;
    c.Name = w[1];
  } else if (verb == "click" && n == 2) {
    if (w[1] != "btnResetIn" && w[1] != "btnResetOut" && w[1] != "btnListeLeeren")
      throw std::invalid_argument("no button \"" + std::string(w[1]) + "\"");
    c.Kind = TKind::Click;
    c.Name = w[1];
  } else if (verb == "select" && n == 3 && w[1] == "log") {
    c.Kind = TKind::SelectLog;
    c.Index = Number(w[2], 10, 1 << 30, "line");
  } else if (verb == "send" && n == 5) {
    c.Kind = TKind::Send;
    c.Index = Number(w[1], 10, 1 << 20, "port");
    for (int i = 0; i < 3; ++i) {
      if (w[2 + i].size() > 2)
        throw std::invalid_argument("byte \"" + std::string(w[2 + i]) + "\" is not valid");
      c.Bytes[i] = static_cast<std::uint8_t>(Number(w[2 + i], 16, 255, "byte"));
    }
  } else if (verb == "wait" && n == 2) {
    c.Kind = TKind::Wait;
    c.Ms = Number(w[1], 10, 24 * 3600 * 1000, "time");
  } else if (verb == "wait" && n == 3 && w[1] == "log") {
    c.Kind = TKind::WaitLog;
    c.Index = Number(w[2], 10, 1 << 30, "line count");
  } else if (verb == "menu" && n >= 2) {
    // The caption may have blanks.
    c.Kind = TKind::Menu;
    c.Name = w[1];
    for (std::size_t i = 2; i < n; ++i)
      c.Name += " " + std::string(w[i]);
  } else if (verb == "close" && n == 2 && w[1] == "messagebox") {
    c.Kind = TKind::CloseMessageBox;
  } else if (verb == "dump" && n == 1) {
    c.Kind = TKind::Dump;
  } else if (verb == "quit" && n == 1) {
    c.Kind = TKind::Quit;
  } else {
    throw std::invalid_argument("unknown command");
  }
  return c;
}

} // namespace

std::vector<TScriptCommand> ParseScript(std::string_view aText) {
  std::vector<TScriptCommand> commands;
  int lineNumber = 0;
  while (!aText.empty()) {
    const std::size_t end = aText.find('\n');
    std::string_view line = aText.substr(0, end);
    aText = end == std::string_view::npos ? std::string_view{} : aText.substr(end + 1);
    ++lineNumber;
    line = line.substr(0, line.find('#'));
    const auto words = Words(line);
    if (words.empty())
      continue;
    try {
      TScriptCommand command = ParseCommand(words);
      command.Line = lineNumber;
      commands.push_back(std::move(command));
    } catch (const std::invalid_argument& e) {
      throw std::invalid_argument("script line " + std::to_string(lineNumber) + ": " + e.what() +
                                  ": " + std::string(line));
    }
  }
  return commands;
}

TScriptRunner::TScriptRunner(std::vector<TScriptCommand> aCommands, TScriptTarget& aTarget,
                             std::chrono::milliseconds aWaitLogTimeout)
    : fCommands(std::move(aCommands)), fTarget(aTarget), fWaitLogTimeout(aWaitLogTimeout) {}

void TScriptRunner::Fail(int aLine, const std::string& aText) {
  fState = TState::Failed;
  fError = "script line " + std::to_string(aLine) + ": " + aText;
}

TScriptRunner::TState TScriptRunner::Step(TClock::time_point aNow) {
  using TKind = TScriptCommand::TKind;
  if (fState != TState::Running)
    return fState;
  if (fWaiting) {
    if (fWaiting->Kind == TKind::WaitLog) {
      if (fTarget.LogLineCount() < fWaiting->Index) {
        if (aNow < fWaitUntil)
          return fState;
        Fail(fWaiting->Line, "wait log " + std::to_string(fWaiting->Index) + ": the log has " +
                                 std::to_string(fTarget.LogLineCount()) + " lines after " +
                                 std::to_string(fWaitLogTimeout.count()) + " ms");
        return fState;
      }
    } else if (aNow < fWaitUntil) {
      return fState;
    }
    fWaiting = nullptr;
  }
  if (fNext >= fCommands.size()) {
    fState = TState::Finished;
    return fState;
  }
  const TScriptCommand& c = fCommands[fNext++];
  // Pointer input takes effect when the loop runs, so the commands after it
  // wait for the next turn.
  fRanWindowCommand = c.Kind == TKind::Check || c.Kind == TKind::Click ||
                      c.Kind == TKind::SelectLog || c.Kind == TKind::CloseMessageBox ||
                      c.Kind == TKind::Pointer || c.Kind == TKind::Menu || c.Kind == TKind::Wheel ||
                      c.Kind == TKind::Key;
  try {
    switch (c.Kind) {
    case TKind::Check:
      fTarget.SetLineChecked(c.Output, c.Index, c.Checked);
      break;
    case TKind::Click:
      fTarget.ClickButton(c.Name);
      break;
    case TKind::SelectLog:
      fTarget.SelectLogLine(c.Index);
      break;
    case TKind::Pointer:
      fTarget.MovePointer(c.Pointer, c.X, c.Y);
      break;
    case TKind::Menu:
      fTarget.ChooseMenuItem(c.Name);
      break;
    case TKind::Wheel:
      fTarget.TurnWheel(c.X, c.Y, c.Index);
      break;
    case TKind::Key:
      fTarget.PressKey(c.Index, c.KeyChar);
      break;
    case TKind::Screenshot:
      fTarget.Screenshot(c.Name);
      break;
    case TKind::Hit:
      fTarget.HitTest(c.X, c.Y);
      break;
    case TKind::Send:
      fTarget.InjectMessage(c.Index, c.Bytes[0], c.Bytes[1], c.Bytes[2]);
      break;
    case TKind::Wait:
      fWaiting = &c;
      fWaitUntil = aNow + std::chrono::milliseconds(c.Ms);
      break;
    case TKind::WaitLog:
      fWaiting = &c;
      fWaitUntil = aNow + fWaitLogTimeout;
      break;
    case TKind::CloseMessageBox:
      if (!fTarget.CloseMessageBox())
        throw std::runtime_error("no message box is showing");
      break;
    case TKind::Dump:
      fTarget.Dump();
      break;
    case TKind::Quit:
      fState = TState::Finished;
      fTarget.Quit();
      break;
    }
  } catch (const std::exception& e) {
    Fail(c.Line, e.what());
  }
  return fState;
}

TScriptRunner::TState TScriptRunner::Run(TClock::time_point aNow, int aMaxCommands) {
  for (int n = 0; n < aMaxCommands && fState == TState::Running; ++n) {
    fRanWindowCommand = false;
    const std::size_t before = fNext;
    Step(aNow);
    if (fWaiting || fRanWindowCommand || fNext == before)
      break;
  }
  return fState;
}
