#include "gamedata/CaseInsensitivePath.h"

#include <algorithm>
#include <vector>

namespace wc {
namespace {

char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

bool equalIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return asciiLower(x) == asciiLower(y); });
}

// `name` without a trailing ";<digits>" version.
std::string_view withoutVersion(std::string_view name) {
  const size_t semicolon = name.rfind(';');
  if (semicolon == std::string_view::npos || semicolon + 1 == name.size()) return name;
  const auto version = name.substr(semicolon + 1);
  if (!std::all_of(version.begin(), version.end(), [](char c) { return c >= '0' && c <= '9'; })) return name;
  return name.substr(0, semicolon);
}

}  // namespace

bool entryNameMatches(std::string_view entry, std::string_view wanted) {
  if (equalIgnoringCase(entry, wanted)) return true;
  std::string_view bare = withoutVersion(entry);
  if (bare.size() == entry.size()) return false;
  if (equalIgnoringCase(bare, wanted)) return true;
  // "README.;1" stands for "README".
  if (!bare.empty() && bare.back() == '.' && wanted.find('.') == std::string_view::npos)
    return equalIgnoringCase(bare.substr(0, bare.size() - 1), wanted);
  return false;
}

std::optional<Path> findEntryIgnoringCase(FileSystem& fs, const Path& dir, std::string_view wanted) {
  const std::vector<std::string> names = fs.listDirectory(dir);
  if (names.empty()) return dir / wanted;
  if (std::find(names.begin(), names.end(), wanted) != names.end()) return dir / wanted;
  for (const auto& name : names)
    if (entryNameMatches(name, wanted)) return dir / name;
  return std::nullopt;
}

std::optional<Path> resolveIgnoringCase(FileSystem& fs, const Path& base,
                                        std::initializer_list<std::string_view> components) {
  Path path = base;
  for (std::string_view component : components) {
    auto next = findEntryIgnoringCase(fs, path, component);
    if (!next) return std::nullopt;
    path = std::move(*next);
  }
  return path;
}

std::optional<Path> resolveIgnoringCase(FileSystem& fs, const Path& base, const Path& relative) {
  Path path = base;
  for (const Path& component : relative) {
    auto next = findEntryIgnoringCase(fs, path, component.string());
    if (!next) return std::nullopt;
    path = std::move(*next);
  }
  return path;
}

}  // namespace wc
