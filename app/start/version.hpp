// The program's name and version, as the window title and the info label show them.
#pragma once

namespace app {

inline constexpr const char* kAppTitle = "Pipkin";
inline constexpr const char* kAppVersion = PIPKIN_VERSION;  // from the build: one version everywhere

}  // namespace app
