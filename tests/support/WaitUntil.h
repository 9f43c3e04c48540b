#pragma once
// Waiting, bounded, for something another program does on its own: the
// helpers that drive the desktop poll for the event they need and give up
// after a generous limit.

#include <chrono>
#include <functional>

namespace telvora::testing {

using namespace std::chrono_literals;
using TDuration = std::chrono::milliseconds;

// How long the helpers wait for something a program does on its own.
inline constexpr TDuration kDesktopTimeout = 10s;

// Polls `condition` every few milliseconds until it holds or `timeout` ends;
// answers whether it held.
bool WaitUntil(const std::function<bool()>& condition, TDuration timeout = kDesktopTimeout);

} // namespace telvora::testing
