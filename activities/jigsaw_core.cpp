// Building a puzzle (reading a cut, cutting the picture into pieces), the background, the end of
// a puzzle and dealing new games: what the three jigsaw activities share.
#include "activities/jigsaw_core.hpp"

#include <algorithm>
#include <cstdlib>
#include <future>
#include <vector>

#include "activities/still_frame.hpp"
#include "app/start/assets.hpp"
#include "app/shell/effects.hpp"
#include "app/shell/furniture.hpp"
#include "media/input/clock.hpp"
#include "media/decode/decode.hpp"
#include "media/display/draw.hpp"
#include "media/display/saved_draw_state.hpp"
#include "media/files/files.hpp"
#include "media/files/log.hpp"

namespace activities {
namespace {

constexpr int kMaxSide = 12;  // rows and columns of a cut

// One piece as the cut's files describe it.
struct CutPiece {
  int x0 = 0, y0 = 0;
  media::ImagePtr mask;
};

struct Cut {
  int rows = 0, cols = 0;
  std::vector<CutPiece> pieces;
};

// Work handed to another thread, or done on this one when the future is asked for it if no thread
// can be started.
constexpr std::launch kThreadIfAny = std::launch::async | std::launch::deferred;

// A picture file's pixels; none with the reason when it cannot be read. Runs on any thread.
media::PixmapPtr read_pixels(const std::string& path, std::string& error) {
  std::string bytes;
  if (!media::read_whole_file(path, bytes, error)) return nullptr;
  media::DecodeResult res = media::decode_image(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  error = res.error;
  return res.pixmap;
}

bool refuse(int n, const std::string& why) {
  media::log_error("jigsaw", "cut " + std::to_string(n) + " refused: " + why);
  return false;
}

// Reads the piece list and loads every mask of cut n, checking that each mask's rectangle starts
// on the screen. Nothing is drawn, so a refused cut leaves the screen as it was.
bool read_cut(const app::Assets& s, int n, Cut& cut) {
  std::string dir = s.data_dir + "pieces/" + std::to_string(n) + "/";
  media::StreamPtr list = media::read_file(dir + "pieces.txt");
  if (!list) return refuse(n, "cannot read " + dir + "pieces.txt");
  auto next = [&list] { return media::parse_whole_number(media::read_line(*list)); };
  cut.rows = next();
  cut.cols = next();
  next();  // two values the program does not use
  next();
  if (cut.rows < 1 || cut.rows > kMaxSide || cut.cols < 1 || cut.cols > kMaxSide)
    return refuse(n, "rows and columns " + std::to_string(cut.rows) + "x" + std::to_string(cut.cols) +
                         " are not within 1..12");
  int count = cut.rows * cut.cols;
  cut.pieces.resize(static_cast<size_t>(count));
  std::vector<std::string> paths, errors(static_cast<size_t>(count));
  for (int i = 1; i <= count; ++i) {
    CutPiece& p = cut.pieces[static_cast<size_t>(i - 1)];
    p.x0 = next();
    p.y0 = next();
    paths.push_back(dir + std::to_string(i) + ".png");
  }
  // The masks are decoded on two threads: decoding is most of the time it takes to read a cut. (With
  // no thread to be had, the second half is decoded here too, when the future is asked for it.)
  std::vector<media::PixmapPtr> masks(static_cast<size_t>(count));
  auto decode_from = [&](size_t first) {
    for (size_t i = first; i < masks.size(); i += 2) masks[i] = read_pixels(paths[i], errors[i]);
  };
  {
    std::future<void> odd = std::async(kThreadIfAny, decode_from, 1);
    decode_from(0);
    odd.get();
  }
  for (size_t i = 0; i < masks.size(); ++i) {
    CutPiece& p = cut.pieces[i];
    if (masks[i]) p.mask = media::image_from_pixmap(masks[i], media::IMG_DEFAULT);
    if (!p.mask) return refuse(n, "mask " + paths[i] + ": " + errors[i]);
    int left = p.x0 - p.mask->width / 2, top = p.y0 - p.mask->height / 2;
    if (left < 0 || top < 0 || left >= s.screen_w || top >= s.screen_h)
      return refuse(n, "mask " + paths[i] + " at (" + std::to_string(left) + ", " + std::to_string(top) +
                           ") starts off the screen");
  }
  return true;
}

// Where one piece is cut from: the mask's rectangle centred on the home, cut at the right and bottom
// edges of the screen.
struct PieceRect {
  int left = 0, top = 0, w = 0, h = 0;  // w and h are the uncut mask's
  int gw = 0, gh = 0;                   // what lies on the screen
};

PieceRect piece_rect(const app::Assets& s, const CutPiece& cp) {
  PieceRect r;
  r.w = cp.mask->width;
  r.h = cp.mask->height;
  r.left = cp.x0 - r.w / 2;
  r.top = cp.y0 - r.h / 2;
  r.gw = r.left + r.w > s.screen_w ? s.screen_w - r.left : r.w;
  r.gh = r.top + r.h > s.screen_h ? s.screen_h - r.top : r.h;
  return r;
}

// The rectangle (x, y, w, h) of a pixmap as a pixmap of its own.
media::PixmapPtr crop(const media::Pixmap& from, int x, int y, int w, int h) {
  media::PixmapPtr p = media::create_pixmap(w, h, media::PF_RGBA);
  if (!p) return nullptr;
  for (int row = 0; row < h; ++row) {
    const uint8_t* src = from.row(y + row) + static_cast<size_t>(x) * 4;
    std::copy(src, src + static_cast<size_t>(w) * 4, p->row(row));
  }
  return p;
}

// A cut piece from its read-back pixels, with pure white made transparent. A rectangle reaching past
// the right or bottom edge was cut there; its handle stays where the uncut centre was, so the piece
// drawn at its home lies exactly where it was taken from.
media::ImagePtr finish_piece(const media::Pixmap& pixels, const PieceRect& r) {
  media::ImagePtr img = media::image_from_pixmap(media::mask_pixmap(pixels, 255, 255, 255), media::IMG_DEFAULT);
  media::mid_handle(img);
  if (img && r.gw < r.w) img->handle_x = static_cast<float>(r.w / 2);
  if (img && r.gh < r.h) img->handle_y = static_cast<float>(r.h / 2);
  return img;
}

// The piece's shape as its mask gives it, on the same pixels as its image (cut at the screen's edge
// alike) and with the same handle: opaque wherever the mask does not cut the picture away (pure
// white where the mask is drawn, which is where its alpha is one half or more).
media::ImagePtr piece_shape(const CutPiece& cp, const PieceRect& r, const media::ImagePtr& img) {
  if (!img || !cp.mask || !cp.mask->source || cp.mask->source->format != media::PF_RGBA) return nullptr;
  const media::Pixmap& mask = *cp.mask->source;
  media::PixmapPtr p = media::create_pixmap(r.gw, r.gh, media::PF_RGBA);
  if (!p) return nullptr;
  for (int v = 0; v < r.gh && v < mask.height; ++v) {
    const uint8_t* m = mask.row(v);
    uint8_t* out = p->row(v);
    for (int u = 0; u < r.gw && u < mask.width; ++u, m += 4, out += 4) {
      const bool cut_away = m[3] >= 128 && m[0] == 255 && m[1] == 255 && m[2] == 255;
      if (!cut_away) out[0] = out[1] = out[2] = out[3] = 255;
    }
  }
  p->changed();
  media::ImagePtr shape = media::image_for_hits(std::move(p));
  if (shape) {
    shape->handle_x = img->handle_x;
    shape->handle_y = img->handle_y;
  }
  return shape;
}

// Cuts every piece: the picture with the mask centred on the home over it, each drawn clipped to its
// rectangle. The rectangles are laid side by side on the screen, as many as fit, and read back with
// one grab: each read-back waits until the drawing is done, so one per piece would cost most of the
// build. Moving a rectangle by whole pixels draws the same pixels there.
std::vector<media::ImagePtr> cut_pieces(const app::Assets& s, const media::ImagePtr& pic, const Cut& cut) {
  std::vector<media::ImagePtr> out(cut.pieces.size());
  struct Placed {
    size_t index;
    PieceRect r;
    int x, y;  // where it is drawn for the read-back
  };
  std::vector<Placed> batch;
  int shelf_x = 0, shelf_y = 0, shelf_h = 0, used_h = 0;
  auto read_back = [&] {
    if (batch.empty()) return;
    media::PixmapPtr screen = media::grab_pixmap(0, 0, s.screen_w, used_h);
    for (const Placed& p : batch)
      if (screen)
        if (media::PixmapPtr pixels = crop(*screen, p.x, p.y, p.r.gw, p.r.gh)) out[p.index] = finish_piece(*pixels, p.r);
    batch.clear();
    shelf_x = shelf_y = shelf_h = used_h = 0;
  };
  for (size_t i = 0; i < cut.pieces.size(); ++i) {
    const CutPiece& cp = cut.pieces[i];
    const PieceRect r = piece_rect(s, cp);
    if (shelf_x + r.gw > s.screen_w) {  // the next shelf
      shelf_x = 0;
      shelf_y += shelf_h;
      shelf_h = 0;
    }
    if (shelf_y + r.gh > s.screen_h) read_back();  // the screen is full
    const Placed p{i, r, shelf_x, shelf_y};
    {
      media::ScopedClip clip(p.x, p.y, r.gw, r.gh);
      const int dx = p.x - r.left, dy = p.y - r.top;
      media::mid_handle(cp.mask);
      media::draw_image(pic, static_cast<float>(dx), static_cast<float>(dy), 0);
      media::draw_image(cp.mask, static_cast<float>(cp.x0 + dx), static_cast<float>(cp.y0 + dy), 0);
    }
    batch.push_back(p);
    shelf_x += r.gw;
    shelf_h = std::max(shelf_h, r.gh);
    used_h = std::max(used_h, shelf_y + r.gh);
  }
  read_back();
  return out;
}

}  // namespace

std::optional<PuzzleParts> read_parts(const app::Assets& s, int cut_no, int picture_no, bool whole_shapes) {
  // The outlines are decoded meanwhile on a thread of their own; only making them an image needs
  // this one.
  const std::string outlines_path = s.data_dir + "templates/" + std::to_string(cut_no) + ".png";
  std::string outlines_error;
  std::future<media::PixmapPtr> outlines = std::async(
      kThreadIfAny, [&outlines_path, &outlines_error] { return read_pixels(outlines_path, outlines_error); });
  Cut cut;
  if (!read_cut(s, cut_no, cut)) return std::nullopt;
  PuzzleParts parts;
  parts.cut = cut_no;
  parts.rows = cut.rows;
  parts.cols = cut.cols;
  int count = static_cast<int>(s.picture_count());
  parts.picture_index = count > 0 ? ((picture_no % count) + count) % count : 0;
  parts.picture = count > 0 ? s.picture(static_cast<size_t>(parts.picture_index)) : nullptr;
  std::vector<media::ImagePtr> images;
  if (parts.picture) {
    media::SavedDrawState saved;
    media::set_blend(media::Blend::Mask);
    images = cut_pieces(s, parts.picture, cut);
  }
  int r = 0, c = 0;
  for (size_t i = 0; i < cut.pieces.size(); ++i) {
    const CutPiece& cp = cut.pieces[i];
    auto p = std::make_unique<Piece>();
    p->row = r;
    p->col = c;
    if (++c == cut.cols) {
      c = 0;
      ++r;
    }
    p->x0 = p->x = cp.x0;
    p->y0 = p->y = cp.y0;
    if (parts.picture) p->picture = images[i];
    if (whole_shapes) p->shape = piece_shape(cp, piece_rect(s, cp), p->picture);
    parts.pieces.push_back(std::move(p));
  }
  media::PixmapPtr outline_pixels = outlines.get();
  if (!outline_pixels) media::log_error("image", outlines_path + ": " + outlines_error);
  if (outline_pixels) parts.outlines = media::image_from_pixmap(outline_pixels, media::IMG_DEFAULT);
  return parts;
}

app::ActivityPtr first_cut_that_builds(int cut, int avoid_cut, const std::function<app::ActivityPtr(int)>& make) {
  if (app::ActivityPtr a = make(cut)) return a;
  std::vector<int> others;
  for (int c = 1; c <= Puzzle::kCuts; ++c)
    if (c != cut && c != avoid_cut) others.push_back(c);
  for (int c : app::shuffle_list(others))
    if (app::ActivityPtr a = make(c)) return a;
  return nullptr;
}

int random_picture(const app::Assets& a) {
  int count = static_cast<int>(a.picture_count());
  return count > 0 ? media::rand(1, count) - 1 : 0;
}

Puzzle::Puzzle(const app::Context& context, const PuzzleKind& kind, PuzzleParts parts)
    : pieces_(std::move(parts.pieces)),
      context_(context),
      kind_(kind),
      cut_number_(parts.cut),
      picture_index_(parts.picture_index),
      rows_(parts.rows),
      cols_(parts.cols),
      picture_(std::move(parts.picture)),
      outlines_(std::move(parts.outlines)) {}

Piece* Puzzle::piece_at(int row, int col) const {
  for (const auto& p : pieces_)
    if (p->row == row && p->col == col) return p.get();
  return nullptr;
}

bool Puzzle::all_done() const {
  if (!has_picture()) return false;
  for (const auto& p : pieces_)
    if (!piece_done(*p)) return false;
  return true;
}

bool Puzzle::check_complete() {
  if (completed_) return true;
  if (!all_done()) return false;
  completed_ = true;
  effects().play(app::Effect::Magic);
  return true;
}

app::Outcome Puzzle::click(const app::PointerInput& at) {
  if (at.button == media::Button::Right) return right_click();
  if (!has_picture()) return app::Outcome::Nothing;
  if (check_complete())
    return app::corner_button_hit(assets(), at.x, at.y) ? app::Outcome::Restart : app::Outcome::Nothing;
  click_at(at.x, at.y);
  return check_complete() ? app::Outcome::Finished : app::Outcome::Nothing;
}

app::Outcome Puzzle::release(const app::PointerInput& at) {
  if (!has_picture() || completed_ || !release_at(at.x, at.y)) return app::Outcome::Nothing;
  return check_complete() ? app::Outcome::Finished : app::Outcome::Redraw;
}

void Puzzle::draw_table() const {
  {
    media::SavedDrawState saved;
    media::set_clear_colour(kind_.table.red, kind_.table.green, kind_.table.blue);
    media::cls();
  }
  if (kind_.outlines) media::draw_image(outlines_, 0, 0, 0);
}

void Puzzle::draw() const {
  if (completed_) {
    media::draw_image(picture_, 0, 0, 0);
    app::draw_corner_button(assets());
    return;
  }
  if (!has_picture()) {
    draw_table();
    return;
  }
  // Redrawn for every pointer move: the table is kept and copied back while nothing on it changed.
  media::FrameCache::Key key = frame_key();
  if (kept_table_.put_back(key)) return;
  draw_table();
  draw_pieces();
  kept_table_.keep(std::move(key));
}

media::FrameCache::Key Puzzle::frame_key() const {
  media::FrameCache::Key key;
  for (const auto& p : pieces_)
    if (p->visible) key.push_back(key_of(p.get()));
  return key;
}

void Puzzle::hide_all_at_home() {
  for (auto& p : pieces_) {
    p->x = p->x0;
    p->y = p->y0;
    p->visible = false;
  }
}

void Puzzle::draw_revealed() const {
  for (const auto& p : pieces_)
    if (p->visible) media::draw_image(p->picture, static_cast<float>(p->x0), static_cast<float>(p->y0), 0);
}

app::ActivityPtr Puzzle::new_game() {
  const app::Assets& a = assets();
  // Drawn again and again, cut first, until both differ; the bound only guards a broken generator.
  bool need_new_picture = a.picture_count() >= 2;
  int cut = 0, picture = 0;
  for (int tries = 0; tries < 1000; ++tries) {
    cut = media::rand(1, kCuts);
    picture = random_picture(a);
    if (cut != cut_number_ && (!need_new_picture || picture != picture_index_)) break;
  }
  context_.requests.show_thinking();
  return kind_.deal(context_, cut, picture, cut_number_);
}

}  // namespace activities
