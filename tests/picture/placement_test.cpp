#include <gtest/gtest.h>

#include <ostream>

#include "picture/picture.h"

namespace {

struct PlacementCase {
  const char* name;
  QSize natural;
  QRect expected;
};

// Names the case in test listings instead of dumping its bytes.
[[maybe_unused]] void PrintTo(const PlacementCase& c, std::ostream* os) { *os << c.name; }


const PlacementCase kCases[] = {
    {"fits", {200, 100}, {35, 43, 200, 100}},
    {"wider_than_control", {300, 200}, {0, 3, 271, 180}},
    {"very_wide", {1000, 100}, {0, 79, 271, 27}},
    {"very_tall", {100, 1000}, {126, 0, 18, 186}},
    {"square", {400, 400}, {42, 0, 186, 186}},
    {"too_high_after_width", {1280, 1024}, {19, 0, 232, 186}},
    {"exactly_the_control", {271, 186}, {0, 0, 271, 186}},
    {"one_pixel_too_wide", {272, 100}, {0, 43, 271, 99}},
    {"icon_sized", {32, 32}, {119, 77, 32, 32}},
    {"empty", {0, 0}, {135, 93, 0, 0}},
    {"zero_height_wide", {1000, 0}, {0, 93, 271, 0}},
};

class Placement : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(Placement, FollowsTheRule) {
  const PlacementCase& c = GetParam();
  EXPECT_EQ(picture::PlacePicture(c.natural, QSize(271, 186)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Examples, Placement, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
