// The turtle's geometry, recorded through its line seam (no window needed): headings, truncation of
// end points towards zero, float positions, poly, and the seven programs' lines.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "activities/turtle.hpp"

using activities::Turtle;

namespace {

struct Line {
  int x1, y1, x2, y2;
  bool operator==(const Line&) const = default;
};
std::vector<Line> lines;

void record(int x1, int y1, int x2, int y2) { lines.push_back({x1, y1, x2, y2}); }

class TurtleTest : public testing::Test {
 protected:
  void SetUp() override { lines.clear(); }
  Turtle t{record};
};

// Screen point of a turtle point.
Line seg(int ax, int ay, int bx, int by) { return {640 + ax, 384 - ay, 640 + bx, 384 - by}; }

}  // namespace

TEST_F(TurtleTest, ItStartsAtTheSquaresCentreHeadingUpWithItsPenDown) {
  EXPECT_EQ(Turtle::kOriginX, 640);
  EXPECT_EQ(Turtle::kOriginY, 384);
  EXPECT_EQ(Turtle::kPatterns, 7);
  EXPECT_FALSE(t.drawing()) << "no drawing before the first finish";
  t.start();
  EXPECT_EQ(t.x(), 0.0f);
  EXPECT_EQ(t.y(), 0.0f);
  EXPECT_EQ(t.heading(), 0);
  EXPECT_TRUE(t.pen_is_down());
  t.forward(5);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], (Line{640, 384, 640, 379})) << "from the centre, up the screen";
}

TEST_F(TurtleTest, ForwardDrawsFromTheOldToTheNewTruncatedPosition) {
  t.start();
  t.right(90);
  t.forward(10);  // to the right
  t.start();
  t.forward(10);  // up the screen
  t.right(180);
  t.forward(25);  // down, past the origin
  t.left(90);
  t.forward(3);  // heading 90 again after turning left: to the right
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], (Line{640, 384, 650, 384}));
  EXPECT_EQ(lines[1], (Line{640, 384, 640, 374}));
  EXPECT_EQ(lines[2], (Line{640, 374, 640, 399}));
  EXPECT_EQ(lines[3], (Line{640, 399, 643, 399}));
  EXPECT_EQ(t.heading(), 90);

  // Heading 181 for 40: x = -0.698, y = -39.99. Both truncate towards zero, not downwards.
  lines.clear();
  t.start();
  t.right(181);
  t.forward(40);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], seg(0, 0, 0, -39));
  EXPECT_NEAR(t.x(), -0.698f, 1e-3);
  t.forward(0);  // the start point truncates the same way
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1], seg(0, -39, 0, -39));
}

TEST_F(TurtleTest, HeadingIsNeverReducedAndPositionsStayFloats) {
  t.start();
  t.right(400);
  EXPECT_EQ(t.heading(), 400);
  t.forward(100);  // as for 40 degrees: (64.28, 76.60)
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], seg(0, 0, 64, 76));
  t.left(800);
  EXPECT_EQ(t.heading(), -400);

  // Ten steps of one pixel at 45 degrees reach (7.07, 7.07): the fractions add up.
  lines.clear();
  t.start();
  t.right(45);
  for (int i = 0; i < 10; ++i) t.forward(1);
  ASSERT_EQ(lines.size(), 10u);
  EXPECT_EQ(lines.front(), seg(0, 0, 0, 0));
  EXPECT_EQ(lines[1], seg(0, 0, 1, 1));
  EXPECT_EQ(lines.back(), seg(6, 6, 7, 7));
}

TEST_F(TurtleTest, PenUpMovesWithoutDrawingAndBackGoesBackwards) {
  t.start();
  EXPECT_TRUE(t.pen_is_down());
  t.pen_up();
  t.back(50);
  EXPECT_TRUE(lines.empty());
  EXPECT_FLOAT_EQ(t.y(), -50.0f);
  t.pen_down();
  t.back(10);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], seg(0, -50, 0, -60));

  // start puts everything back: origin, heading 0, pen down.
  t.pen_up();
  t.right(33);
  t.start();
  EXPECT_EQ(t.x(), 0.0f);
  EXPECT_EQ(t.y(), 0.0f);
  EXPECT_EQ(t.heading(), 0);
  EXPECT_TRUE(t.pen_is_down());
}

TEST_F(TurtleTest, PolyClosesAndTurnsAFullCircle) {
  for (int n : {3, 5, 6, 8, 10, 12}) {
    SCOPED_TRACE(n);
    lines.clear();
    t.start();
    t.right(7);
    t.polygon(n, 100);
    EXPECT_EQ(t.heading(), 7 + 360);
    EXPECT_NEAR(t.x(), 0.0f, 1e-3);
    EXPECT_NEAR(t.y(), 0.0f, 1e-3);
    ASSERT_EQ(static_cast<int>(lines.size()), n);
    for (size_t i = 1; i < lines.size(); ++i) {
      EXPECT_EQ(lines[i].x1, lines[i - 1].x2);
      EXPECT_EQ(lines[i].y1, lines[i - 1].y2);
    }
  }
  // A triangle of 310 with heading 0: up, then down to the right at 120 degrees.
  lines.clear();
  t.start();
  t.polygon(3, 310);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], seg(0, 0, 0, 310));
  EXPECT_EQ(lines[1], seg(0, 310, 268, 155));  // 310 sin 120 = 268.47, 310 + 310 cos 120 = 155
}

TEST_F(TurtleTest, ProgramsDrawTheirRingsInsideTheSquare) {
  const int expected_lines[8] = {0, 18, 10, 36, 64, 75, 100, 144};
  for (int k = 0; k <= 8; ++k) {
    SCOPED_TRACE(k);
    lines.clear();
    t.pen_up();
    t.right(11);  // pattern starts afresh whatever came before
    t.draw_pattern(k);
    EXPECT_EQ(static_cast<int>(lines.size()), k <= 7 ? expected_lines[k] : 0);
    int from_centre = 0;
    for (const Line& l : lines) {
      for (int v : {l.x1 - 640, l.x2 - 640, l.y1 - 384, l.y2 - 384}) EXPECT_LE(std::abs(v), 360);
      from_centre += l.x1 == 640 && l.y1 == 384;
    }
    // Every ring but the pentagon-and-star starts each polygon at the centre.
    const int polygons[8] = {0, 6, 0, 6, 8, 15, 10, 12};
    if (k >= 1 && k <= 7) {
      EXPECT_GE(from_centre, polygons[k]);
    }
  }

  // Pattern 2: the pentagon's corners, then a star whose points are those corners.
  lines.clear();
  t.draw_pattern(2);
  ASSERT_EQ(lines.size(), 10u);
  const int corners[5][2] = {{-203, -309}, {-325, 67}, {-4, 300}, {315, 67}, {193, -309}};
  for (int i = 0; i < 5; ++i) {
    SCOPED_TRACE(i);
    EXPECT_NEAR(lines[i].x1 - 640, corners[i][0], 1);
    EXPECT_NEAR(384 - lines[i].y1, corners[i][1], 1);
  }
  for (int i = 5; i < 10; ++i) {
    // Each star line ends within two pixels of a corner.
    bool near_corner = false;
    for (const auto& c : corners)
      near_corner |= std::abs(lines[i].x2 - 640 - c[0]) <= 2 && std::abs(384 - lines[i].y2 - c[1]) <= 2;
    EXPECT_TRUE(near_corner) << "star line " << i;
  }
  EXPECT_NEAR(lines[4].y1, lines[0].y1, 1) << "the pentagon's lower edge is flat";
}
