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

// An application and a skin manager with the built-in skin loaded. A form
// that should be framed needs the window hook registered before.
struct TVerdantApp {
  TVerdantApp() {
    SetSkinCommandLine({});
    App = std::make_unique<TApplication>();
    App->Initialize();
    Manager = std::make_unique<TsSkinManager>();
    auto& skin = Manager->InternalSkins.Add();
    skin.SetName(VerdantSkinName);
    const auto data = VerdantSkinData();
    skin.ReadData(data.data(), data.size());
    Manager->SetSkinName(VerdantSkinName);
  }
  ~TVerdantApp() {
    App.reset();
    Manager.reset();
    platform::PumpUntilIdle();
  }
  TVerdantApp(const TVerdantApp&) = delete;
  TVerdantApp& operator=(const TVerdantApp&) = delete;
  std::unique_ptr<TApplication> App;
  std::unique_ptr<TsSkinManager> Manager;
};

// An application with the built-in skin and one shown form of the skin's
// main colour.
struct TVerdantWindow {
  explicit TVerdantWindow(TRect aBounds) {
    Form = Skin.App->CreateForm<TForm>();
    Form->SetBoundsRect(aBounds);
    Form->SetColor(ColorToRGB(Skin.Manager->GetGlobalColor()));
    Form->Show();
  }
  TVerdantApp Skin;
  TForm* Form = nullptr;
};
