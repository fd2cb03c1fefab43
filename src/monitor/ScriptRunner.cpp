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

using TWords = std::vector<std::string_view>;
using TKind = TScriptCommand::TKind;

void ParseCheck(const TWords& w, TScriptCommand& c) {
  c.Checked = w[0] == "check";
  c.Output = w[1] == "out";
  c.Index = Number(w[2], 10, 1 << 20, "line");
}

// "mouse ACTION X Y", "click X Y" and "rclick X Y".
void ParsePointer(const TWords& w, TScriptCommand& c) {
  using TPointer = TScriptCommand::TPointer;
  if (w[0] == "click")
    c.Pointer = TPointer::Click;
  else if (w[0] == "rclick")
    c.Pointer = TPointer::RightClick;
  else if (w[1] == "move")
    c.Pointer = TPointer::Move;
  else if (w[1] == "down")
    c.Pointer = TPointer::Down;
  else if (w[1] == "up")
    c.Pointer = TPointer::Up;
  else
    throw std::invalid_argument("no mouse action \"" + std::string(w[1]) + "\"");
  c.X = Number(w[w.size() - 2], 10, MaxWindowPoint, "x");
  c.Y = Number(w[w.size() - 1], 10, MaxWindowPoint, "y");
}

void ParseHit(const TWords& w, TScriptCommand& c) {
  c.X = Number(w[1], 10, MaxWindowPoint, "x");
  c.Y = Number(w[2], 10, MaxWindowPoint, "y");
}

void ParseWheel(const TWords& w, TScriptCommand& c) {
  ParseHit(w, c);
  c.Index = Number(w[3], 10, MaxNotches, "notches", -MaxNotches);
}

void ParseKey(const TWords& w, TScriptCommand& c) {
  const auto* key = std::find_if(std::begin(KeyNames), std::end(KeyNames),
                                 [&](const TKeyName& k) { return k.Name == w[1]; });
  if (key == std::end(KeyNames))
    throw std::invalid_argument("no key \"" + std::string(w[1]) + "\"");
  c.Name = w[1];
  c.Index = key->VirtKey;
  c.KeyChar = key->Char;
}

void ParseName(const TWords& w, TScriptCommand& c) {
  c.Name = w[1];
}

void ParseButton(const TWords& w, TScriptCommand& c) {
  if (w[1] != "btnResetIn" && w[1] != "btnResetOut" && w[1] != "btnListeLeeren")
    throw std::invalid_argument("no button \"" + std::string(w[1]) + "\"");
  c.Name = w[1];
}

void ParseLogLine(const TWords& w, TScriptCommand& c) {
  c.Index = Number(w[2], 10, 1 << 30, "line");
}

void ParseSend(const TWords& w, TScriptCommand& c) {
  c.Index = Number(w[1], 10, 1 << 20, "port");
  for (int i = 0; i < 3; ++i) {
    if (w[2 + i].size() > 2)
      throw std::invalid_argument("byte \"" + std::string(w[2 + i]) + "\" is not valid");
    c.Bytes[i] = static_cast<std::uint8_t>(Number(w[2 + i], 16, 255, "byte"));
  }
}

void ParseWait(const TWords& w, TScriptCommand& c) {
  c.Ms = Number(w[1], 10, 24 * 3600 * 1000, "time");
}

void ParseLogCount(const TWords& w, TScriptCommand& c) {
  c.Index = Number(w[2], 10, 1 << 30, "line count");
}

// The caption may have blanks.
void ParseMenu(const TWords& w, TScriptCommand& c) {
  c.Name = w[1];
  for (std::size_t i = 2; i < w.size(); ++i)
    c.Name += " " + std::string(w[i]);
}

// A command's form: its first word, its word count, the second word when it
// is fixed, and what the other words give.
struct TSyntax {
  std::string_view Verb;
  std::size_t MinWords;
  std::size_t MaxWords;
  std::string_view Second; // empty: any
  TKind Kind;
  void (*Parse)(const TWords&, TScriptCommand&);
};

constexpr std::size_t AnyCount = std::size_t(-1);

