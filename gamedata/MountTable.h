#pragma once
// Where a game disc may be mounted. Linux has no drive letters, so the
// candidate roots come from the mount table, ordered so that optical discs
// are probed before removable media, those before everything else, and the
// root file system last.
#include <string>
#include <string_view>
#include <vector>

#include "base/File.h"

namespace wc {

struct MountEntry {
  std::string device;
  Path mountPoint;
  std::string fsType;
};

// The text of the mount table, read afresh for every disc search so that a
// disc inserted while the "insert the disc" box is open is seen.
class MountTableSource {
 public:
  virtual ~MountTableSource() = default;
  // The table in /proc/self/mounts format; empty if it cannot be read.
  virtual std::string read() = 0;
};

// The process's own mount table, /proc/self/mounts.
class ProcMountTable final : public MountTableSource {
 public:
  explicit ProcMountTable(FileSystem& fs, Path path = "/proc/self/mounts");
  std::string read() override;

 private:
  FileSystem& fs_;
  Path path_;
};

// Undoes the kernel's octal escapes in a mount table field ("\040" is a space).
std::string decodeMountField(std::string_view field);

// One entry per well-formed line, in table order.
std::vector<MountEntry> parseMountTable(std::string_view text);

// Mount points to probe, best first: iso9660 and udf mounts; then mounts at
// or under /media, /run/media and /mnt; then every other mount; "/" last.
// Table order within each group. Each mount point appears once; kernel
// pseudo file systems (proc, sysfs, autofs triggers, ...) are left out.
std::vector<Path> candidateRoots(const std::vector<MountEntry>& mounts);

}  // namespace wc
