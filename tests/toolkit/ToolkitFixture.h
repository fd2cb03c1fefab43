#pragma once
// A fresh application object per test, helpers to inject input at a
// control's client point and to run code from inside a modal loop.

#include "platform/win/DefWindowProc.h"
#include "platform/win/Input.h"
#include "platform/win/MessageLoop.h"
#include "platform/win/Window.h"
#include "toolkit/Forms.h"

#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>

class TProbeForm : public TForm {
public:
  explicit TProbeForm(TComponent* aOwner) : TForm(aOwner) {
    SetBorderStyle(bsSingle);
    SetBounds(100, 100, 400, 300);
  }
  std::string ClassName() const override { return "TfrmProbe"; }
};

class ToolkitTest : public ::testing::Test {
protected:
  void SetUp() override {
    fApp = std::make_unique<TApplication>();
    fApp->Initialize();
    fApp->SetTitle("Probe");
  }
  void TearDown() override {
    DeallocateHWnd(fActionWindow);
    fApp.reset();
    platform::PumpUntilIdle();
  }

  TProbeForm* ShownForm() {
    auto* form = fApp->CreateForm<TProbeForm>();
    form->Show();
    platform::PumpUntilIdle();
    return form;
  }

  static TPoint ScreenPoint(TControl* aControl, int aX, int aY) {
    return aControl->ClientToScreen({aX, aY});
  }
  static void Click(TControl* aControl, int aX, int aY) {
    const TPoint p = ScreenPoint(aControl, aX, aY);
    platform::InputMouseMove(p);
    platform::InputMouseButton(platform::MouseButton::Left, true, p);
    platform::InputMouseButton(platform::MouseButton::Left, false, p);
    platform::PumpUntilIdle();
  }
  static void Key(int aVirtKey, char32_t aChar = 0) {
    platform::InputKey(aVirtKey, true, aChar);
    platform::InputKey(aVirtKey, false, 0);
    platform::PumpUntilIdle();
  }

  // Runs aAction from the message loop (also from inside a modal one).
  void PostAction(std::function<void()> aAction) {
    fActions.push_back(std::move(aAction));
    if (fActionWindow == nullptr)
      fActionWindow = AllocateHWnd([this](platform::HWND aWnd, platform::UINT aMsg,
                                          platform::WPARAM aWParam, platform::LPARAM aLParam) {
        if (aMsg == platform::WM_APP) {
          auto action = std::move(fActions.at(std::size_t(aWParam)));
          action();
          return platform::LRESULT(0);
        }
        return platform::DefWindowProcW(aWnd, aMsg, aWParam, aLParam);
      });
    platform::PostMessageW(fActionWindow, platform::WM_APP, fActions.size() - 1, 0);
  }

  std::unique_ptr<TApplication> fApp;
  std::vector<std::function<void()>> fActions;
  platform::HWND fActionWindow = nullptr;
};
