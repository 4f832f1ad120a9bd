#include <cstdio>

#include "activities/register.hpp"
#include "app/start/options.hpp"
#include "app/shell/shell.hpp"

int main(int argc, char** argv) {
  const app::CommandLine cl = app::parse_command_line(argc, argv);
  std::fputs(cl.out.c_str(), stdout);
  std::fputs(cl.err.c_str(), stderr);
  if (!cl.run) return cl.exit_status;
  return app::run(activities::activity_table(), cl.options);
}
