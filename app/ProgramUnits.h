#pragma once
// The program's units in start-up order.

namespace telvora {

// Starts every unit of the program, in order.
void StartProgramUnits();
// Runs the exit steps, then shuts the units down in reverse order.
void StopProgramUnits();

} // namespace telvora
