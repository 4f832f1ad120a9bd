#include "app/pictures/picture_store.hpp"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <string_view>
#include <thread>

#include "media/decode/decode.hpp"
#include "media/decode/decode_budget.hpp"
#include "media/decode/encode.hpp"
#include "media/files/log.hpp"
#include "media/decode/resample.hpp"

namespace app {

namespace {

// A name inside the folder, or a whole path when no folder is given.
std::string path_of(const std::string& folder, const std::string& name) {
  return folder.empty() ? name : folder + "/" + name;
}

}  // namespace
namespace {

// JPEG quality of the kept pictures: at 1024x768 no difference can be seen on screen, and a photo
// takes about 150 to 300 KB. (Changing how pictures are fitted or kept changes the fitted copies
// too: raise kFittingVersion in app/pictures/picture_cache.cpp with it.)
constexpr int kKeptQuality = 90;
// A JPEG may be decoded this much short of covering the screen; the rest is stretched when drawn
// (4000x3000 at 1/4 is 1000x750, 2.4% short of 1024x768).
constexpr double kStretchSlack = 0.03;
// A picture file is read whole before it is decoded; larger ones are refused (a camera photo is a
// few MB, an uncompressed 64-megapixel BMP about 190 MB).
constexpr size_t kMaxPictureFileBytes = size_t{200} << 20;

// The start of the errors that load_fitted gives itself, as left_out_reason knows them.
const std::string kCannotRead = "cannot be read: ";
const std::string kTooBig = "too big for a picture";

bool has_transparency(const media::Pixmap& p) {
  if (!media::format_has_alpha(p.format)) return false;
  if (p.format == media::PF_ALPHA) return true;
  for (int y = 0; y < p.height; ++y) {
    const uint8_t* r = p.row(y);
    for (int x = 0; x < p.width; ++x)
      if (r[x * 4 + 3] != 255) return true;  // alpha is the fourth byte of RGBA and BGRA
  }
  return false;
}

// Pictures that were photos already (JPEG, lossy WebP, HEIC, AVIF) are kept as JPEGs again; the
// rest keep their exact pixels. A lossy WebP holds a "VP8 " chunk (with a space), on its own or
// after the extended header. HEIC and AVIF files (an ISO "ftyp" box first) come from phones and
// cameras, coded lossily in all but rare cases, so they count as photos.
bool is_photo(const std::string& bytes) {
  if (bytes.size() >= 2 && uint8_t(bytes[0]) == 0xFF && uint8_t(bytes[1]) == 0xD8) return true;
  if (bytes.size() >= 12 && bytes.compare(4, 4, "ftyp") == 0) return true;
  if (bytes.size() < 16 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WEBP") != 0) return false;
  return bytes.compare(12, 4, "VP8 ") == 0 ||
         (bytes.compare(12, 4, "VP8X") == 0 && bytes.find("VP8 ", 12) < std::min<size_t>(bytes.size(), 4096));
}

// Reads a picture file whole; its bytes count against the decode budget while `lease` holds them.
bool read_picture(const std::string& path, std::string& bytes, media::BudgetLease& lease, std::string& error) {
  std::error_code size_error;
  const uintmax_t size = std::filesystem::file_size(path, size_error);
  if (!size_error && size > kMaxPictureFileBytes) {
    error = kTooBig + " (" + std::to_string(size >> 20) + " MB; at most " +
            std::to_string(kMaxPictureFileBytes >> 20) + " MB are read)";
    return false;
  }
  if (!size_error && size > 0) lease = media::decode_budget().acquire(static_cast<size_t>(size));
  if (!media::read_whole_file(path, bytes, error, kMaxPictureFileBytes)) {
    error = kCannotRead + error;
    return false;
  }
  return true;
}

bool load_fitted(const std::string& path, int width, int height, CompactPicture& out, std::string& error) {
  media::PixmapPtr fitted;
  int orientation = 1;
  bool lossless = true;
  {
    media::BudgetLease file_lease;
    std::string bytes;
    if (!read_picture(path, bytes, file_lease, error)) return false;
    media::DecodeOptions opt{width, height};
    opt.eighths = true;
    opt.slack = kStretchSlack;
    opt.upright = true;
    media::DecodeResult d =
        media::decode_image(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), opt);
    if (!d.pixmap) {
      error = d.error;
      return false;
    }
    orientation = d.orientation;
    lossless = !is_photo(bytes);
    // Fitted in the file's own frame (a turned photo has its width and height swapped), then the
    // small result is turned upright.
    bool turned = orientation >= 5 && orientation <= 8;
    fitted = media::fit_pixmap(d.pixmap, turned ? height : width, turned ? width : height);
  }
  if (fitted && orientation >= 2 && orientation <= 8) fitted = media::orient_pixmap(*fitted, orientation);
  if (!fitted) {
    error = "cannot be scaled";
    return false;
  }
  // PNG, BMP and lossless WebP pictures keep their exact pixels (drawings, codes); only photos become
  // JPEGs again.
  if (lossless || has_transparency(*fitted)) {
    out.packed = media::pack_pixmap(*fitted);
    if (out.packed.bytes.empty()) {
      error = "cannot be kept";
      return false;
    }
    return true;
  }
  out.jpeg = media::encode_jpeg(*fitted, kKeptQuality);
  if (out.jpeg.empty()) {
    error = "cannot be kept";
    return false;
  }
  return true;
}

// A preview must be at least this share of the screen's size on each side to stand in for the
// photo: 320x240 for 1024x768, a phone's usual thumbnail, a little short of a picture frame.
constexpr int kPreviewShareOf16 = 5;
// Kept previews are small and shown for a short while only.
constexpr int kPreviewQuality = 85;

bool load_preview(const std::string& path, int width, int height, CompactPicture& out) {
  // Only a HEIC carries a preview worth the look; its type box is in the first bytes.
  const std::string head = media::read_file_head(path, 32);
  if (!media::is_heif_file(reinterpret_cast<const uint8_t*>(head.data()), head.size())) return false;
  std::string bytes, error;
  media::BudgetLease file_lease;
  if (!read_picture(path, bytes, file_lease, error)) return false;  // load() reports it
  media::DecodeResult d =
      media::decode_heif_preview(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(),
                                 width * kPreviewShareOf16 / 16, height * kPreviewShareOf16 / 16);
  if (!d.pixmap) return false;
  // Cut to the screen's shape at the preview's own size; restore_fitted stretches it to the screen.
  const int pw = d.pixmap->width, ph = d.pixmap->height;
  int fw = pw, fh = static_cast<int>(int64_t(pw) * height / width);
  if (fh > ph) fh = ph, fw = static_cast<int>(int64_t(ph) * width / height);
  media::PixmapPtr fitted = media::fit_pixmap(d.pixmap, fw, fh);
  if (!fitted) return false;
  out = CompactPicture{};
  out.jpeg = media::encode_jpeg(*fitted, kPreviewQuality);
  out.preview = !out.jpeg.empty();
  return out.preview;
}

media::ImagePtr restore_fitted(const CompactPicture& c, int width, int height) {
  media::PixmapPtr p = media::unpack_pixmap(c.packed);
  if (!p && !c.jpeg.empty())
    p = media::decode_jpeg(reinterpret_cast<const uint8_t*>(c.jpeg.data()), c.jpeg.size()).pixmap;
  if (!p) return nullptr;
  media::ImagePtr img = media::image_stretched(p, width, height, 0);
  media::release_pixels(img);  // drawn only: video memory holds it
  return img;
}

// Decoding is background work: a worker gets the CPU only when the main thread (drawing, input) does
// not want it. On Linux the nice value is per thread.
void lower_this_thread_priority() {
  constexpr int kWorkerNice = 10;
  const int now = ::getpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()));
  ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), std::max(now, 0) + kWorkerNice);
}

