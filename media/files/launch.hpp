// Starting another program beside this one (a file manager for the parent), without waiting for it.
#pragma once
#include <string>
#include <vector>

namespace media {

// Runs argv[0], looked up on PATH, with argv, and returns at once; the finished program is reaped in
// the background. False, with the reason in why, when it could not be started (not installed).
bool launch(const std::vector<std::string>& argv, std::string* why = nullptr);

}  // namespace media
