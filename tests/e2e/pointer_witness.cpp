// Another program on another screen, for the end-to-end tests of the child lock: a window that
// writes into the file named by its argument "shown" once it is on screen, then a line for each
// pointer move ("move X Y") and click ("click X Y") it receives, until it is ended.
#include <SDL.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 2 || SDL_Init(SDL_INIT_VIDEO) != 0) return 2;
  FILE* out = std::fopen(argv[1], "w");
  SDL_Window* window = SDL_CreateWindow("witness", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, 1000, 700, 0);
  SDL_Renderer* renderer = window ? SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE) : nullptr;
  if (!out || !renderer) return 3;
  bool shown = false;
  for (SDL_Event e; SDL_WaitEvent(&e) && e.type != SDL_QUIT;) {
    if (e.type == SDL_WINDOWEVENT && (e.window.event == SDL_WINDOWEVENT_EXPOSED || e.window.event == SDL_WINDOWEVENT_SHOWN)) {
      SDL_SetRenderDrawColor(renderer, 255, 255, 255, 255);  // anything but black, to be seen
      SDL_RenderClear(renderer);
      SDL_RenderPresent(renderer);
      if (!shown) std::fprintf(out, "shown\n");
      shown = true;
    } else if (e.type == SDL_MOUSEMOTION) {
      std::fprintf(out, "move %d %d\n", e.motion.x, e.motion.y);
    } else if (e.type == SDL_MOUSEBUTTONDOWN) {
      std::fprintf(out, "click %d %d\n", e.button.x, e.button.y);
    }
    std::fflush(out);
  }
  SDL_Quit();
  return 0;
}