// A file as the workers see it. The first look (a preview, or the full picture when the file has
// none) makes it done; a preview then waits for its full picture.
struct Slot {
  bool done = false;
  bool ok = false;
  CompactPicture picture;
  std::string error;
  bool preview = false;     // the first look gave a preview: a full picture is owed
  bool full_taken = false;  // a worker has begun (or finished) that full picture
};

// What a worker does next: look at a file for the first time, or bring a preview to full quality.
enum class Job { None, First, Full };

// A full picture finished for a file already published; poll() puts it in.
struct Upgrade {
  size_t slot = 0;
  bool ok = false;
  CompactPicture picture;
  std::string error;
};

struct Entry {
  CompactPicture compact;
  media::ImagePtr pinned;           // a picture added as an image: always in memory
  std::weak_ptr<media::Image> live;  // the image while anyone holds it
  size_t slot = SIZE_MAX;            // the file it came from
};

// How many pictures on screen waiting for their full quality go before the rest; the most recently
// shown first. An activity showing every picture at once asks for all of them, and only the last
// few it showed are likely still in view.
constexpr size_t kWantedMost = 8;

}  // namespace

size_t CompactPicture::bytes() const { return jpeg.size() + packed.bytes.size(); }

LeftOutReason left_out_reason(const std::string& e) {
  auto starts = [&e](std::string_view s) { return e.compare(0, s.size(), s) == 0; };
  auto has = [&e](std::string_view s) { return e.find(s) != std::string::npos; };
  if (starts(kCannotRead)) return LeftOutReason::CannotRead;
  // The decoders' own words (media/decode*.cpp): "truncated" wherever a file ends early, "too
  // large: WxH" past the limits, "not a ... file" for other contents, "unsupported ..." and "not an
  // 8-bit JPEG" for kinds of picture they do not read; all else is damage.
  if (starts(kTooBig) || starts("too large") || starts("out of memory")) return LeftOutReason::TooLarge;
  if (starts("truncated") || starts("empty file")) return LeftOutReason::CutShort;
  if ((starts("not a") && has(" file")) || starts("unsupported") || starts("not an 8-bit"))
    return LeftOutReason::NotAPicture;
  return LeftOutReason::Damaged;
}

