// Free notification between components: who is told, when, and that a link
// is forgotten on both sides once either component is gone.

#include "platform/Classes.h"

#include <gtest/gtest.h>

#include <new>
#include <string>
#include <vector>

namespace telvora {
namespace {

// Each notification as "receiver<-sender".
using TLog = std::vector<std::wstring>;

class TRecorder : public TComponent {
public:
  TRecorder(TComponent* AOwner, std::wstring AName, TLog& ALog) : TComponent(AOwner), FLog(ALog) {
    SetName(AName);
  }
  ~TRecorder() override { MarkDestroying(); }
  std::wstring ClassName() const override { return L"TRecorder"; }
  std::function<void(TComponent*)> OnRemove;

protected:
  void Notification(TComponent* AComponent, TOperation AOperation) override {
    EXPECT_EQ(AOperation, opRemove);
    // The sender is still allocated and marked as being destroyed.
    EXPECT_TRUE(AComponent->IsDestroying());
    FLog.push_back(Name() + L"<-" + AComponent->Name());
    if (OnRemove)
      OnRemove(AComponent);
  }

private:
  TLog& FLog;
};

TEST(FreeNotification, EachSideIsToldWhenTheOtherGoesAndOnlyOnce) {
  for (bool freeTargetFirst : {true, false}) {
    TLog log;
    auto* images = new TRecorder(nullptr, L"images", log);
    auto* button = new TRecorder(nullptr, L"button", log);
    images->FreeNotification(button);
    images->FreeNotification(button); // linked once
    if (freeTargetFirst) {
      delete images;
      EXPECT_EQ(log, TLog{L"button<-images"});
      delete button; // images is forgotten: nobody left to tell
      EXPECT_EQ(log, TLog{L"button<-images"});
    } else {
      delete button;
      EXPECT_EQ(log, TLog{L"images<-button"});
      delete images;
      EXPECT_EQ(log, TLog{L"images<-button"});
    }
  }
}

TEST(FreeNotification, RemovedLinksAndUnlinkedComponentsAreNotTold) {
  TLog log;
  TRecorder a(nullptr, L"a", log);
  {
    TRecorder b(nullptr, L"b", log);
    TRecorder c(nullptr, L"c", log);
    a.FreeNotification(&b);
    b.FreeNotification(&c);
    a.FreeNotification(&a);
    a.FreeNotification(nullptr);
    b.RemoveFreeNotification(&a); // either side may unlink
    // c goes first (declared last), then b.
  }
  EXPECT_EQ(log, TLog{L"b<-c"});
}

TEST(FreeNotification, AFreedComponentIsNotToldLater) {
  // The storage of a freed component gets a new component: a link the
  // first one left behind would reach the newcomer.
  TLog log;
  alignas(TRecorder) unsigned char storage[sizeof(TRecorder)];
  auto* list = new TRecorder(nullptr, L"list", log);
  auto* first = new (storage) TRecorder(nullptr, L"first", log);
  list->FreeNotification(first);
  first->~TRecorder();
  auto* newcomer = new (storage) TRecorder(nullptr, L"newcomer", log);
  delete list;
  newcomer->~TRecorder();
  EXPECT_EQ(log, TLog{L"list<-first"});
}

TEST(FreeNotification, OwnedComponentsTellTheirLinksWhenTheOwnerGoes) {
  TLog log;
  TRecorder outside(nullptr, L"outside", log);
  {
    TRecorder form(nullptr, L"form", log);
    auto* images = new TRecorder(&form, L"images", log);
    images->FreeNotification(&outside);
  }
  EXPECT_EQ(log, TLog{L"outside<-images"});
}

TEST(FreeNotification, AHandlerMayFreeAnotherLinkedComponent) {
  TLog log;
  auto* images = new TRecorder(nullptr, L"images", log);
  auto* first = new TRecorder(nullptr, L"first", log);
  auto* second = new TRecorder(nullptr, L"second", log);
  images->FreeNotification(first);
  images->FreeNotification(second);
  // Told first, `second` frees `first`: `first` is not told about `images`
  // afterwards, while `images`, still linked to it, is told about `first`.
  second->OnRemove = [&](TComponent*) {
    delete first;
    first = nullptr;
  };
  delete images;
  EXPECT_EQ(log, (TLog{L"second<-images", L"images<-first"}));
  EXPECT_EQ(first, nullptr);
  delete second;
}

} // namespace
} // namespace telvora
