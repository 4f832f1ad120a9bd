// Which activities have help pages, in the order of the program's activity table, and where each
// page's words come from in the catalogue. The layout (gen_help.cpp) places them; nothing here
// knows where, and nothing here counts the activities.
#include <string>

#include "tools/help.hpp"

namespace help {

namespace {

// As in the program's activity table (activities/register.cpp): one entry each, by its name.
const ActivityPage kPages[] = {
    {"frames", Unlock::Finishing, {0.95, 0.55, 0.20}, art_frames},
    {"count", Unlock::Finishing, {0.36, 0.72, 0.24}, art_count},
    {"cards", Unlock::AnyClick, {0.20, 0.62, 0.90}, art_bounce},
    {"kaleid", Unlock::AnyClick, {0.58, 0.38, 0.86}, art_kaleid},
    {"uncover", Unlock::Finishing, {0.22, 0.36, 0.78}, art_uncover},
    {"where", Unlock::Finishing, {0.85, 0.25, 0.25}, art_where},
    {"colour", Unlock::FirstFill, {0.93, 0.35, 0.60}, art_colour},
    {"pairs", Unlock::Finishing, {0.10, 0.66, 0.62}, art_pairs},
    {"jigsaw", Unlock::Finishing, {0.93, 0.45, 0.72}, art_jigsaw},
};

// The sentence that says what opens the next activity; the last one opens none.
std::string unlock_sentence(const gen::Words& words, Unlock unlock, size_t next, size_t count) {
  if (next > count) return words.text("help.unlock.last");
  const long n = static_cast<long>(next);
  switch (unlock) {
    case Unlock::AnyClick: return words.text("help.unlock.click", n);
    case Unlock::FirstFill: return words.text("help.unlock.fill", n);
    case Unlock::Finishing: break;
  }
  return words.text("help.unlock.finishing", n);
}

}  // namespace

std::span<const ActivityPage> activity_pages() { return kPages; }

PageWords page_words(const gen::Words& words, std::span<const ActivityPage> pages, size_t index) {
  const ActivityPage& p = pages[index];
  const std::string id = std::string("help.") + p.id + ".";
  const long number = static_cast<long>(index + 1);
  return {words.text(id + "title"),
          words.text(id + "subtitle", number),
          words.text(id + "summary"),
          words.text(id + "does"),
          words.text(id + "finish") + " " + unlock_sentence(words, p.unlock, index + 2, pages.size()),
          words.text(id + "tips", number)};
}

std::vector<KeyHint> key_row(const gen::Words& words, int row, size_t activities) {
  if (row == 1)
    return {{{"S"}, "", words.text("help.keys.sound")},
            {{words.text("keys.ctrl_p")}, "", words.text("help.keys.settings")},
            {{"V"}, "", words.text("help.keys.version")},
            {{words.text("keys.esc"), words.text("keys.ctrl_q")}, words.text("help.keys.or"), words.text("help.keys.quit")}};
  const std::vector<std::string> digits =
      activities > 1 ? std::vector<std::string>{"1", std::to_string(activities)} : std::vector<std::string>{"1"};
  return {{digits, words.text("help.keys.to"), words.text("help.keys.choose")},
          {{"0"}, "", words.text("help.keys.title")},
          {{"H", "F1"}, words.text("help.keys.or"), words.text("help.keys.help")}};
}

OverviewText overview(const gen::Words& words, size_t activities, bool installed) {
  const long last = static_cast<long>(activities);
  OverviewText text{words.text("title.title"), words.text("title.subtitle"), {0.98, 0.72, 0.15}, {}};
  auto section = [&](const char* heading, const std::string& paragraph, bool folders_below = false) {
    text.sections.push_back({words.text(heading), paragraph, folders_below});
  };
  if (installed) {
    section("title.playing", words.text("title.installed.playing.text"));
    section("title.pictures", words.text("title.installed.pictures.text"), true);
    section("title.lock", words.text("title.installed.lock.text", last));
  } else {
    section("title.playing", words.text("title.playing.text"));
    section("title.pictures", words.text("title.pictures.text"));
    section("title.lock", words.text("title.lock.text", last));
    section("title.session", words.text("title.session.text"));
  }
  return text;
}

}  // namespace help
