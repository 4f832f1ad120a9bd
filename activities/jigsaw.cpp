// Building a puzzle: reading a cut, cutting the picture into pieces, dealing the pieces per mode,
// the "where" card, group alignment and the completion test.
#include "activities/jigsaw.hpp"

#include <cstdlib>

#include "app/furniture.hpp"
#include "app/shell.hpp"
#include "media/clock.hpp"
#include "media/decode.hpp"
#include "media/draw.hpp"
#include "media/files.hpp"
#include "media/log.hpp"

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

// A mask loaded with the default flags; none with the reason when it cannot be read.
media::ImagePtr load_mask(const std::string& path, std::string& error) {
  std::string bytes;
  if (!media::read_whole_file(path, bytes, error)) return nullptr;
  media::DecodeResult res = media::decode_image(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  error = res.error;
  return res.pixmap ? media::image_from_pixmap(res.pixmap, media::IMG_DEFAULT) : nullptr;
}

bool refuse(int n, const std::string& why) {
  media::log_error("jigsaw", "cut " + std::to_string(n) + " refused: " + why);
  return false;
}

// Reads the piece list and loads every mask of cut n, checking that each mask's rectangle starts
// on the screen. Nothing is drawn, so a refused cut leaves the screen as it was.
bool read_cut(int n, Cut& cut) {
  const app::Shell& s = app::shell();
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
  for (int i = 1; i <= count; ++i) {
    CutPiece& p = cut.pieces[static_cast<size_t>(i - 1)];
    p.x0 = next();
    p.y0 = next();
    std::string path = dir + std::to_string(i) + ".png";
    std::string error;
    p.mask = load_mask(path, error);
    if (!p.mask) return refuse(n, "mask " + path + ": " + error);
    int left = p.x0 - p.mask->width / 2, top = p.y0 - p.mask->height / 2;
    if (left < 0 || top < 0 || left >= s.screen_w || top >= s.screen_h)
      return refuse(n, "mask " + path + " at (" + std::to_string(left) + ", " + std::to_string(top) +
                           ") starts off the screen");
  }
  return true;
}

// Cuts one piece: the whole picture, the mask centred on the home over it, the rectangle read
// back with pure white made transparent. A rectangle reaching past the right or bottom edge is
// cut there; its handle stays where the uncut centre was, so the piece drawn at its home lies
// exactly where it was taken from.
media::ImagePtr cut_piece(const media::ImagePtr& pic, const CutPiece& cp) {
  const app::Shell& s = app::shell();
  int w = cp.mask->width, h = cp.mask->height;
  int hw = w / 2, hh = h / 2;
  media::mid_handle(cp.mask);
  media::draw_image(pic, 0, 0, 0);
  media::draw_image(cp.mask, static_cast<float>(cp.x0), static_cast<float>(cp.y0), 0);
  int left = cp.x0 - hw, top = cp.y0 - hh;
  int gw = left + w > s.screen_w ? s.screen_w - left : w;
  int gh = top + h > s.screen_h ? s.screen_h - top : h;
  media::PixmapPtr p = media::mask_pixmap(media::grab_pixmap(left, top, gw, gh), 255, 255, 255);
  media::ImagePtr img = media::image_from_pixmap(p, media::IMG_DEFAULT);
  media::mid_handle(img);
  if (img && gw < w) img->handle_x = static_cast<float>(hw);
  if (img && gh < h) img->handle_y = static_cast<float>(hh);
  return img;
}

}  // namespace

bool TJigsaw::init(int cut_no, int picture, const std::string& how) {
  const app::Shell& s = app::shell();
  Cut cut;
  if (!read_cut(cut_no, cut)) return false;
  media::set_blend(media::MASK);
  n = cut_no;
  mode = how;
  template_image = media::load_image(s.data_dir + "templates/" + std::to_string(n) + ".png", media::IMG_DEFAULT);
  pieces.clear();
  int count = static_cast<int>(s.pictures.count());
  ind = count > 0 ? ((picture % count) + count) % count : 0;
  pic = count > 0 ? s.pictures.image(static_cast<size_t>(ind)) : nullptr;
  int r = 0, c = 0;
  for (const CutPiece& cp : cut.pieces) {
    auto p = std::make_unique<TPiece>();
    p->r = r;
    p->c = c;
    if (++c == cut.cols) {
      c = 0;
      ++r;
    }
    p->x0 = p->x = cp.x0;
    p->y0 = p->y = cp.y0;
    if (pic) p->img = cut_piece(pic, cp);
    pieces.push_back(std::move(p));
  }
  complete = 0;
  nr = cut.rows;
  nc = cut.cols;
  card = TPiece{};
  showpiece = nullptr;
  carry = nullptr;
  shadow = 5;
  margin = 15;
  media::set_blend(s.default_blend);
  return true;
}

