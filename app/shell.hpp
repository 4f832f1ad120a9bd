// The shell's entry point: start-up, then the event loop until the program ends.
#pragma once

namespace app {

// Runs the whole program; returns the process exit status.
int run();

}  // namespace app
