#pragma once
// A headless application whose default skin manager holds the built-in skin
// and has installed the window hook, so that forms shown in a test are
// adopted as the program's forms are.

#include "SkinTestUtil.h"
#include "platform/win/MessageLoop.h"
#include "platform/win/Window.h"
#include "platform/win/WindowGeometry.h"
#include "platform/win/WindowProcedures.h"
#include "skin/data/sSkinManager.h"
#include "skin/data/sVerdantSkin.h"
#include "skin/frame/qcDials.h"
#include "skin/frame/sSkinProvider.h"
#include "toolkit/Forms.h"

#include <gtest/gtest.h>
#include <memory>

class FrameTest : public ::testing::Test {
protected:
  void SetUp() override {
    RegisterWindowHook();
    SetSkinCommandLine({});
    fApp = std::make_unique<TApplication>();
    fApp->Initialize();
    fManager = std::make_unique<TsSkinManager>();
    auto& verdant = fManager->InternalSkins.Add();
    verdant.SetName(VerdantSkinName);
    const auto data = VerdantSkinData();
    verdant.ReadData(data.data(), data.size());
    fManager->SetSkinName(VerdantSkinName);
  }
  void TearDown() override {
    fApp.reset();
    fManager.reset();
    platform::PumpUntilIdle();
  }

  // A tool window like the monitor's, shown (and so activated).
  TForm* ShowForm(TRect aBounds = {40, 30, 340, 230}) {
    TForm* form = fApp->CreateForm<TForm>();
    form->SetBorderStyle(bsToolWindow);
    form->SetBorderIcons({biSystemMenu});
    form->SetBoundsRect(aBounds);
    form->SetCaption("Frame");
    form->Show();
    platform::PumpUntilIdle();
    return form;
  }

  static platform::DWORD Style(TForm* aForm) {
    return platform::DWORD(platform::GetWindowLongW(aForm->Handle(), platform::GWL_STYLE));
  }
  static bool HasRegion(TForm* aForm) {
    platform::HRGN rgn = platform::CreateRectRgn(0, 0, 0, 0);
    const int kind = platform::GetWindowRgn(aForm->Handle(), rgn);
    platform::DeleteObject(rgn);
    return kind != platform::ERROR;
  }
  // The answer to WM_NCHITTEST at a window point.
  static platform::LRESULT HitAt(TForm* aForm, int aX, int aY) {
    platform::RECT r{};
    platform::GetWindowRect(aForm->Handle(), &r);
    return platform::SendMessageW(
        aForm->Handle(), platform::WM_NCHITTEST, 0,
        platform::MAKELPARAM(platform::WORD(r.Left + aX), platform::WORD(r.Top + aY)));
  }

  std::unique_ptr<TApplication> fApp;
  std::unique_ptr<TsSkinManager> fManager;
};
