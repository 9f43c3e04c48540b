// Whole buttons as the screen shows them: the caption where the layout puts
// it in the painter's colours for each state, embossed disabled text, the
// colour set per state, clipping at the content rectangle, the fader's blend
// under the caption, transparent speed buttons and command links. The
// pointer and the left button are moved and pressed for real where a state
// depends on them.

#include "platform/Forms.h"
#include "platform/StdCtrls.h"
#include "tests/support/Desktop.h"
#include "tests/support/MenuAnimation.h"
#include "tests/support/MessagePump.h"
#include "tests/support/SysColors.h"
#include "ui/buttons/cxButtons.h"
#include "ui/buttons/tests/LongestFadeIn.h"
#include "ui/lookandfeel/cxLookAndFeelPaintersManager.h"
#include "ui/lookandfeel/cxLookAndFeels.h"
#include "ui/support/cxGraphics.h"
#include "ui/support/cxImageList.h"
#include "platform/FormReader.h"
#include "ui/support/dxSmartGlyph.h"
#include "ui/support/dxFading.h"
#include "ui/themes/dxThemeManager.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace telvora {
namespace {

using testing::PumpPending;
using testing::PumpUntil;

// A picture of a window's client area or of a device context, as RGB.
struct TPicture {
  int Width = 0;
  int Height = 0;
  std::vector<std::uint32_t> Pixels;

  std::uint32_t At(int x, int y) const {
    return Pixels[static_cast<size_t>(y) * static_cast<size_t>(Width) + static_cast<size_t>(x)];
  }
  // Pixels of R that differ from AOther's.
  int DifferencesIn(const TPicture& AOther, const RECT& R) const {
    int count = 0;
    for (int y = R.top; y < R.bottom; ++y)
      for (int x = R.left; x < R.right; ++x)
        if (At(x, y) != AOther.At(x, y))
          ++count;
    return count;
  }
  // Pixels of R that have the colour.
  int CountIn(const RECT& R, std::uint32_t ARgb) const {
    int count = 0;
    for (int y = R.top; y < R.bottom; ++y)
      for (int x = R.left; x < R.right; ++x)
        if (At(x, y) == ARgb)
          ++count;
    return count;
  }
};

// 0x00RRGGBB of a colour.
std::uint32_t Rgb(TColor AColor) {
  const COLORREF c = ColorToRGB(AColor);
  return (static_cast<std::uint32_t>(GetRValue(c)) << 16) |
         (static_cast<std::uint32_t>(GetGValue(c)) << 8) | GetBValue(c);
}

TPicture Read(HDC ADC, int AWidth, int AHeight) {
  TPicture picture{AWidth, AHeight, {}};
  TcxBitmap32 copy(AWidth, AHeight);
  BitBlt(copy.Canvas().Handle(), 0, 0, AWidth, AHeight, ADC, 0, 0, SRCCOPY);
  GdiFlush();
  const auto* bits = reinterpret_cast<const std::uint32_t*>(copy.Bits());
  if (bits == nullptr)
    return picture;
  picture.Pixels.assign(bits, bits + static_cast<size_t>(AWidth) * static_cast<size_t>(AHeight));
  for (std::uint32_t& p : picture.Pixels)
    p &= 0x00FFFFFF;
  return picture;
}

// What the screen shows of the window's client area.
TPicture ScreenPicture(HWND AWindow) {
  RECT r{};
  GetClientRect(AWindow, &r);
  TWindowDC window(AWindow);
  return Read(window.Get(), r.right, r.bottom);
}

// Draws AProc on a bitmap like the one the button paints on.
TPicture Drawn(int AWidth, int AHeight, const std::function<void(TcxCanvas&)>& AProc) {
  TcxBitmap bitmap(AWidth, AHeight);
  TcxCanvas& canvas = bitmap.cxCanvas();
  AProc(canvas);
  return Read(canvas.Handle(), AWidth, AHeight);
}

// Text as the button draws it: transparent, in the colour given, in R.
void TextAt(TcxCanvas& ACanvas, const TFont& AFont, const std::wstring& AText, RECT R,
            TColor AColor, UINT AFlags = DT_CENTER | DT_VCENTER | DT_NOCLIP) {
  ACanvas.SetFont(AFont);
  ACanvas.Font().SetColor(AColor);
  const HDC dc = ACanvas.Handle();
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(AColor));
  DrawTextW(dc, AText.c_str(), -1, &R, AFlags);
}

RECT Inflated(RECT R, int ADelta) {
  InflateRect(&R, -ADelta, -ADelta);
  return R;
}

class TDrawingTestForm : public TCustomForm {
public:
  using TCustomForm::TCustomForm;
  std::wstring ClassName() const override { return L"TDrawingTestForm"; }
};

