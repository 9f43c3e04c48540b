#include "platform/SharedGdiObjects.h"

#include <cstring>
#include <cwchar>
#include <mutex>
#include <unordered_map>
#include <utility>

namespace telvora {

struct TSharedGdiObject::TEntry {
  TGdiObject Object;
  int Users = 0;
  const std::string* Key = nullptr;
};

namespace {

// The objects that live, by description. Made on first use and never
// destroyed: holders in objects with static storage may let go after the
// program's own statics are gone.
struct TRegistry {
  std::mutex Lock;
  std::unordered_map<std::string, TSharedGdiObject::TEntry> Entries;
};

TRegistry& Registry() {
  static TRegistry* registry = new TRegistry;
  return *registry;
}

// The key of a description: its kind, then its bytes.
template <class T> std::string KeyOf(char AKind, const T& ADescription) {
  std::string key(1 + sizeof(T), '\0');
  key[0] = AKind;
  std::memcpy(key.data() + 1, &ADescription, sizeof(T));
  return key;
}

HGDIOBJ MakeFont(const void* ADescription) {
  return CreateFontIndirectW(static_cast<const LOGFONTW*>(ADescription));
}

HGDIOBJ MakePen(const void* ADescription) {
  return CreatePenIndirect(static_cast<const LOGPEN*>(ADescription));
}

HGDIOBJ MakeBrush(const void* ADescription) {
  return CreateBrushIndirect(static_cast<const LOGBRUSH*>(ADescription));
}

} // namespace

TSharedGdiObject TSharedGdiObject::Find(const std::string& AKey, HGDIOBJ (*AMake)(const void*),
                                        const void* ADescription) {
  TRegistry& registry = Registry();
  std::lock_guard lock(registry.Lock);
  auto it = registry.Entries.find(AKey);
  if (it == registry.Entries.end()) {
    TGdiObject object(AMake(ADescription));
    if (!object)
      return {};
    it = registry.Entries.emplace(AKey, TEntry{}).first;
    it->second.Object = std::move(object);
    it->second.Key = &it->first;
  }
  ++it->second.Users;
  return TSharedGdiObject(&it->second);
}

TSharedGdiObject TSharedGdiObject::Font(const LOGFONTW& ADescription) {
  // Whatever follows the face name's end is no part of the description.
  LOGFONTW font = ADescription;
  const size_t length = wcsnlen(font.lfFaceName, LF_FACESIZE);
  for (size_t i = length; i < LF_FACESIZE; ++i)
    font.lfFaceName[i] = L'\0';
  return Find(KeyOf('F', font), MakeFont, &font);
}

TSharedGdiObject TSharedGdiObject::Pen(const LOGPEN& ADescription) {
  LOGPEN pen = ADescription;
  pen.lopnWidth.y = 0; // not used by GDI
  return Find(KeyOf('P', pen), MakePen, &pen);
}

TSharedGdiObject TSharedGdiObject::Brush(const LOGBRUSH& ADescription) {
  LOGBRUSH brush = ADescription;
  if (brush.lbStyle == BS_SOLID || brush.lbStyle == BS_NULL)
    brush.lbHatch = 0;
  if (brush.lbStyle == BS_NULL)
    brush.lbColor = 0;
  if (brush.lbStyle != BS_SOLID && brush.lbStyle != BS_NULL && brush.lbStyle != BS_HATCHED)
    return {};
  return Find(KeyOf('B', brush), MakeBrush, &brush);
}

TSharedGdiObject::TSharedGdiObject(const TSharedGdiObject& AOther) noexcept
    : FEntry(AOther.FEntry) {
  if (FEntry != nullptr) {
    std::lock_guard lock(Registry().Lock);
    ++FEntry->Users;
  }
}

TSharedGdiObject::TSharedGdiObject(TSharedGdiObject&& AOther) noexcept
    : FEntry(std::exchange(AOther.FEntry, nullptr)) {}

TSharedGdiObject& TSharedGdiObject::operator=(const TSharedGdiObject& AOther) noexcept {
  if (this != &AOther) {
    TSharedGdiObject copy(AOther);
    *this = std::move(copy);
  }
  return *this;
}

TSharedGdiObject& TSharedGdiObject::operator=(TSharedGdiObject&& AOther) noexcept {
  if (this != &AOther) {
    Reset();
    FEntry = std::exchange(AOther.FEntry, nullptr);
  }
  return *this;
}

HGDIOBJ TSharedGdiObject::Get() const noexcept {
  return FEntry != nullptr ? FEntry->Object.Get() : nullptr;
}

void TSharedGdiObject::Reset() noexcept {
  TEntry* entry = std::exchange(FEntry, nullptr);
  if (entry == nullptr)
    return;
  TRegistry& registry = Registry();
  std::lock_guard lock(registry.Lock);
  if (--entry->Users > 0)
    return;
  // The last user: the object goes (TGdiObject deletes it).
  const auto it = registry.Entries.find(*entry->Key);
  if (it != registry.Entries.end())
    registry.Entries.erase(it);
}

int TSharedGdiObject::UserCount() const noexcept {
  if (FEntry == nullptr)
    return 0;
  std::lock_guard lock(Registry().Lock);
  return FEntry->Users;
}

int SharedGdiObjectCount() noexcept {
  TRegistry& registry = Registry();
  std::lock_guard lock(registry.Lock);
  return static_cast<int>(registry.Entries.size());
}

} // namespace telvora
