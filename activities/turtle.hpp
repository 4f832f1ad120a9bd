// The turtle drawer of the colouring activity: seven built-in programs turn rings of regular
// polygons about the centre of the 768-pixel square at the right of the screen, in white one-pixel
// lines on dark blue. The drawing is made in the back buffer (saved first and put back after) and
// kept as a pixmap; nothing of it is ever presented.
#pragma once
#include "media/display/display.hpp"
#include "media/display/image.hpp"
#include "media/decode/pixmap.hpp"

namespace activities {

class Turtle {
 public:
  // Draws one line between screen points, end pixel included.
  using LineDrawer = void (*)(int x1, int y1, int x2, int y2);

  static constexpr int kPatterns = 7;  // the drawing programs, numbered from 1
  // The screen point the turtle starts from: the centre of the square at the right.
  static constexpr int kOriginX = media::kScreenW - media::kScreenH / 2;
  static constexpr int kOriginY = media::kScreenH / 2;

  // The line drawer is a seam: tests pass one that records the lines instead of drawing them.
  explicit Turtle(LineDrawer line = draw_white_line);

  // Saves the back buffer, clears it to dark blue and puts the turtle at the origin, heading up
  // with its pen down.
  void start();
  // Keeps the square as the finished drawing and puts the saved back buffer back.
  void finish();
  // Starts afresh and runs drawing program k (1 to kPatterns; any other number leaves the square
  // plain); finish() keeps it.
  void draw_pattern(int k);

  void forward(int steps);
  void back(int steps);
  void right(int degrees);
  void left(int degrees);
  void pen_up();
  void pen_down();
  // A regular polygon of that many sides, ending where it started with a full turn made.
  void polygon(int sides, int side);
  // Copies of a regular polygon turned evenly about the start.
  void ring(int copies, int sides, int side);

  // Right of the origin and above it (screen y grows downwards), in fractions of a pixel.
  float x() const { return x_; }
  float y() const { return y_; }
  // In degrees, 0 up and 90 right; never reduced modulo 360.
  int heading() const { return heading_; }
  bool pen_is_down() const { return pen_down_; }
  // The last finished drawing, screen_h x screen_h; none before the first finish().
  const media::PixmapPtr& drawing() const { return drawing_; }

  static void draw_white_line(int x1, int y1, int x2, int y2);

 private:
  LineDrawer line_;
  float x_ = 0.0f;
  float y_ = 0.0f;
  int heading_ = 0;
  bool pen_down_ = false;
  media::PixmapPtr drawing_;
  media::ImagePtr saved_screen_;  // the back buffer, kept while a drawing is made
};

}  // namespace activities