class ButtonDrawing : public ::testing::Test {
public:
  void SetUp() override {
    FMenuAnimation = testing::MenuAnimation();
    testing::SetMenuAnimation(false);
    FForm = std::make_unique<TDrawingTestForm>(nullptr);
    FForm->SetClientSize(420, 160);
    FEdit = new TEdit(FForm.get());
    FEdit->SetBounds(10, 120, 200, 21);
    FEdit->SetParent(FForm.get());
    // The main window's "Kopyala" button.
    FButton = new TcxButton(FForm.get());
    FButton->SetBounds(56, 35, 75, 25);
    FButton->SetCaption(L"Kopyala");
    FButton->SpeedButtonOptions().SetCanBeFocused(false);
    FButton->SetParent(FForm.get());
    FForm->HandleNeeded();
    SetWindowPos(FForm->Handle(), HWND_TOP, 100, 100, 0, 0, SWP_NOSIZE);
    FForm->Show(SW_SHOW);
    testing::BringToFront(FForm->Handle());
    FEdit->SetFocus();
    MoveAway();
    PumpPending();
  }

  void TearDown() override {
    testing::MouseButtonUp();
    PumpPending();
    FForm.reset();
    PumpPending();
    if (TdxFader* fader = dxFaderInstance())
      fader->Clear();
    testing::SetMenuAnimation(FMenuAnimation);
  }

