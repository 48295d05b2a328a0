#pragma once
// Finding a disc's files whatever the case of their names. Discs are mounted
// with upper-case names, lower-case names (ISO 9660 without Rock Ridge) or
// names that keep the ISO 9660 version suffix (";1").
#include <initializer_list>
#include <optional>
#include <string_view>

#include "base/File.h"

namespace wc {

// True if the directory entry `entry` stands for `wanted`: equal ignoring
// ASCII case, also when `entry` carries a ";<version>" suffix (and the dot
// that ISO 9660 keeps after a name without extension).
bool entryNameMatches(std::string_view entry, std::string_view wanted);

// The path of `wanted` inside `dir`, preferring an exact match. If the
// directory cannot be listed the exact name is returned for the caller's open
// to decide; nullopt if the listing holds no matching entry.
std::optional<Path> findEntryIgnoringCase(FileSystem& fs, const Path& dir, std::string_view wanted);

// Resolves `components` one by one below `base`.
std::optional<Path> resolveIgnoringCase(FileSystem& fs, const Path& base,
                                        std::initializer_list<std::string_view> components);
// Resolves each component of the relative path `relative` below `base`.
std::optional<Path> resolveIgnoringCase(FileSystem& fs, const Path& base, const Path& relative);

}  // namespace wc
