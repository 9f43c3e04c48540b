// A button read from a form description: names of enumerators, colours,
// sets and booleans read the same way by the framework, the button and its
// look-and-feel, in whatever case they are written; a name written as a
// quoted text is refused.

#include "ui/buttons/cxButtons.h"

#include "platform/FormReader.h"

#include <gtest/gtest.h>

#include <cwctype>
#include <string>

namespace telvora {
namespace {

void Read(TcxButton& AButton, const std::wstring& AProperties) {
  ReadComponent(&AButton, ParseFormDescription(L"object b: TcxButton\n" + AProperties + L"end\n"));
}

TEST(ButtonProperties, NamesInAnyCase) {
  // Read by the button, its look-and-feel and the framework's control.
  const struct {
    const wchar_t* Property;
    const wchar_t* Value;
  } rows[] = {
      {L"Kind", L"cxbkDropDownButton"},          {L"Colors.Normal", L"clBtnShadow"},
      {L"OptionsImage.Layout", L"blGlyphTop"},   {L"PopupAlignment", L"paCenter"},
      {L"SpeedButtonOptions.Flat", L"True"},     {L"LookAndFeel.Kind", L"lfOffice11"},
      {L"LookAndFeel.NativeStyle", L"False"},    {L"Font.Color", L"clRed"},
      {L"Font.Style", L"[fsBold, fsUnderline]"}, {L"BiDiMode", L"bdRightToLeft"},
  };
  for (const bool upper : {false, true}) {
    SCOPED_TRACE(upper ? "upper case" : "as declared");
    std::wstring properties;
    for (const auto& row : rows) {
      std::wstring value = row.Value;
      if (upper)
        for (wchar_t& c : value)
          c = static_cast<wchar_t>(towupper(c));
      properties += L"  " + std::wstring(row.Property) + L" = " + value + L"\n";
    }
    TcxButton button(nullptr);
    Read(button, properties);
    EXPECT_EQ(button.Kind(), cxbkDropDownButton);
    EXPECT_EQ(button.Colors().GetColorByState(cxbsNormal), clBtnShadow);
    EXPECT_EQ(button.OptionsImage().Layout(), blGlyphTop);
    EXPECT_EQ(button.PopupAlignment(), paCenter);
    EXPECT_TRUE(button.SpeedButtonOptions().Flat());
    EXPECT_EQ(button.LookAndFeel().Kind(), lfOffice11);
    EXPECT_FALSE(button.LookAndFeel().NativeStyle());
    EXPECT_EQ(button.Font().Color(), clRed);
    EXPECT_EQ(button.Font().Style(), static_cast<unsigned>(fsBold | fsUnderline));
    EXPECT_EQ(button.BiDiMode(), bdRightToLeft);
  }
}

TEST(ButtonProperties, UnknownNamesAndQuotedNamesAreRefused) {
  const wchar_t* const rows[] = {
      L"  Kind = cxbkSplit\n",
      L"  Kind = 'cxbkDropDown'\n",
      L"  Colors.Hot = 'clRed'\n",
      L"  LookAndFeel.Kind = 'lfFlat'\n",
      L"  LookAndFeel.NativeStyle = 'True'\n",
      L"  Font.Style = [fsBold, fsShadow]\n",
      L"  BiDiMode = bdUpsideDown\n",
      L"  PopupAlignment = 1\n",
  };
  for (const wchar_t* row : rows) {
    SCOPED_TRACE(ToUtf8(row));
    TcxButton button(nullptr);
    EXPECT_THROW(Read(button, row), EReadError);
  }
}

} // namespace
} // namespace telvora
