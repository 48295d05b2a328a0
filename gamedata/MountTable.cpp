#include "gamedata/MountTable.h"

#include <algorithm>
#include <array>
#include <sstream>

namespace wc {
namespace {

bool isOctalDigit(char c) { return c >= '0' && c <= '7'; }

// File systems that can never hold a disc's files. autofs is left out too:
// touching its trigger directory can stall on an unreachable network share,
// and a mounted disc shows up as its own entry anyway.
bool isPseudoFileSystem(std::string_view type) {
  static constexpr std::array<std::string_view, 21> kPseudo = {
      "proc",    "sysfs",       "devpts", "devtmpfs", "cgroup",     "cgroup2",   "securityfs",
      "debugfs", "tracefs",     "pstore", "bpf",      "mqueue",     "hugetlbfs", "configfs",
      "fusectl", "binfmt_misc", "autofs", "efivarfs", "rpc_pipefs", "nsfs",      "selinuxfs"};
  return std::find(kPseudo.begin(), kPseudo.end(), type) != kPseudo.end();
}

bool isAtOrUnder(const std::string& path, std::string_view dir) {
  if (path.compare(0, dir.size(), dir) != 0) return false;
  return path.size() == dir.size() || path[dir.size()] == '/';
}

int preferenceGroup(const MountEntry& m) {
  if (m.fsType == "iso9660" || m.fsType == "udf") return 0;
  const std::string point = m.mountPoint.string();
  if (point == "/") return 3;
  if (isAtOrUnder(point, "/media") || isAtOrUnder(point, "/run/media") || isAtOrUnder(point, "/mnt")) return 1;
  return 2;
}

}  // namespace

ProcMountTable::ProcMountTable(FileSystem& fs, Path path) : fs_(fs), path_(std::move(path)) {}

std::string ProcMountTable::read() {
  // Files under /proc report a size of 0, so read until the end instead.
  auto file = fs_.openRead(path_);
  if (!file) return {};
  std::string text;
  char block[4096];
  for (size_t n; (n = file->read(block, sizeof block)) > 0;) text.append(block, n);
  return text;
}

std::string decodeMountField(std::string_view field) {
  std::string out;
  out.reserve(field.size());
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size() && isOctalDigit(field[i + 1]) && isOctalDigit(field[i + 2]) &&
        isOctalDigit(field[i + 3])) {
      out.push_back(char((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0')));
      i += 3;
    } else {
      out.push_back(field[i]);
    }
  }
  return out;
}

std::vector<MountEntry> parseMountTable(std::string_view text) {
  std::vector<MountEntry> entries;
  std::istringstream lines{std::string(text)};
  for (std::string line; std::getline(lines, line);) {
    std::istringstream fields(line);
    std::string device, point, type;
    if (!(fields >> device >> point >> type)) continue;
    entries.push_back({decodeMountField(device), Path(decodeMountField(point)), decodeMountField(type)});
  }
  return entries;
}

std::vector<Path> candidateRoots(const std::vector<MountEntry>& mounts) {
  std::vector<const MountEntry*> usable;
  for (const auto& m : mounts)
    if (!m.mountPoint.empty() && !isPseudoFileSystem(m.fsType)) usable.push_back(&m);
  std::stable_sort(usable.begin(), usable.end(),
                   [](const MountEntry* a, const MountEntry* b) { return preferenceGroup(*a) < preferenceGroup(*b); });
  std::vector<Path> roots;
  for (const MountEntry* m : usable)
    if (std::find(roots.begin(), roots.end(), m->mountPoint) == roots.end()) roots.push_back(m->mountPoint);
  return roots;
}

}  // namespace wc
