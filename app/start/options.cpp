#include "app/start/options.hpp"

#include <getopt.h>

#include <charconv>
#include <filesystem>
#include <vector>

#include "app/start/config.hpp"
#include "app/start/language.hpp"
#include "app/start/paths.hpp"
#include "app/start/version.hpp"
#include "media/text/words.hpp"

namespace app {
namespace {

enum LongOnly {
  kWindow = 256, kFullscreen, kPictures, kData, kChildLock, kSession,
  kLanguage,  // the words of a run, not in the usage text: for testing the catalogues
  // The test hooks (TestHooks), not in the usage text.
  kMinuteMs, kQuitAfterFirstFrame, kQuitAfterPictures, kHoldPictures, kStartupTimes,
};

// The message, by id, when an option's value is missing or wrong: what the value must be.
const char* what_it_needs(int option) {
  switch (option) {
    case kMinuteMs: return "usage.needs_milliseconds";
    case kHoldPictures: return "usage.needs_hold";
    case kStartupTimes: return "usage.needs_file";
    case kLanguage: return "usage.needs_language";
    default: return "usage.needs_folder";
  }
}

// A whole decimal number, nothing before or after it.
template <typename Number>
bool read_number(std::string_view text, Number& out) {
  const char* end = text.data() + text.size();
  const auto [at, error] = std::from_chars(text.data(), end, out);
  return error == std::errc() && at == end && !text.empty();
}

// "N:FILE" or "full:FILE", FILE not empty.
bool read_hold(std::string_view text, LoadingHold& hold) {
  const size_t colon = text.find(':');
  if (colon == std::string_view::npos || colon + 1 == text.size()) return false;
  const std::string_view from = text.substr(0, colon);
  hold.full_pictures = from == "full";
  if (!hold.full_pictures && !read_number(from, hold.from)) return false;
  hold.until = std::string(text.substr(colon + 1));
  return true;
}


std::string absolute(const std::string& dir) {
  std::error_code ec;
  std::filesystem::path p = std::filesystem::absolute(dir, ec);
  return ec ? dir : p.lexically_normal().string();
}

}  // namespace

std::string version_text() { return std::string(kAppTitle) + " " + kAppVersion; }

std::string usage_text() { return media::word("usage.text"); }

CommandLine parse_command_line(int argc, char* const* argv) {
  static const option longs[] = {
      {"help", no_argument, nullptr, 'h'},
      {"version", no_argument, nullptr, 'V'},
      {"window", no_argument, nullptr, kWindow},
      {"fullscreen", no_argument, nullptr, kFullscreen},
      {"pictures", required_argument, nullptr, kPictures},
      {"data", required_argument, nullptr, kData},
      {"child-lock", no_argument, nullptr, kChildLock},
      {"session", no_argument, nullptr, kSession},
      {"language", required_argument, nullptr, kLanguage},
      {"test-minute-ms", required_argument, nullptr, kMinuteMs},
      {"test-quit-after-first-frame", no_argument, nullptr, kQuitAfterFirstFrame},
      {"test-quit-after-pictures", no_argument, nullptr, kQuitAfterPictures},
      {"test-hold-pictures", required_argument, nullptr, kHoldPictures},
      {"test-startup-times", required_argument, nullptr, kStartupTimes},
      {nullptr, 0, nullptr, 0},
  };
  CommandLine cl;
  auto fail = [&cl](const char* mistake, const std::string& mistaken) {
    cl.run = false;
    cl.exit_status = 2;
    cl.mistake = mistake;
    cl.mistaken = mistaken;
    return cl;
  };
  auto needs = [&fail](const std::string& name, int option) { return fail(what_it_needs(option), name); };
  // getopt_long keeps its place in globals: start afresh (optind 0 also resets glibc's inner state),
  // and say nothing itself, so the message is ours and goes where the caller wants it.
  optind = 0;
  opterr = 0;
  // getopt_long may permute argv; work on a copy so the caller's array stays as it was.
  std::vector<char*> args(argv, argv + argc);
  args.push_back(nullptr);
  for (;;) {
    const int prev = optind ? optind : 1;
    const int c = getopt_long(argc, args.data(), "+:hV", longs, nullptr);
    if (c == -1) break;
    switch (c) {
      case 'h':
        cl.run = false;
        cl.answer = Answer::Usage;
        return cl;
      case 'V':
        cl.run = false;
        cl.answer = Answer::Version;
        return cl;
      case kWindow: cl.options.windowed = true; break;
      case kFullscreen: cl.options.windowed = false; break;
      case kPictures:
        if (!*optarg) return needs("--pictures", c);
        cl.options.pictures_dir = absolute(optarg);
        break;
      case kData:
        if (!*optarg) return needs("--data", c);
        cl.options.data_dir = absolute(optarg);
        break;
      case kChildLock: cl.options.child_lock = true; break;
      case kSession: cl.options.whole_session = true; break;
      case kLanguage:
        if (!*optarg) return needs("--language", c);
        cl.options.language = optarg;
        break;
      case kMinuteMs:
        if (!read_number(optarg, cl.options.test.minute_ms) || cl.options.test.minute_ms <= 0)
          return needs("--test-minute-ms", c);
        break;
      case kQuitAfterFirstFrame: cl.options.test.quit_after_first_frame = true; break;
      case kQuitAfterPictures: cl.options.test.quit_after_pictures = true; break;
      case kHoldPictures:
        if (!read_hold(optarg, cl.options.test.hold_pictures))
          return needs("--test-hold-pictures", c);
        // The program works in its own folder: a relative name is taken from where it was started.
        cl.options.test.hold_pictures.until = absolute(cl.options.test.hold_pictures.until);
        break;
      case kStartupTimes:
        if (!*optarg) return needs("--test-startup-times", c);
        cl.options.test.startup_times = absolute(optarg);
        break;
      case ':': return needs(args[prev], optopt);
      default: return fail("usage.unknown_option", args[prev]);
    }
  }
  if (optind < argc) return fail("usage.unexpected_argument", args[optind]);
  return cl;
}

std::string standard_output(const CommandLine& cl) {
  switch (cl.answer) {
    case Answer::Usage: return usage_text();
    case Answer::Version: return version_text() + "\n";
    case Answer::None: break;
  }
  return {};
}

std::string standard_error(const CommandLine& cl) {
  if (cl.mistake.empty()) return {};
  return "pipkin: " + media::fill(media::word(cl.mistake), {{"option", cl.mistaken}}) + "\n" + usage_text();
}

bool use_words(const Options& options) {
  const Environment env = current_environment();
  const RunMode mode = run_mode(env);
  const std::string locale = data_folder(env, options.data_dir) + "locale";
  // Read before the program moves into its own folder, where a portable copy's file is.
  std::string config = config_file(env, mode);
  if (mode == RunMode::Portable) config = env.exe_dir + "/" + config;
  const LanguageAsked asked{options.language, read_config(config).language, mode, locale_variables()};
  return media::load_words(locale, choose_language(asked, [&locale](const std::string& code) { return has_catalogue(locale, code); }));
}

void apply_options(Config& cfg, const Options& options) {
  if (options.windowed) cfg.windowed = *options.windowed;
  if (options.child_lock) cfg.child_lock = true;
}


}  // namespace app
