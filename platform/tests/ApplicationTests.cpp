#include "platform/Application.h"
#include "platform/OleLibrary.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace telvora {
namespace {

TEST(ApplicationTitle, DerivedFromTheExecutableName) {
  const struct {
    const wchar_t* Path;
    const wchar_t* Title;
  } cases[] = {
      {L"C:\\Program Files\\TELVORA.exe", L"Telvora"},
      {L"C:\\tools\\Data.Tool.exe", L"Data"},
      {L"C:\\x\\my.app.exe", L"my"},
      {L"C:\\x\\aBC.exe", L"abc"},
      {L"C:\\x\\Q.exe", L"Q"},
      {L"plain", L"plain"},
      {L"C:\\x\\MiXeD", L"Mixed"},
      {L"C:\\x\\.hidden.exe", L""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(TApplication::TitleFromPath(c.Path), c.Title) << c.Path;
}

TEST(ApplicationTitle, RunningProgramHasItsOwnTitle) {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  ASSERT_NE(Application(), nullptr);
  EXPECT_EQ(Application()->Title(), TApplication::TitleFromPath(path));
}

// OLE on the main thread from the application object's creation to its end:
// asking again answers S_FALSE while it is on, S_OK once it is off.
bool OleIsOn() {
  const TOleEntryPoints& ole = Ole32();
  const HRESULT result = ole.OleInitialize(nullptr);
  if (SUCCEEDED(result))
    ole.OleUninitialize();
  return result == S_FALSE;
}

TEST(ApplicationOle, OnFromTheApplicationsCreationToItsEnd) {
  const TOleEntryPoints& ole = Ole32();
  ASSERT_NE(ole.OleInitialize, nullptr);
  ASSERT_NE(ole.OleUninitialize, nullptr);
  ASSERT_NE(ole.CoInitialize, nullptr);
  ASSERT_NE(ole.CoUninitialize, nullptr);
  ASSERT_NE(ole.CreateStreamOnHGlobal, nullptr);
  EXPECT_TRUE(OleIsOn());
  Application()->Initialize();
  EXPECT_EQ(ole.CoInitialize(nullptr), S_FALSE);
  ole.CoUninitialize();

  DoneFrameworkUnit();
  EXPECT_FALSE(OleIsOn());
  InitFrameworkUnit();
  ASSERT_NE(Application(), nullptr);
  EXPECT_TRUE(OleIsOn());
}

TEST(ErrorBoxText, AppendsAPeriodOnlyAfterCharactersAbovePeriod) {
  const struct {
    const wchar_t* Message;
    const wchar_t* Shown;
  } cases[] = {
      {L"Reg Key not found: \\SOFTWARE\\Microsoft\\Cryptography",
       L"Reg Key not found: \\SOFTWARE\\Microsoft\\Cryptography."},
      {L"Invalid data type for 'MachineGuid'", L"Invalid data type for 'MachineGuid'"},
      {L"Cannot open clipboard: ", L"Cannot open clipboard: "},
      {L"ends in digit 5", L"ends in digit 5."},
      {L"(paren)", L"(paren)"}, // ')' is below '.'
      {L"already.", L"already."},
      {L"comma,", L"comma,"},
      {L"slash/", L"slash/."},
      {L"", L""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(TApplication::ErrorBoxText(Exception(c.Message)), c.Shown) << c.Message;
}

TEST(ErrorBoxText, InnermostNonEmptyMessageWins) {
  auto innermost = std::make_shared<Exception>(L"");
  auto middle = std::make_shared<Exception>(L"middle", innermost);
  Exception outer(L"outer", middle);
  EXPECT_EQ(TApplication::ErrorBoxText(outer), L"middle.");
}

TEST(Application, HiddenToolWindowOfItsOwnClass) {
  HWND window = Application()->Handle();
  ASSERT_NE(window, nullptr);
  wchar_t cls[64] = {};
  GetClassNameW(window, cls, 64);
  EXPECT_STREQ(cls, L"TApplication");
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_TRUE(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
}

} // namespace
} // namespace telvora

namespace telvora {
namespace {

// A form that records WM_CANCELMODE.
class TCancelModeProbe : public TCustomForm {
public:
  TCancelModeProbe() : TCustomForm(nullptr) {}
  std::wstring ClassName() const override { return L"TCancelModeProbe"; }
  int CancelModes = 0;

protected:
  void WndProc(TMessage& message) override {
    if (message.Msg == WM_CANCELMODE)
      ++CancelModes;
    TCustomForm::WndProc(message);
  }
};

// Raises `error` and hands it to the application as a message handler would.
template <class E> void RaiseAndHandle(const E& error) {
  try {
    throw error;
  } catch (...) {
    Application()->HandleException(nullptr);
  }
}

TEST(HandleException, CancelsTheCaptureThenPassesTheErrorOnButNotAnAbort) {
  TCancelModeProbe probe;
  probe.HandleNeeded();
  std::vector<std::wstring> shown;
  Application()->OnException = [&](TObject*, const Exception& e) { shown.push_back(e.Message()); };

  SetCapture(probe.Handle());
  RaiseAndHandle(Exception(L"first"));
  EXPECT_EQ(probe.CancelModes, 1);
  ReleaseCapture();

  RaiseAndHandle(EAbort());
  RaiseAndHandle(std::runtime_error("plain"));
  Application()->OnException = nullptr;
  EXPECT_EQ(shown, (std::vector<std::wstring>{L"first", L"plain"}));
  EXPECT_EQ(probe.CancelModes, 1) << "no capture, no cancel";
}

} // namespace
} // namespace telvora
