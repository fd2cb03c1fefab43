#pragma once
// Forms (top-level windows) and the application object that creates them,
// runs the message loop and catches what handlers raise.
// Runs on the user-interface thread.

#include "toolkit/WinControl.h"

#include <exception>
#include <functional>
#include <string>
#include <utility>
#include <vector>

enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using enum TFormBorderStyle;

enum class TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = TSet<TBorderIcon>;
using enum TBorderIcon;

enum class TPosition { poDesigned, poScreenCenter, poMainFormCenter, poOwnerFormCenter };
using enum TPosition;

enum class TWindowState { wsNormal, wsMinimized, wsMaximized };
using enum TWindowState;

enum class TFormStateFlag { fsCreating, fsVisible, fsShowing, fsModal, fsActivated };
using TFormState = TSet<TFormStateFlag>;
using enum TFormStateFlag;

enum class TCloseAction { caNone, caHide, caFree, caMinimize };
using enum TCloseAction;
using TCloseEvent = std::function<void(TObject* aSender, TCloseAction& aAction)>;
using TCloseQueryEvent = std::function<void(TObject* aSender, bool& aCanClose)>;

using TModalResult = int;
inline constexpr TModalResult mrNone = 0;
inline constexpr TModalResult mrOk = 1;
inline constexpr TModalResult mrCancel = 2;
inline constexpr TModalResult mrAbort = 3;
inline constexpr TModalResult mrRetry = 4;
inline constexpr TModalResult mrIgnore = 5;
inline constexpr TModalResult mrYes = 6;
inline constexpr TModalResult mrNo = 7;
inline constexpr TModalResult mrClose = 8;

// Raised for an operation the state does not allow (a visible form made
// modal, a focus given to a hidden control).
class EInvalidOperation : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

class TForm : public TWinControl {
public:
  explicit TForm(TComponent* aOwner);
  ~TForm() override;
  std::string ClassName() const override { return "TForm"; }

  TFormBorderStyle BorderStyle() const { return fBorderStyle; }
  void SetBorderStyle(TFormBorderStyle aValue);
  const TBorderIcons& BorderIcons() const { return fBorderIcons; }
  void SetBorderIcons(const TBorderIcons& aValue);
  TPosition Position() const { return fPosition; }
  void SetPosition(TPosition aValue) { fPosition = aValue; }
  TWindowState WindowState() const;
  void SetWindowState(TWindowState aValue);
  const TFormState& FormState() const { return fFormState; }

  // The control that has (or gets, when the form shows) the focus.
  TWinControl* ActiveControl() const { return fActiveControl; }
  void SetActiveControl(TWinControl* aControl);

  TModalResult ModalResult() const { return fModalResult; }
  void SetModalResult(TModalResult aValue) { fModalResult = aValue; }

  // Makes the form visible and brings it to the front.
  void Show();
  // Shows the form, runs a message loop until ModalResult is set (or the
  // form is closed) and returns it. Other forms are disabled meanwhile.
  TModalResult ShowModal();
  // Asks OnCloseQuery, runs OnClose and does what it decided; closing the
  // main form ends the application's loop.
  void Close();
  // Frees the form once the messages under way are handled.
  void Release();

  TRect ClientRect() const override;
  void BeforeDestruction() override;
  void AfterConstruction() override;

  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;

protected:
  void CreateParams(TCreateParams& aParams) override;
  void WndProc(TMessage& aMessage) override;
  bool IsTopLevelShown() const override;
  void FocusControl(TWinControl* aControl) override;
  void SetFocusedControl(TWinControl* aControl) override;
  void ControlRemoving(TWinControl* aControl) override;
  void CMShowingChanged(TMessage& aMessage) override;
  void CMDialogKey(TMessage& aMessage) override;
  void Loaded() override;

  virtual void DoCreate();
  virtual void DoDestroy();
  virtual bool CloseQuery();
  virtual void DoClose(TCloseAction& aAction);

private:
  void PlaceOnShow();
  // Focuses the active control, or the first one in tab order.
  void FocusFirst();