constexpr TSyntax Syntax[] = {
    {"check", 3, 3, "in", TKind::Check, &ParseCheck},
    {"check", 3, 3, "out", TKind::Check, &ParseCheck},
    {"uncheck", 3, 3, "in", TKind::Check, &ParseCheck},
    {"uncheck", 3, 3, "out", TKind::Check, &ParseCheck},
    {"mouse", 4, 4, "", TKind::Pointer, &ParsePointer},
    {"click", 3, 3, "", TKind::Pointer, &ParsePointer},
    {"rclick", 3, 3, "", TKind::Pointer, &ParsePointer},
    {"hit", 3, 3, "", TKind::Hit, &ParseHit},
    {"wheel", 4, 4, "", TKind::Wheel, &ParseWheel},
    {"key", 2, 2, "", TKind::Key, &ParseKey},
    {"screenshot", 2, 2, "", TKind::Screenshot, &ParseName},
    {"click", 2, 2, "", TKind::Click, &ParseButton},
    {"select", 3, 3, "log", TKind::SelectLog, &ParseLogLine},
    {"send", 5, 5, "", TKind::Send, &ParseSend},
    {"wait", 2, 2, "", TKind::Wait, &ParseWait},
    {"wait", 3, 3, "log", TKind::WaitLog, &ParseLogCount},
    {"menu", 2, AnyCount, "", TKind::Menu, &ParseMenu},
    {"close", 2, 2, "messagebox", TKind::CloseMessageBox, nullptr},
    {"dump", 1, 1, "", TKind::Dump, nullptr},
    {"quit", 1, 1, "", TKind::Quit, nullptr},
};

TScriptCommand ParseCommand(const TWords& aWords) {
  const auto* syntax = std::find_if(std::begin(Syntax), std::end(Syntax), [&](const TSyntax& s) {
    return s.Verb == aWords[0] && aWords.size() >= s.MinWords && aWords.size() <= s.MaxWords &&
           (s.Second.empty() || s.Second == aWords[1]);
  });
  if (syntax == std::end(Syntax))
    throw std::invalid_argument("unknown command");
  TScriptCommand c;
  c.Kind = syntax->Kind;
  if (syntax->Parse)
    syntax->Parse(aWords, c);
  return c;
}

// Commands whose effects come through the window's loop (pointer input takes
// effect when the loop runs), so the commands after them wait for its next
// turn.
bool ActsOnWindow(TKind aKind) {
  switch (aKind) {
  case TKind::Check:
  case TKind::Click:
  case TKind::SelectLog:
  case TKind::CloseMessageBox:
  case TKind::Pointer:
  case TKind::Menu:
  case TKind::Wheel:
  case TKind::Key:
    return true;
  default:
    return false;
  }
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

bool TScriptRunner::Waiting(TClock::time_point aNow) {
  if (!fWaiting)
    return false;
  if (fWaiting->Kind == TKind::WaitLog) {
    if (fTarget.LogLineCount() < fWaiting->Index) {
      if (aNow < fWaitUntil)
        return true;
      Fail(fWaiting->Line, "wait log " + std::to_string(fWaiting->Index) + ": the log has " +
                               std::to_string(fTarget.LogLineCount()) + " lines after " +
                               std::to_string(fWaitLogTimeout.count()) + " ms");
      return true;
    }
  } else if (aNow < fWaitUntil) {
    return true;
  }
  fWaiting = nullptr;
  return false;
}

TScriptRunner::TState TScriptRunner::Step(TClock::time_point aNow) {
  if (fState != TState::Running || Waiting(aNow))
    return fState;
  if (fNext >= fCommands.size()) {
    fState = TState::Finished;
    return fState;
  }
  const TScriptCommand& c = fCommands[fNext++];
  fRanWindowCommand = ActsOnWindow(c.Kind);
  try {
    Execute(c, aNow);
  } catch (const std::exception& e) {
    Fail(c.Line, e.what());
  }
  return fState;
}

void TScriptRunner::Execute(const TScriptCommand& c, TClock::time_point aNow) {
  switch (c.Kind) {
  case TKind::Check:
    return fTarget.SetLineChecked(c.Output, c.Index, c.Checked);
  case TKind::Click:
    return fTarget.ClickButton(c.Name);
  case TKind::SelectLog:
    return fTarget.SelectLogLine(c.Index);
  case TKind::Pointer:
    return fTarget.MovePointer(c.Pointer, c.X, c.Y);
  case TKind::Menu:
    return fTarget.ChooseMenuItem(c.Name);
  case TKind::Wheel:
    return fTarget.TurnWheel(c.X, c.Y, c.Index);
  case TKind::Key:
    return fTarget.PressKey(c.Index, c.KeyChar);
  case TKind::Screenshot:
    return fTarget.Screenshot(c.Name);
  case TKind::Hit:
    return fTarget.HitTest(c.X, c.Y);
  case TKind::Send:
    return fTarget.InjectMessage(c.Index, c.Bytes[0], c.Bytes[1], c.Bytes[2]);
  case TKind::Wait:
    fWaiting = &c;
    fWaitUntil = aNow + std::chrono::milliseconds(c.Ms);
    return;
  case TKind::WaitLog:
    fWaiting = &c;
    fWaitUntil = aNow + fWaitLogTimeout;
    return;
  case TKind::CloseMessageBox:
    if (!fTarget.CloseMessageBox())
      throw std::runtime_error("no message box is showing");
    return;
  case TKind::Dump:
    return fTarget.Dump();
  case TKind::Quit:
    fState = TState::Finished;
    return fTarget.Quit();
  }
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
