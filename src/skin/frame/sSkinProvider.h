#pragma once
// TsSkinProvider: the skinned frame of one form. It sits in front of the
// form's WindowProc (the form's previous procedure is kept in OldWndProc), so
// every message of the form, toolkit notifications and skin commands included,
// reaches it first. It owns the frame's skin data and cache (FCommonData), the
// caption-button states and the last layout of the frame geometry, answers the
// hit test, keeps the window region in step with the skin's corner cut-outs
// and follows skin changes through the manager's broadcasts (FramedForms).
// User-interface thread only.

#include "platform/gfx/Bitmap.h"
#include "skin/controls/qcCtrlAdapter.h"
#include "skin/controls/qcScrollWnd.h"
#include "skin/frame/qcFrameGeometry.h"
#include "skin/frame/sCaptionMouse.h"
#include "skin/frame/sFrameCache.h"
#include "skin/frame/sFrameRunState.h"
#include "skin/frame/sWindowStates.h"
#include "skin/paint/sCommonData.h"
#include "skin/paint/sSkinOwner.h"
#include "toolkit/Forms.h"

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

class TsSkinManager;
struct TSkinCommand;
struct ParentBgInfo;

// Raised when a provider is given an owner that is not a form.
class EAbort : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// Set while a caption item of any frame is held down with the left button.
extern bool CaptionBtnPressed;

class TsSkinProvider : public TComponent, public TsFrameOwner {
public:
  // aOwner must be a form; the provider attaches to it at once.
  explicit TsSkinProvider(TComponent* aOwner);
  // A provider made at run time for a form that has none: its initialisation
  // waits until the form's window is really used (RTInit).
  static TsSkinProvider* CreateRT(TForm* aForm);
  ~TsSkinProvider() override;
  std::string ClassName() const override { return "TsSkinProvider"; }

  // The provider of a form, or nullptr (scGetProvider).
  static TsSkinProvider* Of(TForm* aForm);

  TForm* Form() const { return fForm; }
  TsScrollWndData& SkinData() { return *FCommonData; }
  const TsScrollWndData& SkinData() const { return *FCommonData; }
  TsSkinManager* SkinManager() const { return FCommonData->SkinManager(); }

  // TsFrameOwner.
  TForm* FramedForm() const override { return fForm; }
  bool PaintsCustomFrame() const override { return false; }
  std::string OwnerClassName() const override { return "FORM"; }

  // Properties.
  bool AllowAnimation = true;
  bool DrawNonClientArea = true;
  bool DrawClientArea = true;
  bool ScreenSnap = false;
  int SnapBuffer = 10;
  bool ShowAppIcon = true;
  bool UseGlobalColor() const { return fUseGlobalColor; }
  // Switching it on for a skinned form applies the manager's colour at once.
  void SetUseGlobalColor(bool aValue);
  // The title section, caption alignment, added title and the strips the
  // frame painting keeps between paints.
  TsTitleBarData Title;

  // Initialisation.
  void LoadInit();
  void PrepareForm();
  // Removes or gives back the platform's system-menu style bit.
  void UpdateSysMenuStyle(bool aHide);

  // The form as the frame geometry sees it, from its current window.
  TqcFrameForm FrameForm() const;
  // The form as the frame painting sees it now.
  TsFrameView View() const;
  // Rebuilds a stale frame cache (the layout and the region follow it).
  void PaintAll();
  // The non-client paint: rebuilds what is stale, gives the window its
  // region when it changed and copies the frame strips to the window.
  void PaintFrame();
  // Rebuilds the frame and copies it to the window outside a paint message.
  void RefreshFrame();
  // The frame is painted by the provider now.
  bool Skinned() const { return FCommonData->Skinned(); }
  // The last layout (CalcItems) and the caption buttons it placed.
  void CalcItems();
  const TqcFrameLayout& Layout() const { return fLayout; }
  // The layout whose caption buttons the mouse protocol sets the states of.
  TqcFrameLayout& MutableLayout() { return fLayout; }
  // The caption's mouse protocol and the frame's system menu.
  TsCaptionMouse& CaptionMouse() { return fCaptionMouse; }
  // The frame's hit code for a window point: the geometry's answer, with
  // plain areas left to the platform's own hit test (aPlatformCode).
  platform::LRESULT FrameHitCode(TPoint aWindowPoint, platform::LRESULT aPlatformCode) const;
  // Rebuilds the corner cut-outs and gives the window its region.
  void UpdateRegion(bool aRedraw);
  const std::vector<TRect>& Cutouts() const { return fRunState.Cutouts(); }

