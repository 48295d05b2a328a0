#pragma once
// What a failed write may leave behind: the temporaries of replaced files.
#include <filesystem>
#include <string>
#include <vector>

namespace wc::test {

// Names of the temporaries (".NAME.<random>.partial") left in `directory`.
inline std::vector<std::string> leftoverTemporaries(const std::filesystem::path& directory) {
  std::vector<std::string> names;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(directory, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.size() > 8 && name[0] == '.' && name.ends_with(".partial")) names.push_back(name);
  }
  return names;
}

}  // namespace wc::test
