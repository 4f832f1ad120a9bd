#include "app/start/options.hpp"

#include "app/start/version.hpp"

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

std::string usage_text() {
  return "Usage: pipkin [OPTION]...\n"
         "Nine picture activities for very young children.\n"
         "\n"
         "  --window            run in a 1024x768 window\n"
         "  --fullscreen        run full screen\n"
         "  --pictures DIR      show the pictures of DIR instead of the usual ones\n"
         "  --data DIR          read Pipkin's own files from DIR\n"
         "  --child-lock        keep the child inside the chosen activity\n"
         "  --session           Pipkin is the whole session (the Pipkin child session):\n"
         "                      no desktop around it has shortcuts to hold\n"
         "  -h, --help          show this help and end\n"
         "  -V, --version       show the version and end\n"
         "\n"
         "Options apply to this run only and take precedence over config.txt.\n"
         "Keys: 1-9 choose an activity, 0 the title, H help, S sound, Escape quits.\n";
}

CommandLine parse_command_line(int argc, char* const* argv) {
  enum LongOnly { kWindow = 256, kFullscreen, kPictures, kData, kChildLock, kSession };
  static const option longs[] = {
      {"help", no_argument, nullptr, 'h'},
      {"version", no_argument, nullptr, 'V'},
      {"window", no_argument, nullptr, kWindow},
      {"fullscreen", no_argument, nullptr, kFullscreen},
      {"pictures", required_argument, nullptr, kPictures},
      {"data", required_argument, nullptr, kData},
      {"child-lock", no_argument, nullptr, kChildLock},
      {"session", no_argument, nullptr, kSession},
      {nullptr, 0, nullptr, 0},
  };
  CommandLine cl;
  auto fail = [&cl](const std::string& why) {
    cl.run = false;
    cl.exit_status = 2;
    cl.err = "pipkin: " + why + "\n" + usage_text();
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
        cl.out = usage_text();
        return cl;
      case 'V':
        cl.run = false;
        cl.out = version_text() + "\n";
        return cl;
      case kWindow: cl.options.windowed = true; break;
      case kFullscreen: cl.options.windowed = false; break;
      case kPictures:
        if (!*optarg) return fail("option '--pictures' needs a folder");
        cl.options.pictures_dir = absolute(optarg);
        break;
      case kData:
        if (!*optarg) return fail("option '--data' needs a folder");
        cl.options.data_dir = absolute(optarg);
        break;
      case kChildLock: cl.options.child_lock = true; break;
      case kSession: cl.options.whole_session = true; break;
      case ':': return fail(std::string("option '") + args[prev] + "' needs a folder");
      default: return fail(std::string("unknown option '") + args[prev] + "'");
    }
  }
  if (optind < argc) return fail(std::string("unexpected argument '") + args[optind] + "'");
  return cl;
}

void apply_options(Config& cfg, const Options& options) {
  if (options.windowed) cfg.windowed = *options.windowed;
  if (options.child_lock) cfg.child_lock = true;
}


}  // namespace app
