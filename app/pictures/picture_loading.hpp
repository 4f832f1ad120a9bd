// The pictures folders wired to a PictureStore: listed by name, loaded in the background by one
// worker per core, through the cache of fitted photos when there is one.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/pictures/names.hpp"
#include "app/pictures/picture_store.hpp"

namespace app {

// Loading held part way, for the tests of the whole program that look at it then: files from
// `from` on wait, and with full_pictures the photos shown from their previews stay so, until the
// file `until` exists. No hold while `until` is empty.
struct LoadingHold {
  size_t from = SIZE_MAX;
  bool full_pictures = false;
  std::string until;
};

// Lists the folders into the store, their pictures one after the other, to be loaded in the
// background by one worker per core (at most PictureStore::kMaxWorkers) once store.run() starts
// them. With a cache folder, photos in slow formats are fitted once and then read from there
// (app/pictures/picture_cache.hpp).
void prepare_pictures(PictureStore& store, const std::vector<PictureFolder>& folders, int width = 1024,
                      int height = 768, const std::string& cache_dir = "", const LoadingHold& hold = {});

// The folders, loaded before it returns (tests, benchmarks); one folder alone is read strictly.
PictureStore load_pictures(const std::string& folder, int width = 1024, int height = 768);
PictureStore load_pictures(const std::vector<PictureFolder>& folders, int width = 1024, int height = 768);

}  // namespace app
