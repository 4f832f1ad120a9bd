#include "app/shell/shell.hpp"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>

#include "app/start/assets.hpp"
#include "app/start/config.hpp"
#include "app/start/language.hpp"
#include "app/shell/loop.hpp"
#include "app/shell/progress.hpp"
#include "app/parent/parent.hpp"
#include "app/start/paths.hpp"
#include "app/pictures/picture_loading.hpp"
#include "app/pictures/picture_store.hpp"
#include "app/start/version.hpp"
#include "media/input/clock.hpp"
#include "media/display/display.hpp"
#include "media/files/files.hpp"
#include "media/files/one_instance.hpp"
#include "media/input/desktop_hold.hpp"
#include "media/input/timer.hpp"
#include "media/files/log.hpp"
#include "media/text/words.hpp"

namespace app {
namespace {

// Opens the display chosen from the mode list and the configuration. False when the program must end.
bool open_display(const Config& cfg) {
  const int w = media::kScreenW, h = media::kScreenH;
  const std::vector<media::DisplayMode> modes = media::graphics_modes();
  // No display at all is not a small screen: say what is wrong.
  if (modes.empty()) {
    media::message_box(media::word("display.cannot_open"), true);
    return false;
  }
  DisplayChoice c = choose_display(modes, cfg, w, h, media::screen_area());
  if (!c.ok) {
    media::message_box(c.message, true);
    return false;
  }
  // No full-screen mode of the right size: fill the monitor as it is, and only then try the window.
  if (c.fill_desktop && media::open_desktop_fullscreen()) return true;
  if (media::open_graphics(c.width, c.height, c.depth, c.hz)) return true;
  // A mode that was listed but would not open: fall back to a plain window.
  if (c.depth != 0 && media::open_graphics(w, h, 0, 60)) return true;
  media::message_box(media::word("display.cannot_open"), true);
  return false;
}

// The folders as the parent's page lists them: each folder a parent fills (read or still empty),
// then the pictures that come with Pipkin when those are shown instead.
std::vector<FolderSummary> folder_summaries(const Folders& folders, const PictureStore& store) {
  const std::vector<FolderReport> reports = store.folder_reports();
  auto summary = [&](const std::string& folder, bool parents) {
    FolderSummary s;
    s.folder = folder;
    s.parents = parents;
    for (const FolderReport& r : reports) {
      if (r.folder != folder) continue;
      s.pictures = static_cast<int>(r.taken);
      s.left_out = static_cast<int>(r.left_out);
      for (const LeftOutFile& f : r.listed) s.left_out_lines.push_back(f.name + ": " + plain_words(f.reason));
      if (!r.opened) s.left_out_lines.insert(s.left_out_lines.begin(), media::word("pictures.folder_cannot_open"));
    }
    return s;
  };
  std::vector<FolderSummary> out;
  for (const std::string& dir : folders.parent_dirs) out.push_back(summary(dir, true));
  for (const PictureFolder& p : folders.picture_dirs)
    if (std::find(folders.parent_dirs.begin(), folders.parent_dirs.end(), p.dir) == folders.parent_dirs.end())
      out.push_back(summary(p.dir, false));
  return out;
}

// A test of the whole program may make play-time minutes last fewer milliseconds.
int minute_ms(const TestHooks& hooks) { return hooks.minute_ms > 0 ? hooks.minute_ms : 60'000; }

// For the start-up benchmark and the end-to-end tests: appends "what milliseconds" (the monotonic
// clock) to the file the hooks name, if any.
void note_startup_time(const TestHooks& hooks, const char* what) {
  if (hooks.startup_times.empty()) return;
  const double ms =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
  if (FILE* f = std::fopen(hooks.startup_times.c_str(), "a")) {
    std::fprintf(f, "%s %.3f\n", what, ms);
    std::fclose(f);
  }
}

// Notes an answer of the desktop to the child lock when it differs from the last one noted:
// "lock-held", "pointer-not-held" and so on.
void note_hold_answer(const TestHooks& hooks, const std::string& what, media::Hold answer, media::Hold& noted) {
  if (answer == noted) return;
  noted = answer;
  const std::string note = what + (answer == media::Hold::Held    ? "-held"
                            : answer == media::Hold::Asked ? "-asked"
                            : media::not_held(answer)      ? "-not-held"
                                                           : "-off");
  note_startup_time(hooks, note.c_str());
}

}  // namespace

int run(const ActivityTable& table, const Options& options) {
  if (!media::chdir_to_executable()) media::log_error("start", "cannot find the program's own folder");
  media::set_app_title(kAppTitle);
  // Seeded from the wall clock: the time since start-up is nearly the same on every run, which would
  // deal the same puzzles and cards every time.
  media::seed_random(media::wall_millisecs());
  // Where things live (portable beside the program, or installed in the user's folders), and what
  // the command line says for this run.
  const Folders folders = prepare_folders(current_environment(), {options.data_dir, options.pictures_dir});
  for (const std::string& problem : folders.problems) media::log_error("folders", problem);
  // One Pipkin per progress file: two would each write their own progress over the other's.
  const std::string progress = folders.progress_file();
  std::error_code ignored;
  const std::string key = progress.empty() ? folders.config_file : progress;
  const std::string full = key.empty() ? key : std::filesystem::weakly_canonical(key, ignored).string();
  media::InstanceClaim claim(full);
  if (claim.outcome() == media::InstanceClaim::Outcome::Elsewhere) {
    media::log_error("start", "Pipkin is already running with the same progress (" + full +
                                  "); that one was asked to come to the front");
    return 0;
  }
  Config cfg = read_config(folders.config_file);
  apply_options(cfg, options);
  // The pictures are listed now and load in the background once the title is on screen (below).
  auto pictures = std::make_shared<PictureStore>();
  prepare_pictures(*pictures, folders.picture_dirs, media::kScreenW, media::kScreenH, folders.cache_dir,
                   options.test.hold_pictures);
  if (!open_display(cfg)) return 0;
  // Child lock: keys need Control (app/keys), and a full screen keeps the keyboard from the desktop.
  media::hold_keyboard(cfg.child_lock, options.whole_session);
  media::hide_pointer();
  media::create_timer(50);
  Assets assets = load_assets(folders.data_dir, media::words_language());
  // A language whose letters no font here shows is spoken in English instead.
  if (!keep_language_if_shown(folders.data_dir + "locale", assets.main_font)) assets.language = media::kEnglish;
  // The title shows how far the pictures have come.
  assets.pictures = pictures;
  // No progress folder: the game starts at 1 and nothing is written (said once at start-up).
  Loop loop(assets, table, progress, progress.empty() ? 1 : load_progress(progress, 1, table), cfg.child_lock);
  loop.poll_pictures_from(*pictures);
  loop.set_sound_on(cfg.sound_at_start);
  ParentSetup parent_setup{.config = cfg,
                           .config_file = folders.config_file,
                           .mode = folders.mode,
                           .home = current_environment().home,
                           .folders = [&folders, &pictures] { return folder_summaries(folders, *pictures); },
                           .activities = table.count(),
                           .set_language = [&assets](const std::string& code) { assets.language = code; },
                           .minute_ms = minute_ms(options.test)};
  Parent parent(std::move(parent_setup), real_desktop(options.whole_session), assets,
                [&loop] { loop.effects().play(Effect::Break); });
  loop.attach_parent(parent);
  // For the start-up benchmark: end right after the first frame is on screen.
  if (options.test.quit_after_first_frame) {
    loop.redraw();
    return 0;
  }
  // For the start-up benchmark and the end-to-end tests: when the title was on screen, when the
  // last picture was in and when the last was at full quality; the benchmark ends the program at
  // the last.
  loop.redraw_if_needed();
  note_startup_time(options.test, "title");
  // Only now do the workers start: begun before the window opens, they took the two cores of a small
  // machine from the start-up (whose GL driver draws on every core) and put the title back by a
  // tenth of a second or more, although they run below the main thread's priority. A photo's own
  // preview still comes within a few milliseconds of the title.
  pictures->run();
  bool loaded_noted = false, full_noted = false;
  media::Hold keys_noted = media::Hold::Off, pointer_noted = media::Hold::Off;
  while (loop.turn() == Turn::Continue) {
    // A later start with the same progress asked for this one.
    if (claim.take_front_requests() > 0) media::bring_to_front();
    // For the end-to-end tests: each answer of the desktop to the child lock, as it comes.
    note_hold_answer(options.test, "lock", media::keyboard_hold(), keys_noted);
    note_hold_answer(options.test, "pointer", media::pointer_hold(), pointer_noted);
    // Noted once the frame that shows the end of loading (the title without its bar) is drawn, so a
    // screenshot taken after the note never catches the last progress frame.
    if (!loaded_noted && !pictures->loading() && !loop.state().redraw_needed) {
      note_startup_time(options.test, "pictures");
      loaded_noted = true;
    }
    // And when the last photo shown from its preview is at full quality.
    if (loaded_noted && !full_noted && pictures->previews() == 0) {
      note_startup_time(options.test, "full");
      full_noted = true;
      if (options.test.quit_after_pictures) break;
    }
  }
  media::stop_timer();
  return 0;
}

}  // namespace app
