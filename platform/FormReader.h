#pragma once
// Form descriptions: a text resource (RCDATA) that lists a form's properties
// and, nested in it, its controls in creation order with their properties
// and event bindings:
//
//   object frmMain: TfrmMain
//     Caption = 'TELVORA'
//     Font.Style = []
//     object btnOk: TcxButton
//       Left = 8
//       SpeedButtonOptions.CanBeFocused = False
//       OnClick = btnOkClick
//     end
//   end
//
// Values are integers, 'strings' ('' for a quote, #nnn for a character code
// between parts joined by +), identifiers, [sets] and binary data written
// as hex digit pairs in braces, which may span lines:
//
//     Glyph.Data = {
//       89504E470D0A1A0A
//       0000000D49484452}

#include "platform/Classes.h"

#include <string>
#include <utility>
#include <vector>

namespace telvora {

struct TFormNode {
  std::wstring Name;
  std::wstring ClassName;
  std::vector<std::pair<std::wstring, TPropertyValue>> Properties;
  std::vector<TFormNode> Children;
};

// Parses a description; raises EReadError with the line number on a fault.
TFormNode ParseFormDescription(const std::wstring& text);

// Applies `node` to `root`: its properties, then each child created from the
// registered classes, owned by `root` and parented to the control it is
// nested in; a child nested in a component that is not a control is given
// to that component (TComponent::AddChildComponent: a menu's items, an
// action list's actions). Event properties are bound through
// root->FindMethod. Loaded is called on every component afterwards.
void ReadComponent(TComponent* root, const TFormNode& node);

// Reads the RCDATA resource `resourceName` of the executable into `root`.
void ReadComponentResource(TComponent* root, const std::wstring& resourceName);

} // namespace telvora
