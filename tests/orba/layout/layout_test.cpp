// Layout with the real Graphviz. Requests are written as lines of text (the
// format is above ParseRequest); each laid-out request is checked for what
// must hold of any layout: sizes kept, no two nodes overlapping, clusters
// around their members with room for their labels, fixed boxes kept, ports
// on their owners' borders, edges from border to border, and the same
// result every time.
#include "orba/layout/layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <memory>
#include <ostream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace orba::layout {
namespace {

// How far (px) an edge's end may lie from its node's border: Graphviz works
// in whole points.
constexpr double kBorderTolerance = 2;

// One item a line; numbers as std::stod reads them ("nan", "inf"):
//   node ID WIDTH HEIGHT [in CLUSTER] [at X Y]
//   port ID WIDTH HEIGHT on OWNER [at X Y]
//   cluster ID LABEL_WIDTH LABEL_HEIGHT [in PARENT]
//   edge ID FROM TO
//   direction lr | spacing PX | limit MS
LayoutRequest ParseRequest(const std::vector<std::string>& lines) {
  LayoutRequest request;
  for (const std::string& line : lines) {
    std::istringstream stream(line);
    std::vector<std::string> words(std::istream_iterator<std::string>(stream), {});
    words.resize(std::max<size_t>(words.size(), 4));
    const auto number = [&words](size_t index) {
      return words[index].empty() ? 0 : std::stod(words[index]);
    };
    std::optional<canvas::Point> fixed;
    std::string container;
    for (size_t index = 4; index + 1 < words.size(); ++index) {
      if (words[index] == "at") fixed = canvas::Point{number(index + 1), number(index + 2)};
      if (words[index] == "in" || words[index] == "on") container = words[index + 1];
    }
    if (words[0] == "direction") {
      request.direction = Direction::kLeftToRight;
    } else if (words[0] == "spacing") {
      request.spacing = number(1);
    } else if (words[0] == "limit") {
      request.time_limit = std::chrono::milliseconds(std::stoi(words[1]));
    } else if (words[0] == "edge") {
      request.edges.push_back({words[1], words[2], words[3]});
    } else if (words[0] == "node") {
      request.nodes.push_back({words[1], number(2), number(3), fixed, container});
    } else if (words[0] == "port") {
      request.ports.push_back({words[1], container, number(2), number(3), fixed});
    } else if (words[0] == "cluster") {
      request.clusters.push_back({words[1], container, number(2), number(3)});
    } else {
      ADD_FAILURE() << "not a line of a request: " << line;
    }
  }
  return request;
}

bool Overlap(const canvas::Box& a, const canvas::Box& b) {
  return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

bool Inside(const canvas::Box& inner, const canvas::Box& outer) {
  return inner.x >= outer.x && inner.y >= outer.y &&
         inner.x + inner.width <= outer.x + outer.width &&
         inner.y + inner.height <= outer.y + outer.height;
}

void ExpectNoOverlaps(const std::map<std::string, canvas::Box>& boxes) {
  for (auto a = boxes.begin(); a != boxes.end(); ++a) {
    for (auto b = std::next(a); b != boxes.end(); ++b) {
      EXPECT_FALSE(Overlap(a->second, b->second)) << a->first << " overlaps " << b->first;
    }
  }
}

// Distance from a point to the outline of a box, inside or out.
double DistanceToBorder(const canvas::Box& box, canvas::Point point) {
  const double outside_x = std::max({box.x - point.x, 0.0, point.x - box.x - box.width});
  const double outside_y = std::max({box.y - point.y, 0.0, point.y - box.y - box.height});
  if (outside_x > 0 || outside_y > 0) return std::hypot(outside_x, outside_y);
  return std::min({point.x - box.x, box.x + box.width - point.x, point.y - box.y,
                   box.y + box.height - point.y});
}

void ExpectSizesKept(const LayoutRequest& request, const LayoutResult& result) {
  ASSERT_EQ(result.nodes.size(), request.nodes.size());
  for (const Node& node : request.nodes) {
    const canvas::Box& box = result.nodes.at(node.id);
    EXPECT_EQ(box.width, node.width) << node.id;
    EXPECT_EQ(box.height, node.height) << node.id;
    if (node.fixed) {
      EXPECT_EQ(box, (canvas::Box{node.fixed->x, node.fixed->y, node.width, node.height}))
          << node.id;
    }
  }
}

// Each cluster's box holds its members below its label and covers no other node.
void ExpectClustersAroundTheirMembersOnly(const LayoutRequest& request,
                                          const LayoutResult& result) {
  std::map<std::string, const Cluster*> clusters;
  for (const Cluster& cluster : request.clusters) clusters[cluster.id] = &cluster;
  for (const Node& node : request.nodes) {
    const canvas::Box& member = result.nodes.at(node.id);
    std::set<std::string> holding;
    for (std::string id = node.cluster; !id.empty(); id = clusters.at(id)->parent) {
      holding.insert(id);
      const canvas::Box& box = result.clusters.at(id);
      EXPECT_TRUE(Inside(member, box)) << node.id << " outside " << id;
      EXPECT_GE(member.y, box.y + clusters.at(id)->label_height)
          << node.id << " in " << id << "'s label";
    }
    for (const auto& [id, box] : result.clusters) {
      EXPECT_TRUE(holding.contains(id) || !Overlap(member, box)) << node.id << " under " << id;
    }
  }
}

void ExpectPortsOnTheirOwners(const LayoutRequest& request, const LayoutResult& result) {
  for (const Port& port : request.ports) {
    const canvas::Box& box = result.ports.at(port.id);
    if (port.fixed) {
      EXPECT_EQ(box, (canvas::Box{port.fixed->x, port.fixed->y, port.width, port.height}))
          << port.id;
      continue;
    }
    const canvas::Point centre{box.x + box.width / 2, box.y + box.height / 2};
    EXPECT_NEAR(DistanceToBorder(result.nodes.at(port.owner), centre), 0, 1e-9) << port.id;
  }
}

canvas::Box EndBox(const std::string& end, const LayoutResult& result) {
  return result.ports.contains(end) ? result.ports.at(end) : result.nodes.at(end);
}

void ExpectEdgesFromBorderToBorder(const LayoutRequest& request, const LayoutResult& result) {
  ASSERT_EQ(result.edges.size(), request.edges.size());
  for (const Edge& edge : request.edges) {
    const std::vector<canvas::Point>& route = result.edges.at(edge.id);
    ASSERT_GE(route.size(), 2u) << edge.id;
    EXPECT_LE(DistanceToBorder(EndBox(edge.from, result), route.front()), kBorderTolerance)
        << edge.id << " start";
    EXPECT_LE(DistanceToBorder(EndBox(edge.to, result), route.back()), kBorderTolerance)
        << edge.id << " end";
  }
}

struct Case {
  std::string name;
  std::vector<std::string> request;
  friend void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }
};

// clang-format off
const Case kCases[] = {
    {"Chain", {"node a 120 60", "node b 80 40", "node c 200 30", "edge ab a b", "edge bc b c"}},
    {"TreeLeftToRight", {"direction lr", "node root 150 50", "node x 90 90", "node y 90 40", "node z 60 60",
                         "edge e1 root x", "edge e2 root y", "edge e3 root z", "edge e4 z x"}},
    {"CycleAndParallelEdges", {"node a 50 50", "node b 50 50", "edge e1 a b", "edge e2 b a", "edge e3 a b"}},
    {"SelfLoopAndLoneNode", {"node a 70 40", "node lone 40 70", "edge loop a a"}},
    {"NestedClusters", {"cluster outer 120 20", "cluster inner 60 16 in outer", "node a 100 50 in inner",
                        "node b 100 50 in outer", "node c 100 50", "node d 80 30 in inner",
                        "edge e1 a b", "edge e2 b c", "edge e3 c d"}},
    {"NestedClustersLeftToRight", {"direction lr", "cluster outer 200 24", "cluster inner 40 16 in outer",
                                   "node a 100 50 in inner", "node b 100 50 in outer", "edge e1 a b"}},
    {"LargeClusterLabelBetweenNodes", {"node x 60 40", "cluster c 300 100", "node a 60 40 in c", "node y 60 40",
                                       "edge e1 x a", "edge e2 a y"}},
    {"LargeClusterLabelBetweenNodesLeftToRight", {"direction lr", "node x 60 40", "cluster c 300 100",
                                                  "node a 60 40 in c", "node y 60 40", "edge e1 x a", "edge e2 a y"}},
    {"FixedNodesTopToBottom", {"node f1 100 60 at 300 40", "node f2 80 80 at 20 200", "node a 100 50",
                               "node b 100 50", "edge e1 a b", "edge e2 f1 a", "edge e3 b f2"}},
    {"FixedNodesLeftToRight", {"direction lr", "node f1 100 60 at 10 10", "node a 100 50", "node b 60 90",
                               "edge e1 a b", "edge e2 a f1"}},
    {"OnlyFixedNodesInACluster", {"cluster c 80 20", "node f1 100 60 at 10 40 in c", "node f2 100 60 at 300 40 in c",
                                  "edge e1 f1 f2"}},
    {"ClusterMixingFixedAndLaidOutNodes", {"cluster c 80 20", "node f 100 60 at 0 0 in c", "node a 50 50 in c",
                                           "edge e1 f a"}},
    {"PortsOnBlocks", {"direction lr", "node a 200 120", "node b 200 120", "port pa 16 16 on a", "port pb 16 16 on b",
                       "port spare 16 16 on a", "port fixed 10 10 on b at 0 0", "edge e1 pa pb", "edge e2 a pb"}},
};
// clang-format on

class LayoutCaseTest : public testing::TestWithParam<Case> {};

TEST_P(LayoutCaseTest, KeepsSizesAndFixedBoxesAndNothingOverlaps) {
  const LayoutRequest request = ParseRequest(GetParam().request);
  const LayoutResult result = Layout(request);
  EXPECT_FALSE(result.fell_back) << result.fallback_reason;
  ExpectSizesKept(request, result);
  ExpectNoOverlaps(result.nodes);
}

TEST_P(LayoutCaseTest, ClustersHoldTheirMembersBelowTheirLabels) {
  const LayoutRequest request = ParseRequest(GetParam().request);
  const LayoutResult result = Layout(request);
  ExpectClustersAroundTheirMembersOnly(request, result);
}

TEST_P(LayoutCaseTest, PortsSitOnTheirOwnersAndEdgesRunFromBorderToBorder) {
  const LayoutRequest request = ParseRequest(GetParam().request);
  const LayoutResult result = Layout(request);
  ExpectPortsOnTheirOwners(request, result);
  ExpectEdgesFromBorderToBorder(request, result);
}

TEST_P(LayoutCaseTest, GivesTheSameResultForTheSameItemsInAnyOrder) {
  LayoutRequest request = ParseRequest(GetParam().request);
  const LayoutResult first = Layout(request);
  EXPECT_EQ(Layout(request), first);
  std::reverse(request.nodes.begin(), request.nodes.end());
  std::reverse(request.ports.begin(), request.ports.end());
  std::reverse(request.clusters.begin(), request.clusters.end());
  std::reverse(request.edges.begin(), request.edges.end());
  EXPECT_EQ(Layout(request), first);
}

INSTANTIATE_TEST_SUITE_P(Requests, LayoutCaseTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case>& info) { return info.param.name; });

