#include <cstdio>

#include "activities/register.hpp"
#include "app/options.hpp"
#include "app/shell.hpp"

int main(int argc, char** argv) {
  const app::CommandLine cl = app::parse_command_line(argc, argv);
  std::fputs(cl.out.c_str(), stdout);
  std::fputs(cl.err.c_str(), stderr);
  if (!cl.run) return cl.exit_status;
  app::set_run_options(cl.options);
  activities::register_all();
  return app::run();
}
