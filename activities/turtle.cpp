#include "activities/turtle.hpp"

#include <cmath>

#include "media/display/draw.hpp"
#include "media/display/saved_draw_state.hpp"

namespace activities {

void Turtle::draw_white_line(int x1, int y1, int x2, int y2) {
  // The drawing state between draws is white, opaque, unturned and unscaled: one-pixel white lines.
  media::draw_line(static_cast<float>(x1), static_cast<float>(y1), static_cast<float>(x2),
                   static_cast<float>(y2), true);
}

Turtle::Turtle(LineDrawer line)
    : line_(line), saved_screen_(media::create_image(media::kScreenW, media::kScreenH, media::IMG_DEFAULT)) {}

void Turtle::start() {
  x_ = 0.0f;
  y_ = 0.0f;
  heading_ = 0;
  pen_down_ = true;
  media::grab_image(saved_screen_, 0, 0);
  media::SavedDrawState saved;
  media::set_clear_colour(0, 0, 70);
  media::cls();
}

void Turtle::finish() {
  drawing_ = media::grab_pixmap(media::kScreenW - media::kScreenH, 0, media::kScreenH, media::kScreenH);
  media::draw_image(saved_screen_, 0, 0, 0);
}

void Turtle::forward(int steps) {
  // Positions stay floats; only the line's end points are truncated, towards zero.
  const int from_x = static_cast<int>(x_), from_y = static_cast<int>(y_);
  const double rad = heading_ * M_PI / 180.0;
  x_ = static_cast<float>(static_cast<double>(x_) + steps * std::sin(rad));
  y_ = static_cast<float>(static_cast<double>(y_) + steps * std::cos(rad));
  const int to_x = static_cast<int>(x_), to_y = static_cast<int>(y_);
  if (pen_down_) line_(kOriginX + from_x, kOriginY - from_y, kOriginX + to_x, kOriginY - to_y);
}

void Turtle::back(int steps) { forward(-steps); }

void Turtle::right(int degrees) { heading_ += degrees; }

void Turtle::left(int degrees) { right(-degrees); }

void Turtle::pen_up() { pen_down_ = false; }

void Turtle::pen_down() { pen_down_ = true; }

void Turtle::polygon(int sides, int side) {
  const int turn = 360 / sides;
  for (int i = 0; i < sides; ++i) {
    forward(side);
    right(turn);
  }
}

void Turtle::ring(int copies, int sides, int side) {
  for (int i = 0; i < copies; ++i) {
    polygon(sides, side);
    right(360 / copies);
  }
}

void Turtle::draw_pattern(int k) {
  start();
  switch (k) {
    case 1:  // six triangles with a corner at the centre
      ring(6, 3, 310);
      break;
    case 2:  // a pentagon with a flat lower edge and the star through its corners
      pen_up();
      back(309);
      left(90);
      forward(203);
      right(72);
      pen_down();
      polygon(5, 396);
      right(36);
      for (int i = 0; i < 5; ++i) {
        forward(640);
        right(144);
      }
      break;
    case 3:  // six hexagons
      ring(6, 6, 180);
      break;
    case 4:  // eight octagons
      ring(8, 8, 140);
      break;
    case 5:  // five groups of three nested pentagons
      right(18);
      for (int i = 0; i < 5; ++i) {
        polygon(5, 215);
        polygon(5, 175);
        polygon(5, 135);
        right(72);
      }
      break;
    case 6:  // ten decagons
      ring(10, 10, 110);
      break;
    case 7:  // twelve dodecagons
      ring(12, 12, 90);
      break;
    default:  // a plain square
      break;
  }
}

}  // namespace activities
