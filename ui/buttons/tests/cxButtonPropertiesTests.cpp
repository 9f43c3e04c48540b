// A button read from a form description: every kind and the button's own
// settings; names of enumerators, colours, sets and booleans read the same
// way by the framework, the button and its look-and-feel, in whatever case
// they are written; a name written as a quoted text or unknown is refused.

#include "ui/buttons/cxButtons.h"

#include "platform/FormReader.h"
#include "ui/buttons/tests/cxButtonTestFixture.h"

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

TcxButton* FindButton(TComponent& ARoot, const wchar_t* AName) {
  return dynamic_cast<TcxButton*>(ARoot.FindComponent(AName));
}

// Every kind and the button's own settings come from a form description.
TEST(ButtonFormDescription, EveryKindAndTheButtonsSettings) {
  TButtonTestForm form(nullptr);
  ReadComponent(&form, ParseFormDescription(LR"(object f: TButtonTestForm
  ClientWidth = 400
  ClientHeight = 200
  object link: TcxButton
    Left = 8
    Top = 8
    Width = 220
    Height = 60
    Caption = 'Open'
    Kind = cxbkCommandLink
    Description = 'Shows the folder'
    PaintStyle = bpsCaption
    WordWrap = True
    OptionsImage.Layout = blGlyphTop
    OptionsImage.Margin = 6
    OptionsImage.Spacing = 2
    OptionsImage.NumGlyphs = 3
    Colors.Normal = clRed
    Colors.HotText = 255
    Default = True
    Cancel = True
    ModalResult = 1
  end
  object split: TcxButton
    Left = 8
    Top = 80
    Kind = cxbkDropDownButton
    CommandLinkHint = 'older streams'
    SpeedButtonOptions.CanBeFocused = False
    SpeedButtonOptions.Flat = True
    SpeedButtonOptions.Transparent = True
    LookAndFeel.Kind = lfUltraFlat
    Layout = blGlyphRight
    Margin = 3
    Spacing = -1
    BiDiMode = bdRightToLeftReadingOnly
    Enabled = False
  end
  object office: TcxButton
    Kind = cxbkOfficeDropDown
    PaintStyle = bpsGlyph
  end
  object menu: TcxButton
    Kind = cxbkDropDown
  end
end
)"));
  TcxButton* link = FindButton(form, L"link");
  TcxButton* split = FindButton(form, L"split");
  ASSERT_NE(link, nullptr);
  ASSERT_NE(split, nullptr);
  EXPECT_EQ(link->Kind(), cxbkCommandLink);
  EXPECT_EQ(link->Description(), L"Shows the folder");
  EXPECT_EQ(link->PaintStyle(), bpsCaption);
  EXPECT_TRUE(link->WordWrap());
  EXPECT_EQ(link->OptionsImage().Layout(), blGlyphTop);
  EXPECT_EQ(link->OptionsImage().Margin(), 6);
  EXPECT_EQ(link->OptionsImage().Spacing(), 2);
  EXPECT_EQ(link->Glyph().NumGlyphs(), 3);
  EXPECT_EQ(link->Colors().GetColor(cxbcNormal), clRed);
  EXPECT_EQ(link->Colors().GetColor(cxbcHotText), 255);
  EXPECT_TRUE(link->IsColorsStored());
  EXPECT_TRUE(link->Default());
  EXPECT_TRUE(link->Cancel());
  EXPECT_EQ(link->ModalResult(), 1);
  EXPECT_EQ(split->Kind(), cxbkDropDownButton);
  EXPECT_EQ(split->Description(), L"older streams");
  EXPECT_FALSE(split->SpeedButtonOptions().CanBeFocused());
  EXPECT_TRUE(split->SpeedButtonOptions().Flat());
  EXPECT_TRUE(split->SpeedButtonOptions().Transparent());
  EXPECT_TRUE(split->SpeedButtonOptions().NeedDrawParts());
  EXPECT_EQ(split->LookAndFeel().Kind(), lfUltraFlat);
  EXPECT_EQ(split->OptionsImage().Layout(), blGlyphRight);
  EXPECT_EQ(split->OptionsImage().Margin(), 3);
  EXPECT_EQ(split->OptionsImage().Spacing(), -1);
  EXPECT_EQ(split->BiDiMode(), bdRightToLeftReadingOnly);
  EXPECT_FALSE(split->ParentBiDiMode());
  EXPECT_FALSE(split->Enabled());
  EXPECT_EQ(FindButton(form, L"office")->Kind(), cxbkOfficeDropDown);
  EXPECT_EQ(FindButton(form, L"office")->PaintStyle(), bpsGlyph);
  EXPECT_EQ(FindButton(form, L"menu")->Kind(), cxbkDropDown);
  // Every kind is an owner-drawn button window; word wrap is a style bit.
  form.HandleNeeded();
  for (TcxButton* button : {link, split}) {
    const LONG style = GetWindowLongW(button->Handle(), GWL_STYLE);
    EXPECT_EQ(style & BS_TYPEMASK, BS_OWNERDRAW);
    EXPECT_EQ((style & BS_MULTILINE) != 0, button->WordWrap());
  }
  // A changed kind makes a new window.
  const HWND before = link->Handle();
  link->SetKind(cxbkStandard);
  EXPECT_NE(link->Handle(), before);
  EXPECT_TRUE(IsWindow(link->Handle()));
}

TEST(ButtonFormDescription, UnknownNamesAreRefused) {
  for (const wchar_t* property :
       {L"Kind = cxbkNoSuchKind", L"PaintStyle = 3", L"OptionsImage.Layout = blGlyphCentre",
        L"BiDiMode = bdUpsideDown"}) {
    SCOPED_TRACE(ToUtf8(property));
    TButtonTestForm form(nullptr);
    const std::wstring text =
        std::wstring(L"object f: TButtonTestForm\n  object b: TcxButton\n    ") + property +
        L"\n  end\nend\n";
    EXPECT_THROW(ReadComponent(&form, ParseFormDescription(text)), EReadError);
  }
}

} // namespace
} // namespace telvora