  TFormBorderStyle fBorderStyle = bsSizeable;
  TBorderIcons fBorderIcons{biSystemMenu, biMinimize, biMaximize};
  TPosition fPosition = poDesigned;
  TWindowState fWindowState = wsNormal;
  TFormState fFormState;
  TWinControl* fActiveControl = nullptr;
  TWinControl* fFocusedControl = nullptr;
  TModalResult fModalResult = mrNone;
  bool fDestroyHandled = false;
};

// The form a control is on, or nullptr.
TForm* GetParentForm(TControl* aControl);

// A hidden top-level window of the class "TPUtilWindow" whose messages go to
// aMethod; for the toolkit's own bookkeeping (the hook leaves these alone).
platform::HWND AllocateHWnd(platform::ObjectWndProc aMethod);
void DeallocateHWnd(platform::HWND aWnd);

using TExceptionEvent = std::function<void(TObject* aSender, const std::exception_ptr& aError)>;

class TApplication : public TComponent {
public:
  // The application object of the process; sets Application.
  explicit TApplication(TComponent* aOwner = nullptr);
  ~TApplication() override;
  std::string ClassName() const override { return "TApplication"; }

  // Installs the top-level error handler for window procedures and makes
  // the standard window classes available.
  void Initialize();

  // Creates a form owned by the application and runs its AfterConstruction
  // (OnCreate); the first form becomes the main form.
  template <class T, class... A>
  T* CreateForm(A&&... aArgs) {
    T* form = new T(this, std::forward<A>(aArgs)...);
    if (fMainForm == nullptr)
      fMainForm = form;
    form->AfterConstruction();
    return form;
  }
  TForm* MainForm() const { return fMainForm; }

  bool MainFormOnTaskBar() const { return fMainFormOnTaskBar; }
  void SetMainFormOnTaskBar(bool aValue) { fMainFormOnTaskBar = aValue; }
  const std::string& Title() const { return fTitle; }
  void SetTitle(const std::string& aTitle) { fTitle = aTitle; }

  // Shows the main form when it is visible and runs the message loop until
  // the main form closes or Terminate is called.
  void Run();
  // Ends the loop: Run returns once the messages under way are handled.
  void Terminate();
  // Whether the loop has ended (the quit message was taken).
  bool Terminated() const { return fTerminated; }
  // Whether Terminate was called.
  bool Terminating() const { return fQuitPosted || fTerminated; }
  // Handles every message waiting, without blocking.
  void ProcessMessages();
  // Handles one message, waiting for one when none waits. Returns false when
  // the loop was asked to end.
  bool HandleMessage();

  // The top-level error handler: call inside a catch block. Passes the error
  // to OnException when set; otherwise shows its message in a message box
  // and the program goes on.
  void HandleException(TObject* aSender = nullptr);
  void ShowException(const std::string& aMessage);

  // Forms in creation order.
  int FormCount() const { return int(fForms.size()); }
  TForm* Forms(int aIndex) const { return fForms.at(std::size_t(aIndex)); }

  // A message box (TMessageForm) with the application's title as caption.
  // aFlags: MB_OK... with MB_ICONERROR and the like; returns ID_OK...
  int MessageBox(const std::string& aText, const std::string& aCaption, platform::UINT aFlags);

  TExceptionEvent OnException;
  // Told the text of every message box MessageBox shows, as it appears.
  std::function<void(const std::string& aText)> OnMessageBox;

  // Used by forms.
  void AddForm(TForm* aForm);
  void RemoveForm(TForm* aForm);
  void PostRelease(TForm* aForm);

private:
  platform::LRESULT UtilWndProc(platform::HWND aWnd, platform::UINT aMsg, platform::WPARAM aWParam,
                                platform::LPARAM aLParam);

  TForm* fMainForm = nullptr;
  std::vector<TForm*> fForms;
  bool fMainFormOnTaskBar = false;
  bool fTerminated = false;
  bool fQuitPosted = false;
  bool fHandlingException = false;
  std::vector<std::string> fPendingErrors;
  std::string fTitle;
  platform::HWND fUtilWindow = nullptr;
};

// The process's application object (nullptr before one is made).
extern TApplication* Application;
