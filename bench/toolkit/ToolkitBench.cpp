// Appending a million lines to a list box with the last one selected after
// each append, and one full repaint of a form laid out like the monitor
// window.

#include "platform/win/MessageLoop.h"
#include "platform/win/Paint.h"
#include "toolkit/Button.h"
#include "toolkit/CheckListBox.h"
#include "toolkit/ListBox.h"
#include "toolkit/PageControl.h"
#include "toolkit/Panel.h"
#include "toolkit/StatusBar.h"
#include "toolkit/StdWindowClasses.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>

using namespace platform;

namespace {

class TBenchForm : public TForm {
public:
  explicit TBenchForm(TComponent* aOwner) : TForm(aOwner) {
    SetBorderStyle(bsToolWindow);
    SetBounds(617, 450, 740, 380);
    SetClientSize(732, 351);
    SetColor(RGB(192, 192, 192));
  }
  std::string ClassName() const override { return "TfrmBench"; }
};

template <class T>
T* Place(TForm* aForm, TWinControl* aParent, int aLeft, int aTop, int aWidth, int aHeight) {
  auto* c = new T(aForm);
  c->SetParent(aParent);
  c->SetBounds(aLeft, aTop, aWidth, aHeight);
  return c;
}

// The monitor window's layout, unskinned.
TForm* MonitorLikeForm(TApplication& aApp) {
  auto* form = aApp.CreateForm<TBenchForm>();
  auto* pages = Place<TPageControl>(form, form, 0, 0, 732, 351);
  pages->SetAlign(alClient);
  pages->SetStyle(tsButtons);
  pages->SetHotTrack(true);
  auto* sheet = new TTabSheet(form);
  sheet->SetPageControl(pages);
  sheet->SetCaption("In/Out");
  auto* status = new TStatusBar(form);
  status->SetParent(sheet);
  status->SetColor(RGB(160, 160, 164));
  status->Panels().Add().SetWidth(50);
  auto* port = Place<TPanel>(form, sheet, 0, 0, 724, 301);
  port->SetAlign(alClient);
  port->SetBevelInner(bvSpace);
  Place<TButton>(form, port, 10, 3, 113, 17)->SetCaption("Midi In (Reset)");
  Place<TButton>(form, port, 320, 3, 113, 17)->SetCaption("Midi Out (Reset)");
  Place<TButton>(form, port, 632, 3, 81, 18)->SetCaption("Liste Reset");
  for (int left : {10, 320}) {
    auto* list = Place<TCheckListBox>(form, port, left, 25, 302, 148);
    list->SetColor(RGB(87, 127, 87));
    list->Font().SetColor(RGB(1, 153, 1));
    for (int i = 0; i < 8; ++i)
      list->Items().Add("Port " + std::to_string(i));
  }
  auto* log = Place<TListBox>(form, port, 632, 25, 81, 254);
  log->SetColor(RGB(87, 127, 87));
  for (int i = 0; i < 100; ++i)
    log->Items().Add("90, 3C, 64");
  struct P {
    int L, T, W, H;
    const char* Caption;
  };
  for (const P& p :
       {P{52, 186, 185, 20, "Statusbyte und Midikanal"}, P{243, 186, 160, 20, "Datenbyte 1"},
        P{409, 186, 160, 20, "Datenbyte 2"}, P{52, 226, 85, 20, "90"},
        P{152, 226, 85, 20, "Kanal 0"}, P{283, 226, 85, 20, "3C"}, P{448, 226, 85, 20, "64"},
        P{52, 266, 185, 20, "Note On "}, P{243, 266, 160, 20, "C Oktave 5"},
        P{409, 266, 160, 20, "Velocity 100"}}) {
    auto* panel = Place<TPanel>(form, port, p.L, p.T, p.W, p.H);
    panel->SetCaption(p.Caption);
  }
  form->Show();
  PumpUntilIdle();
  return form;
}

void BM_ListBoxAppendAndSelect(benchmark::State& aState) {
  const int lines = int(aState.range(0));
  for (auto _ : aState) {
    aState.PauseTiming();
    TApplication app;
    app.Initialize();
    auto* form = app.CreateForm<TBenchForm>();
    auto* list = Place<TListBox>(form, form, 632, 25, 81, 254);
    form->Show();
    PumpUntilIdle();
    char line[16];
    aState.ResumeTiming();
    for (int i = 0; i < lines; ++i) {
      std::snprintf(line, sizeof line, "%.2X, %.2X, %.2X", 0x90, i & 0x7F, 0x64);
      list->Items().Add(line);
      list->SetItemIndex(list->Count() - 1);
    }
    // One paint of what the user sees at the end.
    PumpUntilIdle();
    aState.PauseTiming();
    aState.counters["bytes_per_line"] =
        double(ListBoxMemoryUsed(list->Handle())) / double(std::max(lines, 1));
    aState.counters["memory_MiB"] = double(ListBoxMemoryUsed(list->Handle())) / (1024.0 * 1024.0);
    aState.ResumeTiming();
  }
  aState.counters["per_line"] =
      benchmark::Counter(double(lines) * double(aState.iterations()),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ListBoxAppendAndSelect)
    ->Arg(1000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// The cost of one more line at a given length.
void BM_ListBoxAppendAt(benchmark::State& aState) {
  TApplication app;
  app.Initialize();
  auto* form = app.CreateForm<TBenchForm>();
  auto* list = Place<TListBox>(form, form, 632, 25, 81, 254);
  form->Show();
  PumpUntilIdle();
  for (int i = 0; i < aState.range(0); ++i) {
    list->Items().Add("90, 3C, 64");
  }
  PumpUntilIdle();
  for (auto _ : aState) {
    list->Items().Add("90, 3C, 64");
    list->SetItemIndex(list->Count() - 1);
  }
}
BENCHMARK(BM_ListBoxAppendAt)->Arg(1)->Arg(1000000)->Unit(benchmark::kMicrosecond);

void BM_MonitorFormFullRepaint(benchmark::State& aState) {
  TApplication app;
  app.Initialize();
  TForm* form = MonitorLikeForm(app);
  for (auto _ : aState) {
    RedrawWindow(form->Handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  }
}
BENCHMARK(BM_MonitorFormFullRepaint)->Unit(benchmark::kMicrosecond);

} // namespace
