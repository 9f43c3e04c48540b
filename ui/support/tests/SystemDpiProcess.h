#pragma once
// Runs one test of this test program again in a process of its own, started
// at another system resolution. The resolution a process starts with comes
// from HKCU\Control Panel\Desktop LogPixels; the desktop resolution the
// library reads comes from HKCU\Control Panel\Desktop\WindowMetrics
// AppliedDPI. Both are set for the start and put back afterwards.
//
// Both values are read by every process that starts meanwhile: a test that
// starts such a process must run while no other test program starts (the
// SERIAL tests of telvora_add_test).
//
// The test in the child process finds the case it was started for in the
// environment and is skipped when the program runs normally.

#include <gtest/gtest.h>

#include <optional>

namespace telvora::testing {

struct TSystemDpiSettings {
  // LogPixels for the new process.
  int LogPixels = 96;
  // AppliedDPI for the new process; none removes the value.
  std::optional<int> AppliedDpi;
};

// The case index the parent passed to this process, or none when the program
// was started normally.
std::optional<int> SystemDpiCaseOfThisProcess();

// Wine applies LogPixels to every process started later; Windows only after
// the next logon, so a new process cannot be given another system DPI there.
bool NewProcessesFollowLogPixels();

// Writes `settings`, runs the test `testName` ("Suite.Name") of this program
// in a new process with `caseIndex` in its environment, waits for its end
// and restores the registry. Succeeds when exactly that test ran and passed;
// the failure carries the child's output.
::testing::AssertionResult RunTestAtSystemDpi(const char* testName, int caseIndex,
                                              const TSystemDpiSettings& settings);

} // namespace telvora::testing
