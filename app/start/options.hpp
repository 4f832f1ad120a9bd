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
  std::string language;          // --language CODE: the words of this run; empty: English
};

// What a command line that does not run asks to be printed.
enum class Answer { None, Usage, Version };
enum class Mistake { None, NeedsFolder, UnknownOption, UnexpectedArgument };

// What main does with the command line: run with the options, or print and end with a status.
struct CommandLine {
  bool run = true;
  int exit_status = 0;
  Answer answer = Answer::None;
  Mistake mistake = Mistake::None;
  std::string mistaken;  // the option or argument that was wrong
  Options options;
};

CommandLine parse_command_line(int argc, char* const* argv);

// For standard output (usage, version) and standard error (a mistake and the usage), in the words
// in use: made after the words of the command line's language are read.
std::string standard_output(const CommandLine& cl);
std::string standard_error(const CommandLine& cl);
// Reads the words of the data folder (--data, or the one the program finds) in the language asked for.
bool use_words(const Options& options);

std::string usage_text();
std::string version_text();  // "Pipkin 2.1"

// Lets the options of this run take precedence over config.txt.
void apply_options(Config& cfg, const Options& options);

}  // namespace app
