// The main of every test binary: pins the environment the tests rely on, so
// a binary run by hand behaves as under ctest.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
  const std::string source = QUILLORA_SOURCE_DIR;
  const std::string binary = QUILLORA_BINARY_DIR;
  // Tests never depend on whatever fonts the machine has: fontconfig sees
  // only the folders of the packages scripts/setup installs.
  setenv("FONTCONFIG_FILE", (source + "/tests/data/fonts.conf").c_str(), 1);
  setenv("QUILLORA_TEST_DATA", (source + "/tests/data").c_str(), 0);
  setenv("QUILLORA_TEST_TMP", (binary + "/tests/tmp").c_str(), 0);
  setenv("QUILLORA_TOOLS_DIR", (binary + "/tools").c_str(), 0);
  setenv("QUILLORA_CORPUS", (source + "/../shared/corpus").c_str(), 0);
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
