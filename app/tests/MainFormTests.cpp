// The main window as its form description makes it, and its scaling.

#include "app/Main.h"

#include "platform/Application.h"
#include "platform/Graphics.h"
#include "platform/Handles.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace telvora {
namespace {

struct TBounds {
  int Left, Top, Width, Height;
  bool operator==(const TBounds&) const = default;
};

TBounds BoundsOf(TWinControl* c) {
  return {c->Left(), c->Top(), c->Width(), c->Height()};
}

TBounds WindowBoundsOf(TWinControl* c) {
  RECT r{};
  GetWindowRect(c->Handle(), &r);
  MapWindowPoints(nullptr, GetParent(c->Handle()), reinterpret_cast<POINT*>(&r), 2);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

SIZE ClientSizeOf(HWND window) {
  RECT r{};
  GetClientRect(window, &r);
  return {r.right, r.bottom};
}

// The pixels of AIcon drawn at ASize x ASize on white.
std::vector<DWORD> IconPixels(HICON AIcon, int ASize) {
  BITMAPINFO info = TopDown32BitInfo(ASize, ASize);
  void* bits = nullptr;
  TGdiObject bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  TMemoryDC dc(CreateCompatibleDC(nullptr));
  if (!bitmap || !dc)
    return {};
  TSelectObject select(dc.Get(), bitmap.Get());
  RECT r{0, 0, ASize, ASize};
  FillRect(dc.Get(), &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  DrawIconEx(dc.Get(), 0, 0, AIcon, ASize, ASize, 0, nullptr, DI_NORMAL);
  GdiFlush();
  const DWORD* p = static_cast<const DWORD*>(bits);
  return std::vector<DWORD>(p, p + ASize * ASize);
}

int IconWidth(HICON AIcon) {
  ICONINFO info{};
  if (!GetIconInfo(AIcon, &info))
    return 0;
  TGdiObject mask(info.hbmMask), colour(info.hbmColor);
  BITMAP bm{};
  GetObjectW(colour ? colour.Get() : mask.Get(), sizeof(bm), &bm);
  return bm.bmWidth;
}

class MainForm : public ::testing::Test {
protected:
  void SetUp() override {
    FForm = std::make_unique<TfrmMain>(nullptr);
    FForm->ReadFormDescription();
    FForm->HandleNeeded();
  }
  std::unique_ptr<TfrmMain> FForm;
};

TEST_F(MainForm, DescriptionCreatesTheThreeControlsInOrder) {
  TfrmMain& f = *FForm;
  ASSERT_EQ(f.ControlCount(), 3);
  EXPECT_EQ(f.Controls(0), f.btnKopyala);
  EXPECT_EQ(f.Controls(1), f.edtGuid);
  EXPECT_EQ(f.Controls(2), f.btnMakineKoduoku);
  EXPECT_EQ(f.Caption(), L"TELVORA");
  EXPECT_EQ(f.btnKopyala->Caption(), L"Kopyala");
  EXPECT_EQ(f.btnMakineKoduoku->Caption(), L"GUID Oku");
  EXPECT_EQ(f.edtGuid->Text(), L"");
  EXPECT_TRUE(f.edtGuid->ReadOnly());
  EXPECT_EQ(f.btnKopyala->TabOrder(), 0);
  EXPECT_EQ(f.edtGuid->TabOrder(), 1);
  EXPECT_EQ(f.btnMakineKoduoku->TabOrder(), 2);
  EXPECT_FALSE(f.btnKopyala->SpeedButtonOptions().CanBeFocused());
  EXPECT_FALSE(f.btnMakineKoduoku->SpeedButtonOptions().CanBeFocused());
  EXPECT_TRUE(f.btnKopyala->OnClick);
  EXPECT_TRUE(f.btnMakineKoduoku->OnClick);
  EXPECT_EQ(f.Font().Name(), L"Tahoma");
  EXPECT_EQ(f.btnKopyala->Font().Height(), -11) << "controls follow the window's font";

  // The z-order follows the creation order: the first control at the bottom.
  HWND bottom = GetWindow(f.Handle(), GW_CHILD);
  bottom = GetWindow(bottom, GW_HWNDLAST);
  EXPECT_EQ(bottom, f.btnKopyala->Handle());
}

// The caption, task bar and Alt+Tab show the program's own icon images,
// large and small, for the main window and the application window alike.
TEST_F(MainForm, WindowsCarryTheProgramsIconInBothSizes) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  const int large = GetSystemMetrics(SM_CXICON), small = GetSystemMetrics(SM_CXSMICON);
  const struct {
    int Size;
    int ClassIndex;
  } sizes[] = {{large, GCLP_HICON}, {small, GCLP_HICONSM}};
  ASSERT_NE(Application(), nullptr);
  for (HWND window : {FForm->Handle(), Application()->Handle()})
    for (const auto& size : sizes) {
      SCOPED_TRACE(testing::Message()
                   << (window == FForm->Handle() ? "main window " : "application window ")
                   << size.Size << " px");
      HICON icon = reinterpret_cast<HICON>(GetClassLongPtrW(window, size.ClassIndex));
      ASSERT_NE(icon, nullptr);
      EXPECT_EQ(IconWidth(icon), size.Size);
      // The resource's own image of that size, loaded apart.
      HICON own = static_cast<HICON>(
          LoadImageW(instance, L"MAINICON", IMAGE_ICON, size.Size, size.Size, 0));
      ASSERT_NE(own, nullptr);
      const std::vector<DWORD> expected = IconPixels(own, size.Size);
      DestroyIcon(own);
      EXPECT_EQ(IconPixels(icon, size.Size), expected);
    }
}

TEST_F(MainForm, LayoutAtNinetySixDpi) {
  TfrmMain& f = *FForm;
  SIZE client = ClientSizeOf(f.Handle());
  EXPECT_EQ(client.cx, 635);
  EXPECT_EQ(client.cy, 74);
  EXPECT_EQ(WindowBoundsOf(f.btnKopyala), (TBounds{56, 35, 75, 25}));
  // 21 with Windows' Tahoma; the rule is what matters under other fonts.
  EXPECT_EQ(WindowBoundsOf(f.edtGuid), (TBounds{56, 8, 480,
                                                FontTextHeight(f.edtGuid->Font().Handle()) +
                                                    8 * GetSystemMetrics(SM_CYBORDER)}));
  EXPECT_EQ(WindowBoundsOf(f.btnMakineKoduoku), (TBounds{137, 35, 104, 25}));
}

TEST_F(MainForm, ScalesEdgeByEdgeToOneHundredFortyFourDpi) {
  TfrmMain& f = *FForm;
  f.ScaleForPPI(144);
  EXPECT_EQ(f.PixelsPerInch(), 144);
  EXPECT_EQ(f.Font().Height(), -17);
  EXPECT_EQ(f.btnKopyala->Font().Height(), -17);
  SIZE client = ClientSizeOf(f.Handle());
  EXPECT_EQ(client.cx, 953);
  EXPECT_EQ(client.cy, 111);
  EXPECT_EQ(BoundsOf(f.btnKopyala), (TBounds{84, 53, 113, 37}));
  EXPECT_EQ(WindowBoundsOf(f.btnKopyala), (TBounds{84, 53, 113, 37}));
  EXPECT_EQ(BoundsOf(f.btnMakineKoduoku), (TBounds{206, 53, 156, 37}));
  // The edit box keeps the height its scaled font asks for.
  TEXTMETRICW tm{};
  {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, f.edtGuid->Font().Handle());
    GetTextMetricsW(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
  }
  EXPECT_EQ(f.edtGuid->Height(), tm.tmHeight + 8 * GetSystemMetrics(SM_CYBORDER));
  EXPECT_EQ(f.edtGuid->Left(), 84);
  EXPECT_EQ(f.edtGuid->Top(), 12);
  EXPECT_EQ(f.edtGuid->Width(), 720);
}

TEST_F(MainForm, ScalingToTheSameOrATinyResolutionDoesNothing) {
  TfrmMain& f = *FForm;
  for (int ppi : {96, 29, 0}) {
    f.ScaleForPPI(ppi);
    EXPECT_EQ(f.PixelsPerInch(), 96);
    EXPECT_EQ(BoundsOf(f.btnKopyala), (TBounds{56, 35, 75, 25}));
  }
}

TEST_F(MainForm, DpiChangedMessageRescalesAndTakesTheSuggestedRectangle) {
  TfrmMain& f = *FForm;
  RECT suggested{10, 20, 10 + 1000, 20 + 200};
  LRESULT result = SendMessageW(f.Handle(), WM_DPICHANGED, MAKEWPARAM(144, 144),
                                reinterpret_cast<LPARAM>(&suggested));
  EXPECT_EQ(result, 0);
  EXPECT_EQ(f.PixelsPerInch(), 144);
  EXPECT_EQ(BoundsOf(f.btnKopyala), (TBounds{84, 53, 113, 37}));
  RECT r{};
  GetWindowRect(f.Handle(), &r);
  EXPECT_EQ(r.left, 10);
  EXPECT_EQ(r.top, 20);
  EXPECT_EQ(r.right - r.left, 1000);
  EXPECT_EQ(r.bottom - r.top, 200);
  // And back again.
  SendMessageW(f.Handle(), WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&suggested));
  EXPECT_EQ(BoundsOf(f.btnKopyala), (TBounds{56, 35, 75, 25}));
  EXPECT_EQ(f.Font().Height(), -11);
}

TEST_F(MainForm, ButtonsNeverTakeTheFocus) {
  TfrmMain& f = *FForm;
  EXPECT_FALSE(f.btnKopyala->CanFocus());
  EXPECT_FALSE(f.btnMakineKoduoku->CanFocus());
  f.SetVisible(true);
  SetForegroundWindow(f.Handle());
  SetActiveWindow(f.Handle());
  f.SelectFirst();
  EXPECT_EQ(f.ActiveControl(), f.edtGuid);
  for (bool forward : {true, false, true}) {
    f.SelectNext(f.ActiveControl(), forward);
    EXPECT_EQ(f.ActiveControl(), f.edtGuid);
  }
}

} // namespace
} // namespace telvora
