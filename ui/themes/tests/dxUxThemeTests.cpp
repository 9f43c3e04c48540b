// The binding of the visual-style library and its wrappers, against Wine's
// own uxtheme.dll (loaded by the program's start-up).

#include "ui/themes/dxUxTheme.h"

#include "platform/Handles.h"

#include <gtest/gtest.h>

#include <string>

namespace telvora {
namespace {

// Parts, states and properties of the "Button" class.
constexpr int kPushButton = 1;
constexpr int kCheckBox = 3;
constexpr int kNormal = 1;
constexpr int kTextColor = 3803;      // TMT_TEXTCOLOR
constexpr int kColor = 204;           // TMT_COLOR, which Wine's theme lacks for push buttons
constexpr int kContentMargins = 3602; // TMT_CONTENTMARGINS
constexpr int kCommandLink = 6;

// A theme opened directly, closed when the test ends.
class TTheme {
public:
  TTheme(const wchar_t* className, int dpi) : FTheme(OpenThemeData(nullptr, className, dpi)) {}
  ~TTheme() {
    if (FTheme)
      CloseThemeData(FTheme);
  }
  TTheme(const TTheme&) = delete;
  TTheme& operator=(const TTheme&) = delete;
  TdxTheme Get() const { return FTheme; }

private:
  TdxTheme FTheme;
};

// A 32-bit memory bitmap filled white.
class TBitmapDC {
public:
  TBitmapDC(int width, int height) : FDC(CreateCompatibleDC(nullptr)) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    FBitmap.Reset(CreateDIBSection(FDC.Get(), &info, DIB_RGB_COLORS, &FBits, nullptr, 0));
    FOld = SelectObject(FDC.Get(), FBitmap.Get());
    RECT r{0, 0, width, height};
    FillRect(FDC.Get(), &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    FCount = width * height;
  }
  ~TBitmapDC() { SelectObject(FDC.Get(), FOld); }
  HDC Get() const { return FDC.Get(); }
  // Pixels of the colour exactly (COLORREF order).
  int PixelsOf(COLORREF color) const {
    GdiFlush();
    const DWORD wanted = (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
    int n = 0;
    for (int i = 0; i < FCount; ++i)
      if ((static_cast<const DWORD*>(FBits)[i] & 0xFFFFFF) == wanted)
        ++n;
    return n;
  }
  int NonWhitePixels() const {
    GdiFlush();
    int n = 0;
    for (int i = 0; i < FCount; ++i)
      if ((static_cast<const DWORD*>(FBits)[i] & 0xFFFFFF) != 0xFFFFFF)
        ++n;
    return n;
  }

private:
  TMemoryDC FDC;
  TGdiObject FBitmap;
  HGDIOBJ FOld = nullptr;
  void* FBits = nullptr;
  int FCount = 0;
};

TEST(UxThemeBinding, EverySlotHoldsTheExportOfItsName) {
  ASSERT_TRUE(IsThemeLibraryLoaded());
  HMODULE library = dxThemeLibrary();
  ASSERT_NE(library, nullptr);
  int bound = 0;
  for (int i = 0; i < dxUxThemeEntryCount; ++i) {
    const auto entry = static_cast<TdxUxThemeEntry>(i);
    const char* name = dxUxThemeEntryName(entry);
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(dxUxThemeEntryAddress(entry), GetProcAddress(library, name)) << name;
    if (dxUxThemeEntryAddress(entry))
      ++bound;
  }
  // Wine's library exports the whole table.
  EXPECT_EQ(bound, dxUxThemeEntryCount);
  EXPECT_STREQ(dxUxThemeEntryName(TdxUxThemeEntry::CloseThemeData), "CloseThemeData");
  EXPECT_STREQ(dxUxThemeEntryName(TdxUxThemeEntry::OpenThemeDataForDpi), "OpenThemeDataForDpi");
  EXPECT_STREQ(dxUxThemeEntryName(TdxUxThemeEntry::EndBufferedPaint), "EndBufferedPaint");
  EXPECT_TRUE(IsThemeScalingSupported());
  EXPECT_TRUE(IsThemeActive());

  const char* panning[] = {"BeginPanningFeedback", "UpdatePanningFeedback", "EndPanningFeedback"};
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(dxPanningEntryAddress(static_cast<TdxPanningEntry>(i)),
              GetProcAddress(library, panning[i]))
        << panning[i];
}

TEST(UxThemeBinding, PanningFeedbackAnswersFalseWithoutItsEntryPoints) {
  // Wine's library has none of the three.
  ASSERT_EQ(dxPanningEntryAddress(TdxPanningEntry::BeginPanningFeedback), nullptr);
  EXPECT_FALSE(dxBeginPanningFeedback(nullptr));
  EXPECT_FALSE(dxUpdatePanningFeedback(nullptr, 1, 2, true));
  EXPECT_FALSE(dxEndPanningFeedback(nullptr, true));
}

TEST(UxThemeWrappers, OpenThemeDataUsesTheDpiOnlyWhenPositive) {
  // The check box grows with the DPI the theme is opened for.
  struct {
    int Dpi;
    bool Larger;
  } cases[] = {{0, false}, {-144, false}, {96, false}, {144, true}};
  TTheme plain(L"Button", 0);
  ASSERT_NE(plain.Get(), 0u);
  SIZE plainSize{};
  ASSERT_EQ(GetThemePartSize(plain.Get(), nullptr, kCheckBox, kNormal, dxtsTrue, plainSize), S_OK);
  for (const auto& c : cases) {
    TTheme theme(L"Button", c.Dpi);
    ASSERT_NE(theme.Get(), 0u) << c.Dpi;
    SIZE size{};
    ASSERT_EQ(GetThemePartSize(theme.Get(), nullptr, kCheckBox, kNormal, dxtsTrue, size), S_OK);
    EXPECT_EQ(size.cx > plainSize.cx, c.Larger) << c.Dpi;
  }
  EXPECT_EQ(OpenThemeData(nullptr, L"NoSuchThemeClass", 0), 0u);
}

TEST(UxThemeWrappers, PartSizeFormsAgree) {
  TTheme theme(L"Button", 0);
  RECT bounds{0, 0, 100, 100};
  SIZE byPointer{}, byReference{}, absent{};
  ASSERT_EQ(
      GetThemePartSize(theme.Get(), nullptr, kCheckBox, kNormal, &bounds, dxtsTrue, &byPointer),
      S_OK);
  ASSERT_EQ(
      GetThemePartSize(theme.Get(), nullptr, kCheckBox, kNormal, bounds, dxtsTrue, byReference),
      S_OK);
  ASSERT_EQ(GetThemePartSize(theme.Get(), nullptr, kCheckBox, kNormal, dxtsTrue, absent), S_OK);
  EXPECT_GT(absent.cx, 0);
  EXPECT_EQ(byPointer.cx, absent.cx);
  EXPECT_EQ(byReference.cy, absent.cy);
}

TEST(UxThemeWrappers, ColourVariableIsWrittenEvenWhenThePlatformFails) {
  TTheme theme(L"Button", 0);
  COLORREF raw = 0x123456;
  ASSERT_EQ(GetThemeColor(theme.Get(), kPushButton, kNormal, kTextColor, raw), S_OK);

  TColor color = clNone;
  EXPECT_EQ(GetThemeColor(theme.Get(), kPushButton, kNormal, kTextColor, color), S_OK);
  EXPECT_EQ(color, static_cast<TColor>(raw));

  color = clNone;
  EXPECT_NE(GetThemeColor(theme.Get(), kPushButton, kNormal, kColor, color), S_OK);
  EXPECT_EQ(color, 255); // red, the value the local colour starts with
}

TEST(UxThemeWrappers, MarginsAsRectangle) {
  EXPECT_EQ(MarginsToRect(TdxMargins{1, 2, 3, 4}).left, 1);
  EXPECT_EQ(MarginsToRect(TdxMargins{1, 2, 3, 4}).top, 3);
  EXPECT_EQ(MarginsToRect(TdxMargins{1, 2, 3, 4}).right, 2);
  EXPECT_EQ(MarginsToRect(TdxMargins{1, 2, 3, 4}).bottom, 4);

  TTheme theme(L"Button", 0);
  TdxMargins margins{-1, -1, -1, -1};
  ASSERT_EQ(
      GetThemeMargins(theme.Get(), nullptr, kCommandLink, 0, kContentMargins, nullptr, &margins),
      S_OK);
  RECT r = GetThemeMargins(theme.Get(), kCommandLink, 0, kContentMargins);
  EXPECT_EQ(r.left, margins.cxLeftWidth);
  EXPECT_EQ(r.top, margins.cyTopHeight);
  EXPECT_EQ(r.right, margins.cxRightWidth);
  EXPECT_EQ(r.bottom, margins.cyBottomHeight);
  EXPECT_GT(r.left + r.top, 0);

  // A property the part does not have: zero margins.
  RECT none = GetThemeMargins(theme.Get(), kCommandLink, 0, 12345);
  EXPECT_EQ(none.left | none.top | none.right | none.bottom, 0);
}

TEST(UxThemeWrappers, DrawingAndMeasuringReachThePlatform) {
  TTheme theme(L"Button", 0);
  ASSERT_NE(theme.Get(), 0u);
  RECT bounds{0, 0, 100, 40};

  RECT content{};
  ASSERT_EQ(
      GetThemeBackgroundContentRect(theme.Get(), nullptr, kPushButton, kNormal, &bounds, &content),
      S_OK);
  EXPECT_GT(content.left, bounds.left);
  EXPECT_LT(content.right, bounds.right);

  TBitmapDC background(100, 40);
  EXPECT_EQ(DrawThemeBackground(theme.Get(), background.Get(), kPushButton, kNormal, bounds), S_OK);
  EXPECT_GT(background.NonWhitePixels(), 0);
  // A clip rectangle limits what is drawn.
  TBitmapDC clipped(100, 40);
  RECT clip{0, 0, 10, 10};
  EXPECT_EQ(DrawThemeBackground(theme.Get(), clipped.Get(), kPushButton, kNormal, &bounds, &clip),
            S_OK);
  EXPECT_GT(clipped.NonWhitePixels(), 0);
  EXPECT_LE(clipped.NonWhitePixels(), 100);

  TBitmapDC text(100, 40);
  EXPECT_EQ(DrawThemeText(theme.Get(), text.Get(), kPushButton, kNormal, std::wstring(L"WWW"), -1,
                          DT_SINGLELINE, 0, bounds),
            S_OK);
  EXPECT_GT(text.NonWhitePixels(), 0);

  // The options record reaches the platform: the text colour is used.
  TBitmapDC coloured(100, 40);
  TdxDTTOpts options{};
  options.dwSize = sizeof(options);
  options.dwFlags = 1; // DTT_TEXTCOLOR
  options.crText = RGB(255, 0, 0);
  RECT textBounds = bounds;
  EXPECT_EQ(DrawThemeTextEx(theme.Get(), coloured.Get(), kPushButton, kNormal, L"WWW", -1,
                            DT_SINGLELINE, textBounds, options),
            S_OK);
  EXPECT_GT(coloured.PixelsOf(RGB(255, 0, 0)), 0);

  EXPECT_FALSE(IsThemeBackgroundPartiallyTransparent(0, kPushButton, kNormal));
}

TEST(UxThemeWrappers, BufferedPaintRecordsPassThrough) {
  ASSERT_EQ(BufferedPaintInit(), S_OK);
  TBitmapDC target(20, 20);
  RECT r{0, 0, 20, 20};
  TdxBPPaintParams params{};
  params.cbSize = sizeof(params);
  HDC paintDC = nullptr;
  TdxPaintBuffer buffer = BeginBufferedPaint(target.Get(), &r, dxbpbfTopDownDIB, &params, &paintDC);
  ASSERT_NE(buffer, 0u);
  EXPECT_NE(paintDC, nullptr);
  EXPECT_EQ(EndBufferedPaint(buffer, TRUE), S_OK);
  EXPECT_EQ(BufferedPaintUnInit(), S_OK);
}

// A parent window that selects another font into the device context it is
// asked to paint its background on.
int ParentPaintRequests = 0;
LRESULT CALLBACK FontChangingParentProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_ERASEBKGND || msg == WM_PRINTCLIENT) {
    ++ParentPaintRequests;
    SelectObject(reinterpret_cast<HDC>(wParam), GetStockObject(SYSTEM_FIXED_FONT));
    return 1;
  }
  return DefWindowProcW(window, msg, wParam, lParam);
}

TEST(UxThemeWrappers, ParentBackgroundKeepsTheSelectedFont) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = FontChangingParentProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"TelvoraFontChangingParent";
  RegisterClassW(&wc);
  TWindowHandle parent(CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 50, 50, nullptr,
                                       nullptr, wc.hInstance, nullptr));
  ASSERT_TRUE(parent);
  HWND child = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 5, 5, 20, 20, parent.Get(),
                               nullptr, wc.hInstance, nullptr);
  ASSERT_NE(child, nullptr);

  TBitmapDC dc(20, 20);
  HGDIOBJ font = GetStockObject(ANSI_VAR_FONT);
  TSelectObject selected(dc.Get(), font);
  RECT r{0, 0, 20, 20};
  ParentPaintRequests = 0;
  DrawThemeParentBackground(child, dc.Get(), &r);
  ASSERT_GT(ParentPaintRequests, 0);
  EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_FONT), font);
}

} // namespace
} // namespace telvora
