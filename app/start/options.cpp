#include "app/start/options.hpp"

#include "app/start/paths.hpp"
#include "app/start/version.hpp"
#include "media/text/words.hpp"

#include <getopt.h>

#include <filesystem>

#include <vector>

namespace app {
namespace {


std::string absolute(const std::string& dir) {
  std::error_code ec;
  std::filesystem::path p = std::filesystem::absolute(dir, ec);
  return ec ? dir : p.lexically_normal().string();
}

}  // namespace

std::string version_text() { return std::string(kAppTitle) + " " + kAppVersion; }

std::string usage_text() { return media::word("usage.text"); }

CommandLine parse_command_line(int argc, char* const* argv) {
  enum LongOnly { kWindow = 256, kFullscreen, kPictures, kData, kChildLock, kSession, kLanguage };
  static const option longs[] = {
      {"help", no_argument, nullptr, 'h'},
      {"version", no_argument, nullptr, 'V'},
      {"window", no_argument, nullptr, kWindow},
      {"fullscreen", no_argument, nullptr, kFullscreen},
      {"pictures", required_argument, nullptr, kPictures},
      {"data", required_argument, nullptr, kData},
      {"child-lock", no_argument, nullptr, kChildLock},
      {"session", no_argument, nullptr, kSession},
      {"language", required_argument, nullptr, kLanguage},  // not in the usage text: for testing the words
      {nullptr, 0, nullptr, 0},
  };
  CommandLine cl;
  auto fail = [&cl](Mistake mistake, const std::string& what) {
    cl.run = false;
    cl.exit_status = 2;
    cl.mistake = mistake;
    cl.mistaken = what;
    return cl;
  };
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
        if (!*optarg) return fail(Mistake::NeedsFolder, "--pictures");
        cl.options.pictures_dir = absolute(optarg);
        break;
      case kData:
        if (!*optarg) return fail(Mistake::NeedsFolder, "--data");
        cl.options.data_dir = absolute(optarg);
        break;
      case kChildLock: cl.options.child_lock = true; break;
      case kSession: cl.options.whole_session = true; break;
      case kLanguage: cl.options.language = optarg; break;
      case ':': return fail(Mistake::NeedsFolder, args[prev]);
      default: return fail(Mistake::UnknownOption, args[prev]);
    }
  }
  if (optind < argc) return fail(Mistake::UnexpectedArgument, args[optind]);
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
  auto say = [&cl](std::string_view id, std::string_view place) {
    return "pipkin: " + media::fill(media::word(id), {{place, cl.mistaken}}) + "\n" + usage_text();
  };
  switch (cl.mistake) {
    case Mistake::None: break;
    case Mistake::NeedsFolder: return say("usage.needs_folder", "option");
    case Mistake::UnknownOption: return say("usage.unknown_option", "option");
    case Mistake::UnexpectedArgument: return say("usage.unexpected_argument", "argument");
  }
  return {};
}

bool use_words(const Options& options) {
  return media::load_words(data_folder(current_environment(), options.data_dir) + "locale", options.language);
}

void apply_options(Config& cfg, const Options& options) {
  if (options.windowed) cfg.windowed = *options.windowed;
  if (options.child_lock) cfg.child_lock = true;
}


}  // namespace app