int TJigsaw::setup() {
  const app::Shell& s = app::shell();
  if (mode == "pj") {
    for (auto& p : pieces) {
      p->x = media::rand(0, s.screen_w - media::image_width(p->img) / 2);
      p->y = media::rand(0, s.screen_h - media::image_height(p->img) / 2);
      p->visible = 1;
      p->group = 0;
      p->fixed = 0;
    }
    carry = nullptr;
    next_group = 1;
    hide = 0;
    return 0;
  }
  for (auto& p : pieces) {
    p->x = p->x0;
    p->y = p->y0;
    p->visible = 0;
  }
  if (mode == "where") make_card();
  return 0;
}

int TJigsaw::make_card() {
  const app::Shell& s = app::shell();
  if (!has_picture()) return 0;
  TPiece* chosen = nullptr;
  int count = static_cast<int>(pieces.size());
  // Drawn at random until a hidden one comes up; after many misses the first hidden one is taken,
  // and with none hidden the card stays as it is.
  for (int tries = 0; tries < 10000 && !chosen; ++tries) {
    TPiece* p = pieces[static_cast<size_t>(media::rand(count, 1) - 1)].get();
    if (!p->visible) chosen = p;
  }
  for (size_t i = 0; i < pieces.size() && !chosen; ++i)
    if (!pieces[i]->visible) chosen = pieces[i].get();
  if (!chosen) return 0;

  int w = media::image_width(chosen->img), h = media::image_height(chosen->img);
  card.img = media::create_image(w + 50, h + 50, media::IMG_DEFAULT);
  // The piece's centre in the card; a piece cut at the screen's edge keeps its own handle, so
  // its image still starts 25 pixels in.
  int cx = w / 2 + 25, cy = h / 2 + 25;
  if (chosen->img) {
    cx += static_cast<int>(chosen->img->handle_x) - w / 2;
    cy += static_cast<int>(chosen->img->handle_y) - h / 2;
  }
  media::set_colour(255, 255, 255);
  media::draw_rect(0, 0, static_cast<float>(w + 50), static_cast<float>(h + 50));
  media::set_colour(255, 192, 255);
  media::draw_rect(5, 5, static_cast<float>(w + 40), static_cast<float>(h + 40));
  media::set_colour(0, 0, 0);
  media::set_alpha(0.2f);
  media::set_blend(media::ALPHA);
  media::draw_image(chosen->img, static_cast<float>(cx + shadow), static_cast<float>(cy + shadow), 0);
  media::set_colour(255, 255, 255);
  media::set_alpha(1.0f);
  media::set_blend(s.default_blend);
  media::draw_image(chosen->img, static_cast<float>(cx), static_cast<float>(cy), 0);
  media::grab_image(card.img, 0, 0);

  int card_w = w + 50, card_h = h + 50;
  card.x = chosen->x >= s.screen_w / 2 ? 10 : s.screen_w - card_w - 10;
  card.y = chosen->y <= s.screen_h / 2 ? 10 : s.screen_h - card_h - 10;
  showpiece = chosen;
  return 0;
}

int TJigsaw::align(TPiece& p) {
  if (p.group == 0) return 0;
  for (auto& q : pieces) {
    if (q.get() == &p || q->group != p.group) continue;
    q->x = q->x0 + (p.x - p.x0);
    q->y = q->y0 + (p.y - p.y0);
  }
  return 0;
}

int TJigsaw::completed() {
  if (complete) return 1;
  if (!has_picture()) return 0;
  for (const auto& p : pieces)
    if (mode == "pj" ? !p->fixed : !p->visible) return 0;
  complete = 1;
  app::play_magic();
  return 1;
}

void register_jigsaw() {
  for (auto [key, how] : {std::pair{5, "uncover"}, {6, "where"}, {9, "pj"}}) {
    std::string m = how;
    app::register_activity(key, [m](int cut, int picture) -> app::ActivityPtr {
      auto a = std::make_unique<TJigsaw>();
      if (!a->init(cut, picture, m)) return nullptr;
      return a;
    });
  }
}

}  // namespace activities
