// Windowed controls: the identifiers their windows get under their parent,
// and their figures when the form is rescaled again and again.

#include "platform/Forms.h"
#include "platform/Handles.h"
#include "platform/StdCtrls.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace telvora {
namespace {

class TIdTestForm : public TCustomForm {
public:
  using TCustomForm::TCustomForm;
  std::wstring ClassName() const override { return L"TIdTestForm"; }
};

// Every child window under the form has its own identifier, by which
// GetDlgItem finds it.
::testing::AssertionResult IdentifiersUnique(TCustomForm& form) {
  std::set<int> ids;
  for (int i = 0; i < form.ControlCount(); ++i) {
    HWND window = form.Controls(i)->Handle();
    const int id = GetDlgCtrlID(window);
    if (!ids.insert(id).second)
      return ::testing::AssertionFailure() << "identifier " << id << " given twice";
    if (GetDlgItem(form.Handle(), id) != window)
      return ::testing::AssertionFailure() << "GetDlgItem finds another window for " << id;
  }
  return ::testing::AssertionSuccess();
}

TEST(ControlIdentifiers, UniqueUnderTheParentHoweverTheWindowsCameAbout) {
  TIdTestForm form(nullptr);
  form.SetClientSize(300, 200);
  // Created together with the form's window.
  for (int i = 0; i < 3; ++i)
    (new TEdit(&form))->SetParent(&form);
  form.HandleNeeded();
  EXPECT_TRUE(IdentifiersUnique(form)) << "children created with the form";
  // Added to the living form, after one of the others has gone.
  delete form.Controls(1);
  (new TEdit(&form))->SetParent(&form);
  (new TEdit(&form))->SetParent(&form);
  EXPECT_TRUE(IdentifiersUnique(form)) << "children added later";
  // A window made again keeps clear of its siblings.
  form.Controls(0)->RecreateWnd();
  EXPECT_TRUE(IdentifiersUnique(form)) << "a recreated window";
}

// The edit box answers its colour requests with a brush of its colour: the
// same brush while the colour stays, a new one of the new colour after a
// change (the old one freed), for the read-only and the editable look.
TEST(EditColours, OneBrushPerColourForEveryColourRequest) {
  TIdTestForm form(nullptr);
  form.SetClientSize(300, 200);
  auto* edit = new TEdit(&form);
  edit->SetParent(&form);
  form.HandleNeeded();
  TMemoryDC dc(CreateCompatibleDC(nullptr));
  auto ask = [&](UINT AMessage) {
    return reinterpret_cast<HBRUSH>(SendMessageW(form.Handle(), AMessage,
                                                 reinterpret_cast<WPARAM>(dc.Get()),
                                                 reinterpret_cast<LPARAM>(edit->Handle())));
  };
  auto colourOf = [](HBRUSH ABrush) {
    LOGBRUSH info{};
    return GetObjectW(ABrush, sizeof(info), &info) == sizeof(info) ? info.lbColor : CLR_INVALID;
  };
  const int liveBefore = TGdiObject::LiveCount();
  edit->SetColor(static_cast<TColor>(RGB(10, 20, 30)));
  const HBRUSH first = ask(WM_CTLCOLOREDIT);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(colourOf(first), RGB(10, 20, 30));
  EXPECT_EQ(GetBkColor(dc.Get()), RGB(10, 20, 30));
  for (UINT request : {WM_CTLCOLOREDIT, WM_CTLCOLORSTATIC, WM_CTLCOLOREDIT})
    EXPECT_EQ(ask(request), first);
  EXPECT_EQ(TGdiObject::LiveCount(), liveBefore + 1);

  edit->SetColor(static_cast<TColor>(RGB(200, 100, 50)));
  const HBRUSH second = ask(WM_CTLCOLORSTATIC);
  EXPECT_EQ(colourOf(second), RGB(200, 100, 50));
  EXPECT_EQ(TGdiObject::LiveCount(), liveBefore + 1) << "the brush of the old colour is freed";
}

class TPlainControl : public TWinControl {
public:
  using TWinControl::TWinControl;
  std::wstring ClassName() const override { return L"TPlainTestControl"; }
};

struct TGivenFigures {
  int Dpi;
  RECT Bounds; // edges
  int FontHeight;
  SIZE Client;
  int FormFontHeight;
  int FormFontDpi;
};

// The figures given at `given.Dpi` as a single rescale to `dpi` makes them:
// MulDiv edge by edge, font heights and the client size.
std::string Expected(const TGivenFigures& given, int dpi) {
  auto scale = [&](int value) { return MulDiv(value, dpi, given.Dpi); };
  std::ostringstream text;
  text << scale(given.Bounds.left) << ", " << scale(given.Bounds.top) << " - "
       << scale(given.Bounds.right) << ", " << scale(given.Bounds.bottom) << ", font "
       << scale(given.FontHeight) << "; client " << scale(given.Client.cx) << "x"
       << scale(given.Client.cy) << ", form font "
       << MulDiv(given.FormFontHeight, dpi, given.FormFontDpi);
  return text.str();
}

std::string Actual(TCustomForm& form, TWinControl& control) {
  RECT client{};
  GetClientRect(form.Handle(), &client);
  RECT r = control.BoundsRect();
  std::ostringstream text;
  text << r.left << ", " << r.top << " - " << r.right << ", " << r.bottom << ", font "
       << control.Font().Height() << "; client " << client.right << "x" << client.bottom
       << ", form font " << form.Font().Height();
  return text.str();
}

// Bounds, an own font and a client size given while the form is at 120 dpi
// are, at every resolution the form is then moved to, those figures scaled
// once from 120 dpi, whatever resolutions the form passed through; the
// form's font keeps following its 96 dpi figure.
TEST(ControlScaling, FiguresGivenAtOneResolutionHoldOnAnyWalk) {
  TIdTestForm form(nullptr);
  form.SetClientSize(300, 200);
  auto* control = new TPlainControl(&form);
  control->SetParent(&form);
  control->SetBounds(10, 10, 80, 20);
  form.HandleNeeded();
  form.ScaleForPPI(120);
  ASSERT_EQ(form.PixelsPerInch(), 120);
  control->SetBounds(17, 9, 101, 23);
  control->Font().SetHeight(-15);
  form.SetClientSize(333, 211);
  const TGivenFigures given{120, {17, 9, 118, 32}, -15, {333, 211}, -11, 96};
  ASSERT_EQ(Actual(form, *control), Expected(given, 120));

  constexpr std::array<int, 7> resolutions = {96, 108, 120, 144, 168, 192, 240};
  std::mt19937 random(1234);
  std::uniform_int_distribution<size_t> pick(0, resolutions.size() - 1);
  int differing = 0;
  std::string firstDifference;
  for (int step = 1; step <= 100; ++step) {
    const int dpi = resolutions[pick(random)];
    form.ScaleForPPI(dpi);
    ASSERT_EQ(form.PixelsPerInch(), dpi);
    const std::string actual = Actual(form, *control);
    const std::string expected = Expected(given, dpi);
    if (actual != expected && differing++ == 0)
      firstDifference = "step " + std::to_string(step) + " to " + std::to_string(dpi) +
                        " dpi: " + actual + ", expected " + expected;
  }
  EXPECT_EQ(differing, 0) << "the first at " << firstDifference;
}

} // namespace
} // namespace telvora
