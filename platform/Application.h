#pragma once
// The application object: the hidden application window, the title shown on
// error boxes, the main form, the message loop and the display of errors
// that leave message handlers.

#include "platform/Forms.h"

#include <functional>
#include <memory>

namespace telvora {

using TExceptionEvent = std::function<void(TObject* Sender, const Exception& E)>;

class TApplication : public TComponent {
public:
  TApplication();
  ~TApplication() override;
  std::wstring ClassName() const override { return L"TApplication"; }

  HWND Handle() const noexcept { return FHandle; }
  const std::wstring& Title() const noexcept { return FTitle; }
  TCustomForm* MainForm() const noexcept { return FMainForm; }
  bool MainFormOnTaskBar() const noexcept { return FMainFormOnTaskBar; }
  void SetMainFormOnTaskBar(bool value);
  bool Terminated() const noexcept { return FTerminated; }
  bool Running() const noexcept { return FRunning; }

  // Runs the start-up hooks (COM for the main thread).
  void Initialize();

  // Creates a form from its description, scales it and makes the first one
  // the main form. The window exists afterwards but is not shown.
  template <class T> void CreateForm(T*& reference) {
    T* form = new T(this);
    reference = form;
    SetupForm(form);
  }

  // Shows the main form and runs the message loop until Terminate.
  void Run();
  // Dispatches one message (waiting for one when the queue is empty).
  void HandleMessage();
  // Dispatches the queued messages without waiting.
  void ProcessMessages();
  void Terminate();

  // Called inside a catch block: shows the exception in flight.
  void HandleException(TObject* Sender);
  void ShowException(const Exception& E);
  // MessageBoxW owned by the active window; other windows of the thread are
  // disabled meanwhile and the focus is restored afterwards.
  int ShowMessageBox(const std::wstring& text, const std::wstring& caption, UINT flags);

  TExceptionEvent OnException;

  // The show command the process was started with.
  static int StartupShowCommand();
  // The title for an executable path: its name up to the first period, the
  // first character kept and the rest in lower case.
  static std::wstring TitleFromPath(const std::wstring& path);
  // The text of an error box: the innermost non-empty message, with a period
  // appended when the last character's code is above that of ".".
  static std::wstring ErrorBoxText(const Exception& E);

private:
  void SetupForm(TCustomForm* form);
  bool ProcessMessage(MSG& msg);
  bool IsKeyMsg(MSG& msg);
  static LRESULT CALLBACK AppWndProc(HWND, UINT, WPARAM, LPARAM);

  HWND FHandle = nullptr;
  std::wstring FTitle;
  TCustomForm* FMainForm = nullptr;
  bool FMainFormOnTaskBar = false;
  bool FTerminated = false;
  bool FRunning = false;
  bool FOleInitialized = false;
  bool FComInitialized = false;
};

// The one application object (none before the framework starts or after it
// has shut down).
TApplication* Application() noexcept;

// Framework unit start-up and shut-down (creates and frees `Application`).
void InitFrameworkUnit();
void DoneFrameworkUnit();

} // namespace telvora
