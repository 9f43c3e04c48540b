#pragma once
// Fonts, pens and brushes shared by description. Everyone who asks for the
// same description (the same LOGFONTW, LOGPEN or LOGBRUSH) holds the same GDI
// object, which is made for the first user and deleted when the last one
// lets go. A window of a thousand controls that draw with the form's font
// then keeps one font, not a thousand: Windows gives a process 10,000 GDI
// objects in all.
//
// A holder is a counted reference: copying it adds a user, destroying or
// resetting it drops one. Whoever selects a shared object into a device
// context keeps a holder while the context (or a state of it saved with
// SaveDC) may refer to the object, so that it is never deleted while in use.

#include "platform/Handles.h"

#include <windows.h>

#include <string>

namespace telvora {

class TSharedGdiObject {
public:
  TSharedGdiObject() noexcept = default;
  TSharedGdiObject(const TSharedGdiObject& AOther) noexcept;
  TSharedGdiObject(TSharedGdiObject&& AOther) noexcept;
  TSharedGdiObject& operator=(const TSharedGdiObject& AOther) noexcept;
  TSharedGdiObject& operator=(TSharedGdiObject&& AOther) noexcept;
  ~TSharedGdiObject() { Reset(); }

  // The object of the description: the one that lives, else a new one.
  // None (an empty holder) when GDI cannot make it.
  static TSharedGdiObject Font(const LOGFONTW& ADescription);
  static TSharedGdiObject Pen(const LOGPEN& ADescription);
  // Solid, hollow and hatched brushes (pattern brushes are not shared).
  static TSharedGdiObject Brush(const LOGBRUSH& ADescription);

  HGDIOBJ Get() const noexcept;
  explicit operator bool() const noexcept { return FEntry != nullptr; }
  // Drops this holder's use (the object goes with its last user).
  void Reset() noexcept;
  // How many holders share this object (0 for an empty holder).
  int UserCount() const noexcept;

  struct TEntry;

private:
  explicit TSharedGdiObject(TEntry* AEntry) noexcept : FEntry(AEntry) {}
  static TSharedGdiObject Find(const std::string& AKey, HGDIOBJ (*AMake)(const void*),
                               const void* ADescription);

  TEntry* FEntry = nullptr;
};

// How many shared objects live now.
int SharedGdiObjectCount() noexcept;

} // namespace telvora
