#pragma once
// System colours changed for a scope: each change is broadcast by the system
// (WM_SYSCOLORCHANGE), and the old colours are put back at the end.

#include <windows.h>

#include <initializer_list>
#include <utility>
#include <vector>

namespace telvora::testing {

class TSysColors {
public:
  TSysColors(std::initializer_list<std::pair<int, COLORREF>> colors) {
    for (auto [index, color] : colors) {
      FIndexes.push_back(index);
      FOld.push_back(GetSysColor(index));
      FNew.push_back(color);
    }
    SetSysColors(static_cast<int>(FIndexes.size()), FIndexes.data(), FNew.data());
  }
  TSysColors(const TSysColors&) = delete;
  TSysColors& operator=(const TSysColors&) = delete;
  ~TSysColors() { SetSysColors(static_cast<int>(FIndexes.size()), FIndexes.data(), FOld.data()); }

private:
  std::vector<INT> FIndexes;
  std::vector<COLORREF> FOld, FNew;
};

} // namespace telvora::testing
