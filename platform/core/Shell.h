// Starting the desktop's handler for a document or web address. Layer: platform core.
#pragma once

#include <string>

namespace platform {

// Starts `xdg-open target` (found on PATH) as a process of its own, detached from the program
// so that it never needs reaping, with an argument vector and no shell. True once the handler
// has started; false when it could not be started (no xdg-open, no processes left).
bool OpenWithDesktop(const std::string& target);

}  // namespace platform
