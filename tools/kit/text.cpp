#include "tools/kit/text.hpp"

#include <pango/pangocairo.h>

#include <cmath>
#include <cstdio>
#include <memory>

namespace gen {

const fs::path& font_file() {
  static const fs::path p = [] {
    for (const char* c : {"/usr/share/fonts/truetype/andika/Andika-Regular.ttf",
                          "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"})
      if (fs::exists(c)) return fs::path(c);
    return fs::path();
  }();
  return p;
}

const fs::path& font_licence_file() {
  static const fs::path p = [] {
    const fs::path& f = font_file();
    if (f.string().find("andika") != std::string::npos) return fs::path("/usr/share/doc/fonts-sil-andika/copyright");
    return fs::path("/usr/share/doc/fonts-dejavu-core/copyright");
  }();
  return p;
}

void mirror(cairo_t* cr, double width) {
  cairo_translate(cr, width, 0);
  cairo_scale(cr, -1, 1);
}

std::vector<TextProblem>& text_problems() {
  static std::vector<TextProblem> list;
  return list;
}

void name_text_problems(const fs::path& file) {
  for (TextProblem& p : text_problems())
    if (p.picture.empty()) p.picture = (file.parent_path().filename() / file.filename()).string();
}

namespace {

struct LayoutFree {
  void operator()(PangoLayout* l) const { g_object_unref(l); }
};
using Layout = std::unique_ptr<PangoLayout, LayoutFree>;

void note(const std::string& text, const std::string& what) { text_problems().push_back({"", text, what}); }

// A layout of plain text or markup at a pixel size. Hinting is off so that text scales smoothly and
// comes out the same at every size; Andika first, then fontconfig's choice for what it lacks.
Layout make_layout(cairo_t* cr, const std::string& text, double size, bool strong, bool markup) {
  Layout l(pango_cairo_create_layout(cr));
  PangoContext* context = pango_layout_get_context(l.get());
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  pango_cairo_context_set_font_options(context, options);
  cairo_font_options_destroy(options);
  pango_context_set_round_glyph_positions(context, FALSE);
  pango_layout_context_changed(l.get());
  PangoFontDescription* font = pango_font_description_from_string("Andika, DejaVu Sans");
  pango_font_description_set_absolute_size(font, size * PANGO_SCALE);
  pango_font_description_set_weight(font, strong ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
  pango_layout_set_font_description(l.get(), font);
  pango_font_description_free(font);
  if (markup)
    pango_layout_set_markup(l.get(), text.c_str(), -1);
  else
    pango_layout_set_text(l.get(), text.c_str(), -1);
  return l;
}

double baseline(PangoLayout* l) { return pango_layout_get_baseline(l) / double(PANGO_SCALE); }

PangoRectangle logical(PangoLayout* l) {
  PangoRectangle r;
  pango_layout_get_extents(l, nullptr, &r);
  return r;
}

// Draws a layout with its top left at (x, y) and notes what it lacks: glyphs no font has, and ink
// past the picture's edges.
void draw_layout(cairo_t* cr, PangoLayout* l, double x, double y, const std::string& text) {
  // On a mirrored page (a right-to-left language) the text's box is mirrored with the page, but
  // the text in it keeps its own direction: it is drawn turned back about the box's middle.
  cairo_matrix_t m;
  cairo_get_matrix(cr, &m);
  const bool mirrored = m.xx < 0;
  cairo_save(cr);
  if (mirrored) {
    const PangoRectangle r = logical(l);
    const double middle = pango_layout_get_width(l) > 0 ? x + pango_layout_get_width(l) / 2.0 / PANGO_SCALE
                                                        : x + (r.x + r.width / 2.0) / PANGO_SCALE;
    cairo_translate(cr, middle, 0);
    cairo_scale(cr, -1, 1);
    cairo_translate(cr, -middle, 0);
  }
  cairo_move_to(cr, x, y);
  pango_cairo_show_layout(cr, l);
  cairo_new_path(cr);  // no current point left for the next shape to join
  cairo_restore(cr);
  if (const int missing = pango_layout_get_unknown_glyphs_count(l))
    note(text, "has " + std::to_string(missing) + " missing glyphs");
  PangoRectangle ink;
  pango_layout_get_pixel_extents(l, &ink, nullptr);
  double x0 = x + ink.x, y0 = y + ink.y, x1 = x0 + ink.width, y1 = y0 + ink.height;
  cairo_user_to_device(cr, &x0, &y0);
  cairo_user_to_device(cr, &x1, &y1);
  cairo_surface_t* target = cairo_get_target(cr);
  const int w = cairo_image_surface_get_width(target), h = cairo_image_surface_get_height(target);
  if (ink.width > 0 && (std::fmin(x0, x1) < 0 || std::fmin(y0, y1) < 0 || std::fmax(x0, x1) > w || std::fmax(y0, y1) > h))
    note(text, "is clipped at the picture's edge");
}

std::string escaped(const std::string& text) {
  char* e = g_markup_escape_text(text.c_str(), -1);
  std::string s(e);
  g_free(e);
  return s;
}

// Pango markup for a paragraph whose *starred* words are emphasised in the given colour.
std::string starred_markup(const std::string& text, Col strong) {
  char colour[8];
  std::snprintf(colour, sizeof colour, "#%02x%02x%02x", int(std::lround(strong.r * 255)),
                int(std::lround(strong.g * 255)), int(std::lround(strong.b * 255)));
  std::string out, run;
  bool on = false;
  for (char c : text) {
    if (c != '*') {
      run += c;
      continue;
    }
    out += on ? escaped(run) + "</span>" : escaped(run) + "<span weight=\"bold\" foreground=\"" + colour + "\">";
    run.clear();
    on = !on;
  }
  return out + escaped(run) + (on ? "</span>" : "");
}

}  // namespace

bool right_to_left(cairo_t* cr, const std::string& text) {
  return !text.empty() && pango_layout_get_direction(make_layout(cr, text, 12, false, false).get(), 0) == PANGO_DIRECTION_RTL;
}

void show(cairo_t* cr, double x, double y, const std::string& text, double size, bool strong) {
  Layout l = make_layout(cr, text, size, strong, false);
  draw_layout(cr, l.get(), x, y - baseline(l.get()), text);
}

void show_centred(cairo_t* cr, double x, double y, const std::string& text, double size) {
  Layout l = make_layout(cr, text, size, true, false);
  PangoRectangle ink;
  pango_layout_get_extents(l.get(), &ink, nullptr);
  const double s = PANGO_SCALE;
  draw_layout(cr, l.get(), x - ink.x / s - ink.width / s / 2, y - ink.y / s - ink.height / s / 2, text);
}

double advance(cairo_t* cr, const std::string& text, double size, bool strong) {
  return logical(make_layout(cr, text, size, strong, false).get()).width / double(PANGO_SCALE);
}

double fitting_size(cairo_t* cr, const std::string& text, double size, bool strong, double width) {
  const double w = advance(cr, text, size, strong);
  return w <= width ? size : std::fmax(size * kMinTextScale, size * width / w);
}

double show_fitted(cairo_t* cr, double x, double y, const std::string& text, double size, bool strong,
                   double width, bool centred) {
  const double fitted = fitting_size(cr, text, size, strong, width);
  const double w = advance(cr, text, fitted, strong);
  if (w > width + 0.5) note(text, "overflows its box by " + std::to_string(int(std::ceil(w - width))) + " px");
  show(cr, centred ? x - w / 2 : x, y, text, fitted, strong);
  return fitted;
}

void show_wrapped(cairo_t* cr, const Box& box, const std::string& text, double size, bool strong) {
  auto lay_out = [&](double at) {
    Layout l = make_layout(cr, text, at, strong, false);
    pango_layout_set_width(l.get(), static_cast<int>(box.w * PANGO_SCALE));
    pango_layout_set_wrap(l.get(), PANGO_WRAP_WORD_CHAR);
    return l;
  };
  auto height = [](PangoLayout* l) { return logical(l).height / double(PANGO_SCALE); };
  double at = size;
  Layout l = lay_out(at);
  while (at > size * kMinTextScale && height(l.get()) > box.h) {
    at = std::fmax(size * kMinTextScale, at - size * 0.03);
    l = lay_out(at);
  }
  if (height(l.get()) > box.h + 0.5)
    note(text, "overflows its box by " + std::to_string(int(std::ceil(height(l.get()) - box.h))) + " px");
  draw_layout(cr, l.get(), box.x, box.y, text);
}

void text_path(cairo_t* cr, const std::string& text, double size) {
  Layout l = make_layout(cr, text, size, false, false);
  double x, y;
  cairo_get_current_point(cr, &x, &y);
  cairo_move_to(cr, x, y - baseline(l.get()));
  pango_cairo_layout_path(cr, l.get());
}

struct Lettering::Shaped {
  Layout layout;
  struct Glyph {
    PangoFont* font;
    PangoGlyphInfo info;
  };
  std::vector<Glyph> glyphs;
};

Lettering::Lettering(cairo_t* cr, const std::string& text, double size)
    : shaped_(new Shaped{make_layout(cr, text, size, false, false), {}}) {
  PangoLayout* l = shaped_->layout.get();
  if (const int missing = pango_layout_get_unknown_glyphs_count(l))
    note(text, "has " + std::to_string(missing) + " missing glyphs");
  PangoLayoutLine* line = pango_layout_get_line_readonly(l, 0);
  double x = 0;
  for (GSList* r = line ? line->runs : nullptr; r; r = r->next) {
    const PangoGlyphItem* run = static_cast<PangoGlyphItem*>(r->data);
    for (int i = 0; i < run->glyphs->num_glyphs; ++i) {
      const PangoGlyphInfo& g = run->glyphs->glyphs[i];
      const double w = g.geometry.width / double(PANGO_SCALE);
      const char c = text[static_cast<size_t>(run->item->offset + run->glyphs->log_clusters[i])];
      letters_.push_back({x, w, c == ' ', static_cast<int>(shaped_->glyphs.size())});
      shaped_->glyphs.push_back({run->item->analysis.font, g});
      x += w;
    }
  }
  width_ = x;
}

Lettering::~Lettering() = default;

void Lettering::path(cairo_t* cr, size_t i) const {
  const Shaped::Glyph& g = shaped_->glyphs[static_cast<size_t>(letters_[i].glyph_index)];
  PangoGlyphInfo info = g.info;
  int cluster = 0;
  PangoGlyphString one{};
  one.num_glyphs = 1;
  one.glyphs = &info;
  one.log_clusters = &cluster;
  cairo_move_to(cr, 0, 0);
  pango_cairo_glyph_string_path(cr, g.font, &one);
}

void Column::heading(const std::string& text, double size) { items_.push_back({Kind::Heading, text, size, kInk, 0}); }

void Column::paragraph(const std::string& text, double size, Col colour) {
  items_.push_back({Kind::Paragraph, text, size, colour, 0});
}

double Column::lay_out(double scale, bool draw) {
  double y = box_.y, over = 0;
  const Col strong = mix(accent_, kInk, 0.45);
  for (const Item& item : items_) {
    if (item.kind == Kind::Gap) {
      y += item.size * scale;
      continue;
    }
    if (item.kind == Kind::Skip) {
      over = std::fmax(over, y - item.size);
      y = item.resume;
      continue;
    }
    const bool heading = item.kind == Kind::Heading;
    const double size = item.size * scale;
    Layout l = make_layout(cr_, heading ? item.text : starred_markup(item.text, strong), size, heading, !heading);
    pango_layout_set_width(l.get(), static_cast<int>(box_.w * PANGO_SCALE));
    pango_layout_set_wrap(l.get(), PANGO_WRAP_WORD_CHAR);
    // A paragraph's lines 1.38 of its size apart (a heading's as the font has them), the first
    // baseline a size below the top.
    const double pitch = size * 1.38;
    PangoLayoutIter* it = pango_layout_get_iter(l.get());
    const double first = pango_layout_iter_get_baseline(it) / double(PANGO_SCALE);
    pango_layout_iter_free(it);
    const double natural = logical(l.get()).height / double(PANGO_SCALE) / pango_layout_get_line_count(l.get());
    if (!heading) pango_layout_set_spacing(l.get(), static_cast<int>((pitch - natural) * PANGO_SCALE));
    const double top = y + size - first;
    if (draw) {
      set(cr_, heading ? strong : item.colour);
      draw_layout(cr_, l.get(), box_.x, top, item.text);
    }
    const int lines = pango_layout_get_line_count(l.get());
    const double last_baseline = y + size + (lines - 1) * (heading ? natural : pitch);
    y = heading ? last_baseline + size * 0.45 : last_baseline + pitch - size * 0.5;
  }
  return std::fmax(over, y - (box_.y + box_.h));
}

void Column::draw() {
  double scale = 1;
  while (scale > kMinTextScale && lay_out(scale, false) > 0) scale = std::fmax(kMinTextScale, scale - 0.03);
  const double over = lay_out(scale, true);
  if (over > 0) {
    const std::string first = items_.empty() ? "" : items_.front().text;
    note(first, "column overflows its box by " + std::to_string(int(std::ceil(over))) + " px");
  }
}

}  // namespace gen
