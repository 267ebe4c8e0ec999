// The small programs that end-to-end tests start as other processes (this test program started
// again with --child=ROLE): another program's window, a second copy looking for the first, a
// tray icon that leaves with the session.
#pragma once

#include <string>
#include <vector>

namespace e2e {

// Runs the child role; its result is the process's exit status.
int RunChild(const std::string& role, const std::vector<std::string>& args);

}  // namespace e2e
