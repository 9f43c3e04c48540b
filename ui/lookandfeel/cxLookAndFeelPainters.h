#pragma once
// Types shared by the controls and the look-and-feel painters.

namespace telvora {

// The state in which a button or button part is drawn.
enum TcxButtonState { cxbsDefault, cxbsNormal, cxbsHot, cxbsPressed, cxbsDisabled };

// Which part of a button a painter draws.
enum TcxButtonPart { cxbpButton, cxbpDropDownLeftPart, cxbpDropDownRightPart };

} // namespace telvora
