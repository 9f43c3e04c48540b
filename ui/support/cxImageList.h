#pragma once
// An image list component: images of one size with alpha, kept in a
// comctl32 image list (32-bit colour), with change links for the controls
// that show its images. Form descriptions create it by the class name
// TcxImageList:
//
//   object ilGlyphs: TcxImageList
//     Width = 16
//     Height = 16
//     ImageStrip = {89504E47...}   // PNG or BMP bytes, cut into 16 x 16 cells
//   end

#include "platform/Classes.h"
#include "platform/Handles.h"
#include "ui/support/dxSmartGlyph.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace telvora {

class TdxScaleFactor;

struct TImageListTraits {
  using Handle = HIMAGELIST;
  static void Close(HIMAGELIST h) noexcept { ImageList_Destroy(h); }
};
using TImageListHandle = TUniqueHandle<TImageListTraits>;

class TcxImageList : public TComponent {
public:
  // A list of 16 x 16 images. Raises EOutOfResources when comctl32 cannot
  // make the list.
  explicit TcxImageList(TComponent* AOwner);
  ~TcxImageList() override;
  std::wstring ClassName() const override { return L"TcxImageList"; }

  HIMAGELIST Handle() const noexcept { return FHandle.Get(); }
  int Width() const noexcept { return FWidth; }
  int Height() const noexcept { return FHeight; }
  // Another size empties the list; sizes below 1 raise EConvertError.
  void SetSize(int AWidth, int AHeight);
  void SetWidth(int AValue) { SetSize(AValue, FHeight); }
  void SetHeight(int AValue) { SetSize(FWidth, AValue); }

  int Count() const noexcept;
  // Adds the glyph's image; an image of another size is scaled to fit the
  // list's size (keeping its proportions, centred). Answers its index, or
  // -1 for an empty glyph or when the system refuses.
  int Add(const TdxSmartGlyph& AGlyph);
  // Adds the cells of a strip of images of the list's size, row by row,
  // left to right; whatever is left over at the right and bottom edges is
  // left out. Answers how many were added.
  int AddStrip(const TdxSmartGlyph& AStrip);
  // Out-of-range indexes are ignored.
  void Delete(int AIndex);
  void Clear();

  // Links told after every change of the content (images added, deleted,
  // cleared, a new size). A key registered again gets the new handler; a
  // link may unregister itself or others while being told. Links
  // registered while a change is told hear of the next one.
  void RegisterChanges(const void* AKey, std::function<void()> AOnChange);
  void UnRegisterChanges(const void* AKey);

  // Width, Height and ImageStrip (binary image bytes cut as AddStrip
  // does). Strips read from a form description are added once it is
  // loaded, at the size the description gives.
  bool SetProperty(const std::wstring& path, const TPropertyValue& value) override;
  void Loaded() override;

private:
  struct TLink {
    const void* Key;
    std::shared_ptr<std::function<void()>> Handler;
  };

  int AddPixels(const std::vector<std::uint32_t>& AArgb);
  void Changed();

  TImageListHandle FHandle;
  int FWidth = 16;
  int FHeight = 16;
  std::vector<TLink> FLinks;
  std::vector<TdxSmartGlyph> FPendingStrips;
};

// The size of the list's images at the scale factor (the default one when
// none is given); (0, 0) without a list.
SIZE dxGetImageSize(const TcxImageList* AImages, const TdxScaleFactor* AScaleFactor);

// Registers and unregisters the class for form descriptions.
void InitImageListUnit();
void DoneImageListUnit();

} // namespace telvora
