#include "app/shell/progress.hpp"

#include <algorithm>
#include <vector>

#include "media/files/files.hpp"
#include "media/files/log.hpp"

namespace app {

int load_progress(const std::string& path, int fallback, const ActivityTable& table) {
  media::StreamPtr f = media::read_file(path);
  if (!f) return fallback;
  int level = media::parse_whole_number(media::read_line(*f));
  const int id_place = table.place_of(media::read_line(*f));
  media::close(f);
  // A damaged file must not lock the child out of everything: keep within the activities the
  // number can stand for.
  const int highest = std::max(table.digit_places(), 1);
  if (level < 1 || level > highest) {
    media::log_error("progress", path + ": level " + std::to_string(level) + " out of range, using " +
                                     std::to_string(std::clamp(level, 1, highest)));
    level = std::clamp(level, 1, highest);
  }
  // An id the table has moved to another place still opens what it did; never less than the number.
  return std::max(level, id_place);
}

bool save_progress(const std::string& path, int level, const ActivityTable& table) {
  // Past the digit keys: all they choose, and the activity by its id.
  const bool past_keys = level > table.digit_places() && table.has(level);
  std::vector<std::string> lines{std::to_string(past_keys ? table.digit_places() : level)};
  if (past_keys) lines.emplace_back(table.id_of(level));
  if (media::replace_file_lines(path, lines.data(), lines.size())) return true;
  media::log_error("progress", path + ": cannot be written");
  return false;
}

}  // namespace app
