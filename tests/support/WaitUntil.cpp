#include "tests/support/WaitUntil.h"

#include "tests/support/PhysicalPixels.h"

#include <thread>

namespace telvora::testing {

// Links the DPI awareness with these helpers (PhysicalPixels.h).
extern const bool* const kWaitUntilPixels = &gPhysicalPixels;

namespace {
constexpr TDuration kPollInterval = 10ms;
} // namespace

bool WaitUntil(const std::function<bool()>& condition, TDuration timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (condition())
      return true;
    if (std::chrono::steady_clock::now() >= deadline)
      return false;
    std::this_thread::sleep_for(kPollInterval);
  }
}

} // namespace telvora::testing
