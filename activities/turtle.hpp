// The turtle drawer of the colouring activity: seven built-in programs turn rings of regular
// polygons about the centre of the 768-pixel square at the right of the screen, in white one-pixel
// lines on dark blue. The drawing is made in the back buffer (saved first and put back after) and
// kept as a pixmap; nothing of it is ever presented.
#pragma once
#include "media/image.hpp"
#include "media/pixmap.hpp"

namespace activities {

class TTurtle {
 public:
  float x = 0.0f;   // right of the origin
  float y = 0.0f;   // above the origin (screen y = y0 - y)
  int h = 0;        // heading in degrees, 0 up, 90 right; never reduced modulo 360
  bool pendown = false;  // fd draws
  int x0 = 0, y0 = 0;         // screen position of the origin
  media::PixmapPtr screen;    // the last finished drawing, screen_h x screen_h
  media::ImagePtr buffer;     // the back buffer, saved while a drawing is made
  int patterns = 0;           // number of pattern programs

  // Draws one line between screen points, end pixel included. A seam: tests record the lines.
  void (*line)(int x1, int y1, int x2, int y2) = draw_white_line;

  void init();
  void start();
  void finish();
  void fd(int n);
  void bk(int n);
  void rt(int a);
  void lt(int a);
  void pu();
  void pd();
  void poly(int n, int side);
  // Copies of a regular polygon turned evenly about the start.
  void ring(int copies, int sides, int side);
  void pattern(int k);

  static void draw_white_line(int x1, int y1, int x2, int y2);
};

}  // namespace activities
