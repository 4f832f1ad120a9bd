// A phone's 12-megapixel HEIC is shown at a quarter of its size or less, yet decoding it whole
// through libheif costs as much again as decoding its HEVC tiles: libheif converts every tile to
// RGB, pastes it into a full-size canvas, and converts the canvas to interleaved samples, which the
// fitter then scales down. Here each tile is averaged down by a whole factor (2, 4 or 8: a 512 x
// 512 tile then fills whole pixels of the reduced picture, so tiles decoded on different threads
// never share one) straight from libavcodec's planes, chroma included, and the colours are
// converted once at the reduced size. Averaging before or after the conversion gives the same
// colours (it is linear), up to rounding.
#include "media/decode/heif_grid.hpp"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <new>
#include <string>
#include <thread>

#include "media/decode/heif_libavcodec.hpp"
#include "media/decode/resample.hpp"

namespace media::heif {
namespace {

// The reduced picture's Y, Cb and Cr planes, each width x height (chroma at full resolution).
struct Reduced {
  int width = 0, height = 0;
  std::vector<uint8_t> plane[3];
};

// Averages a k x k block of samples at each step across one output row.
template <int K>
void average_row(const uint8_t* src, int stride, uint8_t* out, int count) {
  constexpr int area = K * K;
  for (int x = 0; x < count; ++x, src += K) {
    int sum = 0;
    for (int r = 0; r < K; ++r)
      for (int c = 0; c < K; ++c) sum += src[r * stride + c];
    out[x] = uint8_t((sum + area / 2) / area);
  }
}

// k x k blocks (k 1, 2, 4 or 8) of a plane averaged into `count` output samples.
void average(int k, const uint8_t* src, int stride, uint8_t* out, int count) {
  switch (k) {
    case 1: std::memcpy(out, src, size_t(count)); break;
    case 2: average_row<2>(src, stride, out, count); break;
    case 4: average_row<4>(src, stride, out, count); break;
    default: average_row<8>(src, stride, out, count); break;
  }
}

// The w x h tile at (x0, y0) of the canvas, decoded (p covers it), averaged down by k into its own
// part of `out`.
void reduce_tile(const HevcPlanes& p, int x0, int y0, int w, int h, int k, Reduced& out) {
  const int ox0 = x0 / k, oy0 = y0 / k;
  const int ox1 = std::min(out.width, (x0 + w) / k), oy1 = std::min(out.height, (y0 + h) / k);
  if (ox1 <= ox0) return;
  for (int oy = oy0; oy < oy1; ++oy) {
    const int sy = oy * k - y0;
    const size_t at = size_t(oy) * size_t(out.width) + size_t(ox0);
    average(k, p.plane[0] + size_t(sy) * size_t(p.stride[0]), p.stride[0], out.plane[0].data() + at, ox1 - ox0);
    for (int c = 1; c < 3; ++c)
      average(k / 2, p.plane[c] + size_t(sy / 2) * size_t(p.stride[c]), p.stride[c], out.plane[c].data() + at, ox1 - ox0);
  }
}

// The share of red and of blue in luma for the matrices phones and cameras use (ITU-T H.273's
// numbers); false for the others, which go through libheif. A stream that states none is taken as
// BT.601, as libheif takes it.
bool luma_shares(int matrix, double& kr, double& kb) {
  switch (matrix) {
    case 1: kr = 0.2126, kb = 0.0722; return true;                 // BT.709
    case 2: case 5: case 6: kr = 0.299, kb = 0.114; return true;   // unstated, BT.601
    case 9: case 10: kr = 0.2627, kb = 0.0593; return true;        // BT.2020
    default: return false;
  }
}

// The reduced planes as interleaved RGB, in 16.16 fixed point.
void to_rgb(const Reduced& r, int matrix, bool full_range, Pixmap& out) {
  double kr = 0.299, kb = 0.114;
  luma_shares(matrix, kr, kb);
  const double kg = 1.0 - kr - kb;
  const double ys = full_range ? 1.0 : 255.0 / 219.0, cs = full_range ? 1.0 : 255.0 / 224.0;
  const int y_off = full_range ? 0 : 16;
  auto fixed = [](double v) { return int(v * 65536.0 + (v < 0 ? -0.5 : 0.5)); };
  const int y_mul = fixed(ys), cr_r = fixed(2 * (1 - kr) * cs), cb_b = fixed(2 * (1 - kb) * cs);
  const int cb_g = fixed(2 * kb * (1 - kb) / kg * cs), cr_g = fixed(2 * kr * (1 - kr) / kg * cs);
  auto clamp8 = [](int v) { return uint8_t(std::clamp((v + 32768) >> 16, 0, 255)); };
  for (int y = 0; y < r.height; ++y) {
    const size_t row = size_t(y) * size_t(r.width);
    const uint8_t* py = r.plane[0].data() + row;
    const uint8_t* pb = r.plane[1].data() + row;
    const uint8_t* pr = r.plane[2].data() + row;
    uint8_t* o = out.row(y);
    for (int x = 0; x < r.width; ++x, o += 3) {
      const int yy = (py[x] - y_off) * y_mul, cb = pb[x] - 128, cr = pr[x] - 128;
      o[0] = clamp8(yy + cr_r * cr);
      o[1] = clamp8(yy - cb_g * cb - cr_g * cr);
      o[2] = clamp8(yy + cb_b * cb);
    }
  }
}

// The bytes of a tile's units as the decoder takes them: its configuration's, each after a 4-byte
// length, then its data (which has them already).
size_t units_size(const GridPlan::Tile& tile) {
  size_t n = 0;
  for (const auto& piece : tile.config) n += 4 + piece.second;
  for (const auto& piece : tile.data) n += piece.second;
  return n;
}

void gather_units(const GridPlan::Tile& tile, std::vector<uint8_t>& out) {
  out.clear();
  out.reserve(units_size(tile));
  for (const auto& [at, size] : tile.config) {
    const uint8_t length[4] = {uint8_t(size >> 24), uint8_t(size >> 16), uint8_t(size >> 8), uint8_t(size)};
    out.insert(out.end(), length, length + 4);
    out.insert(out.end(), at, at + size);
  }
  for (const auto& [at, size] : tile.data) out.insert(out.end(), at, at + size);
}

}  // namespace

int grid_reduction(uint32_t width, uint32_t height, uint32_t tile_width, uint32_t tile_height, const DecodeOptions& opt,
                   bool quarter_turn) {
  if (opt.min_width <= 0 || opt.min_height <= 0) return 1;
  const bool swap = opt.upright && quarter_turn;
  const double need_w = (swap ? opt.min_height : opt.min_width) * (1.0 - opt.slack);
  const double need_h = (swap ? opt.min_width : opt.min_height) * (1.0 - opt.slack);
  for (int k : {8, 4, 2}) {
    // Each tile fills whole output pixels, its chroma too (4:2:0 halves it).
    if (tile_width % uint32_t(2 * k) || tile_height % uint32_t(2 * k)) continue;
    if (double(width / uint32_t(k)) >= need_w && double(height / uint32_t(k)) >= need_h) return k;
  }
  return 1;
}

std::optional<DecodeResult> decode_grid_reduced(const GridPlan& plan, const DecodeOptions& opt, int threads, size_t file_bytes) {
  const bool quarter_turn = plan.orientation >= 5 && plan.orientation <= 8;
  const int k = grid_reduction(plan.width, plan.height, plan.tile_width, plan.tile_height, opt, quarter_turn);
  double kr, kb;
  if (k == 1 || plan.tiles.empty() || (plan.colour_stated && !luma_shares(plan.matrix, kr, kb))) return std::nullopt;
  DecodeResult res;
  Reduced reduced;
  reduced.width = int(plan.width) / k, reduced.height = int(plan.height) / k;
  const uint64_t pixels = uint64_t(reduced.width) * uint64_t(reduced.height);
  const int at_once = std::clamp(threads, 1, int(plan.tiles.size()));
  // The reduced planes and the pixmap made from them, and per thread a decoder and one tile's units.
  size_t largest_units = 0;
  for (const GridPlan::Tile& t : plan.tiles) largest_units = std::max(largest_units, units_size(t));
  const uint64_t peak = pixels * 3 * 2 + uint64_t(at_once) * (plan.decoder_bytes + largest_units) + file_bytes + kDecodeWorkBytes;
  BudgetLease lease = decode_budget().acquire(static_cast<size_t>(peak));
  if (!lease) {
    res.error = "too large: " + std::to_string(plan.width) + "x" + std::to_string(plan.height);
    return res;
  }
  try {
    for (auto& p : reduced.plane) p.assign(size_t(pixels), 0);
    PixmapPtr pixmap = create_pixmap(reduced.width, reduced.height, PF_RGB);
    if (!pixmap) {
      res.error = "out of memory";
      return res;
    }
    // Tiles are taken in turn by each thread; the first that cannot be decoded here stops them all.
    std::atomic<size_t> next{0};
    std::atomic<int> outcome{int(HevcDecode::Ok)};
    std::atomic<bool> colours_differ{false};
    std::once_flag first_colours;
    int matrix = plan.matrix;
    bool full_range = plan.full_range;
    std::atomic<bool> no_memory{false};
    auto work = [&] {
      std::vector<uint8_t> units;
      for (size_t i; outcome.load() == int(HevcDecode::Ok) && (i = next.fetch_add(1)) < plan.tiles.size();) {
        const int x0 = int(i % size_t(plan.columns)) * int(plan.tile_width), y0 = int(i / size_t(plan.columns)) * int(plan.tile_height);
        HevcDecode r = HevcDecode::Damaged;
        try {
          gather_units(plan.tiles[i], units);
          r = decode_hevc_420(units.data(), units.size(), [&](const HevcPlanes& p) {
            // Every tile must cover its place in the grid, and, when the file states no colours, all
            // must state the same in their streams.
            if (p.width < int(plan.tile_width) || p.height < int(plan.tile_height)) {
              outcome = int(HevcDecode::Damaged);
              return;
            }
            if (!plan.colour_stated) {
              std::call_once(first_colours, [&] { matrix = p.matrix, full_range = p.full_range; });
              if (p.matrix != matrix || p.full_range != full_range) colours_differ = true;
            }
            reduce_tile(p, x0, y0, int(plan.tile_width), int(plan.tile_height), k, reduced);
          });
        } catch (const std::bad_alloc&) {
          no_memory = true;  // on a thread of its own: reported by the caller
        }
        if (r != HevcDecode::Ok) {
          int ok = int(HevcDecode::Ok);
          outcome.compare_exchange_strong(ok, int(r));
        }
      }
    };
    {
      std::vector<std::jthread> helpers;
      for (int t = 1; t < at_once; ++t) helpers.emplace_back(work);
      work();
    }
    if (no_memory) throw std::bad_alloc();
    if (outcome == int(HevcDecode::Other) || colours_differ || !luma_shares(matrix, kr, kb)) return std::nullopt;
    if (outcome == int(HevcDecode::Damaged)) {
      res.error = "corrupt HEIF data: a damaged tile";
      return res;
    }
    to_rgb(reduced, matrix, full_range, *pixmap);
    res.orientation = plan.orientation;
    res.keep(std::move(pixmap), std::move(lease));
  } catch (const std::bad_alloc&) {
    res.error = "out of memory";
  } catch (const std::system_error&) {
    res.error = "out of memory";  // no thread could be started
  }
  return res;
}

namespace {

// A property's content, when the item has exactly one of this type and it holds at least `need`
// bytes; -1 when it has none, -2 when more than one (or too short).
int one_property(const Walk& w, uint32_t item, const char* type, size_t need, const Box** out) {
  auto it = w.item_properties.find(item);
  if (it == w.item_properties.end()) return -1;
  int found = 0;
  for (uint32_t index : it->second) {
    if (index == 0 || index > w.properties.size() || !w.properties[index - 1].is(type)) continue;
    const Box& b = w.properties[index - 1];
    if (++found > 1 || b.end - b.body < need) return -2;
    *out = &b;
  }
  return found == 1 ? 0 : -1;
}

}  // namespace

bool plan_grid(const Walk& w, int canvas_w, int canvas_h, GridPlan& plan) {
  const uint8_t* d = w.d;
  const auto grid = w.canvas_items.find(w.primary);
  const auto grid_data = w.item_data.find(w.primary);
  if (grid == w.canvas_items.end() || grid->second || grid_data == w.item_data.end() || w.located_twice.count(w.primary))
    return false;
  uint8_t head[12] = {};
  const ItemData& gd = grid_data->second;
  if (gd.size() < 8) return false;
  gd.read(0, std::min<size_t>(gd.size(), 12), head);
  const size_t field = (head[1] & 1) ? 4 : 2;
  if (head[0] != 0 || gd.size() < 4 + 2 * field) return false;
  plan.rows = head[2] + 1, plan.columns = head[3] + 1;
  plan.width = uint32_t(be_n(head + 4, field)), plan.height = uint32_t(be_n(head + 4 + field, field));
  if (plan.width != uint32_t(canvas_w) || plan.height != uint32_t(canvas_h)) return false;
  // The grid's transforms, in the order they apply.
  int angle = 0, mirror = -1;
  bool turned = false;
  const auto grid_properties = w.item_properties.find(w.primary);
  if (grid_properties == w.item_properties.end()) return false;  // not even the canvas size
  for (uint32_t index : grid_properties->second) {
    if (index == 0 || index > w.properties.size()) continue;
    const Box& p = w.properties[index - 1];
    if (p.is("clap") || ((p.is("irot") || p.is("imir")) && p.end == p.body)) return false;
    if (p.is("irot")) {
      if (turned || mirror >= 0) return false;
      turned = true, angle = d[p.body] & 3;
    } else if (p.is("imir")) {
      if (mirror >= 0) return false;
      mirror = d[p.body] & 1;
    }
  }
  plan.orientation = orientation_of(angle, mirror);
  // The tiles, each with one configuration, one size (the same for all), no transforms of its own,
  // and the same colours.
  std::vector<uint32_t> ids;
  for (const auto& [from, part] : w.parts)
    if (from == w.primary) ids.push_back(part);
  if (ids.size() != size_t(plan.rows) * size_t(plan.columns)) return false;
  for (size_t i = 0; i < ids.size(); ++i) {
    const uint32_t id = ids[i];
    const auto data = w.item_data.find(id);
    const Box *hvcc = nullptr, *ispe = nullptr, *colr = nullptr, *other = nullptr;
    if (!w.hevc_items.count(id) || w.located_twice.count(id) || data == w.item_data.end()) return false;
    if (one_property(w, id, "hvcC", 23, &hvcc) != 0 || one_property(w, id, "ispe", 12, &ispe) != 0) return false;
    for (const char* t : {"irot", "imir", "clap"})
      if (one_property(w, id, t, 0, &other) != -1) return false;
    const uint32_t tw = be32(d + ispe->body + 4), th = be32(d + ispe->body + 8);
    bool stated = false, full = false;
    int matrix = 2;
    if (one_property(w, id, "colr", 4, &colr) == 0 && std::memcmp(d + colr->body, "nclx", 4) == 0) {
      if (colr->end - colr->body < 11) return false;
      stated = true, matrix = int(be_n(d + colr->body + 8, 2)), full = d[colr->body + 10] & 0x80;
    }
    if (i == 0) {
      plan.tile_width = tw, plan.tile_height = th;
      plan.colour_stated = stated, plan.matrix = matrix, plan.full_range = full;
    } else if (tw != plan.tile_width || th != plan.tile_height || stated != plan.colour_stated ||
               (stated && (matrix != plan.matrix || full != plan.full_range))) {
      return false;
    }
    // The configuration's units (check_hvcc read them whole).
    GridPlan::Tile tile;
    each_hvcc_unit(d, *hvcc, [&](const uint8_t* nal, size_t length) {
      tile.config.emplace_back(nal, length);
      return true;
    });
    tile.data = data->second.pieces();
    plan.tiles.push_back(std::move(tile));
  }
  plan.decoder_bytes = libavcodec_hevc_bytes(w.avcodec_frame, w.largest_coded);
  const uint64_t tw = plan.tile_width, th = plan.tile_height;
  return tw > 0 && th > 0 && tw * uint64_t(plan.columns) >= plan.width && tw * uint64_t(plan.columns - 1) < plan.width &&
         th * uint64_t(plan.rows) >= plan.height && th * uint64_t(plan.rows - 1) < plan.height;
}

}  // namespace media::heif
