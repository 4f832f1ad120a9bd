// The program's entry point: start-up, then the loop until the end.
#pragma once
#include "app/shell/activity.hpp"
#include "app/start/options.hpp"

namespace app {

// Runs the whole program with the given digit table and this run's command-line options. Returns the
// exit status.
int run(const ActivityTable& table, const Options& options = {});

}  // namespace app
