// Test programs start the program's units in program order, run the tests,
// then shut the units down, as the program itself does.

#include "app/ProgramUnits.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  telvora::StartProgramUnits();
  int result = RUN_ALL_TESTS();
  telvora::StopProgramUnits();
  return result;
}
