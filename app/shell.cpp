#include "app/shell.hpp"

#include "media/display.hpp"
#include "media/draw.hpp"
#include "media/events.hpp"
#include "media/files.hpp"

namespace app {

int run() {
  media::chdir_to_executable();
  media::set_app_title("Pipkin");
  if (!media::open_graphics(1024, 768, 0, 60)) return 1;
  for (;;) {
    media::cls();
    media::present(1);
    media::Event e = media::wait_event();
    if (e.id == media::EV_TERMINATE || (e.id == media::EV_KEY_DOWN && e.data == media::KEY_ESCAPE)) break;
  }
  return 0;
}

}  // namespace app
