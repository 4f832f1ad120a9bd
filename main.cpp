#include <cstdio>

#include "activities/register.hpp"
#include "app/start/options.hpp"
#include "app/shell/shell.hpp"

int main(int argc, char** argv) {
  const app::CommandLine cl = app::parse_command_line(argc, argv);
  app::use_words(cl.options);
  std::fputs(app::standard_output(cl).c_str(), stdout);
  std::fputs(app::standard_error(cl).c_str(), stderr);
  if (!cl.run) return cl.exit_status;
  return app::run(activities::activity_table(), cl.options);
}