  // The adapter of the form's standard controls, while the frame is skinned.
  TqcCtrlAdapter* Adapter() const { return fAdapter; }

  // The adapter of the form's own scroll bars; only a form that scrolls has
  // one.
  TqcScrollWnd* ScrollAdapter() const { return ListSW.get(); }

  // Passes a message on to the form's previous procedure.
  void CallOldWndProc(TMessage& aMessage) { OldWndProc(aMessage); }

  // What the provider knows about its form while it runs, shared with the
  // window states and the caption's mouse protocol.
  TsFrameRunState& RunState() { return fRunState; }
  const TsFrameRunState& RunState() const { return fRunState; }

protected:
  void Notification(TComponent* aComponent, TOperation aOperation) override;

private:
  void Attach();
  void Detach();
  void NewWndProc(TMessage& aMessage);
  // Routing of a skinned frame; false for a message it does not handle (it
  // is then passed on).
  bool RouteSkinned(TMessage& aMessage);
  // The toolkit's notifications to a skinned frame; false when not handled.
  bool RouteNotification(TMessage& aMessage);
  void RoutePassive(TMessage& aMessage);
  void RunDeferredInit();
  // Composition transitions of the window off (aDisabled) or on, while
  // desktop composition is on.
  void SetTransitions(bool aDisabled);
  // Creates the scroll adapter of a scrolling form when it has none.
  void UpdateScrollAdapter();
  // Adapts the form's standard controls, making the adapter when missing.
  void AdaptControls();
  void FreeAdapter();

  // Skin commands; false when the table does not handle the command.
  bool CommandInAnyState(const TSkinCommand& aCommand, TMessage& aMessage);
  bool CommandPassive(const TSkinCommand& aCommand, TMessage& aMessage);
  bool CommandSkinned(const TSkinCommand& aCommand, TMessage& aMessage);
  bool FromOwnManager(const TSkinCommand& aCommand) const;
  // scRepaintChildren: an update of the frame ends with a redraw.
  void RepaintAfterUpdate();
  // scQueryRepaintOnMove: the frame's background depends on its position.
  bool RepaintsOnMove() const;
  // scControlLoaded: adapts a loaded control's standard controls.
  void ControlLoaded(TControl* aControl);
  // scSuspendRedraw, scResumeRedraw (the latter redraws everything).
  void SetRedraw(bool aOn);
  void GetParentBg(ParentBgInfo& aInfo);
  // scPrepareCache: rebuilds a stale cache (not while a skin loads).
  void PrepareCache();
  void RemoveSkin(TMessage& aMessage);
  void PrepareSkinPassive();
  void PrepareSkinSkinned();
  void ApplySkin();

  // Handlers.
  void WMActivate(TMessage& aMessage);
  void WMMove(TMessage& aMessage);
  void WMQueryEndSession(TMessage& aMessage);
  void WMMouseMove(TMessage& aMessage);
  void WMNCDestroy(TMessage& aMessage);
  void CMEnabledChanged(TMessage& aMessage);
  void CMMouseEnter(TMessage& aMessage);
  void CMMenuChanged(TMessage& aMessage);
  void CMControlListChange(TMessage& aMessage);
  void WMNCHitTest(TMessage& aMessage);
  void WMNCPaint(TMessage& aMessage);
  void WMSetRedraw(TMessage& aMessage);
  void WMEraseBkgnd(TMessage& aMessage);
  void WMPaint(TMessage& aMessage);
  void CMVisibleChanged(TMessage& aMessage);

  bool Destroying() const;
  bool FormShowing() const;
  int OffsetX() const;
  int OffsetY() const;
  void ApplyGlobalColor();

  TForm* fForm;
  std::unique_ptr<TsScrollWndData> FCommonData;
  TWndMethod OldWndProc;
  bool fAttached = false;
  bool fUseGlobalColor = true;
  TsFrameRunState fRunState;
  TqcFrameLayout fLayout;
  TsWindowStates fWindowStates{*this};
  TsCaptionMouse fCaptionMouse{*this};
  TqcCtrlAdapter* fAdapter = nullptr;
  // Chained in front of the provider on the form's WindowProc, so it is
  // taken off first.
  std::unique_ptr<TqcScrollWnd> ListSW;
};
