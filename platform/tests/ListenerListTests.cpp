// The listener list: order, no duplicates, walks while listeners come and
// go, and the cost of adding and removing with many listeners.

#include "platform/ListenerList.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace telvora {
namespace {

struct TItem {
  std::string Name;
};

std::string Names(const std::vector<TItem*>& AItems) {
  std::string names;
  for (const TItem* item : AItems)
    names += item->Name;
  return names;
}

TEST(ListenerList, KeepsTheOrderOfAddingAndEachListenerOnce) {
  TItem a{"a"}, b{"b"}, c{"c"};
  TListenerList<TItem> list;
  EXPECT_TRUE(list.Add(&a));
  EXPECT_TRUE(list.Add(&b));
  EXPECT_FALSE(list.Add(&a));
  EXPECT_FALSE(list.Add(nullptr));
  EXPECT_TRUE(list.Add(&c));
  EXPECT_EQ(list.Count(), 3u);
  EXPECT_EQ(Names(list.Items()), "abc");
  EXPECT_TRUE(list.Remove(&b));
  EXPECT_FALSE(list.Remove(&b));
  EXPECT_FALSE(list.Contains(&b));
  EXPECT_TRUE(list.Contains(&c));
  EXPECT_EQ(Names(list.Items()), "ac");
  EXPECT_EQ(list.Last(), &c);
  // Back in, at the end.
  EXPECT_TRUE(list.Add(&b));
  EXPECT_EQ(Names(list.Items()), "acb");
  list.Clear();
  EXPECT_TRUE(list.Empty());
  EXPECT_EQ(list.Last(), nullptr);
}

TEST(ListenerList, AForwardWalkSkipsTheRemovedAndReachesTheAdded) {
  TItem a{"a"}, b{"b"}, c{"c"}, d{"d"}, late{"L"};
  TListenerList<TItem> list;
  for (TItem* item : {&a, &b, &c, &d})
    list.Add(item);
  std::string told;
  list.ForEach([&](TItem* item) {
    told += item->Name;
    if (item == &a) {
      list.Remove(&c); // before its turn: not told
      list.Add(&late); // told in its turn
    }
    if (item == &b)
      list.Remove(&b); // itself
  });
  EXPECT_EQ(told, "abdL");
  EXPECT_EQ(Names(list.Items()), "adL");
}

TEST(ListenerList, ABackwardWalkTellsThoseThereWereFromTheLast) {
  TItem a{"a"}, b{"b"}, c{"c"}, late{"L"};
  TListenerList<TItem> list;
  for (TItem* item : {&a, &b, &c})
    list.Add(item);
  std::string told;
  list.ForEachBackward([&](TItem* item) {
    told += item->Name;
    if (item == &c) {
      list.Remove(&a);
      list.Add(&late); // told at the next walk
    }
  });
  EXPECT_EQ(told, "cb");
  told.clear();
  list.ForEachBackward([&](TItem* item) { told += item->Name; });
  EXPECT_EQ(told, "Lcb");
}

TEST(ListenerList, WalksNestAndTheOrderSurvivesManyRemovals) {
  std::vector<TItem> items(50);
  TListenerList<TItem> list;
  for (size_t i = 0; i < items.size(); ++i) {
    items[i].Name = std::to_string(i) + ",";
    list.Add(&items[i]);
  }
  int inner = 0;
  list.ForEach([&](TItem* item) {
    // Every other listener leaves while an inner walk runs.
    if (item == &items[0])
      list.ForEach([&](TItem* other) {
        ++inner;
        const size_t index = static_cast<size_t>(other - items.data());
        if (index % 2 == 1)
          list.Remove(other);
      });
  });
  EXPECT_EQ(inner, 50);
  std::string expected;
  for (size_t i = 0; i < items.size(); i += 2)
    expected += items[i].Name;
  EXPECT_EQ(Names(list.Items()), expected);
  // Removals from the front (the holes are closed up as they pile up).
  for (size_t i = 0; i < 40; i += 2)
    list.Remove(&items[i]);
  EXPECT_EQ(Names(list.Items()), "40,42,44,46,48,");
  EXPECT_EQ(list.Last(), &items[48]);
}

// Many listeners in and out in every order: the places and the empty ones
// left behind stay right however they pile up.
TEST(ListenerList, ManyListenersComeAndGoInEveryOrder) {
  constexpr size_t kCount = 100000;
  std::vector<TItem> items(kCount);
  TListenerList<TItem> list;
  for (TItem& item : items)
    ASSERT_TRUE(list.Add(&item));
  // First to last, then last to first, then from the middle outwards.
  for (size_t i = 0; i < kCount / 2; ++i)
    ASSERT_TRUE(list.Remove(&items[i]));
  EXPECT_EQ(list.Count(), kCount / 2);
  EXPECT_EQ(list.Items().front(), &items[kCount / 2]);
  for (size_t i = kCount; i-- > kCount / 2;)
    ASSERT_TRUE(list.Remove(&items[i]));
  EXPECT_TRUE(list.Empty());
  for (TItem& item : items)
    list.Add(&item);
  for (size_t step = 0; step < kCount / 2; ++step) {
    ASSERT_TRUE(list.Remove(&items[kCount / 2 - 1 - step]));
    ASSERT_TRUE(list.Remove(&items[kCount / 2 + step]));
  }
  EXPECT_TRUE(list.Empty());
}

} // namespace
} // namespace telvora
