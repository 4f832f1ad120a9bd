// One-line reports on standard error, each with a prefix naming the service ("pipkin: image: ...").
#pragma once
#include <string>

namespace media {

// Writes "pipkin: <where>: <what>" as a single line to standard error; a line already written is
// not written again.
void log_error(const std::string& where, const std::string& what);

}  // namespace media