PictureCodec screen_codec(int width, int height) {
  PictureCodec c;
  c.load = [width, height](const std::string& path, CompactPicture& out, std::string& error) {
    return load_fitted(path, width, height, out, error);
  };
  c.restore = [width, height](const CompactPicture& p) { return restore_fitted(p, width, height); };
  c.preview = [width, height](const std::string& path, CompactPicture& out) {
    return load_preview(path, width, height, out);
  };
  return c;
}

struct PictureStore::Impl {
  // Shared with the workers (under the mutex unless atomic; the rest fixed while they run).
  std::mutex mutex;
  std::condition_variable slot_done;  // a job finished (the main thread waits on it)
  std::condition_variable work_ready;  // a job may be there (held and idle workers wait on it)
  std::vector<Slot> slots;
  std::vector<std::string> paths;  // slot i's file
  PictureCodec codec;
  size_t next = 0;                 // the next file to look at first
  size_t first_running = 0;        // first looks under way
  size_t next_full = 0;            // files before this need no full picture from the queue
  size_t fulls_owed = 0;           // previews whose full picture has not come yet
  std::vector<size_t> entry;      // per slot: its place in the list once published (main thread)
  std::vector<size_t> wanted;      // previews on screen, the most recently shown last
  std::vector<Upgrade> upgrades;   // full pictures of published files, for poll()
  size_t published = 0;            // written by the main thread under the mutex
  std::atomic<bool> stop{false};   // set under the mutex, so a waiting worker cannot miss it
  size_t hold_from = SIZE_MAX;
  bool hold_fulls = false;
  std::function<bool()> released;  // asked by the main thread only
  bool hold_lifted = false;
  size_t workers_held = 0;
  std::vector<std::thread> workers;
  unsigned worker_count = 0;

