// The program's name and version, as the window title and the info label show them.
#pragma once

namespace app {

inline constexpr const char* kAppTitle = "Pipkin";
inline constexpr const char* kAppVersion = "2.1";

}  // namespace app
