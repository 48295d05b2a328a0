#include "support/IsoImage.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "support/DiscFixture.h"

namespace wc::test {
namespace {

std::string shellQuoted(std::string_view text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

}  // namespace

void makeIsoImage(const Path& image, const std::vector<IsoGraft>& grafts, IsoNames names) {
  std::string command = "xorriso -as mkisofs -quiet -iso-level 3 -no-pad ";
  command += names == IsoNames::Plain ? "--norock " : "-R -J ";
  command += "-graft-points -o " + shellQuoted(image.string());
  for (const IsoGraft& graft : grafts) command += " " + shellQuoted(graft.inImage + "=" + graft.source.string());
  command += " >/dev/null 2>&1";
  if (std::system(command.c_str()) != 0) {
    std::fprintf(stderr, "IsoImage: failed: %s\n", command.c_str());
    std::abort();
  }
}

int patchBytes(const Path& file, const std::string& from, const std::string& to) {
  std::vector<uint8_t> bytes = readBytes(file);
  int replaced = 0;
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  for (size_t at = text.find(from); at != std::string_view::npos; at = text.find(from, at + from.size())) {
    std::copy(to.begin(), to.end(), bytes.begin() + std::ptrdiff_t(at));
    ++replaced;
  }
  writeBytes(file, bytes);
  return replaced;
}

}  // namespace wc::test
