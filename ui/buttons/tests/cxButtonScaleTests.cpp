// Buttons by the hundred: what a form of N buttons keeps does not grow with
// N. The GDI objects are counted from the process's GDI handle table (what
// Windows counts against its limit of 10,000 per process), by type, after
// the forms were shown and every button painted.

#include "platform/Forms.h"
#include "tests/support/GdiHandleTable.h"
#include "tests/support/MessagePump.h"
#include "ui/buttons/cxButtons.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <vector>

namespace telvora {
namespace {

using testing::CountOwnGdiObjects;
using testing::kGdiFont;
using testing::PumpPending;
using testing::TGdiObjectCount;

class TScaleTestForm : public TCustomForm {
public:
  using TCustomForm::TCustomForm;
  std::wstring ClassName() const override { return L"TScaleTestForm"; }
};

constexpr int kColumns = 40;

// A form of N buttons of 60 x 20, shown and painted.
class TButtonForm {
public:
  explicit TButtonForm(int N) : FForm(std::make_unique<TScaleTestForm>(nullptr)) {
    FForm->SetClientSize(kColumns * 60, ((N + kColumns - 1) / kColumns) * 20);
    for (int i = 0; i < N; ++i) {
      auto* button = new TcxButton(FForm.get());
      button->SetBounds((i % kColumns) * 60, (i / kColumns) * 20, 60, 20);
      button->SetCaption(L"Button");
      button->SetParent(FForm.get());
      FButtons.push_back(button);
    }
    FForm->HandleNeeded();
    SetWindowPos(FForm->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    FForm->Show(SW_SHOWNOACTIVATE);
    Paint();
  }
  // Every button painted again, now.
  void Paint() {
    RedrawWindow(FForm->Handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpPending();
  }
  TCustomForm& Form() { return *FForm; }
  TcxButton& Button(int AIndex) { return *FButtons.at(static_cast<size_t>(AIndex)); }
  ~TButtonForm() {
    FForm.reset();
    PumpPending();
  }

private:
  std::unique_ptr<TScaleTestForm> FForm;
  std::vector<TcxButton*> FButtons;
};

TGdiObjectCount Count() {
  std::optional<TGdiObjectCount> count = CountOwnGdiObjects();
  if (!count) {
    ADD_FAILURE() << "the GDI handle table cannot be read";
    return {};
  }
  return *count;
}

class ButtonScale : public ::testing::Test {
protected:
  void SetUp() override {
    // What the first forms bring once (the window manager's cached
    // contexts, the shared paint bitmap, the theme's objects) is there
    // before the counts begin.
    { TButtonForm warmUp(1000); }
    FBaseline = Count();
  }
  void TearDown() override {
    EXPECT_EQ(Count().DifferenceFrom(FBaseline), "") << "left behind after the forms went";
  }
  TGdiObjectCount FBaseline;
};

TEST_F(ButtonScale, AFormOfOneHundredOrAThousandButtonsKeepsWhatAFormOfOneKeeps) {
  std::vector<std::string> added;
  for (int N : {1, 100, 1000}) {
    TButtonForm form(N);
    const TGdiObjectCount during = Count();
    added.push_back(during.DifferenceFrom(FBaseline));
    // What they keep is what they need: the form's font (the buttons'
    // too) and a pen and a few brushes shared by all of them.
    EXPECT_LE(during.Total() - FBaseline.Total(), 12) << N << " buttons: " << added.back();
  }
  EXPECT_EQ(added[1], added[0]) << "100 buttons against 1";
  EXPECT_EQ(added[2], added[0]) << "1000 buttons against 1";
}

TEST_F(ButtonScale, AButtonsOwnFontAddsOneFontForAllThatShareIt) {
  TButtonForm form(100);
  const TGdiObjectCount before = Count();
  TFont own;
  own.SetName(L"Tahoma");
  own.SetHeight(-15);
  own.SetStyle(fsBold);
  form.Button(3).Font().Assign(own);
  form.Paint();
  TGdiObjectCount now = Count();
  EXPECT_EQ(now.DifferenceFrom(before), "font 1");
  // A second button of the same font adds nothing.
  form.Button(70).Font().Assign(own);
  form.Paint();
  now = Count();
  EXPECT_EQ(now.DifferenceFrom(before), "font 1");
  // Another colour is no other font.
  form.Button(70).Font().SetColor(clRed);
  form.Paint();
  EXPECT_EQ(Count().DifferenceFrom(before), "font 1");
  // Back to the form's font: back where it was.
  for (int index : {3, 70}) {
    form.Button(index).Font().Assign(form.Form().Font());
    form.Button(index).Font().SetColor(form.Form().Font().Color());
  }
  form.Paint();
  EXPECT_EQ(Count().DifferenceFrom(before), "");
}

TEST_F(ButtonScale, AtAnotherResolutionTheScaledFontIsStillOneForAll) {
  TButtonForm form(200);
  TFont own;
  own.SetName(L"Tahoma");
  own.SetHeight(-13);
  for (int index : {10, 150})
    form.Button(index).Font().Assign(own);
  form.Paint();
  // At 96 pixels per inch the form's font is the default one, which the
  // program had before: the own font is the one font more.
  EXPECT_EQ(Count().Of(kGdiFont) - FBaseline.Of(kGdiFont), 1);
  // The form and every button rescaled from 96 to 144 pixels per inch:
  // the form's font and the own font each become one font of the new
  // height, whatever the number of buttons that draw with them.
  form.Form().ScaleForPPI(144);
  form.Paint();
  EXPECT_EQ(Count().Of(kGdiFont) - FBaseline.Of(kGdiFont), 2);
  EXPECT_EQ(form.Button(10).Font().Height(), form.Button(150).Font().Height());
  EXPECT_EQ(form.Button(10).Font().Handle(), form.Button(150).Font().Handle());
  EXPECT_NE(form.Button(10).Font().Handle(), form.Button(11).Font().Handle());
  EXPECT_EQ(form.Button(11).Font().Handle(), form.Button(199).Font().Handle());
  EXPECT_EQ(form.Button(11).Font().Handle(), form.Form().Font().Handle());
}

} // namespace
} // namespace telvora
