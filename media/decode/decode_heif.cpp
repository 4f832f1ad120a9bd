// HEIC pictures (HEVC-coded HEIF) through libheif, reading from memory; libheif reads the
// container (grids, turns, crops, colours) and hands each coded image to libavcodec's HEVC decoder
// (heif_libavcodec.cpp; libheif's own libde265 when asked, or when libavcodec has none), a grid's
// tiles on as many of libheif's threads as there are cores not busy with other pictures. Only the
// primary image is shown (its thumbnail only as a quick preview); depth maps and image sequences
// are left alone. AV1-coded files (AVIF) are not read here: is_heif_file leaves their brands out,
// and a file that calls itself HEIC but holds pictures coded otherwise than in HEVC is refused as
// unsupported before libheif sees it, unless they are only thumbnails (a camera's JPEG preview),
// which are never decoded.
//
// Before libheif sees the file, its boxes are walked (heif_boxes.cpp):
// - every top-level box must fit in the bytes that are there (a cut-off file is "truncated" before
//   any decoder starts);
// - the item references are counted so that a grid made of thousands of tiles is refused before
//   one tile is decoded;
// - the HEVC decoder sizes its frames from the sequence parameter sets (SPS) it is given, not from
//   the size the file's 'ispe' property states and libheif checks. A file could state a small
//   size and carry an SPS of a huge one. So every SPS the decoder can be fed is read: those in
//   every 'hvcC' property, and those inside the coded data of every HEVC item (found through the
//   item locations). Each must be within our pixel limits, and the largest frame among them is
//   reserved from the budget, not just the stated size. An item's data holding more than one
//   picture (each would be a frame of its own) is refused too;
// - a grid or an overlay gives the size of its canvas in its own data, which libheif allocates
//   whole whatever size the item states: every such canvas must be within our limits, and the
//   largest is reserved for too.
// libheif then parses the boxes with its own limits (largest side, items, box nesting), and the
// primary image's size is checked against ours before anything is decoded.
//
// Rotation and mirroring: libheif applies the file's irot and imir transforms (and the clean
// aperture crop) while decoding, so a portrait comes out upright and its size as reported by the
// handle is already the turned one. An EXIF orientation tag in a HEIF file only describes what the
// transforms already do (cameras write both, and readers are meant to follow the transforms alone),
// so it is not applied again: doing so would turn such a photo twice. The result's orientation is
// 1, except for a grid decoded at a reduced size (below), whose transforms it carries instead.
//
// Reduced-size decoding: unlike JPEG's DCT scaling, HEVC cannot be decoded at a fraction of the
// size. But a camera stores its photo as a grid of tiles, and a grid shown at half its size or
// less is decoded tile by tile straight to 1/2, 1/4 or 1/8 of it (heif_grid.cpp), its turn and
// mirror then left to the caller like a JPEG's orientation; libheif still reads the container and
// the walk still checks it first. Anything else is decoded whole and the caller's fitter
// scales it down. A phone's thumbnail (320x240 or so) is too small for the screen, but stands in
// for the photo in a small place until the full picture is decoded (decode_heif_preview).
#include "media/decode/decode_heif.hpp"

#include <libheif/heif.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cmath>
#include <cstring>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "media/decode/decode.hpp"
#include "media/decode/heif_boxes.hpp"
#include "media/decode/heif_grid.hpp"
#include "media/decode/heif_libavcodec.hpp"