  // Main thread only.
  std::vector<Entry> list;
  std::vector<std::pair<size_t, media::ImagePtr>> cache;  // most recently shown last
  size_t cache_size = kCachedImages;
  size_t restores = 0;
  size_t previews = 0;
  bool shown_replaced = false;
  size_t report_at = 0;                // the folder of the next slot to publish
  std::vector<size_t> folder_end;      // per folder: the slot after its last
  // The folders' reports, under their own lock, so any thread may copy them.
  mutable std::mutex reports_mutex;
  std::vector<FolderReport> reports;

  ~Impl() { stop_workers(); }

  // Main thread: counts slot i, just published, in its folder's report.
  void report(size_t i, bool ok, const std::string& error) {
    while (report_at < folder_end.size() && i >= folder_end[report_at]) ++report_at;
    if (report_at == folder_end.size()) return;
    std::lock_guard<std::mutex> lock(reports_mutex);
    FolderReport& r = reports[report_at];
    --r.to_come;
    if (ok) {
      ++r.taken;
      return;
    }
    ++r.left_out;
    if (r.listed.size() < FolderReport::kListedMost) {
      const size_t inside = r.folder.empty() ? 0 : r.folder.size() + 1;
      r.listed.push_back({paths[i].substr(inside), left_out_reason(error)});
    }
  }

  void stop_workers() {
    {
      std::lock_guard<std::mutex> lock(mutex);
      stop = true;
    }
    work_ready.notify_all();
    for (std::thread& t : workers) t.join();
    workers.clear();
  }

  bool needs_full(size_t i) const { return slots[i].done && slots[i].preview && !slots[i].full_taken; }
  bool holding_first() const { return next >= hold_from && !hold_lifted; }
  bool holding_fulls() const { return hold_fulls && !hold_lifted; }

  // Under the mutex: the next job, in this order: a preview on screen, a file not yet looked at,
  // then the previews in folder order.
  Job pick(size_t& i) {
    if (!holding_fulls()) {
      while (!wanted.empty()) {
        i = wanted.back();
        wanted.pop_back();
        if (needs_full(i)) return Job::Full;
      }
    }
    if (next < slots.size() && !holding_first()) {
      i = next++;
      ++first_running;
      return Job::First;
    }
    if (holding_fulls()) return Job::None;
    while (next_full < slots.size() && slots[next_full].done && !needs_full(next_full)) ++next_full;
    for (i = next_full; i < slots.size() && slots[i].done; ++i)
      if (needs_full(i)) return Job::Full;
    return Job::None;
  }

  // Under the mutex: every file has been looked at and every full picture owed has come.
  bool finished() const { return next == slots.size() && first_running == 0 && fulls_owed == 0; }

  void work() {
    std::unique_lock<std::mutex> lock(mutex);
    for (;;) {
      if (stop) return;
      size_t i = 0;
      const Job job = pick(i);
      if (job == Job::None) {
        if (finished()) return;
        const bool held = holding_first() || holding_fulls();
        workers_held += held;
        work_ready.wait(lock);
        workers_held -= held;
        continue;
      }
      if (job == Job::Full) slots[i].full_taken = true;
      lock.unlock();
      Slot s;
      {
        const media::BusyCore loading;  // a decoder that could use more threads leaves this core
        if (job == Job::First && codec.preview && codec.preview(paths[i], s.picture)) {
          s.ok = true;
          s.picture.preview = true;
        } else {
          s.picture = {};
          s.ok = codec.load(paths[i], s.picture, s.error);
          s.picture.preview = false;
        }
      }
      s.done = true;
      lock.lock();
      if (job == Job::First) {
        --first_running;
        s.preview = s.picture.preview;
        fulls_owed += s.preview;
        slots[i] = std::move(s);
      } else {
        --fulls_owed;
        finish_full(i, std::move(s));
      }
      slot_done.notify_all();
      work_ready.notify_all();  // a preview may have made work, or the last job ended
    }
  }

