// libheif's HEVC decoding done by libavcodec, which decodes a camera's tiles in about two thirds
// of the time libde265 takes (bench/bench_heic_decoders.cpp). libheif hands each decoder one coded
// image: the NAL units of its decoder configuration, then its data, each after a 4-byte length.
// They are checked before libavcodec sees them:
// - every unit must lie within the data (a unit running past it is a file cut short);
// - every sequence parameter set is held to the pixel limits, as the box walk in heif_boxes.cpp
//   held it before libheif started (the walk read these same units);
// - the picture must be one intra picture (an IRAP picture, which needs no other to decode from):
//   a predicted picture would have libavcodec make up the pictures it refers to, each a frame of
//   its own, which nothing reserved for.
// libavcodec then decodes on the calling thread only (one thread: libheif runs several tiles at
// once itself), with its pixel limit set. Decoding is always strict, as Pipkin asks libheif to be
// (this libheif does not pass that on to a grid's tiles): any fault libavcodec finds in the data,
// or reports, or a picture checksum the stream carries that the decoded picture does not match,
// refuses the tile rather than showing whatever was made of it. (Damage that still reads as valid
// coding, as most flipped bits inside a slice do, is not found by any decoder.) What libavcodec
// would print is dropped.
#include "media/decode/heif_libavcodec.hpp"

#include <libheif/heif.h>
#include <libheif/heif_plugin.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/frame.h>
#include <libavutil/log.h>
#include <libavutil/mem.h>
#include <libavutil/pixdesc.h>
}

#include <algorithm>
#include <cstring>
#include <functional>
#include <new>

#include "media/decode/decode.hpp"
#include "media/decode/hevc_sps.hpp"