namespace media {
namespace {

using heif::be32;

// Brands of HEVC-coded HEIF files, and the plain image brand they share with other codecs.
bool brand_is_heic(const uint8_t* b) {
  for (const char* known : {"heic", "heix", "hevc", "hevx", "heim", "heis", "mif1", "msf1"})
    if (std::memcmp(b, known, 4) == 0) return true;
  return false;
}

// AV1-coded files, which go to their own decoder even when they also list the plain image brand.
bool brand_is_avif(const uint8_t* b) { return std::memcmp(b, "avif", 4) == 0 || std::memcmp(b, "avis", 4) == 0; }

struct HeifState {
  heif_context* ctx = nullptr;
  heif_image_handle* handle = nullptr;
  heif_image* image = nullptr;
  heif_decoding_options* options = nullptr;
  ~HeifState() {
    if (image) heif_image_release(image);
    if (handle) heif_image_handle_release(handle);
    if (options) heif_decoding_options_free(options);
    if (ctx) heif_context_free(ctx);
  }
};

// libheif's error in the words the picture store sorts by (app/pictures/picture_store.cpp, left_out_reason).
std::string reason(const heif_error& e) {
  std::string detail = e.message ? e.message : "";
  while (!detail.empty() && std::isspace(static_cast<unsigned char>(detail.back()))) detail.pop_back();
  if (e.subcode == heif_suberror_Security_limit_exceeded) return "too large: " + detail;
  if (e.code == heif_error_Memory_allocation_error) return "out of memory";
  if (e.subcode == heif_suberror_End_of_data) return "truncated";
  if (e.code == heif_error_Unsupported_filetype || e.code == heif_error_Unsupported_feature ||
      e.code == heif_error_Plugin_loading_error ||
      (e.code == heif_error_Decoder_plugin_error && e.subcode == heif_suberror_Unsupported_codec))
    return "unsupported HEIF picture: " + detail;
  return "corrupt HEIF data: " + detail;
}

}  // namespace

bool is_heif_file(const uint8_t* data, size_t size) {
  if (size < 16 || std::memcmp(data + 4, "ftyp", 4) != 0) return false;
  const size_t box = std::min<size_t>(be32(data), size);
  bool heic = brand_is_heic(data + 8);
  for (size_t at = 16; at + 4 <= box; at += 4) {
    if (brand_is_avif(data + at)) return false;
    heic = heic || brand_is_heic(data + at);
  }
  return heic && !brand_is_avif(data + 8);
}

DecodeResult decode_heif(const uint8_t* data, size_t size, const DecodeOptions& opt) {
  return heif::decode_part(data, size, heif::default_settings(), nullptr, opt);
}

DecodeResult decode_heif_preview(const uint8_t* data, size_t size, int min_width, int min_height) {
  const int wanted[2] = {min_width, min_height};
  return heif::decode_part(data, size, heif::default_settings(), wanted);
}

namespace heif {
namespace {

std::atomic<HevcDecoder> default_decoder{DecodeSettings{}.decoder};
std::atomic<int> default_tile_threads{DecodeSettings{}.tile_threads};

int tile_threads(const DecodeSettings& settings) {
  if (settings.tile_threads > 0) return settings.tile_threads;
  const int cores = int(std::clamp<unsigned>(std::thread::hardware_concurrency(), 1, kMaxTileThreads));
  return std::max(1, cores / std::max(1, busy_cores()));
}

// What a tile being decoded holds beside the canvas: its decoder (`decoder` bytes, for a frame of
// `frame` pixels), libheif's copy of the frame, and the RGB planes libheif converts the copy to
// before pasting it.
uint64_t tile_bytes(uint64_t decoder, uint64_t frame, uint64_t sample) { return decoder + frame * sample * 3 * 2; }

// Replaces the primary picture's handle with its largest thumbnail's, when that is a plain HEVC
// picture (not a grid) at least min_w x min_h and of the primary's shape (within 2% either way).
// False with the reason otherwise.
bool take_thumbnail(HeifState& st, const heif::Walk& walk, int min_w, int min_h, std::string& error) {
  const int n = heif_image_handle_get_number_of_thumbnails(st.handle);
  if (n <= 0) {
    error = "no preview";
    return false;
  }
  std::vector<heif_item_id> ids(static_cast<size_t>(std::min(n, 16)));
  heif_image_handle_get_list_of_thumbnail_IDs(st.handle, ids.data(), static_cast<int>(ids.size()));
  const double shape = double(heif_image_handle_get_width(st.handle)) / std::max(1, heif_image_handle_get_height(st.handle));
  heif_image_handle* best = nullptr;
  int best_w = 0;
  for (heif_item_id id : ids) {
    if (!walk.hevc_items.count(id) || walk.canvas_items.count(id)) continue;
    heif_image_handle* t = nullptr;
    if (heif_image_handle_get_thumbnail(st.handle, id, &t).code != heif_error_Ok || !t) continue;
    const int w = heif_image_handle_get_width(t), h = heif_image_handle_get_height(t);
    const double s = double(w) / std::max(1, h);
    if (w >= min_w && h >= min_h && w > best_w && std::abs(s / shape - 1.0) <= 0.02 && image_size_ok(w, h)) {
      if (best) heif_image_handle_release(best);
      best = t, best_w = w;
    } else {
      heif_image_handle_release(t);
    }
  }
  if (!best) {
    error = "no preview large enough";
    return false;
  }
  heif_image_handle_release(st.handle);
  st.handle = best;
  return true;
}

}  // namespace

void set_default_settings(const DecodeSettings& settings) {
  default_decoder = settings.decoder;
  default_tile_threads = settings.tile_threads;
}

DecodeSettings default_settings() { return {default_decoder.load(), default_tile_threads.load()}; }

DecodeResult decode_heif(const uint8_t* data, size_t size, const DecodeSettings& settings, const DecodeOptions& opt) {
  return decode_part(data, size, settings, nullptr, opt);
}

DecodeResult decode_part(const uint8_t* data, size_t size, const DecodeSettings& settings, const int* preview,
                         const DecodeOptions& opt) {
  DecodeResult res;
  if (!is_heif_file(data, size)) {
    res.error = "not a HEIC file";
    return res;
  }
  Walk walk;
  walk.d = data, walk.size = size;
  check_boxes(walk);
  if (!walk.error.empty()) {
    res.error = walk.error;
    return res;
  }
  try {
    HeifState st;
    st.ctx = heif_context_alloc();
    if (!st.ctx) {
      res.error = "out of memory";
      return res;
    }
    const bool avcodec = settings.decoder == HevcDecoder::Libavcodec && use_libavcodec_hevc(st.ctx);
    if (!avcodec && !heif_have_decoder_for_format(heif_compression_HEVC)) {
      res.error = "unsupported HEIF picture: no HEVC decoder";
      return res;
    }
    // libheif refuses a side of this many pixels or more in any image of the file, tiles too.
    heif_context_set_maximum_image_size_limit(st.ctx, kMaxImageSide + 1);
    // A grid's tiles: one at a time on this thread, or a few at once on libheif's threads (each
    // tile decoder reserved for below).
    const int threads = tile_threads(settings);
    heif_context_set_max_decoding_threads(st.ctx, threads > 1 ? threads : 0);
    heif_error e = heif_context_read_from_memory_without_copy(st.ctx, data, size, nullptr);
    if (e.code == heif_error_Ok) e = heif_context_get_primary_image_handle(st.ctx, &st.handle);
    if (e.code != heif_error_Ok) {
      res.error = reason(e);
      return res;
    }
    if (preview && !take_thumbnail(st, walk, preview[0], preview[1], res.error)) return res;
    // The size after rotation, and the coded size before it: both must be within the limits.
    const int w = heif_image_handle_get_width(st.handle), h = heif_image_handle_get_height(st.handle);
    const int iw = heif_image_handle_get_ispe_width(st.handle), ih = heif_image_handle_get_ispe_height(st.handle);
    if (!image_size_ok(w, h) || (iw != 0 && !image_size_ok(iw, ih))) {
      res.error = "too large: " + size_text(std::max(w, iw), std::max(h, ih));
      return res;
    }
    const bool alpha = heif_image_handle_has_alpha_channel(st.handle) != 0;
    const int bits = std::max(heif_image_handle_get_luma_bits_per_pixel(st.handle),
                              heif_image_handle_get_chroma_bits_per_pixel(st.handle));
    // A camera's grid shown smaller than it is: its tiles decoded straight to that size.
    if (!preview && opt.min_width > 0 && opt.min_height > 0 && avcodec && !alpha && bits == 8 && !walk.deep) {
      GridPlan plan;
      if (plan_grid(walk, iw, ih, plan))
        if (auto reduced = decode_grid_reduced(plan, opt, threads, size)) return std::move(*reduced);
    }

    // The peak, reserved before decoding, for the largest of the stated size, the frames the
    // parameter sets ask the decoder for and the canvases grids and overlays ask libheif for. The
    // planes are counted as full-size (4:4:4) at one byte a sample, two past 8 bits. Decoding goes
    // in three steps, each freeing the one before:
    //  1. the decoder decodes into its own frame, with its per-block data, and libheif copies the
    //     frame into its planes. libde265 is counted for the whole picture: its frame and up to 4
    //     bytes a pixel of motion, modes, filter flags and padded borders. libavcodec is counted as
    //     measured (libavcodec_hevc_bytes) for the largest frame. A grid's tiles (an overlay's
    //     layers) go through this beside the canvas, as many at once as there are tile threads,
    //     each with libheif's copy of its frame and the RGB planes the copy becomes before it is
    //     pasted (tile_bytes);
    //  2. libheif converts the planes to interleaved 8-bit RGB(A), past 8 bits through a 16-bit
    //     RGBA picture in between;
    //  3. we copy that into our pixmap.
    // The coded stream libheif gathers from the file is at most the file's size.
    // A thumbnail is a plain picture (take_thumbnail): no canvas of the file's is its.
    const uint64_t canvas = std::max({uint64_t(w) * uint64_t(h), uint64_t(iw) * uint64_t(ih), preview ? 0 : walk.largest_canvas});
    const uint64_t px = std::max(canvas, walk.largest_frame);
    const bool deep = bits > 8 || walk.deep;
    const uint64_t sample = deep ? 2 : 1;
    const uint64_t channels = alpha ? 4 : 3;
    const uint64_t planes = px * sample * channels;
    const uint64_t out = px * (alpha ? 4 : 3);
    const bool derived = !preview && walk.most_tiles > 0;
    const uint64_t at_once = derived ? std::min<uint64_t>(uint64_t(threads), walk.most_tiles) : 1;
    uint64_t step1 = 0;
    if (avcodec) {
      const uint64_t decoder = libavcodec_hevc_bytes(walk.avcodec_frame, walk.largest_coded);
      step1 = derived ? canvas * sample * channels + at_once * tile_bytes(decoder, walk.largest_frame, sample) : planes + decoder;
    } else {
      const uint64_t decoder = walk.largest_frame * (sample * 3 + 4);
      step1 = planes * 2 + px * 4 + (at_once - 1) * tile_bytes(decoder, walk.largest_frame, sample);
    }
    const uint64_t step2 = planes + (deep ? px * 8 : 0) + out;
    const uint64_t step3 = out * 2;
    const uint64_t peak = std::max({step1, step2, step3}) + size + kDecodeWorkBytes;
    BudgetLease lease = decode_budget().acquire(static_cast<size_t>(peak));
    if (!lease) {
      const bool frame = walk.largest_frame > uint64_t(w) * uint64_t(h);
      res.error = frame ? "too large: a coded frame of " + std::to_string(walk.largest_frame) + " pixels"
                        : "too large: " + size_text(w, h);
      return res;
    }

    st.options = heif_decoding_options_alloc();
    if (!st.options) {
      res.error = "out of memory";
      return res;
    }
    st.options->ignore_transformations = 0;  // turn and mirror as the file says
    st.options->convert_hdr_to_8bit = 1;
    st.options->strict_decoding = 1;  // missing tiles or damaged data: refused, not shown half grey
    e = heif_decode_image(st.handle, &st.image, heif_colorspace_RGB,
                          alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, st.options);
    if (e.code != heif_error_Ok) {
      res.error = reason(e);
      return res;
    }
    const int ow = heif_image_get_width(st.image, heif_channel_interleaved);
    const int oh = heif_image_get_height(st.image, heif_channel_interleaved);
    int stride = 0;
    const uint8_t* src = heif_image_get_plane_readonly(st.image, heif_channel_interleaved, &stride);
    PixmapPtr pixmap = image_size_ok(ow, oh) && uint64_t(ow) * oh <= px ? create_pixmap(ow, oh, alpha ? PF_RGBA : PF_RGB) : nullptr;
    if (!src || !pixmap || stride < pixmap->pitch) {
      res.error = "unsupported HEIF picture layout";
      return res;
    }
    // A thumbnail that comes out another size than it states is not trusted to show the photo.
    if (preview && (ow != w || oh != h)) {
      res.error = "a preview of another size than it states";
      return res;
    }
    for (int y = 0; y < oh; ++y) std::memcpy(pixmap->row(y), src + size_t(y) * stride, size_t(pixmap->pitch));
    res.keep(std::move(pixmap), std::move(lease));
  } catch (const std::bad_alloc&) {
    res.error = "out of memory";
  }
  return res;
}

}  // namespace heif
}  // namespace media
