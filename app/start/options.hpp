// The command line, GNU style: long options with "--opt value" or "--opt=value", short -h and -V.
// Options change this run only; they override the configuration file.
#pragma once
#include <optional>
#include <string>

#include "app/start/config.hpp"

namespace app {

struct Options {
  std::optional<bool> windowed;  // --window (true) or --fullscreen (false); unset: config.txt decides
  std::string pictures_dir;      // --pictures DIR, made absolute
  std::string data_dir;          // --data DIR, made absolute
  bool child_lock = false;       // --child-lock
  bool whole_session = false;    // --session: run alone in a kiosk compositor, nothing around it
};

// What main does with the command line: run with the options, or print and end with a status.
struct CommandLine {
  bool run = true;
  int exit_status = 0;
  std::string out;  // for standard output (help, version)
  std::string err;  // for standard error (a bad command line)
  Options options;
};

CommandLine parse_command_line(int argc, char* const* argv);

std::string usage_text();
std::string version_text();  // "Pipkin 2.1"

// Lets the options of this run take precedence over config.txt.
void apply_options(Config& cfg, const Options& options);

}  // namespace app
