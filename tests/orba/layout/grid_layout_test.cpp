// The grid on its own: rows wrap before a box would pass the wrap width.
#include "orba/layout/grid_layout.h"

#include <gtest/gtest.h>

#include <vector>

namespace orba::layout {
namespace {

TEST(GridLayoutTest, WrapsRowsBeforeTheWrapWidthAndStacksThemByTheirTallestBox) {
  const std::vector<Size> sizes{{40, 20}, {50, 30}, {40, 10}, {30, 30}};
  const std::vector<canvas::Box> boxes = PlaceInGrid(sizes, {{5, 7}, 120, 10});
  const std::vector<canvas::Box> expected{
      {5, 7, 40, 20}, {55, 7, 50, 30}, {5, 47, 40, 10}, {55, 47, 30, 30}};
  EXPECT_EQ(boxes, expected);
}

TEST(GridLayoutTest, GivesABoxWiderThanTheWrapWidthARowOfItsOwn) {
  const std::vector<canvas::Box> boxes =
      PlaceInGrid({{300, 20}, {10, 10}, {10, 10}}, {{0, 0}, 100, 4});
  const std::vector<canvas::Box> expected{{0, 0, 300, 20}, {0, 24, 10, 10}, {14, 24, 10, 10}};
  EXPECT_EQ(boxes, expected);
}

TEST(GridLayoutTest, PlacesNothingForNoSizes) {
  EXPECT_TRUE(PlaceInGrid({}, {{0, 0}, 100, 4}).empty());
}

TEST(GridLayoutTest, ASquareWrapWidthIsTheSideOfTheBoxesAreaOrTheWidestBox) {
  EXPECT_EQ(SquareWrapWidth({{6, 6}, {6, 6}, {6, 6}, {6, 6}}, 4), 20)
      << "four 10 x 10 cells make a 20 x 20 square";
  EXPECT_EQ(SquareWrapWidth({{90, 1}}, 4), 90);
}

}  // namespace
}  // namespace orba::layout
