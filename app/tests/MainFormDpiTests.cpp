// The main window moved between monitors of different resolutions: after
// any number of DPI changes its layout is the one a fresh start at the new
// resolution gives.

#include "app/Main.h"

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <memory>
#include <random>
#include <sstream>
#include <string>

namespace telvora {
namespace {

constexpr std::array<int, 5> kResolutions = {96, 120, 144, 168, 192};

std::unique_ptr<TfrmMain> NewMainForm() {
  auto form = std::make_unique<TfrmMain>(nullptr);
  form->ReadFormDescription();
  form->HandleNeeded();
  return form;
}

// Everything the scaling decides, as one text: the form's resolution,
// figures, font and real client size; each control's bounds as the object
// holds them and as its window has them, and its font; each button's scale
// factor and the image margin and spacing that follow it.
std::string Layout(TfrmMain& form) {
  std::ostringstream text;
  RECT client{};
  GetClientRect(form.Handle(), &client);
  text << "form: " << form.PixelsPerInch() << " dpi, client " << client.right << "x"
       << client.bottom << " (figures " << form.ClientWidth() << "x" << form.ClientHeight()
       << "), text height " << form.TextHeight() << ", font " << form.Font().Height() << "\n";
  for (int i = 0; i < form.ControlCount(); ++i) {
    TWinControl* control = form.Controls(i);
    RECT window{};
    GetWindowRect(control->Handle(), &window);
    MapWindowPoints(nullptr, form.Handle(), reinterpret_cast<POINT*>(&window), 2);
    text << ToUtf8(control->Name()) << ": " << control->Left() << ", " << control->Top() << ", "
         << control->Width() << " x " << control->Height() << " (window " << window.left << ", "
         << window.top << ", " << window.right - window.left << " x " << window.bottom - window.top
         << "), font " << control->Font().Height();
    if (auto* button = dynamic_cast<TcxButton*>(control)) {
      const TdxScaleFactor& factor = *button->GetScaleFactor();
      text << ", scale factor " << factor.Numerator() << "/" << factor.Denominator()
           << ", image margin " << button->OptionsImage().Margin() << " spacing "
           << button->OptionsImage().Spacing();
    }
    text << "\n";
  }
  return text.str();
}

void SendDpiChanged(TfrmMain& form, int dpi) {
  // No suggested rectangle: the window keeps the size the form gives it, so
  // that the client size compared is the form's own.
  SendMessageW(form.Handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), 0);
}

TEST(MainFormDpiChanges, AnyWalkOfResolutionsEndsInTheLayoutOfAFreshStart) {
  std::map<int, std::string> fresh;
  for (int dpi : kResolutions) {
    std::unique_ptr<TfrmMain> reference = NewMainForm();
    reference->ScaleForPPI(dpi);
    ASSERT_EQ(reference->PixelsPerInch(), dpi);
    fresh[dpi] = Layout(*reference);
  }
  // The figures of a single change from 96 dpi are those of the form
  // description scaled edge by edge (checked in MainFormTests).
  std::unique_ptr<TfrmMain> form = NewMainForm();
  ASSERT_EQ(Layout(*form), fresh[96]);

  std::mt19937 random(20240611);
  std::uniform_int_distribution<size_t> pick(1, kResolutions.size() - 1);
  size_t current = 0;
  int differing = 0;
  std::string firstDifference;
  for (int step = 1; step <= 200; ++step) {
    // Another resolution than the current one, each equally likely.
    current = (current + pick(random)) % kResolutions.size();
    const int dpi = kResolutions[current];
    SendDpiChanged(*form, dpi);
    const std::string layout = Layout(*form);
    if (layout != fresh[dpi] && differing++ == 0)
      firstDifference = "step " + std::to_string(step) + " to " + std::to_string(dpi) + " dpi:\n" +
                        layout + "a fresh start at " + std::to_string(dpi) + " dpi:\n" + fresh[dpi];
  }
  EXPECT_EQ(differing, 0) << "layouts that differ from a fresh start; the first at "
                          << firstDifference;
}

// At start-up the form is scaled while only its own window exists; its
// controls' windows are then made at their final bounds and fonts. That
// gives the layout of scaling a form whose controls' windows exist.
TEST(MainFormDpiChanges, ScalingBeforeTheControlsWindowsExistGivesTheSameLayout) {
  for (int dpi : kResolutions) {
    SCOPED_TRACE(dpi);
    std::unique_ptr<TfrmMain> reference = NewMainForm();
    reference->ScaleForPPI(dpi);

    auto form = std::make_unique<TfrmMain>(nullptr);
    form->ReadFormDescription();
    form->HandleNeeded(false);
    ASSERT_TRUE(form->HandleAllocated());
    for (int i = 0; i < form->ControlCount(); ++i)
      EXPECT_FALSE(form->Controls(i)->HandleAllocated()) << i;
    form->ScaleForPPI(dpi);
    form->CreateChildHandles();
    for (int i = 0; i < form->ControlCount(); ++i)
      EXPECT_TRUE(form->Controls(i)->HandleAllocated()) << i;
    EXPECT_EQ(Layout(*form), Layout(*reference));
  }
}

TEST(MainFormDpiChanges, OneRoundTripComesBackToTheDesignedLayout) {
  std::unique_ptr<TfrmMain> form = NewMainForm();
  const std::string designed = Layout(*form);
  for (int dpi : {144, 192, 96})
    SendDpiChanged(*form, dpi);
  EXPECT_EQ(Layout(*form), designed);
  auto bounds = [](TWinControl* c) {
    return std::array<int, 4>{c->Left(), c->Top(), c->Width(), c->Height()};
  };
  EXPECT_EQ(bounds(form->btnKopyala), (std::array<int, 4>{56, 35, 75, 25}));
  EXPECT_EQ(bounds(form->btnMakineKoduoku), (std::array<int, 4>{137, 35, 104, 25}));
  EXPECT_EQ(form->Font().Height(), -11);
  EXPECT_EQ(form->edtGuid->Font().Height(), -11);
  EXPECT_FALSE(form->btnKopyala->GetScaleFactor()->Assigned());
}

} // namespace
} // namespace telvora
