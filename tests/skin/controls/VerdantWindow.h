#pragma once
// An application with the built-in skin loaded and one shown form of the
// skin's main colour, for tests and benchmarks of controls with that skin.

#include "platform/win/MessageLoop.h"
#include "skin/data/sSkinManager.h"
#include "skin/data/sSkinMessages.h"
#include "skin/data/sVerdantSkin.h"
#include "skin/paint/pixels/PixelOps.h"
#include "toolkit/Forms.h"

#include <memory>

// An application with the built-in skin and one shown form of the skin's
// main colour.
struct TVerdantWindow {
  explicit TVerdantWindow(TRect aBounds) {
    SetSkinCommandLine({});
    App = std::make_unique<TApplication>();
    App->Initialize();
    Manager = std::make_unique<TsSkinManager>();
    auto& skin = Manager->InternalSkins.Add();
    skin.SetName(VerdantSkinName);
    const auto data = VerdantSkinData();
    skin.ReadData(data.data(), data.size());
    Manager->SetSkinName(VerdantSkinName);
    Form = App->CreateForm<TForm>();
    Form->SetBoundsRect(aBounds);
    Form->SetColor(ColorToRGB(Manager->GetGlobalColor()));
    Form->Show();
  }
  ~TVerdantWindow() {
    App.reset();
    Manager.reset();
    platform::PumpUntilIdle();
  }
  std::unique_ptr<TApplication> App;
  std::unique_ptr<TsSkinManager> Manager;
  TForm* Form = nullptr;
};
