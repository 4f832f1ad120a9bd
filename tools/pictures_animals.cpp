// Pets and toys: a cat at home, a puppy in the autumn park, a teddy bear on the bed.
#include <cmath>

#include "tools/picture_kit.hpp"

namespace pk::pics {

namespace {
}  // namespace

void cat(cairo_t* cr, gen::Rng&) {
  // Lilac wall with a pattern of little hearts, bunting along the top.
  vgrad_rect(cr, 0, 0, kWidth, 520, hex(0xd8c2f6), hex(0xbfa3ee));
  for (int row = 0; row < 8; ++row)
    for (int col = 0; col < 12; ++col) {
      double x = col * 92 + (row % 2) * 46 + 20, y = 100 + row * 62;
      cairo_new_path(cr);
      heart_path(cr, x, y, 20);
      fill(cr, hex(0xf1e6ff), 0.75);
    }
  const Col flags[] = {hex(0xff6b81), hex(0xffc93c), hex(0x5ac8fa), hex(0x7ed957), hex(0xff9f43)};
  bunting(cr, 14, 46, flags, 5);

  // Window on the left: sky, a cloud and pink curtains.
  cairo_new_path(cr);
  rounded(cr, 52, 140, 236, 250, 18);
  paint(cr, hex(0xfff4e6), 5);
  vgrad_rect(cr, 72, 160, 196, 210, hex(0x69c3f7), hex(0xc6ecff));
  cloud(cr, 150, 240, 80);
  sun(cr, 236, 198, 26, false);
  cairo_new_path(cr);
  cairo_rectangle(cr, 166, 160, 8, 210);
  cairo_rectangle(cr, 72, 262, 196, 8);
  fill(cr, hex(0xfff4e6));
  for (int side = 0; side < 2; ++side) {
    double x = side ? 268 : 72, dir = side ? -1 : 1;
    cairo_new_path(cr);
    cairo_move_to(cr, x - dir * 22, 130);
    cairo_line_to(cr, x + dir * 52, 130);
    cairo_curve_to(cr, x + dir * 30, 250, x + dir * 10, 330, x + dir * 40, 404);
    cairo_line_to(cr, x - dir * 22, 404);
    cairo_close_path(cr);
    paint(cr, hex(0xff8fb1), 4);
  }
  cairo_new_path(cr);
  rounded(cr, 30, 120, 280, 16, 8);
  paint(cr, hex(0xb07ad6), 3);

  // A fish picture on the right wall.
  cairo_new_path(cr);
  rounded(cr, 760, 150, 200, 160, 14);
  paint(cr, hex(0xffb347), 5);
  vgrad_rect(cr, 778, 168, 164, 124, hex(0x9ee7ff), hex(0x4db5e8));
  at(cr, 860, 232, 1, 0, [&] {
    cairo_new_path(cr);
    poly(cr, {30, 0, 62, -26, 62, 26});
    paint(cr, hex(0xff7f50), 3);
    oval(cr, 0, 0, 44, 28);
    paint_ball(cr, hex(0xffa25f), 3);
    eye(cr, -22, -6, 7);
  });
  bubble(cr, 800, 200, 8);
  bubble(cr, 812, 178, 5);

  // Wooden floor, skirting board and a round rug.
  vgrad_rect(cr, 0, 500, kWidth, 268, hex(0xe8b57a), hex(0xc98a4f));
  for (int i = 0; i < 6; ++i) {
    double y = 540 + i * 46;
    cairo_new_path(cr);
    cairo_move_to(cr, 0, y);
    cairo_line_to(cr, kWidth, y);
    stroke(cr, hex(0xb27740), 3);
    for (double x = (i % 2) * 130 + 60; x < kWidth; x += 260) {
      cairo_new_path(cr);
      cairo_move_to(cr, x, y - 46);
      cairo_line_to(cr, x, y);
      stroke(cr, hex(0xb27740), 3);
    }
  }
  cairo_new_path(cr);
  rounded(cr, -10, 488, kWidth + 20, 28, 6);
  paint(cr, hex(0xfff1e0), 3);
  cairo_new_path(cr);
  oval(cr, 512, 682, 350, 74);
  paint(cr, hex(0x3fbfbf), 5);
  oval(cr, 512, 682, 300, 56);
  stroke(cr, hex(0xa8f0e8), 8);
  cairo_new_path(cr);
  oval(cr, 512, 682, 220, 38);
  stroke(cr, hex(0xffd36b), 8);
  cairo_new_path(cr);

  // Milk bowl (left) and a ball of wool (right) with its thread.
  cairo_new_path(cr);
  cairo_move_to(cr, 102, 622);
  cairo_line_to(cr, 258, 622);
  cairo_curve_to(cr, 250, 676, 220, 690, 180, 690);
  cairo_curve_to(cr, 140, 690, 110, 676, 102, 622);
  cairo_close_path(cr);
  paint(cr, hex(0xff6b8b), 4);
  oval(cr, 180, 622, 78, 16);
  paint(cr, hex(0xfdf8ee), 4);
  heart(cr, 180, 656, 26, hex(0xffd1dc));

  cairo_new_path(cr);
  cairo_move_to(cr, 800, 660);
  cairo_curve_to(cr, 760, 720, 660, 700, 600, 700);
  stroke(cr, hex(0x3f6fd8), 5);
  cairo_new_path(cr);
  circle(cr, 840, 620, 62);
  paint_ball(cr, hex(0x5b8def), 5);
  circle(cr, 840, 620, 60);
  clipped(cr, [&] {
    for (int i = 0; i < 6; ++i) {
      cairo_new_path(cr);
      circle(cr, 700, 500, 110 + i * 20);
      stroke(cr, hex(0x3a68cf), 4);
    }
    for (int i = 0; i < 5; ++i) {
      cairo_new_path(cr);
      circle(cr, 990, 660, 108 + i * 20);
      stroke(cr, hex(0x9dbcff), 3.5);
    }
  });

  // The cat: ginger, sitting, tail curled up at the side.
  const Col fur = hex(0xf7a04a), stripe = hex(0xdc7426), cream = hex(0xfff0dc);
  shadow(cr, 512, 690, 190, 30, 0.2);
  cairo_new_path(cr);
  cairo_move_to(cr, 620, 640);
  cairo_curve_to(cr, 770, 660, 800, 520, 720, 440);
  thick_line(cr, fur, 38, 5);
  circle(cr, 722, 444, 19);
  fill(cr, cream);

  cairo_new_path(cr);
  oval(cr, 512, 548, 150, 140);
  paint_ball(cr, fur, 5);
  oval(cr, 512, 548, 147, 137);
  clipped(cr, [&] {
    for (int i = 0; i < 3; ++i) {
      cairo_new_path(cr);
      cairo_move_to(cr, 358, 500 + i * 40);
      cairo_line_to(cr, 396, 508 + i * 40);
      cairo_move_to(cr, 666, 500 + i * 40);
      cairo_line_to(cr, 628, 508 + i * 40);
      stroke(cr, stripe, 12);
    }
  });
  cairo_new_path(cr);
  oval(cr, 512, 575, 78, 98);
  fill(cr, cream);
  for (double side = -1; side <= 1; side += 2) {
    cairo_new_path(cr);
    oval(cr, 512 + side * 112, 632, 66, 50);
    paint_ball(cr, fur, 5);
    rounded(cr, 512 + side * 52 - 23, 560, 46, 110, 22);
    paint(cr, fur, 5);
    oval(cr, 512 + side * 52, 668, 42, 26);
    paint_ball(cr, cream, 4);
    cairo_move_to(cr, 512 + side * 52 - 12, 656);
    cairo_line_to(cr, 512 + side * 52 - 12, 676);
    cairo_move_to(cr, 512 + side * 52 + 12, 656);
    cairo_line_to(cr, 512 + side * 52 + 12, 676);
    stroke(cr, ink_of(cream), 3);
    cairo_new_path(cr);
  }

  // Collar and bell.
  cairo_new_path(cr);
  rounded(cr, 420, 440, 184, 30, 15);
  paint(cr, hex(0xe8364f), 4);
  circle(cr, 512, 482, 19);
  paint_ball(cr, hex(0xffd23f), 4);
  cairo_move_to(cr, 512, 486);
  cairo_line_to(cr, 512, 498);
  stroke(cr, kInk, 3);
  cairo_new_path(cr);

  // Ears, head, stripes, face.
  for (double side = -1; side <= 1; side += 2) {
    cairo_new_path(cr);
    poly(cr, {512 + side * 150, 300, 512 + side * 134, 158, 512 + side * 48, 214});
    paint(cr, fur, 5);
    poly(cr, {512 + side * 130, 272, 512 + side * 124, 190, 512 + side * 74, 222});
    fill(cr, hex(0xffa6b8));
  }
  cairo_new_path(cr);
  oval(cr, 512, 334, 172, 136);
  paint_ball(cr, fur, 5);
  oval(cr, 512, 334, 168, 132);
  clipped(cr, [&] {
    cairo_new_path(cr);
    cairo_move_to(cr, 512, 196);
    cairo_line_to(cr, 512, 240);
    cairo_move_to(cr, 474, 202);
    cairo_line_to(cr, 481, 236);
    cairo_move_to(cr, 550, 202);
    cairo_line_to(cr, 543, 236);
    cairo_move_to(cr, 338, 320);
    cairo_line_to(cr, 372, 326);
    cairo_move_to(cr, 686, 320);
    cairo_line_to(cr, 652, 326);
    stroke(cr, stripe, 12);
  });
  cairo_new_path(cr);
  oval(cr, 484, 398, 40, 30);
  oval(cr, 540, 398, 40, 30);
  fill(cr, cream);
  eye(cr, 442, 322, 34);
  eye(cr, 582, 322, 34);
  cheek(cr, 404, 384, 22);
  cheek(cr, 620, 384, 22);
  cairo_new_path(cr);
  poly(cr, {494, 368, 530, 368, 512, 388});
  paint(cr, hex(0xff7f98), 5);
  cairo_move_to(cr, 512, 388);
  cairo_line_to(cr, 512, 398);
  cairo_new_sub_path(cr);
  cairo_arc(cr, 497, 398, 15, 0, kPi);
  cairo_new_sub_path(cr);
  cairo_arc(cr, 527, 398, 15, 0, kPi);
  stroke(cr, kInk, 4);
  cairo_new_path(cr);
  for (double side = -1; side <= 1; side += 2)
    for (int i = -1; i <= 1; ++i) {
      cairo_move_to(cr, 512 + side * 62, 394 + i * 12);
      cairo_line_to(cr, 512 + side * 168, 386 + i * 26);
    }
  stroke(cr, hex(0x6b4a3a), 3);
  cairo_new_path(cr);

}

void dog(cairo_t* cr, gen::Rng& rng) {
  const Col leaf_cols[] = {hex(0xf25c2a), hex(0xf79a1e), hex(0xf7c531), hex(0xd9412e), hex(0xe9822a)};
  vgrad_rect(cr, 0, 0, kWidth, 560, hex(0x86cdf5), hex(0xffe2a6));
  cloud(cr, 430, 90, 120);
  cloud(cr, 700, 170, 90);
  ground(cr, 400, 20, 640, 1.4, hex(0xf2b35b), hex(0xe59a42), 4);
  for (int i = 0; i < 7; ++i) {
    double x = 300 + i * 80 + rng.range(-15, 15);
    round_tree(cr, x, 410 + 20 * std::sin(2 * kPi * x / 640 + 1.4) - 8, 36, leaf_cols[i % 5], hex(0x8a5a3a));
  }
  round_tree(cr, 118, 486, 228, hex(0xf0622e), hex(0x9a6238));
  round_tree(cr, 920, 500, 246, hex(0xf7a51f), hex(0x9a6238));
  ground(cr, 508, 14, 900, 0.8, hex(0xcfd05a), hex(0xa8ad3e), 4);
  grass_field(cr, rng, -10, kWidth + 10, 530, 760, 60, hex(0xa8ad3e));
  for (int i = 0; i < 36; ++i)
    leaf(cr, rng.range(0, kWidth), rng.range(535, 765), rng.range(9, 15), rng.range(0, 2 * kPi), leaf_cols[i % 5]);

  // Kennel.
  cairo_new_path(cr);
  rounded(cr, 92, 470, 220, 176, 8);
  paint(cr, hex(0xe0483e), 5);
  for (int i = 1; i < 4; ++i) {
    cairo_move_to(cr, 96, 470 + i * 44);
    cairo_line_to(cr, 308, 470 + i * 44);
  }
  stroke(cr, hex(0xb8333a), 3);
  cairo_new_path(cr);
  cairo_move_to(cr, 150, 646);
  cairo_line_to(cr, 150, 570);
  cairo_arc(cr, 202, 570, 52, kPi, 2 * kPi);
  cairo_line_to(cr, 254, 646);
  cairo_close_path(cr);
  paint(cr, hex(0x5a3448), 5);
  cairo_new_path(cr);
  poly(cr, {50, 492, 202, 368, 354, 492, 332, 512, 202, 406, 72, 512});
  paint(cr, hex(0x4b78d0), 5);
  circle(cr, 202, 440, 20);
  paint_ball(cr, hex(0xffd23f), 4);
  // A bone on the grass.
  at(cr, 220, 700, 1, -0.2, [&] {
    cairo_new_path(cr);
    rounded(cr, -42, -9, 84, 18, 9);
    circle(cr, -44, -10, 13);
    circle(cr, -44, 10, 13);
    circle(cr, 44, -10, 13);
    circle(cr, 44, 10, 13);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    stroke(cr, ink_of(hex(0xfff3df)), 8);
    fill(cr, hex(0xfff3df));
  });

  // The puppy.
  const double cx = 590;
  const Col fur = hex(0xf6dcb0), patch = hex(0xc27a3e), ear = hex(0x8b5331);
  shadow(cr, cx, 690, 180, 26, 0.2);
  cairo_new_path(cr);
  cairo_move_to(cr, cx + 90, 610);
  cairo_curve_to(cr, cx + 150, 600, cx + 180, 540, cx + 175, 480);
  thick_line(cr, patch, 28, 5);
  for (int i = 0; i < 3; ++i) {
    cairo_new_path(cr);
    cairo_arc(cr, cx + 175, 480, 44 + i * 16, -0.9 * kPi + 0.05 * i, -0.7 * kPi + 0.05 * i);
    cairo_new_sub_path(cr);
    cairo_arc(cr, cx + 175, 480, 44 + i * 16, -0.3 * kPi - 0.05 * i, -0.1 * kPi - 0.05 * i);
    stroke(cr, hex(0x8a6a4a), 4);
  }
  cairo_new_path(cr);
  oval(cr, cx, 565, 126, 120);
  paint_ball(cr, fur, 5);
  oval(cr, cx, 565, 122, 116);
  clipped(cr, [&] {
    cairo_new_path(cr);
    oval(cr, cx + 96, 520, 62, 54);
    fill(cr, patch);
  });
  for (double side = -1; side <= 1; side += 2) {
    cairo_new_path(cr);
    oval(cr, cx + side * 96, 636, 62, 48);
    paint_ball(cr, side > 0 ? patch : fur, 5);
    rounded(cr, cx + side * 46 - 23, 555, 46, 112, 22);
    paint(cr, fur, 5);
    oval(cr, cx + side * 46, 668, 40, 25);
    paint_ball(cr, light(fur, 0.4), 4);
    cairo_move_to(cr, cx + side * 46 - 11, 657);
    cairo_line_to(cr, cx + side * 46 - 11, 676);
    cairo_move_to(cr, cx + side * 46 + 11, 657);
    cairo_line_to(cr, cx + side * 46 + 11, 676);
    stroke(cr, ink_of(fur), 3);
    cairo_new_path(cr);
  }
  cairo_new_path(cr);
  rounded(cr, cx - 96, 444, 192, 28, 14);
  paint(cr, hex(0x3d7bf0), 4);
  circle(cr, cx, 486, 18);
  paint_ball(cr, hex(0xffd23f), 4);
  heart(cr, cx, 487, 16, hex(0xff7b8f));

  cairo_new_path(cr);
  oval(cr, cx, 336, 150, 128);
  paint_ball(cr, fur, 5);
  oval(cr, cx, 336, 146, 124);
  clipped(cr, [&] {
    cairo_new_path(cr);
    oval(cr, cx + 62, 306, 54, 50);
    fill(cr, patch);
  });
  for (double side = -1; side <= 1; side += 2) {
    cairo_new_path(cr);
    cairo_move_to(cr, cx + side * 96, 236);
    cairo_curve_to(cr, cx + side * 200, 230, cx + side * 210, 360, cx + side * 186, 436);
    cairo_curve_to(cr, cx + side * 170, 480, cx + side * 118, 470, cx + side * 118, 420);
    cairo_curve_to(cr, cx + side * 118, 360, cx + side * 100, 300, cx + side * 96, 236);
    cairo_close_path(cr);
    paint(cr, ear, 5);
  }
  cairo_new_path(cr);
  oval(cr, cx, 404, 80, 56);
  fill(cr, hex(0xfff4e4));
  eye(cr, cx - 60, 318, 29);
  eye(cr, cx + 60, 318, 29);
  for (double side = -1; side <= 1; side += 2) {
    cairo_new_path(cr);
    cairo_arc(cr, cx + side * 60, 300, 42, 1.3 * kPi, 1.7 * kPi);
    stroke(cr, hex(0x7a4a2a), 5);
    cheek(cr, cx + side * 102, 390, 20);
  }
  cairo_new_path(cr);
  cairo_move_to(cr, cx - 18, 430);
  cairo_curve_to(cr, cx - 20, 480, cx + 20, 480, cx + 18, 430);
  cairo_close_path(cr);
  paint(cr, hex(0xff7b8f), 4);
  cairo_move_to(cr, cx, 436);
  cairo_line_to(cr, cx, 458);
  stroke(cr, hex(0xd94f68), 3);
  cairo_new_path(cr);
  cairo_move_to(cr, cx, 396);
  cairo_line_to(cr, cx, 416);
  cairo_new_sub_path(cr);
  cairo_arc(cr, cx - 20, 414, 20, 0.1 * kPi, 0.9 * kPi);
  cairo_new_sub_path(cr);
  cairo_arc(cr, cx + 20, 414, 20, 0.1 * kPi, 0.9 * kPi);
  stroke(cr, kInk, 4);
  cairo_new_path(cr);
  oval(cr, cx, 384, 31, 21);
  paint_ball(cr, hex(0x3b2a38), 4);
  oval(cr, cx - 10, 377, 9, 5);
  fill(cr, kSnow, 0.8);

  // Red ball with a yellow band.
  cairo_new_path(cr);
  circle(cr, 850, 650, 50);
  paint_ball(cr, hex(0xf0353f), 5);
  circle(cr, 850, 650, 48);
  clipped(cr, [&] {
    cairo_new_path(cr);
    cairo_arc(cr, 850, 740, 104, 1.2 * kPi, 1.8 * kPi);
    stroke(cr, hex(0xffd23f), 16);
  });

  // Leaves drifting down over everything.
  for (int i = 0; i < 26; ++i) {
    double x = rng.range(0, kWidth), y = rng.range(20, 520);
    if (std::fabs(x - cx) < 190 && y > 200) continue;
    leaf(cr, x, y, rng.range(12, 19), rng.range(0, 2 * kPi), leaf_cols[(i + 2) % 5]);
  }
}

namespace {
void toy_block(cairo_t* cr, double x, double y, double size, Col c, int mark) {
  cairo_new_path(cr);
  poly(cr, {x, y, x + size * 0.3, y - size * 0.25, x + size * 1.3, y - size * 0.25, x + size, y});
  paint(cr, light(c, 0.3), 4);
  poly(cr, {x + size, y, x + size * 1.3, y - size * 0.25, x + size * 1.3, y + size * 0.75, x + size, y + size});
  paint(cr, dark(c, 0.15), 4);
  rounded(cr, x, y, size, size, 4);
  paint(cr, c, 4);
  double cx = x + size / 2, cy = y + size / 2;
  if (mark == 0) star(cr, cx, cy + 2, size * 0.3, hex(0xfff2a0));
  if (mark == 1) heart(cr, cx, cy + 2, size * 0.55, hex(0xfff0f4));
  if (mark == 2) {
    cairo_new_path(cr);
    circle(cr, cx, cy, size * 0.24);
    paint_ball(cr, hex(0xf0fbff), 3);
  }
}
}  // namespace

void teddy(cairo_t* cr, gen::Rng& rng) {
  // Mint wall with little stars and a shelf of toys.
  vgrad_rect(cr, 0, 0, kWidth, 470, hex(0xbff2da), hex(0x9fe3c4));
  for (int row = 0; row < 7; ++row)
    for (int col = 0; col < 11; ++col) {
      double x = col * 100 + (row % 2) * 50 + 20 + rng.range(-6, 6), y = 40 + row * 64 + rng.range(-6, 6);
      if (row % 2)
        twinkle(cr, x, y, 11, hex(0xf2fff8));
      else
        star(cr, x, y, 9, hex(0xe6fff2));
    }
  cairo_new_path(cr);
  rounded(cr, 700, 230, 300, 20, 6);
  paint(cr, hex(0xd9a066), 4);
  toy_block(cr, 720, 170, 58, hex(0xff6f61), 0);
  toy_block(cr, 796, 170, 58, hex(0x5aa8ff), 1);
  toy_block(cr, 758, 110, 58, hex(0xffc83a), 2);
  cairo_new_path(cr);
  circle(cr, 930, 196, 34);
  paint_ball(cr, hex(0xb58cff), 4);
  // A mobile of moon and stars on the left.
  cairo_new_path(cr);
  cairo_move_to(cr, 80, 150);
  cairo_line_to(cr, 300, 150);
  stroke(cr, hex(0xa8744a), 6);
  cairo_new_path(cr);
  cairo_move_to(cr, 190, 0);
  cairo_line_to(cr, 190, 150);
  const double hang[] = {90, 240, 150, 300, 230, 260, 290, 220};
  for (int i = 0; i < 4; ++i) {
    cairo_move_to(cr, hang[2 * i], 150);
    cairo_line_to(cr, hang[2 * i], hang[2 * i + 1] - 24);
  }
  stroke(cr, hex(0x7a8a84), 2.5);
  moon(cr, 94, 244, 32, hex(0xffd23f));
  star(cr, 150, 300, 26, hex(0xff8fb1));
  star(cr, 230, 260, 24, hex(0x6ac8ff));
  star(cr, 290, 220, 22, hex(0xffb347));

  // Patchwork quilt.
  const Col patches[] = {hex(0xffb3c7), hex(0xfff0a6), hex(0xb8d8ff), hex(0xd9c2ff), hex(0xffd0a8), hex(0xc4f0b8)};
  for (int row = 0; row < 4; ++row)
    for (int col = 0; col < 9; ++col) {
      double x = col * 118 - 20, y = 460 + row * 80;
      cairo_new_path(cr);
      cairo_rectangle(cr, x, y, 118, 80);
      fill(cr, patches[(col * 2 + row * 3) % 6]);
      cairo_new_path(cr);
      rounded(cr, x + 8, y + 8, 102, 64, 8);
      set(cr, hex(0xf8fff8), 0.9);
      double dash[] = {10, 8};
      cairo_set_dash(cr, dash, 2, 0);
      cairo_set_line_width(cr, 3);
      cairo_stroke(cr);
      cairo_set_dash(cr, nullptr, 0, 0);
      if ((col + row) % 3 == 0) heart(cr, x + 59, y + 42, 28, dark(patches[(col * 2 + row * 3) % 6], 0.1));
      if ((col + row) % 3 == 1) {
        cairo_new_path(cr);
        for (int k = 0; k < 3; ++k) circle(cr, x + 34 + k * 25, y + 40, 7);
        fill(cr, light(patches[(col * 2 + row * 3) % 6], 0.6));
      }
    }
  cairo_new_path(cr);
  cairo_move_to(cr, -10, 462);
  for (int x = -10; x <= kWidth + 10; x += 40) cairo_curve_to(cr, x + 10, 446, x + 30, 446, x + 40, 462);
  stroke(cr, hex(0xf07aa0), 10);

  // The teddy bear.
  const double cx = 512;
  const Col fur = hex(0xc98b4f), pad = hex(0xf5d6a8);
  shadow(cr, cx, 700, 220, 28, 0.2);
  for (double side = -1; side <= 1; side += 2) {
    cairo_new_path(cr);
    circle(cr, cx + side * 122, 210, 56);
    paint_ball(cr, fur, 5);
    circle(cr, cx + side * 122, 212, 32);
    fill(cr, pad);
  }
  cairo_new_path(cr);
  oval(cr, cx, 530, 140, 150);
  paint_ball(cr, fur, 5);
  oval(cr, cx, 555, 86, 96);
  fill(cr, pad);
  for (double side = -1; side <= 1; side += 2) {
    cairo_new_path(cr);
    oval(cr, cx + side * 148, 520, 50, 92, -side * 0.55);
    paint_ball(cr, fur, 5);
    oval(cr, cx + side * 104, 646, 72, 60);
    paint_ball(cr, fur, 5);
    oval(cr, cx + side * 112, 660, 40, 38);
    fill(cr, pad);
    for (int k = -1; k <= 1; ++k) circle(cr, cx + side * 112 + k * 20, 612 - std::abs(k) * 4, 8);
    fill(cr, pad);
  }
  heart(cr, cx + 10, 570, 56, hex(0xff6f91));
  cairo_new_path(cr);
  oval(cr, cx, 320, 165, 140);
  paint_ball(cr, fur, 5);
  oval(cr, cx, 378, 72, 54);
  paint_ball(cr, pad, 4);
  oval(cr, cx, 354, 28, 19);
  paint_ball(cr, hex(0x4a2f36), 4);
  cairo_move_to(cr, cx, 372);
  cairo_line_to(cr, cx, 390);
  stroke(cr, kInk, 4);
  cairo_new_path(cr);
  smile(cr, cx, 402, 34, 4.5);
  eye(cr, cx - 62, 298, 25);
  eye(cr, cx + 62, 298, 25);
  cheek(cr, cx - 100, 356, 20);
  cheek(cr, cx + 100, 356, 20);
  // Bow tie.
  cairo_new_path(cr);
  poly(cr, {cx, 462, cx - 70, 430, cx - 70, 498});
  poly(cr, {cx, 462, cx + 70, 430, cx + 70, 498});
  paint(cr, hex(0xe8434f), 4);
  circle(cr, cx, 462, 18);
  paint_ball(cr, hex(0xe8434f), 4);
  for (double side = -1; side <= 1; side += 2) {
    cairo_new_path(cr);
    circle(cr, cx + side * 46, 448, 5);
    circle(cr, cx + side * 52, 474, 5);
    fill(cr, hex(0xfff0f4));
  }
  // Toys on the quilt.
  cairo_new_path(cr);
  circle(cr, 150, 640, 60);
  paint_ball(cr, hex(0xff6f61), 5);
  circle(cr, 150, 640, 58);
  clipped(cr, [&] {
    cairo_new_path(cr);
    cairo_rectangle(cr, 70, 620, 160, 40);
    fill(cr, hex(0xfff0a6));
    cairo_new_path(cr);
    cairo_rectangle(cr, 140, 570, 20, 140);
    fill(cr, hex(0x5aa8ff));
  });
  toy_block(cr, 790, 600, 70, hex(0x4cc26a), 1);
  toy_block(cr, 880, 640, 64, hex(0xff8a3a), 0);
}

}  // namespace pk::pics
