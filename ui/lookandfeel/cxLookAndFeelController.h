#pragma once
// The look-and-feel controller: the component through which a form edits
// the root look-and-feel.

#include "platform/Classes.h"
#include "ui/lookandfeel/cxLookAndFeels.h"

#include <string>

namespace telvora {

// A non-visual component through which a form edits the root: its
// properties are the root's (TouchMode is cxIsTouchModeEnabled). Removing
// the last controller resets the root.
class TcxLookAndFeelController : public TComponent, public IcxLookAndFeelNotificationListener {
public:
  explicit TcxLookAndFeelController(TComponent* AOwner);
  ~TcxLookAndFeelController() override;
  std::wstring ClassName() const override { return L"TcxLookAndFeelController"; }

  TcxLookAndFeelKind Kind() const;
  void SetKind(TcxLookAndFeelKind Value);
  bool NativeStyle() const;
  void SetNativeStyle(bool Value);
  TdxScrollbarMode ScrollbarMode() const;
  void SetScrollbarMode(TdxScrollbarMode Value);
  TdxScrollMode ScrollMode() const;
  void SetScrollMode(TdxScrollMode Value);
  TdxSkinName SkinName() const;
  void SetSkinName(const TdxSkinName& Value);
  TdxRenderMode RenderMode() const;
  void SetRenderMode(TdxRenderMode Value);
  bool TouchMode() const noexcept;
  // Switches the touch mode: every look-and-feel re-resolves and notifies.
  void SetTouchMode(bool Value);

  void BeginUpdate();
  void EndUpdate();
  void Reset();

  bool SetProperty(const std::wstring& path, const TPropertyValue& value) override;

  // IcxLookAndFeelNotificationListener: the controller keeps no state.
  TObject* GetObject() override { return this; }
  void MasterLookAndFeelChanged(TcxLookAndFeel*, TcxLookAndFeelValues) override {}
  void MasterLookAndFeelDestroying(TcxLookAndFeel*) override {}
};

} // namespace telvora