namespace media::heif {
namespace {

heif_error ok() { return {heif_error_Ok, heif_suberror_Unspecified, "ok"}; }
// libheif frees the decoder before it copies the message, so messages are literals.
heif_error damaged(const char* why) { return {heif_error_Decoder_plugin_error, heif_suberror_Unspecified, why}; }
heif_error cut_short() { return {heif_error_Decoder_plugin_error, heif_suberror_End_of_data, "cut short"}; }
heif_error no_memory() { return {heif_error_Memory_allocation_error, heif_suberror_Unspecified, "out of memory"}; }
heif_error unsupported(const char* why) {
  return {heif_error_Unsupported_feature, heif_suberror_Unsupported_color_conversion, why};
}

// Whether libavcodec reported an error while the calling thread decodes (it decodes on the
// calling thread only, so its reports come on that thread too).
thread_local bool* t_reported = nullptr;

void on_log(void*, int level, const char*, va_list) {
  if (level <= AV_LOG_ERROR && t_reported) *t_reported = true;
}

struct Decoder {
  AVPacket* packet = nullptr;  // the units, each after its 4-byte length
  AVCodecContext* codec = nullptr;
  AVFrame* frame = nullptr;
  int pictures = 0;
  int slices = 0;
  uint64_t largest_frame = 0;  // pixels of the largest SPS pushed
  ~Decoder() {
    av_frame_free(&frame);
    avcodec_free_context(&codec);
    av_packet_free(&packet);
  }
};

// One unit, checked. IRAP pictures are the NAL types 16 to 21 (broken links, IDR, clean random access).
heif_error check_unit(Decoder& d, const uint8_t* nal, size_t size) {
  if (size < 2) return damaged("an empty NAL unit");
  const int type = (nal[0] >> 1) & 63;
  if (type == 33) {
    HevcFrame f;
    switch (read_hevc_sps(nal, size, f)) {
      case SpsRead::Truncated: return cut_short();
      case SpsRead::Corrupt: return damaged("a bad sequence parameter set");
      case SpsRead::Ok: break;
    }
    if (!image_size_ok(f.width, f.height))
      return {heif_error_Memory_allocation_error, heif_suberror_Security_limit_exceeded, "a coded frame past the limits"};
    d.largest_frame = std::max(d.largest_frame, uint64_t{f.width} * f.height);
  } else if (type < 32) {
    if (type < 16 || type > 21) return damaged("a picture predicted from others");
    if (size < 3) return cut_short();
    if (nal[2] & 0x80) ++d.pictures;  // first_slice_segment_in_pic_flag
    if (d.pictures > 1) return damaged("more than one picture in an image");
    ++d.slices;
  }
  return ok();
}

heif_error push_data(void* decoder, const void* data, size_t size) {
  Decoder& d = *static_cast<Decoder*>(decoder);
  if (size == 0) return ok();
  const auto* in = static_cast<const uint8_t*>(data);
  for (size_t pos = 0; pos < size;) {
    if (size - pos < 4) return cut_short();
    const size_t n = size_t{in[pos]} << 24 | size_t{in[pos + 1]} << 16 | size_t{in[pos + 2]} << 8 | in[pos + 3];
    if (n > size - pos - 4) return cut_short();
    const heif_error e = check_unit(d, in + pos + 4, n);
    if (e.code != heif_error_Ok) return e;
    pos += 4 + n;
  }
  // Kept as they are: libavcodec is told the units come each after a 4-byte length (decode_image),
  // so it splits them exactly where they were checked. (Turned into a stream of start codes, a
  // damaged unit holding the bytes of a start code would become two, the second never checked.)
  if (size > size_t(INT32_MAX) - (d.packet ? size_t(d.packet->size) : 0)) return no_memory();
  const int had = d.packet ? d.packet->size : 0;
  if (!d.packet && !(d.packet = av_packet_alloc())) return no_memory();
  if ((had == 0 ? av_new_packet(d.packet, int(size)) : av_grow_packet(d.packet, int(size))) < 0) return no_memory();
  std::memcpy(d.packet->data + had, in, size);
  return ok();
}

// The colour description the stream gives (libheif prefers the file's own, when it has one). A
// value libheif does not know is left unspecified: the pixels are sound, and libheif's defaults
// convert them.
heif_error set_colour(const AVFrame& f, heif_image* img) {
  heif_color_profile_nclx* nclx = heif_nclx_color_profile_alloc();
  if (!nclx) return no_memory();
  heif_nclx_color_profile_set_color_primaries(nclx, uint16_t(f.color_primaries));
  heif_nclx_color_profile_set_transfer_characteristics(nclx, uint16_t(f.color_trc));
  heif_nclx_color_profile_set_matrix_coefficients(nclx, uint16_t(f.colorspace));
  nclx->full_range_flag = f.color_range == AVCOL_RANGE_JPEG;
  const heif_error e = heif_image_set_nclx_color_profile(img, nclx);
  heif_nclx_color_profile_free(nclx);
  return e;
}

// The frame as libheif's planes: grey, or Y, Cb and Cr (a 4:4:4 stream coded as G, B and R comes
// out of libavcodec as such planes, in that order, and libheif converts it by its matrix).
heif_error to_heif_image(const AVFrame& f, heif_image** out) {
  const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(AVPixelFormat(f.format));
  if (!desc || (desc->flags & (AV_PIX_FMT_FLAG_BE | AV_PIX_FMT_FLAG_ALPHA | AV_PIX_FMT_FLAG_PAL)) ||
      (desc->nb_components != 1 && desc->nb_components != 3) ||
      (desc->nb_components == 3 && !(desc->flags & AV_PIX_FMT_FLAG_PLANAR)))
    return unsupported("a sample layout this program does not read");
  const int depth = desc->comp[0].depth;
  for (int c = 1; c < desc->nb_components; ++c)
    if (desc->comp[c].depth != depth) return unsupported("planes of different depths");
  if (depth < 8 || depth > 12) return unsupported("samples of more than 12 bits");
  const bool grey = desc->nb_components == 1;
  heif_chroma chroma = heif_chroma_monochrome;
  if (!grey) {
    if (desc->log2_chroma_w == 1 && desc->log2_chroma_h == 1) chroma = heif_chroma_420;
    else if (desc->log2_chroma_w == 1 && desc->log2_chroma_h == 0) chroma = heif_chroma_422;
    else if (desc->log2_chroma_w == 0 && desc->log2_chroma_h == 0) chroma = heif_chroma_444;
    else return unsupported("a chroma layout this program does not read");
  }
  if (!image_size_ok(f.width, f.height)) {
    return {heif_error_Memory_allocation_error, heif_suberror_Security_limit_exceeded, "a frame past the limits"};
  }
  heif_image* img = nullptr;
  heif_error e = heif_image_create(f.width, f.height, grey ? heif_colorspace_monochrome : heif_colorspace_YCbCr, chroma, &img);
  if (e.code != heif_error_Ok) return e;
  const heif_channel channels[3] = {heif_channel_Y, heif_channel_Cb, heif_channel_Cr};
  const size_t sample = depth > 8 ? 2 : 1;
  for (int c = 0; c < (grey ? 1 : 3) && e.code == heif_error_Ok; ++c) {
    const int w = c == 0 ? f.width : AV_CEIL_RSHIFT(f.width, int(desc->log2_chroma_w));
    const int h = c == 0 ? f.height : AV_CEIL_RSHIFT(f.height, int(desc->log2_chroma_h));
    e = heif_image_add_plane(img, channels[c], w, h, depth);
    if (e.code != heif_error_Ok) break;
    int stride = 0;
    uint8_t* dst = heif_image_get_plane(img, channels[c], &stride);
    if (!dst || size_t(stride) < size_t(w) * sample || f.linesize[c] < int(size_t(w) * sample)) {
      e = no_memory();
      break;
    }
    for (int y = 0; y < h; ++y)
      std::memcpy(dst + size_t(y) * size_t(stride), f.data[c] + size_t(y) * size_t(f.linesize[c]), size_t(w) * sample);
  }
  if (e.code == heif_error_Ok) e = set_colour(f, img);
  if (e.code != heif_error_Ok) {
    heif_image_release(img);
    return e;
  }
  *out = img;
  return ok();
}

// Clears the thread's report pointer however decoding ends.
struct Reports {
  explicit Reports(bool* flag) { t_reported = flag; }
  ~Reports() { t_reported = nullptr; }
  Reports(const Reports&) = delete;
  Reports& operator=(const Reports&) = delete;
};

// Decodes the units pushed into d.frame, refusing anything libavcodec found or reported amiss.
heif_error decode_frame(Decoder& d) {
  if (!d.packet || d.slices == 0) return damaged("no picture");
  const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_HEVC);
  if (!codec) return {heif_error_Decoder_plugin_error, heif_suberror_Unsupported_codec, "no HEVC decoder"};
  if (!(d.codec = avcodec_alloc_context3(codec)) || !(d.frame = av_frame_alloc())) return no_memory();
  // One thread: libavcodec starts none of its own.
  d.codec->thread_count = 1;
  d.codec->thread_type = 0;
  d.codec->max_pixels = kMaxImagePixels;
  d.codec->err_recognition = AV_EF_CRCCHECK | AV_EF_BITSTREAM | AV_EF_BUFFER | AV_EF_EXPLODE;
  // A decoder configuration of no units of its own whose settings say 4-byte lengths.
  constexpr size_t kConfigBytes = 23;
  if (!(d.codec->extradata = static_cast<uint8_t*>(av_mallocz(kConfigBytes + AV_INPUT_BUFFER_PADDING_SIZE))))
    return no_memory();
  d.codec->extradata_size = int(kConfigBytes);
  d.codec->extradata[0] = 1;     // configuration version
  d.codec->extradata[21] = 0xFF;  // 4-byte lengths; no arrays of units follow
  bool reported = false;
  Reports reports(&reported);
  int r = avcodec_open2(d.codec, codec, nullptr);
  if (r < 0) return r == AVERROR(ENOMEM) ? no_memory() : damaged("the HEVC decoder would not start");
  r = avcodec_send_packet(d.codec, d.packet);
  if (r >= 0) r = avcodec_send_packet(d.codec, nullptr);  // no more: the picture comes out
  if (r >= 0) r = avcodec_receive_frame(d.codec, d.frame);
  if (r == AVERROR(ENOMEM)) return no_memory();
  if (r < 0) return damaged(r == AVERROR_EOF ? "no picture decoded" : "damaged HEVC data");
  if (reported || d.frame->decode_error_flags || (d.frame->flags & AV_FRAME_FLAG_CORRUPT))
    return damaged("damaged HEVC data");
  if (uint64_t(d.frame->width) * uint64_t(d.frame->height) > d.largest_frame) return damaged("a frame larger than its parameters");
  return ok();
}

heif_error decode_image(void* decoder, heif_image** out) {
  Decoder& d = *static_cast<Decoder*>(decoder);
  *out = nullptr;
  const heif_error e = decode_frame(d);
  return e.code == heif_error_Ok ? to_heif_image(*d.frame, out) : e;
}

heif_error new_decoder(void** decoder) {
  *decoder = new (std::nothrow) Decoder;
  return *decoder ? ok() : no_memory();
}

void free_decoder(void* decoder) { delete static_cast<Decoder*>(decoder); }

const char* plugin_name() { return "libavcodec HEVC decoder (Pipkin)"; }

// Above libde265's 100, so that a context it is registered with chooses it. (This libheif reads no
// decoder's name from the decoding options for a grid's tiles: the priority is what chooses.)
int does_support_format(heif_compression_format format) { return format == heif_compression_HEVC ? 200 : 0; }

const heif_decoder_plugin kPlugin = {
    .plugin_api_version = 3,
    .get_plugin_name = plugin_name,
    .init_plugin = nullptr,
    .deinit_plugin = nullptr,
    .does_support_format = does_support_format,
    .new_decoder = new_decoder,
    .free_decoder = free_decoder,
    .push_data = push_data,
    .decode_image = decode_image,
    .set_strict_decoding = nullptr,  // always strict
    .id_name = "pipkin-libavcodec",
};

// Whether libavcodec has an HEVC decoder; the first call routes libavcodec's reports to on_log.
bool have_hevc() {
  static const bool available = [] {
    if (!avcodec_find_decoder(AV_CODEC_ID_HEVC)) return false;
    av_log_set_callback(on_log);
    return true;
  }();
  return available;
}

}  // namespace

