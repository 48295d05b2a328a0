#pragma once
// A short name for one disc's audio data, for remembering choices per disc
// in the program's settings: two discs (or issues of one) whose lookup
// tables differ get different names. It is worked out from the clips'
// places in their packs, which the catalogue always holds exactly as the
// lookup table gives them, so no file is read for it.
#include <string>

#include "gamedata/CatalogueRecords.h"

namespace wc {

// 16 lower-case hexadecimal digits.
std::string discFingerprint(const Catalogue& catalogue);

}  // namespace wc
