#pragma once
// A list of listeners (objects told of something, not owned) in the order
// they were added, each at most once. Adding, removing and asking whether an
// object is listed cost the same whatever the count, so that N objects that
// each add themselves when made and remove themselves when freed cost N, not
// N x N. A walk over the list may run while listeners add or remove
// themselves or others: a removed listener leaves an empty place behind
// until no walk runs, so that the places of the others stay where they are.

#include <cstddef>
#include <unordered_map>
#include <vector>

namespace telvora {

template <class T> class TListenerList {
public:
  TListenerList() = default;
  TListenerList(const TListenerList&) = delete;
  TListenerList& operator=(const TListenerList&) = delete;

  // Appends AItem; false (and nothing changes) when it is listed already
  // or none.
  bool Add(T* AItem) {
    if (AItem == nullptr || FPlaces.contains(AItem))
      return false;
    FPlaces.emplace(AItem, FItems.size());
    FItems.push_back(AItem);
    return true;
  }

  // Takes AItem out; false when it was not listed.
  bool Remove(T* AItem) {
    const auto it = FPlaces.find(AItem);
    if (it == FPlaces.end())
      return false;
    const size_t place = it->second;
    FPlaces.erase(it);
    if (FWalks == 0 && place + 1 == FItems.size()) {
      FItems.pop_back();
      TrimEnd();
    } else {
      FItems[place] = nullptr;
      ++FHoles;
      Compact();
    }
    return true;
  }

  bool Contains(const T* AItem) const { return FPlaces.contains(const_cast<T*>(AItem)); }
  size_t Count() const noexcept { return FPlaces.size(); }
  bool Empty() const noexcept { return FPlaces.empty(); }

  void Clear() {
    FPlaces.clear();
    if (FWalks == 0) {
      FItems.clear();
      FHoles = 0;
    } else {
      for (T*& item : FItems)
        if (item != nullptr) {
          item = nullptr;
          ++FHoles;
        }
    }
  }

  // Calls AProc(item) for each listener from the first to the last. One
  // removed before its turn is not called; one added meanwhile is called in
  // its turn.
  template <class F> void ForEach(F AProc) {
    TWalk walk(*this);
    for (size_t i = 0; i < FItems.size(); ++i)
      if (T* item = FItems[i])
        AProc(item);
  }

  // Calls AProc(item) for each listener there was when the walk began, from
  // the last to the first, as long as it is still listed at its turn; one
  // added meanwhile is not called.
  template <class F> void ForEachBackward(F AProc) {
    TWalk walk(*this);
    for (size_t i = FItems.size(); i-- > 0;)
      if (T* item = FItems[i])
        AProc(item);
  }

  // The last listener, or none.
  T* Last() const {
    for (size_t i = FItems.size(); i-- > 0;)
      if (FItems[i] != nullptr)
        return FItems[i];
    return nullptr;
  }

  // The listeners in order (for callers that need a copy).
  std::vector<T*> Items() const {
    std::vector<T*> items;
    items.reserve(FPlaces.size());
    for (T* item : FItems)
      if (item != nullptr)
        items.push_back(item);
    return items;
  }

private:
  // Keeps the places fixed while a walk runs (walks may nest).
  class TWalk {
  public:
    explicit TWalk(TListenerList& AList) : FList(AList) { ++FList.FWalks; }
    TWalk(const TWalk&) = delete;
    TWalk& operator=(const TWalk&) = delete;
    ~TWalk() {
      if (--FList.FWalks == 0) {
        FList.TrimEnd();
        FList.Compact();
      }
    }

  private:
    TListenerList& FList;
  };

  void TrimEnd() {
    if (FWalks != 0)
      return;
    while (!FItems.empty() && FItems.back() == nullptr) {
      FItems.pop_back();
      --FHoles;
    }
  }

  // Closes the empty places once they are as many as the listeners (so that
  // each removal pays for at most one move of another listener).
  void Compact() {
    if (FWalks != 0 || FHoles == 0 || FHoles < FPlaces.size())
      return;
    size_t to = 0;
    for (size_t from = 0; from < FItems.size(); ++from)
      if (T* item = FItems[from]) {
        FItems[to] = item;
        FPlaces[item] = to;
        ++to;
      }
    FItems.resize(to);
    FHoles = 0;
  }

  std::vector<T*> FItems;
  std::unordered_map<T*, size_t> FPlaces;
  size_t FHoles = 0;
  int FWalks = 0;
};

} // namespace telvora