bool use_libavcodec_hevc(heif_context* ctx) {
  const bool available = have_hevc();
  // Registered with this context alone: libheif's own decoders stay as they are for any other.
  return available && heif_register_decoder(ctx, &kPlugin).code == heif_error_Ok;
}

uint64_t libavcodec_hevc_bytes(const HevcFrame& frame, uint64_t coded_bytes) {
  // Rows and columns padded to the coding blocks and beyond (libavcodec aligns each plane and adds
  // rows), a sample's bytes, and the chroma planes' share of the luma's in eighths.
  auto padded = [](uint64_t n) { return (n + 63) / 64 * 64 + 64; };
  const uint64_t sample = frame.bit_depth > 8 ? 2 : 1;
  const uint64_t chroma_eighths[4] = {0, 2 * 2, 2 * 4, 2 * 8};  // grey, 4:2:0, 4:2:2, 4:4:4
  const uint64_t pixels = padded(frame.width) * padded(frame.height);
  const uint64_t frame_bytes = pixels * sample * (8 + chroma_eighths[std::min<uint32_t>(frame.chroma_format, 3)]) / 8;
  const uint64_t tables = pixels * 2;
  return frame_bytes + tables + coded_bytes * 2 + (uint64_t{2} << 20);
}

HevcDecode decode_hevc_420(const uint8_t* units, size_t size, const std::function<void(const HevcPlanes&)>& use) {
  if (!have_hevc()) return HevcDecode::Other;
  Decoder d;
  heif_error e = push_data(&d, units, size);
  if (e.code == heif_error_Ok) e = decode_frame(d);
  if (e.code != heif_error_Ok) return HevcDecode::Damaged;
  const AVFrame& f = *d.frame;
  if (f.format != AV_PIX_FMT_YUV420P && f.format != AV_PIX_FMT_YUVJ420P) return HevcDecode::Other;
  HevcPlanes planes;
  for (int c = 0; c < 3; ++c) planes.plane[c] = f.data[c], planes.stride[c] = f.linesize[c];
  planes.width = f.width, planes.height = f.height;
  planes.matrix = int(f.colorspace);
  planes.full_range = f.color_range == AVCOL_RANGE_JPEG;
  use(planes);
  return HevcDecode::Ok;
}

}  // namespace media::heif
