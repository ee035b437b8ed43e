// Static check of the shader suite: every stage file, its includes expanded, passes the
// reference GLSL compiler; every program of the table names files that exist.
#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "gpu/shader_programs.h"

namespace {

const std::string kGlslFolder = std::string(ZEL_TEST_DATA) + "/../../glsl/";

// Stage name of the validator for a file extension; empty for shared include files.
std::string stageOf(const std::string& file) {
  const std::string extension = file.substr(file.find_last_of('.') + 1);
  if (extension == "vs") return "vert";
  if (extension == "fs") return "frag";
  if (extension == "gs") return "geom";
  if (extension == "tcs") return "tesc";
  if (extension == "tes") return "tese";
  return "";
}

std::vector<std::string> stageFiles() {
  std::vector<std::string> files;
  if (DIR* folder = opendir(kGlslFolder.c_str())) {
    while (dirent* entry = readdir(folder)) {
      const std::string name = entry->d_name;
      if (name.find('.') != std::string::npos && !stageOf(name).empty()) files.push_back(name);
    }
    closedir(folder);
  }
  return files;
}

// Runs a command, returns its exit status and its output.
int run(const std::string& command, std::string& output) {
  output.clear();
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return -1;
  char buffer[512];
  while (fgets(buffer, sizeof buffer, pipe)) output += buffer;
  return pclose(pipe);
}

TEST(ShaderFiles, EveryStageFilePassesTheValidator) {
  std::string output;
  ASSERT_EQ(run("glslangValidator --version", output), 0)
      << "glslangValidator (Debian glslang-tools) is needed: " << output;
  const std::vector<std::string> files = stageFiles();
  ASSERT_GE(files.size(), 40u) << "shader folder " << kGlslFolder;
  char folderTemplate[] = "/tmp/zel-glsl-XXXXXX";
  ASSERT_NE(mkdtemp(folderTemplate), nullptr);
  const std::string scratch = folderTemplate;
  for (const std::string& file : files) {
    const std::string stage = stageOf(file);
    // Preprocess with includes followed, then validate the result as that stage.
    const std::string expanded = scratch + "/expanded." + stage;
    const int preprocessed = run(
        "cd " + kGlslFolder + " && glslangValidator -E -S " + stage + " " + file + " > " + expanded,
        output);
    EXPECT_EQ(preprocessed, 0) << file << ": " << output;
    if (preprocessed != 0) continue;
    EXPECT_EQ(run("glslangValidator " + expanded, output), 0) << file << ":\n" << output;
    std::remove(expanded.c_str());
  }
  // The check can fail: an undeclared name is caught.
  const std::string broken = scratch + "/broken.frag";
  if (FILE* file = std::fopen(broken.c_str(), "w")) {
    std::fputs("#version 410 core\nout vec4 c;\nvoid main() { c = vec4(undeclared); }\n", file);
    std::fclose(file);
  }
  EXPECT_NE(run("glslangValidator " + broken, output), 0);
  std::remove(broken.c_str());
  rmdir(scratch.c_str());
}

TEST(ShaderFiles, EveryProgramNamesExistingStages) {
  int count = 0;
  const ZelShaderProgramSources* programs = zelShaderPrograms(count);
  EXPECT_EQ(count, 17);
  for (int i = 0; i < count; ++i) {
    const ZelShaderProgramSources& p = programs[i];
    EXPECT_EQ(zelShaderProgram(p.name), &p);
    ASSERT_TRUE(p.vs && p.fs) << p.name;
    // Tessellation stages come in pairs.
    EXPECT_EQ(p.tcs == nullptr, p.tes == nullptr) << p.name;
    for (const char* path : {p.vs, p.fs, p.gs, p.tcs, p.tes}) {
      if (!path) continue;
      const std::string file = std::string(path).substr(std::string(":/glsl/").size());
      struct stat info;
      EXPECT_EQ(stat((kGlslFolder + file).c_str(), &info), 0) << p.name << ": " << file;
    }
  }
  EXPECT_EQ(zelShaderProgram("NoSuchSha"), nullptr);
}

}  // namespace
