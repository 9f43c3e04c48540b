#pragma once
// Core declarations shared by the UI library's support units.

#include "platform/SysUtils.h"

namespace telvora {

// The UI library's own exception class; it carries only its message.
class EdxException : public Exception {
public:
  using Exception::Exception;
};

} // namespace telvora
