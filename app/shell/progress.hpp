// The progress file "pipkin.txt": the highest unlocked activity, the level, as the place of that
// activity in the table. Its first line is the level as a number, at most the last place a digit
// key chooses: the whole file as every copy of the program has written it, and all an older copy
// reads. A level past the digit keys adds a second line, the activity's id, so that it is kept
// without an older copy believing more than its digit keys choose.
#pragma once
#include <string>

#include "app/shell/activity.hpp"

namespace app {

// The stored level (fallback when there is no file), kept within 1 and the table's count. A number
// past the activities the digit keys choose is believed only as far as they go; the id line, when
// the table has that activity, opens as far as its place.
int load_progress(const std::string& path, int fallback, const ActivityTable& table);
// Writes the level as above, CR LF lines, replacing the old file only once the new one is complete.
bool save_progress(const std::string& path, int level, const ActivityTable& table);

}  // namespace app
