#include "app/folders.hpp"

namespace app {

Folders portable_folders() { return Folders{"data/", "data/", "data/pics"}; }

}  // namespace app
