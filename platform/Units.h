#pragma once
// Explicit start-up and shut-down of the program's units. Each unit has a
// start-up step and a shut-down step; units start in the order given and
// shut down in reverse order, after the exit procedures have run.

#include <functional>
#include <initializer_list>
#include <span>

namespace telvora {

struct TUnit {
  const wchar_t* Name;
  void (*Initialize)();
  void (*Finalize)();
};

// Starts `units` in order. May be called once until StopUnits.
void StartUnits(std::span<const TUnit> units);
// Starts the units of each group in order, the groups in the order given
// (the framework's first, then those built on it). One call, as above.
void StartUnits(std::initializer_list<std::span<const TUnit>> groups);
// Runs the exit procedures (last added first), then shuts down the started
// units in reverse order. Nothing happens when no units are started.
void StopUnits();
// Registers a step that runs at program end before any unit shuts down.
void AddExitProc(std::function<void()> proc);

} // namespace telvora