  // Under the mutex: a full picture for slot i, which was done with its preview. Before
  // publication it simply takes the preview's place.
  void finish_full(size_t i, Slot&& s) {
    Slot& slot = slots[i];
    if (i >= published) {
      if (s.ok) slot.picture = std::move(s.picture);
      else slot.error = std::move(s.error), slot.picture.preview = false;  // the preview stays; reported
      return;
    }
    upgrades.push_back(Upgrade{i, s.ok, std::move(s.picture), std::move(s.error)});
  }

  // Main thread: lifts the hold once released() says so (it stays lifted). True when it is lifted.
  bool check_hold() {
    {
      std::lock_guard<std::mutex> lock(mutex);
      if (hold_lifted) return true;
    }
    const bool anything_held = hold_from < slots.size() || hold_fulls;
    if (!anything_held || !released || !released()) return false;
    {
      std::lock_guard<std::mutex> lock(mutex);
      hold_lifted = true;
    }
    work_ready.notify_all();
    return true;
  }

  // Main thread: a full picture in place of entry e's preview; an image on screen gets the full
  // picture's pixels in place, so whoever holds it shows the full picture from the next frame.
  void upgrade(Entry& e, Upgrade&& u) {
    if (!e.compact.preview) return;
    --previews;
    if (!u.ok) {
      only_preview(u.slot, u.error);
      e.compact.preview = false;
      return;
    }
    e.compact = std::move(u.picture);
    media::ImagePtr img = e.live.lock();
    if (!img || !codec.restore) return;
    media::ImagePtr full = codec.restore(e.compact);
    if (!full) return;
    img->texture = full->texture;
    img->source = full->source;
    img->flags = full->flags;
    shown_replaced = true;
  }

  void only_preview(size_t slot, const std::string& error) {
    media::log_error("pictures", paths[slot] + ": only its preview can be shown: " + error);
  }

  void remember(size_t i, const media::ImagePtr& img) {
    auto it = std::find_if(cache.begin(), cache.end(), [i](const auto& c) { return c.first == i; });
    if (it != cache.end()) cache.erase(it);
    cache.emplace_back(i, img);
    while (cache.size() > cache_size) cache.erase(cache.begin());
  }