TEST(LayoutTest, PlacesTheLaidOutNodesBelowOrRightOfTheFixedOnesLinedUpWithThem) {
  LayoutRequest request = ParseRequest({"node f 100 60 at 40 30", "node a 50 50", "edge e a f"});
  EXPECT_EQ(Layout(request).nodes.at("a"), (canvas::Box{40, 30 + 60 + request.spacing, 50, 50}));
  request.direction = Direction::kLeftToRight;
  EXPECT_EQ(Layout(request).nodes.at("a"), (canvas::Box{40 + 100 + request.spacing, 30, 50, 50}));
}

TEST(LayoutTest, RanksFollowTheDirection) {
  LayoutRequest request = ParseRequest({"node a 50 50", "node b 50 50", "edge e a b"});
  const LayoutResult down = Layout(request);
  EXPECT_GE(down.nodes.at("b").y, down.nodes.at("a").y + 50 + request.spacing);
  request.direction = Direction::kLeftToRight;
  const LayoutResult across = Layout(request);
  EXPECT_GE(across.nodes.at("b").x, across.nodes.at("a").x + 50 + request.spacing);
}

TEST(LayoutTest, PacksUnconnectedNodesInRowsUnlessThereAreClusters) {
  LayoutRequest request;
  for (int index = 0; index < 16; ++index)
    request.nodes.push_back({"n" + std::to_string(index), 80, 40, std::nullopt, ""});
  const auto rows = [](const LayoutResult& result) {
    std::set<double> tops;
    for (const auto& [id, box] : result.nodes) tops.insert(box.y);
    return tops.size();
  };
  EXPECT_GT(rows(Layout(request)), 1u);
  request.clusters.push_back({"c", "", 10, 10});
  request.nodes.back().cluster = "c";
  EXPECT_EQ(rows(Layout(request)), 1u) << "in one rank, as dot lays them out";
}

