// Windowed controls: the identifiers their windows get under their parent.

#include "platform/Forms.h"
#include "platform/StdCtrls.h"

#include <gtest/gtest.h>

#include <set>
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

} // namespace
} // namespace telvora
