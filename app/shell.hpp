// The program's entry point: start-up, then the loop until the end.
#pragma once
#include "app/activity.hpp"

namespace app {

// Runs the whole program with the given digit table. Returns the exit status.
int run(const ActivityTable& table);

}  // namespace app