TEST(LayoutTest, PutsAPortOnTheSideFacingItsEdgesOtherEnd) {
  const LayoutRequest request =
      ParseRequest({"node a 200 100", "node b 200 100", "port p 10 10 on a", "edge e p b"});
  const LayoutResult result = Layout(request);
  const canvas::Box& owner = result.nodes.at("a");
  const canvas::Box& port = result.ports.at("p");
  EXPECT_EQ(port.y + port.height / 2, owner.y + owner.height)
      << "on a's bottom side, facing b below it";
  EXPECT_EQ(port.x + port.width / 2, owner.x + owner.width / 2)
      << "the only port there, in the middle";
}

TEST(LayoutTest, LaysOutAnEmptyRequestAsNothing) {
  const LayoutResult result = Layout({});
  EXPECT_EQ(result, LayoutResult{});
}

LayoutRequest LargeRequest(int count) {
  LayoutRequest request;
  for (int index = 0; index < count; ++index) {
    const std::string id = "n" + std::to_string(index);
    request.nodes.push_back({id, 40.0 + index % 7 * 10, 30.0 + index % 5 * 8, std::nullopt, ""});
    if (index > 0) {
      request.edges.push_back({"e" + std::to_string(index), "n" + std::to_string(index / 2), id});
    }
  }
  return request;
}

