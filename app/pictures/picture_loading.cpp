#include "app/pictures/picture_loading.hpp"

#include <sys/stat.h>

#include <memory>
#include <thread>
#include <utility>

#include "app/pictures/folder_listing.hpp"
#include "app/pictures/picture_cache.hpp"

namespace app {

namespace {

// One worker per core (0 when unknown); the store keeps the count within its own limits.
unsigned worker_count() { return std::thread::hardware_concurrency(); }

}  // namespace

void prepare_pictures(PictureStore& store, const std::vector<PictureFolder>& folders, int width, int height,
                      const std::string& cache_dir, const LoadingHold& hold) {
  std::function<bool()> released;
  if (!hold.until.empty()) {
    released = [file = hold.until] {
      struct stat st;
      return ::stat(file.c_str(), &st) == 0;
    };
  }
  const size_t hold_from = released ? hold.from : SIZE_MAX;
  // One cache for the whole start: its first write trims the folder to its bound, on a worker.
  auto cache = cache_dir.empty() ? nullptr : std::make_shared<PictureCache>(cache_dir);
  store.prepare(list_picture_folders(folders), cached_codec(screen_codec(width, height), std::move(cache), width, height),
                worker_count(), hold_from, std::move(released));
  if (released && hold.full_pictures) store.hold_full_pictures();
}

PictureStore load_pictures(const std::vector<PictureFolder>& folders, int width, int height) {
  PictureStore store;
  store.prepare(list_picture_folders(folders), screen_codec(width, height), worker_count());
  store.run();
  store.wait();
  return store;
}

PictureStore load_pictures(const std::string& folder, int width, int height) {
  return load_pictures(std::vector<PictureFolder>{{folder, NameRule::Strict}}, width, height);
}

}  // namespace app
