// The small tray program that the Wayland desktop's tests start as another process.
#pragma once

namespace wayland_test {

// Runs the program until "Fechar"; its exit status.
int RunTrayProgram();

}  // namespace wayland_test
