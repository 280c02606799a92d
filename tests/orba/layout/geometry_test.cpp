// The geometry's encoding for the pipe from the layout process.
#include "orba/layout/geometry.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace orba::layout {
namespace {

TEST(GeometryTest, DecodesWhatItEncodedExactly) {
  Geometry geometry;
  geometry.nodes["a"] = {0.1, 1.0 / 3, 1e-300, 12345.678};
  geometry.nodes["b"] = {-0.0, 2, 3, 4};
  geometry.clusters["c"] = {1, 2, 3, 4};
  geometry.edges["e"] = {{0.5, 0.25}, {1.0 / 7, 9}};
  geometry.edges["loop"] = {};
  EXPECT_EQ(DecodeGeometry(EncodeGeometry(geometry)), geometry);
  EXPECT_EQ(DecodeGeometry(EncodeGeometry({})), Geometry{});
}

TEST(GeometryTest, RejectsAnAnswerCutShortOrRunningOn) {
  Geometry geometry;
  geometry.nodes["a"] = {1, 2, 3, 4};
  geometry.edges["e"] = {{1, 2}};
  const std::string bytes = EncodeGeometry(geometry);
  for (size_t length = 0; length < bytes.size(); ++length) {
    EXPECT_THROW(DecodeGeometry(std::string_view(bytes).substr(0, length)), std::runtime_error)
        << length;
  }
  EXPECT_THROW(DecodeGeometry(bytes + "x"), std::runtime_error);
}

}  // namespace
}  // namespace orba::layout
