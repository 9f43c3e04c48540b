#pragma once
// Components: ownership, names, property values read from form descriptions
// and the registry of component classes that form descriptions may name.

#include "platform/ListenerList.h"
#include "platform/PropertyValue.h"
#include "platform/SysUtils.h"

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace telvora {

class TObject {
public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;
};

enum TOperation { opInsert, opRemove };

class TComponent : public TObject {
public:
  explicit TComponent(TComponent* AOwner);
  ~TComponent() override;

  TComponent* Owner() const noexcept { return FOwner; }
  const std::wstring& Name() const noexcept { return FName; }
  void SetName(const std::wstring& value) { FName = value; }
  virtual std::wstring ClassName() const = 0;

  int ComponentCount() const noexcept { return static_cast<int>(FComponents.size()); }
  TComponent* Components(int index) const { return FComponents.at(static_cast<size_t>(index)); }
  TComponent* FindComponent(const std::wstring& name) const;
  // Frees every owned component, last created first.
  void DestroyComponents();

  bool IsLoading() const noexcept { return FLoading; }
  bool IsDestroying() const noexcept { return FDestroying; }
  bool IsDesigning() const noexcept { return false; }

  // Sets one property from a form description; answers false for a property
  // the class does not have. Sub-object properties use dotted paths.
  virtual bool SetProperty(const std::wstring& path, const TPropertyValue& value);
  // The handler a form description binds by name (forms override).
  virtual TNotifyEvent FindMethod(const std::wstring& name);
  // Called on every component of a form once the description is read:
  // settles the references that named components read later, then ends
  // loading. Overrides call it first.
  virtual void Loaded();
  // Takes a component that a form description nests in this one, which is
  // not a control (a menu takes its items, an action list its actions).
  // Called before the child's properties are read. The base leaves the
  // child as it is: owned by the description's root, nothing more.
  virtual void AddChildComponent(TComponent* AChild);

  void BeginLoading() noexcept { FLoading = true; }

  // Links this component and AComponent so that each is told (Notification
  // with opRemove) when the other starts being destroyed. The link is
  // forgotten on both sides when either goes, or by RemoveFreeNotification.
  // Linking twice, or to itself or none, does nothing.
  void FreeNotification(TComponent* AComponent);
  void RemoveFreeNotification(TComponent* AComponent);

protected:
  // Told about a linked component that is being destroyed (opRemove): it is
  // still allocated, its derived parts may already be gone; drop references
  // to it. The base does nothing.
  virtual void Notification(TComponent* AComponent, TOperation AOperation);
  // Called first by the destructors of derived classes: marks the component
  // as being destroyed and tells the linked components while it is whole.
  void MarkDestroying() noexcept;
  // A property that names another component of the same owner: ASet gets
  // that component at once when it exists, else in Loaded, once the whole
  // description is read (EReadError there when there is none).
  void ReadReference(const std::wstring& AName, std::function<void(TComponent*)> ASet);

private:
  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);
  void SendFreeNotifications() noexcept;

  TComponent* FOwner;
  std::wstring FName;
  std::vector<TComponent*> FComponents;
  // The components linked by FreeNotification.
  TListenerList<TComponent> FFreeNotifies;
  // References read before the component they name.
  std::vector<std::pair<std::wstring, std::function<void(TComponent*)>>> FPendingReferences;
  bool FLoading = false;
  bool FDestroying = false;
};

using TComponentFactory = std::function<TComponent*(TComponent* AOwner)>;

// Classes that form descriptions may create, by name.
void RegisterComponentClass(const std::wstring& className, TComponentFactory factory);
void UnregisterComponentClass(const std::wstring& className);
TComponentFactory FindComponentClass(const std::wstring& className);

} // namespace telvora