  void MoveAway() {
    RECT r{};
    GetWindowRect(FForm->Handle(), &r);
    ASSERT_TRUE(testing::MoveMouseTo({r.right + 200, r.bottom + 100}));
  }
  POINT Centre(TWinControl* AControl) {
    RECT r{};
    GetWindowRect(AControl->Handle(), &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }

  // Brings the button into AState with the real pointer and button, and
  // answers the screen's picture of it once painted.
  TPicture ShowIn(TcxButton* AButton, TcxButtonState AState) {
    switch (AState) {
    case cxbsHot:
      EXPECT_TRUE(testing::MoveMouseTo(Centre(AButton)));
      EXPECT_TRUE(PumpUntil([&] { return AButton->InternalStates().Contains(bisHot); }));
      break;
    case cxbsPressed:
      EXPECT_TRUE(testing::MoveMouseTo(Centre(AButton)));
      EXPECT_TRUE(PumpUntil([&] { return AButton->InternalStates().Contains(bisHot); }));
      EXPECT_TRUE(testing::MouseButtonDown());
      EXPECT_TRUE(PumpUntil([&] { return AButton->InternalStates().Contains(bisPressed); }));
      break;
    case cxbsDisabled:
      AButton->SetEnabled(false);
      break;
    default:
      break;
    }
    AButton->Repaint();
    PumpPending();
    EXPECT_EQ(AButton->GetButtonState(), AState);
    return ScreenPicture(AButton->Handle());
  }
  // Back to normal: the button up, the pointer away, enabled.
  void Release(TcxButton* AButton) {
    EXPECT_TRUE(testing::MouseButtonUp());
    MoveAway();
    AButton->SetEnabled(true);
    PumpUntil([&] { return !AButton->InternalStates().Contains(bisHot); });
    PumpPending();
  }

  // The caption rectangle of the worked layout: centred in the content
  // rectangle of the default state's border, one pixel more room on the
  // right, the free height less one halved, moved by the pressed shift.
  RECT WorkedCaptionRect(TcxButton* AButton, TcxButtonState AState) {
    TcxCustomLookAndFeelPainter* painter = AButton->GetPainter();
    const int B = painter->ButtonBorderSize(cxbsDefault);
    const RECT client = AButton->ClientRect();
    RECT R{B, B, client.right - B, client.bottom - B};
    if (AState == cxbsPressed) {
      const int s = painter->ScaledButtonTextShift(AButton->GetScaleFactor());
      OffsetRect(&R, s, s);
    }
    RECT measured{0, 0, RectWidth(R) - 3, 0};
    TdxTextMeasurer::TextRectDT(measured, AButton->Caption(), AButton->Font(), 0);
    const int w = RectWidth(measured), h = RectHeight(measured);
    const int margin = (RectWidth(R) - w - 3) / 2;
    const int left = R.left + margin + 1;
    const int top = R.top + (RectHeight(R) - h - 1) / 2;
    return RECT{left, top, left + w, top + h};
  }

  std::unique_ptr<TDrawingTestForm> FForm;
  TEdit* FEdit = nullptr;
  TcxButton* FButton = nullptr;
  bool FMenuAnimation = false;
};

struct TLookCase {
  const char* Name;
  bool NativeStyle;
  TcxLookAndFeelKind Kind;
};

// The main window's button in every state, themed and classic: inside the
// frame exactly the painter's face with the caption drawn once in the
// painter's text colour in the rectangle of the worked layout, moved by the
// pressed shift; no focus rectangle; classic disabled text embossed.
TEST_F(ButtonDrawing, MainWindowButtonInEveryStateMatchesTheWorkedLayout) {
  const TLookCase looks[] = {
      {"native", true, lfUltraFlat}, {"standard", false, lfStandard}, {"flat", false, lfFlat}};
  for (const TLookCase& look : looks) {
    FButton->LookAndFeel().SetNativeStyle(look.NativeStyle);
    FButton->LookAndFeel().SetKind(look.Kind);
    TcxCustomLookAndFeelPainter* painter = FButton->GetPainter();
    ASSERT_NE(painter, nullptr);
    for (TcxButtonState state : {cxbsNormal, cxbsHot, cxbsPressed, cxbsDisabled}) {
      // Painters that do not track the pointer show no hot look.
      if (state == cxbsHot && !painter->IsButtonHotTrack())
        continue;
      SCOPED_TRACE(std::string(look.Name) + " state " + std::to_string(state));
      const TPicture shown = ShowIn(FButton, state);
      const RECT client = FButton->ClientRect();
      const RECT caption = WorkedCaptionRect(FButton, state);
      EXPECT_EQ(FButton->ViewInfo().CaptionRect().left, caption.left);
      EXPECT_EQ(FButton->ViewInfo().CaptionRect().top, caption.top);
      const TColor textColor = painter->ButtonSymbolColor(state, FButton->Font().Color());
      const bool embossed = state == cxbsDisabled && !look.NativeStyle;
      auto face = [&](TcxCanvas& canvas) {
        canvas.FillRect(client, FForm->Color());
        painter->DrawScaledButton(canvas, client, state, FButton->GetScaleFactor());
      };
      const TPicture expected = Drawn(client.right, client.bottom, [&](TcxCanvas& canvas) {
        face(canvas);
        if (embossed) {
          RECT offset = caption;
          OffsetRect(&offset, 1, 1);
          TextAt(canvas, FButton->Font(), FButton->Caption(), offset, clBtnHighlight);
        }
        TextAt(canvas, FButton->Font(), FButton->Caption(), caption, textColor);
      });
      const TPicture faceOnly = Drawn(client.right, client.bottom, face);
      // Inside the frame the pictures agree pixel for pixel; the caption is
      // there at all.
      const RECT inner = Inflated(client, painter->ButtonBorderSize(state));
      EXPECT_EQ(shown.DifferencesIn(expected, inner), 0);
      EXPECT_GT(shown.DifferencesIn(faceOnly, inner), 20);
      Release(FButton);
    }
  }
}

// Disabled text is embossed (drawn 1 pixel right and down in the highlight
// colour first) unless the native style is on, whichever painter draws: the
// Office 11 kind is drawn by the native painter and is embossed. The
// highlight colour is made red so that it shows on every face.
TEST_F(ButtonDrawing, DisabledCaptionDrawnTwiceWithoutTheNativeStyleOnceWithIt) {
  testing::TSysColors red({{COLOR_BTNHIGHLIGHT, RGB(255, 0, 0)}});
  PumpPending();
  const TLookCase looks[] = {
      {"native style", true, lfStandard},
      {"standard", false, lfStandard},
      {"Office 11", false, lfOffice11},
  };
  for (const TLookCase& look : looks) {
    SCOPED_TRACE(look.Name);
    FButton->LookAndFeel().SetNativeStyle(look.NativeStyle);
    FButton->LookAndFeel().SetKind(look.Kind);
    TcxCustomLookAndFeelPainter* painter = FButton->GetPainter();
    const TPicture shown = ShowIn(FButton, cxbsDisabled);
    const RECT client = FButton->ClientRect();
    const RECT caption = WorkedCaptionRect(FButton, cxbsDisabled);
    const TColor textColor = painter->ButtonSymbolColor(cxbsDisabled, FButton->Font().Color());
    auto picture = [&](bool twice) {
      return Drawn(client.right, client.bottom, [&](TcxCanvas& canvas) {
        canvas.FillRect(client, FForm->Color());
        painter->DrawScaledButton(canvas, client, cxbsDisabled, FButton->GetScaleFactor());
        if (twice) {
          RECT offset = caption;
          OffsetRect(&offset, 1, 1);
          TextAt(canvas, FButton->Font(), FButton->Caption(), offset, clBtnHighlight);
        }
        TextAt(canvas, FButton->Font(), FButton->Caption(), caption, textColor);
      });
    };
    const RECT inner = Inflated(client, painter->ButtonBorderSize(cxbsDisabled));
    const TPicture once = picture(false), twice = picture(true);
    ASSERT_GT(once.DifferencesIn(twice, inner), 0);
    EXPECT_EQ(shown.DifferencesIn(look.NativeStyle ? once : twice, inner), 0);
    Release(FButton);
  }
}

// Face colours under the ultra-flat painter, which fills the face with the
// colour it is given and tracks the pointer: Colors.Normal alone colours
// every state, Colors.Default alone only the normal state (a button that
// cannot be focused is never in the default state).
TEST_F(ButtonDrawing, NormalColourColoursEveryStateDefaultColourOnlyTheNormalOne) {
  constexpr TColor kGreen = 0x00A000;
  FButton->LookAndFeel().SetNativeStyle(false);
  FButton->LookAndFeel().SetKind(lfUltraFlat);
  const POINT faceSpot{4, 4};
  auto faceIs = [&](const TPicture& p) { return p.At(faceSpot.x, faceSpot.y) == Rgb(kGreen); };

  FButton->Colors().SetColor(cxbcNormal, kGreen);
  for (TcxButtonState state : {cxbsNormal, cxbsHot, cxbsPressed, cxbsDisabled}) {
    SCOPED_TRACE("Normal assigned, state " + std::to_string(state));
    EXPECT_TRUE(faceIs(ShowIn(FButton, state)));
    Release(FButton);
  }
  FButton->Colors().SetColor(cxbcNormal, clNone);
  FButton->Colors().SetColor(cxbcDefault, kGreen);
  for (TcxButtonState state : {cxbsNormal, cxbsHot, cxbsPressed}) {
    SCOPED_TRACE("Default assigned, state " + std::to_string(state));
    EXPECT_EQ(faceIs(ShowIn(FButton, state)), state == cxbsNormal);
    Release(FButton);
  }
}

// A caption far wider than the button is cut at the content rectangle on
// both sides, the frame stays as the painter draws it; the drop-down arrow
// in the menu part outside that rectangle is drawn whole.
TEST_F(ButtonDrawing, LongCaptionCutAtTheContentRectangleTheArrowIsNot) {
  FButton->LookAndFeel().SetNativeStyle(false);
  FButton->LookAndFeel().SetKind(lfStandard);
  FButton->SetKind(cxbkDropDownButton);
  FButton->SetCaption(L"A caption much wider than the button it is on");
  PumpPending();
  const TPicture shown = ShowIn(FButton, cxbsNormal);
  TcxButtonViewInfo& info = FButton->ViewInfo();
  TcxCustomLookAndFeelPainter* painter = FButton->GetPainter();
  const RECT content = info.GetContentRect(cxbsNormal);
  ASSERT_LT(info.CaptionRect().left, content.left);
  ASSERT_GT(info.CaptionRect().right, content.right);
  const RECT client = FButton->ClientRect();
  const TPicture faces = Drawn(client.right, client.bottom, [&](TcxCanvas& canvas) {
    painter->DrawScaledButton(canvas, info.ButtonRect(), cxbsNormal, FButton->GetScaleFactor(),
                              cxbpDropDownLeftPart);
    painter->DrawScaledButton(canvas, info.DropDownButtonRect(), cxbsNormal,
                              FButton->GetScaleFactor(), cxbpDropDownRightPart);
  });
  // Outside the content rectangle of the button part: the faces alone,
  // except for the arrow in the menu part.
  const RECT buttonPart = info.ButtonRect();
  int outsideContent = 0;
  for (int y = buttonPart.top; y < buttonPart.bottom; ++y)
    for (int x = buttonPart.left; x < info.DropDownButtonRect().left; ++x) {
      const POINT p{x, y};
      if (!PtInRect(&content, p) && shown.At(x, y) != faces.At(x, y))
        ++outsideContent;
    }
  EXPECT_EQ(outsideContent, 0);
  // The text runs to both edges of the content rectangle.
  EXPECT_GT(
      shown.DifferencesIn(faces, RECT{content.left, content.top, content.left + 4, content.bottom}),
      0);
  EXPECT_GT(shown.DifferencesIn(
                faces, RECT{content.right - 4, content.top, content.right, content.bottom}),
            0);
  // The arrow: the symbol colour in the menu part.
  const RECT arrow = info.DropDownArrowRect();
  EXPECT_GT(shown.CountIn(arrow, Rgb(painter->ButtonSymbolColor(cxbsNormal))), 3);
  EXPECT_GT(shown.DifferencesIn(faces, arrow), 3);
}

// While a fade runs, the face is the fader's blend and the caption is drawn
// over it in the current state's colour.
TEST_F(ButtonDrawing, CaptionDrawnOverTheFadersBlendInTheCurrentStatesColour) {
  testing::SetMenuAnimation(true);
  FButton->LookAndFeel().SetNativeStyle(true);
  TcxCustomLookAndFeelPainter* painter = FButton->GetPainter();
  ASSERT_EQ(painter->LookAndFeelStyle(), lfsNative);
  TdxFader* fader = dxFader();
  ASSERT_NE(fader, nullptr);
  fader->SetState(fasDefault);
  const testing::TLongestFadeIn longFade;
  ASSERT_TRUE(testing::MoveMouseTo(Centre(FButton)));
  ASSERT_TRUE(PumpUntil([&] { return fader->Contains(FButton); }));
  // Between two frames: the button's own paint against the fader's image.
  const RECT client = FButton->ClientRect();
  TcxBitmap printed(client.right, client.bottom);
  SendMessageW(FButton->Handle(), WM_PRINTCLIENT,
               reinterpret_cast<WPARAM>(printed.cxCanvas().Handle()), PRF_CLIENT);
  const TPicture shown = Read(printed.cxCanvas().Handle(), client.right, client.bottom);
  ASSERT_TRUE(fader->Contains(FButton));
  const RECT caption = FButton->ViewInfo().CaptionRect();
  const TColor hotText = painter->ButtonSymbolColor(cxbsHot, FButton->Font().Color());
  auto blend = [&](TcxCanvas& canvas) {
    canvas.FillRect(client, FForm->Color());
    ASSERT_TRUE(fader->DrawFadeImage(FButton, canvas.Handle(), client));
  };
  const TPicture expected = Drawn(client.right, client.bottom, [&](TcxCanvas& canvas) {
    blend(canvas);
    TextAt(canvas, FButton->Font(), FButton->Caption(), caption, hotText);
  });
  const TPicture blendOnly = Drawn(client.right, client.bottom, blend);
  const RECT inner = Inflated(client, painter->ButtonBorderSize(cxbsHot));
  EXPECT_EQ(shown.DifferencesIn(expected, inner), 0);
  EXPECT_GT(shown.DifferencesIn(blendOnly, inner), 20);
}

struct TTransparentCase {
  const char* Name;
  bool NativeStyle;
  TcxLookAndFeelKind Kind;
  bool Flat;
  bool PointerOver;
  bool Pressed;
  bool Border; // the frame is drawn
  bool Face;   // the face is drawn
};

// A transparent speed button shows the parent where its face is not drawn.
// Flat, it shows only the parent while the pointer is away, its frame (not
// under the native or Office 11 style) once the pointer is over it or it is
// pressed, and its face only under a painter that tracks the pointer. Not
// flat, it always shows its frame.
TEST_F(ButtonDrawing, TransparentSpeedButtonShowsTheParentWhereNoFaceIsDrawn) {
  constexpr TColor kParent = 0x40C0F0;
  FForm->SetColor(kParent);
  FButton->SetCaption(L"");
  FButton->SpeedButtonOptions().SetTransparent(true);
  const TTransparentCase cases[] = {
      {"standard", false, lfStandard, true, false, false, false, false},
      {"standard", false, lfStandard, true, true, false, true, false},
      {"standard", false, lfStandard, true, true, true, true, false},
      {"standard, not flat", false, lfStandard, false, false, false, true, false},
      {"ultra-flat", false, lfUltraFlat, true, false, false, false, false},
      {"ultra-flat", false, lfUltraFlat, true, true, false, true, true},
      {"ultra-flat", false, lfUltraFlat, true, true, true, true, true},
      {"native", true, lfStandard, true, false, false, false, false},
      {"native", true, lfStandard, true, true, false, false, true},
      {"Office 11", false, lfOffice11, true, true, false, false, true},
  };
  for (const TTransparentCase& c : cases) {
    SCOPED_TRACE(std::string(c.Name) + (c.PointerOver ? ", pointer over" : "") +
                 (c.Pressed ? ", pressed" : ""));
    FButton->SpeedButtonOptions().SetFlat(c.Flat);
    FButton->LookAndFeel().SetNativeStyle(c.NativeStyle);
    FButton->LookAndFeel().SetKind(c.Kind);
    if (c.PointerOver) {
      ASSERT_TRUE(testing::MoveMouseTo(Centre(FButton)));
      ASSERT_TRUE(PumpUntil([&] { return FButton->InternalStates().Contains(bisHot); }));
    }
    if (c.Pressed) {
      ASSERT_TRUE(testing::MouseButtonDown());
      ASSERT_TRUE(PumpUntil([&] { return FButton->InternalStates().Contains(bisPressed); }));
    }
    FButton->Repaint();
    PumpPending();
    const TPicture shown = ScreenPicture(FButton->Handle());
    const RECT client = FButton->ClientRect();
    const RECT centre{client.right / 2 - 5, client.bottom / 2 - 3, client.right / 2 + 5,
                      client.bottom / 2 + 3};
    const RECT edge{0, client.bottom / 2, 1, client.bottom / 2 + 1};
    EXPECT_EQ(shown.CountIn(centre, Rgb(kParent)) == 60, !c.Face);
    if (!c.Face) {
      EXPECT_EQ(shown.CountIn(edge, Rgb(kParent)) == 1, !c.Border);
    }
    Release(FButton);
  }
}

// A command link: the painter's arrow glyph at the glyph position, the
// caption, and under it the description in a font three quarters as high.
TEST_F(ButtonDrawing, CommandLinkDrawsArrowCaptionAndDescription) {
  FButton->SetBounds(20, 10, 260, 70);
  FButton->SetKind(cxbkCommandLink);
  FButton->SetCaption(L"Open the folder");
  PumpPending();
  const TPicture captionOnly = ShowIn(FButton, cxbsNormal);
  FButton->SetDescription(L"Shows the folder the file is in");
  PumpPending();
  const TPicture shown = ShowIn(FButton, cxbsNormal);
  TcxButtonViewInfo& info = FButton->ViewInfo();
  EXPECT_EQ(info.DescriptionFont().Height(), MulDiv(FButton->Font().Height(), 3, 4));
  const RECT caption = info.CaptionRect();
  const RECT description = info.DescriptionRect();
  ASSERT_FALSE(IsRectEmpty(&caption));
  ASSERT_FALSE(IsRectEmpty(&description));
  EXPECT_EQ(description.top, caption.bottom + 2);
  // The description is drawn in its rectangle, the caption and the arrow
  // stay as they were.
  EXPECT_GT(shown.DifferencesIn(captionOnly, description), 20);
  EXPECT_EQ(shown.DifferencesIn(captionOnly, caption), 0);
  const SIZE glyph =
      FButton->GetPainter()->GetScaledCommandLinkGlyphSize(FButton->GetScaleFactor());
  const POINT at = info.GlyphPos();
  const RECT glyphRect{at.x, at.y, at.x + glyph.cx, at.y + glyph.cy};
  const TPicture background =
      Drawn(FButton->ClientRect().right, FButton->ClientRect().bottom, [&](TcxCanvas& canvas) {
        canvas.FillRect(FButton->ClientRect(), FForm->Color());
        FButton->GetPainter()->DrawScaledCommandLinkBackground(
            canvas, FButton->ClientRect(), cxbsNormal, FButton->GetScaleFactor(), clDefault);
      });
  EXPECT_GT(shown.DifferencesIn(background, glyphRect), 10);
}

// A strip of opaque single-colour cells (0xRRGGBB each), ASize pixels square.
TdxSmartGlyph ColourStrip(std::initializer_list<std::uint32_t> AColours, int ASize, int ADpi = 96) {
  const int cells = static_cast<int>(AColours.size());
  std::vector<std::uint32_t> pixels(static_cast<size_t>(cells) * ASize * ASize);
  int index = 0;
  for (std::uint32_t colour : AColours) {
    for (int y = 0; y < ASize; ++y)
      for (int x = 0; x < ASize; ++x)
        pixels[static_cast<size_t>(y) * cells * ASize + index * ASize + x] = 0xFF000000 | colour;
    ++index;
  }
  TdxSmartGlyph glyph;
  glyph.SetPixels(cells * ASize, ASize, std::move(pixels));
  glyph.SetSourceDPI(ADpi);
  return glyph;
}

constexpr std::uint32_t kRedCell = 0xFF0000, kGreenCell = 0x00FF00, kBlueCell = 0x0000FF;

// The glyph rectangle of the last paint.
RECT GlyphRect(TcxButton* AButton) {
  const POINT at = AButton->ViewInfo().GlyphPos();
  const SIZE size = AButton->ViewInfo().ImageSize();
  return RECT{at.x, at.y, at.x + size.cx, at.y + size.cy};
}

int Area(const RECT& R) {
  return RectWidth(R) * RectHeight(R);
}

class ButtonGlyphs : public ButtonDrawing {
public:
  void SetUp() override {
    ButtonDrawing::SetUp();
    FButton->SetBounds(56, 35, 110, 44);
    FButton->SetCaption(L"Go");
    FButton->LookAndFeel().SetNativeStyle(false);
    FButton->LookAndFeel().SetKind(lfUltraFlat);
    PumpPending();
  }
};

// The glyph lies where its placement says, beside or above or below the
// caption, and shows the cell of the state: up when normal or hot,
// disabled, down when pressed (up again with fewer than three cells).
TEST_F(ButtonGlyphs, EachPlacementShowsTheCellOfTheState) {
  FButton->Glyph().SetGlyph(ColourStrip({kRedCell, kGreenCell, kBlueCell}, 16));
  ASSERT_EQ(FButton->Glyph().NumGlyphs(), 3);
  for (TButtonLayout layout : {blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom}) {
    SCOPED_TRACE("layout " + std::to_string(layout));
    FButton->OptionsImage().SetLayout(layout);
    const TPicture normal = ShowIn(FButton, cxbsNormal);
    const RECT glyph = GlyphRect(FButton);
    const RECT caption = FButton->ViewInfo().CaptionRect();
    ASSERT_EQ(Area(glyph), 16 * 16);
    EXPECT_EQ(normal.CountIn(glyph, kRedCell), 16 * 16);
    switch (layout) {
    case blGlyphLeft:
      EXPECT_LE(glyph.right, caption.left);
      break;
    case blGlyphRight:
      EXPECT_GE(glyph.left, caption.right);
      break;
    case blGlyphTop:
      EXPECT_LE(glyph.bottom, caption.top);
      break;
    case blGlyphBottom:
      EXPECT_GE(glyph.top, caption.bottom);
      break;
    }
    for (auto [state, colour] : {std::pair{cxbsHot, kRedCell}, std::pair{cxbsPressed, kBlueCell},
                                 std::pair{cxbsDisabled, kGreenCell}}) {
      SCOPED_TRACE("state " + std::to_string(state));
      const TPicture shown = ShowIn(FButton, state);
      EXPECT_EQ(shown.CountIn(GlyphRect(FButton), colour), 16 * 16);
      Release(FButton);
    }
  }
  // Two cells: pressed shows the up cell.
  FButton->Glyph().SetGlyph(ColourStrip({kRedCell, kGreenCell}, 16));
  ASSERT_EQ(FButton->Glyph().NumGlyphs(), 2);
  EXPECT_EQ(ShowIn(FButton, cxbsPressed).CountIn(GlyphRect(FButton), kRedCell), 16 * 16);
  Release(FButton);
}

// A glyph is shown at the button's resolution from the one it was designed
// at: a 96-dpi glyph on a button scaled to 144 dpi is 24 pixels, a 192-dpi
// glyph of 32 pixels at 96 dpi is 16; strips through a stretched copy of
// the cell, single images stretched with their left-bottom colour keyed out
// (they are opaque throughout).
TEST_F(ButtonGlyphs, ScaledToTheButtonsResolution) {
  struct TCase {
    int Cells;
    int Dpi;
    int ScaleTo;
    int Expected;
  };
  for (const TCase& c : {TCase{1, 96, 144, 24}, TCase{3, 96, 144, 24}, TCase{1, 192, 96, 16},
                         TCase{2, 192, 96, 16}}) {
    SCOPED_TRACE(std::to_string(c.Cells) + " cells at " + std::to_string(c.Dpi) + " shown at " +
                 std::to_string(c.ScaleTo));
    const int size = 16 * c.Dpi / 96;
    TdxSmartGlyph glyph = c.Cells == 1 ? ColourStrip({kRedCell}, size, c.Dpi)
                          : c.Cells == 2
                              ? ColourStrip({kRedCell, kGreenCell}, size, c.Dpi)
                              : ColourStrip({kRedCell, kGreenCell, kBlueCell}, size, c.Dpi);
    if (c.Cells == 1) {
      // The left-bottom pixel blue: keyed out.
      std::vector<std::uint32_t> pixels = glyph.Pixels();
      pixels[static_cast<size_t>(size - 1) * size] = 0xFF000000 | kBlueCell;
      glyph.SetPixels(size, size, std::move(pixels));
    }
    FButton->Glyph().SetGlyph(glyph);
    if (c.ScaleTo != 96)
      FButton->ChangeScale(c.ScaleTo, 96, true);
    const TPicture shown = ShowIn(FButton, cxbsNormal);
    const RECT rect = GlyphRect(FButton);
    EXPECT_EQ(RectWidth(rect), c.Expected);
    EXPECT_EQ(RectHeight(rect), c.Expected);
    if (c.Cells == 1) {
      // Red everywhere but in the left-bottom corner, where the face shows.
      const RECT corner{rect.left, rect.bottom - 2, rect.left + 2, rect.bottom};
      EXPECT_EQ(shown.CountIn(rect, kRedCell) - shown.CountIn(corner, kRedCell),
                c.Expected * c.Expected - 4);
      EXPECT_EQ(shown.CountIn(corner, kBlueCell), 0);
    } else {
      EXPECT_EQ(shown.CountIn(rect, kRedCell), c.Expected * c.Expected);
    }
    if (c.ScaleTo != 96)
      FButton->ChangeScale(96, c.ScaleTo, true);
  }
}

// Image lists: the image of ImageIndex is drawn, greyed when disabled; the
// list going away leaves the button without it. Drawing decodes nothing.
TEST_F(ButtonGlyphs, ImageListImageDrawnUntilTheListGoes) {
  auto images = std::make_unique<TcxImageList>(nullptr);
  images->SetSize(16, 16);
  ASSERT_EQ(images->Add(ColourStrip({kRedCell}, 16)), 0);
  ASSERT_EQ(images->Add(ColourStrip({kBlueCell}, 16)), 1);
  FButton->OptionsImage().SetImages(images.get());
  FButton->OptionsImage().SetImageIndex(1);
  EXPECT_TRUE(FButton->Glyph().IsImageAssigned());
  const int decoded = TdxSmartGlyph::DecodeCount();
  const TPicture shown = ShowIn(FButton, cxbsNormal);
  const RECT rect = GlyphRect(FButton);
  ASSERT_EQ(Area(rect), 16 * 16);
  EXPECT_EQ(shown.CountIn(rect, kBlueCell), 16 * 16);
  // Disabled: greyed, no longer the image's blue.
  const TPicture disabled = ShowIn(FButton, cxbsDisabled);
  EXPECT_EQ(disabled.CountIn(GlyphRect(FButton), kBlueCell), 0);
  EXPECT_GT(disabled.DifferencesIn(shown, rect), 16 * 16 / 2);
  Release(FButton);
  EXPECT_EQ(TdxSmartGlyph::DecodeCount(), decoded);
  // An index outside the list shows nothing.
  FButton->OptionsImage().SetImageIndex(2);
  EXPECT_FALSE(FButton->Glyph().IsImageAssigned());
  FButton->OptionsImage().SetImageIndex(0);
  EXPECT_EQ(ShowIn(FButton, cxbsNormal).CountIn(GlyphRect(FButton), kRedCell), 16 * 16);
  images.reset();
  EXPECT_EQ(FButton->OptionsImage().Images(), nullptr);
  EXPECT_EQ(FButton->Glyph().Images(), nullptr);
  EXPECT_FALSE(FButton->Glyph().IsImageAssigned());
  const TPicture without = ShowIn(FButton, cxbsNormal);
  EXPECT_FALSE(FButton->ViewInfo().CanDrawGlyph());
  EXPECT_EQ(without.CountIn(RECT{0, 0, without.Width, without.Height}, kRedCell), 0);
}

// A glyph described in a form description (the bytes of a 32-bit BMP file,
// two cells) is decoded once; painting draws it without decoding again.
TEST_F(ButtonGlyphs, GlyphFromAFormDescriptionDecodedOnce) {
  // A 32x16 top-down 32-bit BMP: the left cell red, the right one green.
  const int w = 32, h = 16;
  std::vector<std::uint8_t> bmp(54 + w * h * 4);
  auto put32 = [&](size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
      bmp[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
  };
  bmp[0] = 'B';
  bmp[1] = 'M';
  put32(2, static_cast<std::uint32_t>(bmp.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, w);
  put32(22, static_cast<std::uint32_t>(-h));
  bmp[26] = 1;
  bmp[28] = 32;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      put32(54 + (static_cast<size_t>(y) * w + x) * 4, x < 16 ? 0xFFFF0000 : 0xFF00FF00);
  std::wstring hex;
  for (std::uint8_t b : bmp) {
    wchar_t pair[3];
    swprintf(pair, 3, L"%02X", b);
    hex += pair;
  }
  TDrawingTestForm form(nullptr);
  ReadComponent(&form, ParseFormDescription(L"object f: TDrawingTestForm\n"
                                            L"  object b: TcxButton\n"
                                            L"    Caption = 'Go'\n"
                                            L"    OptionsImage.Glyph.Data = {" +
                                            hex +
                                            L"}\n"
                                            L"  end\n"
                                            L"end\n"));
  auto* button = dynamic_cast<TcxButton*>(form.FindComponent(L"b"));
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->Glyph().Glyph().SourceWidth(), 32);
  EXPECT_EQ(button->Glyph().NumGlyphs(), 2);
  const int decoded = TdxSmartGlyph::DecodeCount();
  // Painted into memory a few times through the button itself.
  button->SetBounds(0, 0, 75, 44);
  button->SetParent(&form);
  form.HandleNeeded();
  TcxBitmap target(75, 44);
  for (int i = 0; i < 3; ++i)
    SendMessageW(button->Handle(), WM_PRINTCLIENT,
                 reinterpret_cast<WPARAM>(target.cxCanvas().Handle()), PRF_CLIENT);
  const TPicture printed = Read(target.cxCanvas().Handle(), 75, 44);
  EXPECT_EQ(printed.CountIn(GlyphRect(button), kRedCell), 16 * 16);
  EXPECT_EQ(TdxSmartGlyph::DecodeCount(), decoded);
}

} // namespace
} // namespace telvora
