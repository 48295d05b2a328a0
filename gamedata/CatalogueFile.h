#pragma once
// The catalogue file's byte image: 16 station records of 38968 bytes, each
// field little-endian at its fixed offset.
#include <cstdint>
#include <span>
#include <vector>

#include "gamedata/CatalogueRecords.h"

namespace wc {

inline constexpr size_t kCatalogueFileSize = sizeof(Catalogue);  // 623488

// The whole file image of `catalogue`.
std::vector<uint8_t> serializeCatalogue(const Catalogue& catalogue);

// Fills `catalogue` from a file image; a shorter image leaves the missing
// tail zero, a longer one is read only up to 623488 bytes.
void parseCatalogue(std::span<const uint8_t> bytes, Catalogue& catalogue);

}  // namespace wc
