// The skinned log list (the built-in skin, section BUTTON_BIG, the monitor's
// log size) on the headless host: appending to a long log with the last line
// selected, repainting it after each line, and scrolling it by one line
// through its adapter's scroll bar.

#include "platform/win/MessageLoop.h"
#include "platform/win/Paint.h"
#include "skin/controls/VerdantWindow.h"
#include "skin/controls/sListBox.h"
#include "toolkit/Forms.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>

namespace {

std::string LogLine(int aN) {
  char line[16];
  std::snprintf(line, sizeof line, "%.2X, %.2X, %.2X", 0x80 + (aN % 7) * 0x10 + (aN & 0x0F),
                (aN >> 4) & 0x7F, (aN >> 11) & 0x7F);
  return line;
}

// A window with the built-in skin and the log list of aLines lines.
class TLogRig {
public:
  explicit TLogRig(int aLines) {
    TForm* form = fSkin.App->CreateForm<TForm>();
    form->SetBounds(0, 0, 200, 320);
    {
      TLoadingBracket bracket;
      Log = new TsListBox(form);
      Log->SetParent(form);
      Log->SetBounds(20, 20, 81, 254);
      Log->SetItemHeight(13);
      Log->SkinData.SetSkinSection("BUTTON_BIG");
    }
    form->Show();
    platform::PumpUntilIdle();
    for (int n = 0; n < aLines; ++n)
      Log->Items().Add(LogLine(n));
    Log->SetItemIndex(Log->Count() - 1);
    platform::PumpUntilIdle();
  }
  // A line more, selected as the log's last line.
  void Append() {
    Log->Items().Add(LogLine(Log->Count()));
    Log->SetItemIndex(Log->Count() - 1);
  }
  void RepaintNow() {
    platform::RedrawWindow(Log->Handle(), nullptr, nullptr,
                           platform::RDW_INVALIDATE | platform::RDW_FRAME |
                               platform::RDW_UPDATENOW);
  }

  TsListBox* Log = nullptr;

private:
  TVerdantApp fSkin;
};

// A line appended to a log of arg 0 lines and selected, so the list shows
// it; the paint it asks for comes with the next loop turn. Arg 1: 1 with the
// list's redrawing off, as the monitor adds the lines of one drain (the
// scroll bar is then not repainted per line), 0 with it on.
void BM_LogAppend(benchmark::State& aState) {
  TLogRig rig(int(aState.range(0)));
  const bool redrawOff = aState.range(1) != 0;
  if (redrawOff)
    platform::SendMessageW(rig.Log->Handle(), platform::WM_SETREDRAW, platform::FALSE, 0);
  for (auto _ : aState)
    rig.Append();
  if (redrawOff)
    platform::SendMessageW(rig.Log->Handle(), platform::WM_SETREDRAW, platform::TRUE, 0);
  platform::PumpUntilIdle();
  aState.SetItemsProcessed(aState.iterations());
}
BENCHMARK(BM_LogAppend)->Args({1000000, 0})->Args({1000000, 1});

// A line appended to a log of arg lines, selected, and the log repainted
// at once with its frame and scroll bar: the work must not grow with the
// log's length.
void BM_LogRepaintAfterEachLine(benchmark::State& aState) {
  TLogRig rig(int(aState.range(0)));
  for (auto _ : aState) {
    rig.Append();
    rig.RepaintNow();
  }
  aState.SetItemsProcessed(aState.iterations());
}
BENCHMARK(BM_LogRepaintAfterEachLine)->Arg(1000)->Arg(1000000);

// One line down or up (alternately) by the scroll bar's arrow, as a click on
// it steps: the adapter's scroll step, the list scrolled and repainted at
// once with its bar.
void BM_LogScrollOneLine(benchmark::State& aState) {
  TLogRig rig(int(aState.range(0)));
  rig.Log->SetTopIndex(rig.Log->Count() / 2);
  platform::PumpUntilIdle();
  TqcEditWnd* adapter = rig.Log->ListSW();
  if (adapter == nullptr) {
    aState.SkipWithError("the log has no adapter");
    return;
  }
  platform::WORD code = platform::SB_LINEDOWN;
  for (auto _ : aState) {
    adapter->ScrollStep(platform::WM_VSCROLL, code, 0);
    code = code == platform::SB_LINEDOWN ? platform::SB_LINEUP : platform::SB_LINEDOWN;
  }
  aState.SetItemsProcessed(aState.iterations());
}
BENCHMARK(BM_LogScrollOneLine)->Arg(1000)->Arg(1000000);

} // namespace
