#pragma once
// ISO 9660 images of test discs, made with xorriso as a user's image of the
// game disc would be.
#include <string>
#include <vector>

#include "base/File.h"

namespace wc::test {

enum class IsoNames {
  Plain,           // ISO 9660 only: upper-case names ending in ";1"
  RockRidgeJoliet  // with Rock Ridge and Joliet names
};

// Where a file or directory of the image comes from: "/AUDIO=/tmp/x/AUDIO".
struct IsoGraft {
  std::string inImage;
  Path source;
};

// Writes `image` holding the grafts; aborts the test binary if xorriso fails.
void makeIsoImage(const Path& image, const std::vector<IsoGraft>& grafts, IsoNames names);

// The bytes of `file` with every occurrence of `from` replaced by `to`
// (same length); the number replaced.
int patchBytes(const Path& file, const std::string& from, const std::string& to);

}  // namespace wc::test
