// Without a window: the movie list's lines and frame names, and the gallery's nodal values.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "app/demo_scenes.h"
#include "app/movie.h"
#include "meshio/entity_types.h"

namespace {

TEST(MovieList, LinesGiveMeshAndSolution) {
  const auto two = parseMovieLine("run12.mesh run12.sol");
  ASSERT_TRUE(two);
  EXPECT_EQ(two->mesh, "run12.mesh");
  EXPECT_EQ(two->solution, "run12.sol");
  // One word: the solution is looked for under the mesh's own name.
  const auto one = parseMovieLine("run12.meshb");
  ASSERT_TRUE(one);
  EXPECT_EQ(one->mesh, "run12.meshb");
  EXPECT_EQ(one->solution, "run12.meshb");
  // Any white space separates; words after the second are ignored.
  const auto spaced = parseMovieLine(" \ta.mesh \t b.sol  c.sol d\r");
  ASSERT_TRUE(spaced);
  EXPECT_EQ(spaced->mesh, "a.mesh");
  EXPECT_EQ(spaced->solution, "b.sol");
  // Lines without a word are no frame.
  EXPECT_FALSE(parseMovieLine(""));
  EXPECT_FALSE(parseMovieLine(" \t \r"));
  // Names are cut at 255 characters.
  const auto longName = parseMovieLine(std::string(300, 'm') + " " + std::string(260, 's'));
  ASSERT_TRUE(longName);
  EXPECT_EQ(longName->mesh, std::string(255, 'm'));
  EXPECT_EQ(longName->solution, std::string(255, 's'));
}

TEST(MovieList, FrameNamesCutAtSolutionThenMesh) {
  EXPECT_EQ(movieFrameName("run12.sol"), "run12.png");
  EXPECT_EQ(movieFrameName("run12.solb"), "run12.png");
  EXPECT_EQ(movieFrameName("run12.meshb"), "run12.png");
  EXPECT_EQ(movieFrameName("out/step.mesh.sol"), "out/step.png");
  EXPECT_EQ(movieFrameName("a.sol.mesh"), "a.png");
  EXPECT_EQ(movieFrameName("field.mesh_b.solb"), "field.png");
  EXPECT_EQ(movieFrameName("frame"), "frame.png");
}

TEST(MovieList, OverlongLinesAreCutAndTheirRestSkipped) {
  std::FILE* list = std::tmpfile();
  ASSERT_NE(list, nullptr);
  const std::string overlong = std::string(600, 'x');
  std::fputs(("a.mesh b.sol\n" + overlong + "\n\nlast.mesh").c_str(), list);
  std::rewind(list);
  std::string line;
  ASSERT_TRUE(readMovieLine(list, &line));
  EXPECT_EQ(line, "a.mesh b.sol");
  ASSERT_TRUE(readMovieLine(list, &line));
  EXPECT_EQ(line, std::string(511, 'x'));
  ASSERT_TRUE(readMovieLine(list, &line));
  EXPECT_EQ(line, "");
  ASSERT_TRUE(readMovieLine(list, &line));
  EXPECT_EQ(line, "last.mesh");
  EXPECT_FALSE(readMovieLine(list, &line));
  std::fclose(list);
}

TEST(DemoGallery, NodalValuesAreTheCosineOfTheDistanceToTheFirstVertex) {
  const double triangle[9] = {3, 0, 1, 4, 0, 1, 3, 1, 1};
  const std::vector<double> linear = galleryNodalValues(DrawKind::Triangle, 1, triangle);
  ASSERT_EQ(linear.size(), 3u);
  EXPECT_NEAR(linear[0], 1.0, 1e-12);
  EXPECT_NEAR(linear[1], -1.0, 1e-12);
  EXPECT_NEAR(linear[2], -1.0, 1e-12);

  // Degree 2: the vertices first, then the three edge midpoints (order aside).
  std::vector<double> quadratic = galleryNodalValues(DrawKind::Triangle, 2, triangle);
  ASSERT_EQ(quadratic.size(), 6u);
  EXPECT_NEAR(quadratic[0], 1.0, 1e-12);
  std::sort(quadratic.begin() + 3, quadratic.end());
  EXPECT_NEAR(quadratic[3], std::cos(M_PI * std::sqrt(0.5)), 1e-12);
  EXPECT_NEAR(quadratic[4], 0.0, 1e-12);
  EXPECT_NEAR(quadratic[5], 0.0, 1e-12);

  // Only x and y count: the square's far corner is sqrt(2) away whatever its height.
  const double square[12] = {5, 0, 1, 6, 0, 1, 6, 1, 7, 5, 1, 1};
  const std::vector<double> bilinear = galleryNodalValues(DrawKind::Quadrilateral, 1, square);
  ASSERT_EQ(bilinear.size(), 4u);
  EXPECT_NEAR(bilinear[0], 1.0, 1e-12);
  EXPECT_NEAR(bilinear[1], -1.0, 1e-12);
  EXPECT_NEAR(bilinear[2], std::cos(M_PI * std::sqrt(2.0)), 1e-12);
  EXPECT_NEAR(bilinear[3], -1.0, 1e-12);

  EXPECT_EQ(galleryNodalValues(DrawKind::Triangle, 10, triangle).size(), 66u);
  EXPECT_EQ(galleryNodalValues(DrawKind::Quadrilateral, 10, square).size(), 121u);
  // Degree 2 on the square: mid-edge nodes 0.5 and sqrt(1.25) away, the centre sqrt(0.5).
  std::vector<double> biquadratic = galleryNodalValues(DrawKind::Quadrilateral, 2, square);
  ASSERT_EQ(biquadratic.size(), 9u);
  std::sort(biquadratic.begin() + 4, biquadratic.end());
  const double c = std::cos(M_PI * std::sqrt(1.25)), h = std::cos(M_PI * std::sqrt(0.5));
  const double expected[5] = {c, c, h, 0, 0};
  for (int n = 0; n < 5; ++n) EXPECT_NEAR(biquadratic[4 + n], expected[n], 1e-12) << n;
}

TEST(DemoGallery, OtherKindsAndDegreesEndTheProcess) {
  const double vertices[12] = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
  EXPECT_EXIT(galleryNodalValues(DrawKind::TriangleP2, 2, vertices), testing::ExitedWithCode(1),
              "");
  EXPECT_EXIT(galleryNodalValues(DrawKind::Edge, 1, vertices), testing::ExitedWithCode(1), "");
  EXPECT_EXIT(galleryNodalValues(DrawKind::Triangle, 11, vertices), testing::ExitedWithCode(1), "");
  EXPECT_EXIT(galleryNodalValues(DrawKind::Quadrilateral, 0, vertices), testing::ExitedWithCode(1),
              "");
}

}  // namespace
