#pragma once
// The gallery's own plain controls, for its form description: a panel that
// paints a solid, striped or chequered background with an optional frame
// and heading, and a text label that shows its parent's image behind it.

#include "platform/Controls.h"

#include <string>

namespace telvora {

enum TGalleryPattern { gpNone, gpStripes, gpChecker };

enum TGalleryAlignment { gaLeft, gaCenter, gaRight };

// A container with its own background. The background is painted on
// WM_ERASEBKGND in client coordinates, so that a child that asks for its
// parent's image (WM_PRINT, a transparent button) gets the same picture the
// panel shows at that place.
class TGalleryPanel : public TWinControl {
public:
  explicit TGalleryPanel(TComponent* AOwner) : TWinControl(AOwner) {}
  std::wstring ClassName() const override { return L"TGalleryPanel"; }

  TGalleryPattern Pattern() const noexcept { return FPattern; }
  void SetPattern(TGalleryPattern AValue);
  // The second colour of stripes and squares (the first is Color).
  TColor PatternColor() const noexcept { return FPatternColor; }
  void SetPatternColor(TColor AValue);
  // A one-pixel frame in FrameColor; clNone for none.
  TColor FrameColor() const noexcept { return FFrameColor; }
  void SetFrameColor(TColor AValue);

  // Pattern, PatternColor and FrameColor besides the control's properties;
  // the caption is drawn as a bold heading in the top left corner.
  bool SetProperty(const std::wstring& path, const TPropertyValue& value) override;

  // Paints the background, frame and heading on `dc` in client coordinates.
  void PaintBackground(HDC dc);

protected:
  void CreateParams(TCreateParams& params) override;
  void WndProc(TMessage& message) override;
  bool WantsWindowFont() const override { return false; }

private:
  int Scaled(int AValue) const;

  TGalleryPattern FPattern = gpNone;
  TColor FPatternColor = clWhite;
  TColor FFrameColor = clNone;
};

// One line (or, with WordWrap, several lines) of text in the control's font
// and font colour over whatever its parent shows there.
class TGalleryLabel : public TWinControl {
public:
  explicit TGalleryLabel(TComponent* AOwner) : TWinControl(AOwner) {}
  std::wstring ClassName() const override { return L"TGalleryLabel"; }

  TGalleryAlignment Alignment() const noexcept { return FAlignment; }
  void SetAlignment(TGalleryAlignment AValue);
  bool WordWrap() const noexcept { return FWordWrap; }
  void SetWordWrap(bool AValue);

  // Alignment (gaLeft, gaCenter, gaRight) and WordWrap besides the
  // control's properties.
  bool SetProperty(const std::wstring& path, const TPropertyValue& value) override;

protected:
  void WndProc(TMessage& message) override;
  bool WantsWindowFont() const override { return false; }

private:
  void Paint(HDC dc);

  TGalleryAlignment FAlignment = gaLeft;
  bool FWordWrap = false;
};

// Makes the classes known to form descriptions, and forgets them again.
void RegisterGalleryControls();
void UnregisterGalleryControls();

} // namespace telvora
