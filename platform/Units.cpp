#include "platform/Units.h"

#include <exception>
#include <vector>

namespace telvora {

namespace {
struct TUnitState {
  std::vector<TUnit> Started;
  std::vector<std::function<void()>> ExitProcs;
  bool Active = false;
};

TUnitState& State() {
  static TUnitState state;
  return state;
}
} // namespace

void StartUnits(std::span<const TUnit> units) {
  StartUnits(std::initializer_list<std::span<const TUnit>>{units});
}

void StartUnits(std::initializer_list<std::span<const TUnit>> groups) {
  TUnitState& state = State();
  if (state.Active)
    return;
  state.Active = true;
  for (std::span<const TUnit> units : groups)
    for (const TUnit& unit : units) {
      if (unit.Initialize)
        unit.Initialize();
      state.Started.push_back(unit);
    }
}

void StopUnits() {
  TUnitState& state = State();
  if (!state.Active)
    return;
  while (!state.ExitProcs.empty()) {
    auto proc = std::move(state.ExitProcs.back());
    state.ExitProcs.pop_back();
    proc();
  }
  // Every unit shuts down even when one of them raises; the first failure is
  // passed on afterwards.
  std::exception_ptr failure;
  while (!state.Started.empty()) {
    TUnit unit = state.Started.back();
    state.Started.pop_back();
    try {
      if (unit.Finalize)
        unit.Finalize();
    } catch (...) {
      if (!failure)
        failure = std::current_exception();
    }
  }
  state.Active = false;
  if (failure)
    std::rethrow_exception(failure);
}

void AddExitProc(std::function<void()> proc) {
  State().ExitProcs.push_back(std::move(proc));
}

} // namespace telvora