  // Main thread: entry i is on screen from its preview; its full picture goes first.
  void want(size_t slot) {
    {
      std::lock_guard<std::mutex> lock(mutex);
      wanted.erase(std::remove(wanted.begin(), wanted.end(), slot), wanted.end());
      wanted.push_back(slot);
      if (wanted.size() > kWantedMost) wanted.erase(wanted.begin());
    }
    work_ready.notify_one();
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
  m.stop_workers();
  m.stop = false;
  m.paths.clear();
  m.folder_end.clear();
  std::vector<FolderReport> reports;
  for (FolderListing& f : folders) {
    for (const std::string& name : f.names) m.paths.push_back(path_of(f.folder, name));
    m.folder_end.push_back(m.paths.size());
    FolderReport r;
    r.folder = f.folder;
    r.opened = f.opened;
    r.to_come = f.names.size();
    r.left_out = f.refused.size() + f.refused_more;
    if (f.refused.size() > FolderReport::kListedMost) f.refused.resize(FolderReport::kListedMost);
    r.listed = std::move(f.refused);
    reports.push_back(std::move(r));
  }
  {
    std::lock_guard<std::mutex> lock(m.reports_mutex);
    m.reports = std::move(reports);
  }
  m.report_at = 0;
  m.codec = std::move(codec);
  m.slots.assign(m.paths.size(), Slot{});
  m.next = 0;
  m.first_running = 0;
  m.next_full = 0;
  m.fulls_owed = 0;
  m.entry.assign(m.paths.size(), SIZE_MAX);
  m.wanted.clear();
  m.upgrades.clear();
  m.published = 0;
  m.hold_from = hold_from;
  m.hold_fulls = false;
  m.released = std::move(released);
  m.hold_lifted = false;
  workers = std::clamp(workers, 1u, kMaxWorkers);
  m.worker_count = static_cast<unsigned>(std::min<size_t>(workers, m.paths.size()));
}

void PictureStore::hold_full_pictures() {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  impl_->hold_fulls = true;
}

void PictureStore::run() {
  Impl& m = *impl_;
  if (!m.workers.empty()) return;
  for (unsigned k = 0; k < m.worker_count; ++k) m.workers.emplace_back([&m] {
    lower_this_thread_priority();
    media::set_decode_priority(media::DecodePriority::Background);
    m.work();
  });
}

bool PictureStore::poll() {
  Impl& m = *impl_;
  m.check_hold();
  struct Published {
    size_t i;
    bool ok;
    std::string error;
  };
  std::vector<Published> done;
  std::vector<Upgrade> upgrades;
  size_t before = m.published;
  bool finished = false;
  {
    std::lock_guard<std::mutex> lock(m.mutex);
    for (; m.published < m.slots.size() && m.slots[m.published].done; ++m.published) {
      Slot& s = m.slots[m.published];
      if (s.ok) {
        m.previews += s.picture.preview;
        m.list.push_back(Entry{std::move(s.picture), nullptr, {}, m.published});
        m.entry[m.published] = m.list.size() - 1;
      }
      done.push_back({m.published, s.ok, std::move(s.error)});
      s.picture = {};
    }
    upgrades.swap(m.upgrades);
    finished = m.published == m.slots.size() && m.finished();
  }
  for (const Published& p : done) {
    if (!p.ok) media::log_error("pictures", m.paths[p.i] + ": left out: " + p.error);
    else if (!p.error.empty()) m.only_preview(p.i, p.error);
    m.report(p.i, p.ok, p.error);
  }
  for (Upgrade& u : upgrades) m.upgrade(m.list[m.entry[u.slot]], std::move(u));
  if (finished && !m.workers.empty()) m.stop_workers();  // all done: they are ending
  return m.published != before;
}

bool PictureStore::take_shown_replaced() {
  const bool replaced = impl_->shown_replaced;
  impl_->shown_replaced = false;
  return replaced;
}

void PictureStore::wait() {
  Impl& m = *impl_;
  const bool held = !m.check_hold();
  {
    std::unique_lock<std::mutex> lock(m.mutex);
    const size_t end = held ? std::min(m.slots.size(), m.hold_from) : m.slots.size();
    m.slot_done.wait(lock, [&] {
      for (size_t i = m.published; i < end; ++i)
        if (!m.slots[i].done) return false;
      return (held && m.hold_fulls) || m.fulls_owed == 0;
    });
  }
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
    if (!m.codec.restore) return nullptr;
    img = m.codec.restore(e.compact);
    ++m.restores;
    if (!img) return nullptr;
    e.live = img;
  }
  if (e.compact.preview) m.want(e.slot);
  m.remember(i, img);
  return img;
}

void PictureStore::add(media::ImagePtr image) { impl_->list.push_back(Entry{{}, std::move(image), {}, SIZE_MAX}); }

void PictureStore::clear() { impl_ = std::make_unique<Impl>(); }

bool PictureStore::loading() const { return impl_->published < impl_->slots.size(); }
size_t PictureStore::files() const { return impl_->slots.size(); }
size_t PictureStore::files_done() const { return impl_->published; }
size_t PictureStore::workers_held() const {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  return impl_->workers_held;
}
size_t PictureStore::images_held() const { return impl_->cache.size(); }
size_t PictureStore::restores() const { return impl_->restores; }
size_t PictureStore::previews() const { return impl_->previews; }

size_t PictureStore::compact_bytes() const {
  size_t n = 0;
  for (const Entry& e : impl_->list) n += e.compact.bytes();
  return n;
}

std::vector<FolderReport> PictureStore::folder_reports() const {
  std::lock_guard<std::mutex> lock(impl_->reports_mutex);
  return impl_->reports;
}

void PictureStore::set_cache_size(size_t n) {
  impl_->cache_size = n;
  while (impl_->cache.size() > n) impl_->cache.erase(impl_->cache.begin());
}

}  // namespace app
