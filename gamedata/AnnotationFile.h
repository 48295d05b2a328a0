#pragma once
// The shareable form of the clip annotations: UTF-8 CSV (RFC 4180 quoting)
// with the header line
//   station,clip,offset,size,class,artist,title,intros,outros
// and one row per clip of every station. A row names its clip by station and
// clip index and also carries the clip's offset and size in its pack, so an
// import from another disc (or another issue of it) is recognised clip by
// clip and never lands on the wrong audio.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "gamedata/CatalogueRecords.h"

namespace wc {

inline constexpr std::string_view kAnnotationHeader = "station,clip,offset,size,class,artist,title,intros,outros";

// The whole file for `catalogue`.
std::string exportAnnotations(const Catalogue& catalogue);

struct AnnotationImport {
  bool recognised = false;  // the bytes are an annotations file at all
  int rows = 0;             // data rows read
  int applied = 0;
  int mismatched = 0;  // no such station or clip here, or its offset or size differs
  int invalid = 0;     // matching clip, but values the catalogue cannot hold
  int skipped() const { return mismatched + invalid; }
  // True when there were rows and none of them matched a clip of this disc.
  bool fromOtherDisc() const { return rows > 0 && mismatched == rows; }
  // The line where a file with the right header stops being CSV (a quote
  // never closed, text after a closing one); 0 when it parsed. Such a file
  // is not recognised either, but its message names the line.
  int damagedLine = 0;
};

// Applies every row whose clip matches and whose values are valid; other rows
// change nothing. A file that is not an annotations file (wrong header, an
// unterminated quote) changes nothing and is reported as not recognised.
AnnotationImport importAnnotations(std::string_view bytes, Catalogue& catalogue);

// The message that tells the user what an import did.
std::string describeImport(const AnnotationImport& result);

// RFC 4180 records: fields split on commas, quoted fields may hold commas,
// doubled quotes and line breaks; CRLF or LF ends a record; blank lines are
// skipped. False on an unterminated quote or text after a closing quote;
// then `errorAt`, when given, is the offset of the field at fault.
bool parseCsv(std::string_view bytes, std::vector<std::vector<std::string>>& records, size_t* errorAt = nullptr);

}  // namespace wc
