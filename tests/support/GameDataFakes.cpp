#include "support/GameDataFakes.h"

namespace wc::test {

void FakeMountTable::addMount(const std::string& mountPoint, const std::string& type, const std::string& device) {
  std::string escaped;
  for (char c : mountPoint) {
    if (c == ' ')
      escaped += "\\040";
    else
      escaped += c;
  }
  text += device + " " + escaped + " " + type + " ro,relatime 0 0\n";
}

}  // namespace wc::test
