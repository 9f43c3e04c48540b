#pragma once
// The state in which a button or button part is drawn: the control chooses
// it, the painters map it to an appearance and the fader tells a change to
// or from the hot look by it.

#include <cstdint>

namespace telvora {

enum TcxButtonState : std::uint8_t { cxbsDefault, cxbsNormal, cxbsHot, cxbsPressed, cxbsDisabled };

} // namespace telvora