TEST(LayoutTest, FallsBackToTheGridWhenGraphvizTakesLongerThanTheLimit) {
  LayoutRequest request = LargeRequest(2000);
  request.time_limit = std::chrono::milliseconds(5);
  const LayoutResult result = Layout(request);
  EXPECT_TRUE(result.fell_back);
  EXPECT_EQ(result.fallback_reason, "the layout took longer than its limit of 5 ms");
  ExpectSizesKept(request, result);
  ExpectNoOverlaps(result.nodes);
  ExpectEdgesFromBorderToBorder(request, result);
  EXPECT_EQ(Layout(request), result) << "the grid is the same every time";
}

TEST(LayoutTest, GivesTheSameResultWhateverThisProcessAllocatedBefore) {
  LayoutRequest request = LargeRequest(100);
  for (Node& node : request.nodes) node.cluster = node.id.back() < '5' ? "low" : "high";
  request.clusters = {{"low", "", 0, 0}, {"high", "", 0, 0}};
  const LayoutResult first = Layout(request);
  std::vector<std::unique_ptr<char[]>> blocks;
  for (size_t size = 0; size < 5000; ++size) blocks.emplace_back(new char[16 + size * 37 % 500]);
  for (size_t index = 0; index < blocks.size(); index += 2) blocks[index].reset();
  EXPECT_EQ(Layout(request), first);
}

TEST(LayoutTest, TheFallbackStillPutsClustersAroundTheirMembers) {
  const LayoutRequest request = ParseRequest(
      {"cluster outer 100 20", "cluster inner 50 10 in outer", "limit 0", "node a 60 40 in inner",
       "node b 60 40 in outer", "node c 60 40", "port p 8 8 on a", "edge e p c"});
  const LayoutResult result = Layout(request);
  EXPECT_TRUE(result.fell_back);
  ExpectNoOverlaps(result.nodes);
  ExpectClustersAroundTheirMembersOnly(request, result);
  ExpectPortsOnTheirOwners(request, result);
  ExpectEdgesFromBorderToBorder(request, result);
}

std::string ErrorOf(const LayoutRequest& request) {
  try {
    Layout(request);
  } catch (const LayoutError& error) {
    return error.what();
  }
  return "no error";
}

struct BadRequest {
  std::vector<std::string> request;
  std::string message;
  friend void PrintTo(const BadRequest& c, std::ostream* out) { *out << c.message; }
};

// clang-format off
const BadRequest kBadRequests[] = {
    {{"node a 10 10", "edge e a ghost"}, "edge 'e' ends at an unknown node or port 'ghost'"},
    {{"node a 10 10", "edge e ghost a"}, "edge 'e' starts at an unknown node or port 'ghost'"},
    {{"node a 10 10", "edge e a a", "edge e a a"}, "edge 'e' repeats an id already used"},
    {{"node a 10 10", "port a 5 5 on a"}, "port 'a' repeats an id already used"},
    {{"node a 10 10 in nowhere"}, "node 'a' names an unknown cluster 'nowhere'"},
    {{"node a 0 10"}, "node 'a' has a width that is not a positive number"},
    {{"port p 5 -1 on a", "node a 10 10"}, "port 'p' has a height that is not a positive number"},
    {{"node a 10 10", "port p 5 5 on q"}, "port 'p' names an unknown owner node 'q'"},
    {{"cluster c 0 0 in d", "cluster d 0 0 in c"}, "cluster 'c' is nested in a cycle of clusters"},
    {{"cluster c 0 0 in c"}, "cluster 'c' is nested in a cycle of clusters"},
    {{"cluster c 0 0 in d"}, "cluster 'c' names an unknown parent cluster 'd'"},
    {{"cluster c -1 0"}, "cluster 'c' has a label size that is not a number of at least 0"},
    {{"node a 10 10 at nan 0"}, "node 'a' has a fixed position that is not a number"},
    {{"cluster"}, "a cluster has no id"},
    {{"limit -1"}, "the time limit is negative"},
    {{"spacing inf"}, "the spacing is not a number of at least 0"},
};
// clang-format on

class LayoutErrorTest : public testing::TestWithParam<BadRequest> {};

TEST_P(LayoutErrorTest, NamesTheItemAndTheProblem) {
  EXPECT_EQ(ErrorOf(ParseRequest(GetParam().request)), GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(BadRequests, LayoutErrorTest, testing::ValuesIn(kBadRequests));

}  // namespace
}  // namespace orba::layout
