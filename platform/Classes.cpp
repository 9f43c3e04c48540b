#include "platform/Classes.h"

#include <algorithm>
#include <climits>
#include <iterator>
#include <map>

namespace telvora {

TComponent::TComponent(TComponent* AOwner) : FOwner(AOwner) {
  if (FOwner)
    FOwner->InsertComponent(this);
}

TComponent::~TComponent() {
  MarkDestroying();
  DestroyComponents();
  SendFreeNotifications(); // links made while the owned components went
  if (FOwner)
    FOwner->RemoveComponent(this);
}

void TComponent::MarkDestroying() noexcept {
  FDestroying = true;
  SendFreeNotifications();
}

void TComponent::FreeNotification(TComponent* AComponent) {
  if (AComponent == nullptr || AComponent == this || !FFreeNotifies.Add(AComponent))
    return;
  AComponent->FFreeNotifies.Add(this);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
  if (AComponent == nullptr)
    return;
  FFreeNotifies.Remove(AComponent);
  AComponent->FFreeNotifies.Remove(this);
}

void TComponent::Notification(TComponent*, TOperation) {}

void TComponent::SendFreeNotifications() noexcept {
  // One link at a time, each forgotten on both sides before it is told: a
  // handler may unlink or free other components meanwhile.
  while (TComponent* other = FFreeNotifies.Last()) {
    FFreeNotifies.Remove(other);
    other->FFreeNotifies.Remove(this);
    other->Notification(this, opRemove);
  }
}

void TComponent::InsertComponent(TComponent* component) {
  FComponents.push_back(component);
}

void TComponent::RemoveComponent(TComponent* component) {
  // Components mostly go last first: looked for from the end.
  auto it = std::find(FComponents.rbegin(), FComponents.rend(), component);
  if (it != FComponents.rend())
    FComponents.erase(std::next(it).base());
}

void TComponent::DestroyComponents() {
  while (!FComponents.empty()) {
    TComponent* last = FComponents.back();
    FComponents.pop_back();
    last->FOwner = nullptr;
    delete last;
  }
}

TComponent* TComponent::FindComponent(const std::wstring& name) const {
  for (TComponent* c : FComponents)
    if (SameText(c->Name(), name))
      return c;
  return nullptr;
}

bool TComponent::SetProperty(const std::wstring& path, const TPropertyValue& value) {
  if (path == L"Name") {
    SetName(value.AsString());
    return true;
  }
  return false;
}

TNotifyEvent TComponent::FindMethod(const std::wstring&) {
  return {};
}

void TComponent::AddChildComponent(TComponent*) {}

void TComponent::ReadReference(const std::wstring& AName, std::function<void(TComponent*)> ASet) {
  if (TComponent* found = FOwner ? FOwner->FindComponent(AName) : nullptr) {
    ASet(found);
    return;
  }
  if (!FLoading)
    throw EReadError(L"Error reading " + FName + L": component " + AName + L" not found");
  FPendingReferences.emplace_back(AName, std::move(ASet));
}

void TComponent::Loaded() {
  auto pending = std::move(FPendingReferences);
  FPendingReferences.clear();
  for (auto& [name, set] : pending) {
    TComponent* found = FOwner ? FOwner->FindComponent(name) : nullptr;
    if (found == nullptr)
      throw EReadError(L"Error reading " + FName + L": component " + name + L" not found");
    set(found);
  }
  FLoading = false;
}

namespace {
std::map<std::wstring, TComponentFactory>& ClassRegistry() {
  static std::map<std::wstring, TComponentFactory> registry;
  return registry;
}
} // namespace

void RegisterComponentClass(const std::wstring& className, TComponentFactory factory) {
  ClassRegistry()[className] = std::move(factory);
}

void UnregisterComponentClass(const std::wstring& className) {
  ClassRegistry().erase(className);
}

TComponentFactory FindComponentClass(const std::wstring& className) {
  auto it = ClassRegistry().find(className);
  return it == ClassRegistry().end() ? TComponentFactory{} : it->second;
}

} // namespace telvora
