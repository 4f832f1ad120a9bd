#include "app/pictures/picture_store.hpp"

#include <algorithm>
#include <utility>

#include "app/pictures/picture_loader.hpp"
#include "media/files/log.hpp"

namespace app {

namespace {

// A name inside the folder, or a whole path when no folder is given.
std::string path_of(const std::string& folder, const std::string& name) {
  return folder.empty() ? name : folder + "/" + name;
}

struct Entry {
  CompactPicture compact;
  media::ImagePtr pinned;           // a picture added as an image: always in memory
  std::weak_ptr<media::Image> live;  // the image while anyone holds it
  size_t file = SIZE_MAX;            // the file it came from
};

}  // namespace

// Main thread only, apart from the loader's workers and the reports' copies.
struct PictureStore::Impl {
  PictureLoader loader;
  FolderReports reports;
  std::vector<Entry> list;
  std::vector<size_t> entry;  // per file: its place in the list once published
  std::vector<std::pair<size_t, media::ImagePtr>> cache;  // most recently shown last
  size_t cache_size = kCachedImages;
  size_t restores = 0;
  size_t previews = 0;
  bool shown_replaced = false;

  // A full picture in place of entry e's preview; an image on screen gets the full picture's
  // pixels in place, so whoever holds it shows the full picture from the next frame.
  void upgrade(Entry& e, PictureLoader::Finished&& u) {
    if (!e.compact.preview) return;
    --previews;
    if (!u.ok) {
      only_preview(u.file, u.error);
      e.compact.preview = false;
      return;
    }
    e.compact = std::move(u.picture);
    media::ImagePtr img = e.live.lock();
    if (!img || !loader.codec().restore) return;
    media::ImagePtr full = loader.codec().restore(e.compact);
    if (!full) return;
    img->texture = full->texture;
    img->source = full->source;
    img->flags = full->flags;
    shown_replaced = true;
  }

  void only_preview(size_t file, const std::string& error) {
    media::log_error("pictures", loader.path(file) + ": only its preview can be shown: " + error);
  }

  void remember(size_t i, const media::ImagePtr& img) {
    auto it = std::find_if(cache.begin(), cache.end(), [i](const auto& c) { return c.first == i; });
    if (it != cache.end()) cache.erase(it);
    cache.emplace_back(i, img);
    while (cache.size() > cache_size) cache.erase(cache.begin());
  }
};

PictureStore::PictureStore() : impl_(std::make_unique<Impl>()) {}
PictureStore::~PictureStore() = default;
PictureStore::PictureStore(PictureStore&&) noexcept = default;
PictureStore& PictureStore::operator=(PictureStore&&) noexcept = default;

void PictureStore::start(const std::string& folder, std::vector<std::string> names, PictureCodec codec,
                         unsigned workers, size_t hold_from, std::function<bool()> released) {
  prepare(folder, std::move(names), std::move(codec), workers, hold_from, std::move(released));
  run();
}

void PictureStore::prepare(const std::string& folder, std::vector<std::string> names, PictureCodec codec,
                           unsigned workers, size_t hold_from, std::function<bool()> released) {
  prepare({FolderListing{folder, true, std::move(names), {}}}, std::move(codec), workers, hold_from,
          std::move(released));
}

void PictureStore::prepare(std::vector<FolderListing> folders, PictureCodec codec, unsigned workers,
                           size_t hold_from, std::function<bool()> released) {
  Impl& m = *impl_;
  std::vector<std::string> paths;
  std::vector<size_t> folder_end;  // per folder: the file after its last
  std::vector<FolderReport> reports;
  for (FolderListing& f : folders) {
    for (const std::string& name : f.names) paths.push_back(path_of(f.folder, name));
    folder_end.push_back(paths.size());
    FolderReport r;
    r.folder = f.folder;
    r.opened = f.opened;
    r.to_come = f.names.size();
    r.left_out = f.refused.size() + f.refused_more;
    if (f.refused.size() > FolderReport::kListedMost) f.refused.resize(FolderReport::kListedMost);
    r.listed = std::move(f.refused);
    reports.push_back(std::move(r));
  }
  m.entry.assign(paths.size(), SIZE_MAX);
  m.loader.prepare(std::move(paths), std::move(codec), std::clamp(workers, 1u, kMaxWorkers), hold_from,
                   std::move(released));
  m.reports.reset(std::move(reports), std::move(folder_end));
}

void PictureStore::hold_full_pictures() { impl_->loader.hold_fulls(); }

void PictureStore::run() { impl_->loader.run(); }

bool PictureStore::poll() {
  Impl& m = *impl_;
  m.loader.check_hold();
  PictureLoader::Taken t = m.loader.take();
  for (PictureLoader::Finished& f : t.firsts) {
    if (f.ok) {
      m.previews += f.picture.preview;
      m.list.push_back(Entry{std::move(f.picture), nullptr, {}, f.file});
      m.entry[f.file] = m.list.size() - 1;
      if (!f.error.empty()) m.only_preview(f.file, f.error);
    } else {
      media::log_error("pictures", m.loader.path(f.file) + ": left out: " + f.error);
    }
    m.reports.count(f.file, m.loader.path(f.file), f.ok, left_out_reason(f.error));
  }
  for (PictureLoader::Finished& u : t.fulls) m.upgrade(m.list[m.entry[u.file]], std::move(u));
  if (t.finished) m.loader.stop();  // all done: they are ending
  return !t.firsts.empty();
}

bool PictureStore::take_shown_replaced() {
  const bool replaced = impl_->shown_replaced;
  impl_->shown_replaced = false;
  return replaced;
}

void PictureStore::wait() {
  Impl& m = *impl_;
  m.loader.wait(!m.loader.check_hold());
  poll();
}

size_t PictureStore::count() const { return impl_->list.size(); }

media::ImagePtr PictureStore::at(size_t i) const {
  Impl& m = *impl_;
  if (i >= m.list.size()) return nullptr;
  Entry& e = m.list[i];
  if (e.pinned) return e.pinned;
  media::ImagePtr img = e.live.lock();
  if (!img) {
    if (!m.loader.codec().restore) return nullptr;
    img = m.loader.codec().restore(e.compact);
    ++m.restores;
    if (!img) return nullptr;
    e.live = img;
  }
  if (e.compact.preview) m.loader.want(e.file);
  m.remember(i, img);
  return img;
}

void PictureStore::add(media::ImagePtr image) { impl_->list.push_back(Entry{{}, std::move(image), {}, SIZE_MAX}); }

void PictureStore::clear() { impl_ = std::make_unique<Impl>(); }

bool PictureStore::loading() const { return impl_->loader.taken() < impl_->loader.files(); }
size_t PictureStore::files() const { return impl_->loader.files(); }
size_t PictureStore::files_done() const { return impl_->loader.taken(); }
size_t PictureStore::workers_held() const { return impl_->loader.workers_held(); }
size_t PictureStore::images_held() const { return impl_->cache.size(); }
size_t PictureStore::restores() const { return impl_->restores; }
size_t PictureStore::previews() const { return impl_->previews; }

size_t PictureStore::compact_bytes() const {
  size_t n = 0;
  for (const Entry& e : impl_->list) n += e.compact.bytes();
  return n;
}

std::vector<FolderReport> PictureStore::folder_reports() const { return impl_->reports.copy(); }

void PictureStore::set_cache_size(size_t n) {
  impl_->cache_size = n;
  while (impl_->cache.size() > n) impl_->cache.erase(impl_->cache.begin());
}

}  // namespace app
