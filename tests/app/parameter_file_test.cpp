// Parameter file: lookup order, keywords and their error rules.
#include "app/parameter_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <fstream>

#include "tests/support/temporary_directory.h"
#include "tests/support/text_streams.h"

namespace {

// Reads `text` as a parameter file; `messages` receives what was printed.
DisplayParameters readText(const std::string& text, std::string* messages = nullptr) {
  std::FILE* in = streamOf(text);
  std::FILE* out = std::tmpfile();
  DisplayParameters parameters;
  readParameterKeywords(in, &parameters, out);
  if (messages) *messages = textOf(out);
  std::fclose(in);
  std::fclose(out);
  return parameters;
}

TEST(ParameterFile, KeywordsInAnyCaseSetTheirValues) {
  std::string messages;
  DisplayParameters p = readText(
      "some comment words\nCutPlane 1  0.5 0 0  1 0 0\nNUMBEROFSUBISOLINES 20 isolineswidth 2.5\n"
      "palette 0 1 2 3 4 IsoLines 2 0.25 0.75 boundingbox -1 1 -2 2 -3 3 colormap Viridis "
      "displayfield 0",
      &messages);
  ASSERT_EQ(p.NbrUsrCut, 1);
  EXPECT_EQ(p.ctr[0], (std::array<double, 3>{0.5, 0, 0}));
  EXPECT_EQ(p.nor[0], (std::array<double, 3>{1, 0, 0}));
  EXPECT_EQ(p.nbrIso, 9);
  EXPECT_EQ(p.IsoWid, 2.5);
  EXPECT_EQ(p.Pal, 1);
  EXPECT_EQ(p.usrPal[4], 4.0f);
  ASSERT_EQ(p.NbrUsrIso, 2);
  EXPECT_EQ(p.UsrIsoVal, (std::vector<float>{0.25f, 0.75f}));
  EXPECT_EQ(p.bbox[5], 3.0);
  EXPECT_EQ(p.cm, 6);
  EXPECT_EQ(p.displayField, 1);
  EXPECT_FALSE(p.fullFrames);
  EXPECT_EQ(messages, "  Viridis colormap used\n  Display Solution Field 1 \n");
  EXPECT_EQ(readText("isolineswidth 0.1").IsoWid, double(0.1f));  // stored in single precision

  // An unknown colour map keeps the previous one.
  EXPECT_EQ(readText("colormap magma colormap sepia", &messages).cm, 3);
  EXPECT_EQ(messages, "  Magma colormap used\n  unknow colormap ! \n");

  // The full-frames keyword takes no value and is recognised in any case, but only whole.
  EXPECT_FALSE(readText("full frames fullframe fullframess").fullFrames);
  p = readText("FullFrames numberofsubisolines 4");
  EXPECT_TRUE(p.fullFrames);
  EXPECT_EQ(p.nbrIso, 4) << "the word after the keyword is read as a keyword";
  EXPECT_TRUE(readText("colormap viridis FULLFRAMES").fullFrames);
}

TEST(ParameterFile, ErrorsFollowTheirRecoveryRules) {
  std::string messages;
  DisplayParameters p = readText("isolineswidth wide colormap jet", &messages);
  EXPECT_EQ(p.IsoWid, 1.0);
  EXPECT_EQ(p.cm, 0);  // the rest of the file is ignored
  EXPECT_EQ(messages,
            "  ## ERROR: ZELMOR: isolineswidth: ERROR WHILE READING DOUBLE VALUE(wide)\n");
  EXPECT_EQ(readText("palette 1 2 3", &messages).Pal, 0);
  EXPECT_EQ(messages, "  ## ERROR: ZELMOR: palette: MISSING DOUBLE VALUE \n");

  // A bad real abandons only its keyword; the count stays.
  p = readText("cutplane 2 0 0 0 1 0 0  0 x 0 0 1 0 numberofsubisolines 3", &messages);
  EXPECT_EQ(p.NbrUsrCut, 2);
  EXPECT_EQ(p.nor[0], (std::array<double, 3>{1, 0, 0}));
  EXPECT_EQ(p.nbrIso, 3);
  EXPECT_EQ(messages, "  ## ERROR: ZELMOR: cutplane: ERROR WHILE READING DOUBLE VALUE(x)\n");

  p = readText("isolines many colormap jet");
  EXPECT_EQ(p.NbrUsrIso, 0);
  EXPECT_EQ(p.cm, 0);
  EXPECT_EQ(readText("displayfield -3").displayField, 1);
  EXPECT_EQ(readText("displayfield", &messages).displayField, 1);
  EXPECT_EQ(messages, "  ## ERROR: ZELMOR: displayfield: MISSING INTEGER VALUE \n");
  p = readText("numberofsubisolines 2.5 isolineswidth 3");
  EXPECT_EQ(p.nbrIso, 9);
  EXPECT_EQ(p.IsoWid, 1.0);
}

TEST(ParameterFile, ValuesOutsideTheirRangeAreClampedAndCountsMatchTheirArrays) {
  std::string messages;
  DisplayParameters p = readText("numberofsubisolines -4 isolineswidth 5000", &messages);
  EXPECT_EQ(p.nbrIso, 0);
  EXPECT_EQ(p.IsoWid, 1000.0);
  EXPECT_EQ(
      messages,
      "  ## WARNING: ZELMOR: numberofsubisolines: VALUE -4 OUT OF RANGE [0, 9], SET TO 0 \n"
      "  ## WARNING: ZELMOR: isolineswidth: VALUE 5000 OUT OF RANGE [0, 1000], SET TO 1000 \n");
  p = readText("isolineswidth -1 palette 0 1 nan 3 4 boundingbox 0 inf");
  EXPECT_EQ(p.IsoWid, 0.0);
  EXPECT_EQ(p.Pal, 0);
  EXPECT_EQ(p.bbox[1], 0.0);

  // Huge counts allocate only what the file can hold.
  p = readText("cutplane 2000000000 1 2 3 4 5 6");
  EXPECT_LE(p.NbrUsrCut, 10);
  EXPECT_EQ(p.ctr.size(), size_t(p.NbrUsrCut));
  EXPECT_EQ(p.ctr[0], (std::array<double, 3>{1, 2, 3}));
  EXPECT_LE(readText("isolines 2000000000 1").NbrUsrIso, 10);
  // A later count error empties the planes and values of an earlier keyword with it.
  p = readText("cutplane 1 1 2 3 4 5 6 isolines 1 0.5 isolines x");
  EXPECT_EQ(p.NbrUsrCut, 1);
  EXPECT_EQ(p.NbrUsrIso, 0);
  EXPECT_TRUE(p.UsrIsoVal.empty());
  p = readText("cutplane 1 1 2 3 4 5 6 cutplane -");
  EXPECT_EQ(p.NbrUsrCut, 0);
  EXPECT_TRUE(p.ctr.empty() && p.nor.empty());
}

TEST(ParameterFile, LookupPrefersTheMeshFileOverDefaultsAndReadsOnlyRegularFiles) {
  EXPECT_EQ(parameterFileName("mesh.meshb"), "mesh.zelmor");
  EXPECT_EQ(parameterFileName("dir/run.mesh.gz"), "dir/run.zelmor");
  EXPECT_EQ(parameterFileName("cube"), "cube.zelmor");

  const TemporaryDirectory scratch(true);
  std::FILE* out = std::tmpfile();
  DisplayParameters none, fallback, local, fifo, zero;
  EXPECT_FALSE(readParameterFile("cube.meshb", &none, out));
  EXPECT_EQ(none.nbrIso, 9);
  EXPECT_EQ(none.IsoWid, 1.0);
  EXPECT_EQ(none.cm, 0);
  std::ofstream("DEFAULT.zelmor") << "colormap jet";
  EXPECT_TRUE(readParameterFile("cube.meshb", &fallback, out));
  EXPECT_EQ(fallback.cm, 7);
  std::ofstream("cube.zelmor") << "colormap plasma";
  EXPECT_TRUE(readParameterFile("cube.meshb", &local, out));
  EXPECT_EQ(local.cm, 5);
  // A FIFO without writer as the mesh's own file: refused at once, the defaults stay and the
  // files after it are not looked at. An endless device is refused the same way.
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(::mkfifo("fifo.zelmor", 0600), 0);
  EXPECT_FALSE(readParameterFile("fifo.meshb", &fifo, out));
  EXPECT_EQ(fifo.cm, 0);
  std::filesystem::remove("DEFAULT.zelmor");
  std::filesystem::create_symlink("/dev/zero", "DEFAULT.zelmor");
  EXPECT_FALSE(readParameterFile("other.mesh", &zero, out));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_EQ(textOf(out),
            "  %% WARNING: NO PARAMETER FILE FOUND. USE DEFAULT VALUES\n"
            "  % DEFAULT.zelmor OPENED\n  Jet colormap used\n"
            "  % cube.zelmor OPENED\n  Plasma colormap used\n"
            "  ## ERROR: ZELMOR: fifo.zelmor: not a regular file \n"
            "  ## ERROR: ZELMOR: DEFAULT.zelmor: not a regular file \n");
  std::fclose(out);
}

}  // namespace
