// The command line, GNU style: long options with "--opt value" or "--opt=value", short -h and -V.
// Options change this run only; they override the configuration file.
#pragma once
#include <optional>
#include <string>

#include "app/pictures/picture_loading.hpp"
#include "app/start/config.hpp"

namespace app {

// What the tests of the whole program, the tour and the start-up benchmarks ask of a run. Each is
// a long option of its own that --help does not show: a parent never needs one.
struct TestHooks {
  // --test-minute-ms=MS: play-time minutes last MS milliseconds (0: a real minute), so a test sees
  // a break come within seconds.
  int minute_ms = 0;
  // --test-quit-after-first-frame: end as soon as the first frame is on screen.
  bool quit_after_first_frame = false;
  // --test-quit-after-pictures: end once every picture is in and at full quality.
  bool quit_after_pictures = false;
  // --test-hold-pictures=N:FILE (files from the Nth on) or full:FILE (photos shown from their
  // previews): loading waits there until FILE exists.
  LoadingHold hold_pictures;
  // --test-startup-times=FILE: a line "what milliseconds" (the monotonic clock) is appended to FILE
  // when the title is on screen, when the pictures are in and so on.
  std::string startup_times;
};

struct Options {
  std::optional<bool> windowed;  // --window (true) or --fullscreen (false); unset: config.txt decides
  std::string pictures_dir;      // --pictures DIR, made absolute
  std::string data_dir;          // --data DIR, made absolute
  bool child_lock = false;       // --child-lock
  bool whole_session = false;    // --session: run alone in a kiosk compositor, nothing around it
  std::string language;          // --language CODE: the words of this run, over any other choice
  TestHooks test;
};

// What a command line that does not run asks to be printed.
enum class Answer { None, Usage, Version };

// What main does with the command line: run with the options, or print and end with a status.
struct CommandLine {
  bool run = true;
  int exit_status = 0;
  Answer answer = Answer::None;
  std::string mistake;   // the id of the message for a bad command line; empty: none
  std::string mistaken;  // the option or argument it is about
  Options options;
};

CommandLine parse_command_line(int argc, char* const* argv);

// For standard output (usage, version) and standard error (a mistake and the usage), in the words
// in use: made after the words of the command line's language are read.
std::string standard_output(const CommandLine& cl);
std::string standard_error(const CommandLine& cl);
// Reads the words of the data folder (--data, or the one the program finds) in the run's language:
// the command line's, the one chosen on the parent's page, or the desktop's (app/start/language.hpp).
bool use_words(const Options& options);

std::string usage_text();
std::string version_text();  // "Pipkin 2.1"

// Lets the options of this run take precedence over config.txt.
void apply_options(Config& cfg, const Options& options);

}  // namespace app
