#include "gamedata/AnnotationFile.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "gamedata/ClipAnnotation.h"

namespace wc {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr size_t kColumns = 9;

std::string quoted(std::string_view text) {
  const bool needsQuotes = text.find_first_of(",\"\r\n") != std::string_view::npos ||
                           (!text.empty() && (text.front() == ' ' || text.back() == ' '));
  if (!needsQuotes) return std::string(text);
  std::string out = "\"";
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
  return out;
}

template <class Int>
std::optional<Int> number(const std::string& field) {
  Int value{};
  const char* end = field.data() + field.size();
  const auto [ptr, ec] = std::from_chars(field.data(), end, value);
  if (ec != std::errc() || ptr != end || field.empty()) return std::nullopt;
  return value;
}

bool isHeader(const std::vector<std::string>& record) {
  std::string joined;
  for (size_t i = 0; i < record.size(); ++i) joined += (i ? "," : "") + record[i];
  return joined == kAnnotationHeader;
}

enum class RowOutcome { Applied, Mismatched, Invalid };

RowOutcome applyRow(const std::vector<std::string>& row, Catalogue& catalogue) {
  if (row.size() != kColumns) return RowOutcome::Invalid;
  const auto station = number<int>(row[0]);
  const auto clip = number<int>(row[1]);
  const auto offset = number<uint32_t>(row[2]);
  const auto size = number<uint32_t>(row[3]);
  if (!station || !clip || !offset || !size) return RowOutcome::Invalid;
  if (*station < 0 || *station >= kStationCount) return RowOutcome::Mismatched;
  Station& s = catalogue.stations[*station];
  if (*clip < 0 || *clip >= s.validCount()) return RowOutcome::Mismatched;
  const Clip& target = s.clips[*clip];
  if (target.offset != *offset || target.size != *size) return RowOutcome::Mismatched;

  ClipAnnotation a;
  const auto clipClass = number<int32_t>(row[4]);
  const auto intros = number<int32_t>(row[7]);
  const auto outros = number<int32_t>(row[8]);
  if (!clipClass || !intros || !outros) return RowOutcome::Invalid;
  if (!utf8ToLatin1(row[5], a.artist) || !utf8ToLatin1(row[6], a.title)) return RowOutcome::Invalid;
  a.clipClass = *clipClass;
  a.intros = *intros;
  a.outros = *outros;
  return applyAnnotation(s, *clip, a) == AnnotationProblem::None ? RowOutcome::Applied : RowOutcome::Invalid;
}

}  // namespace

std::string exportAnnotations(const Catalogue& catalogue) {
  std::string out(kAnnotationHeader);
  out += "\r\n";
  for (int s = 0; s < kStationCount; ++s) {
    const Station& station = catalogue.stations[s];
    for (int k = 0; k < station.validCount(); ++k) {
      const Clip& c = station.clips[k];
      out += std::to_string(s) + ',' + std::to_string(k) + ',' + std::to_string(c.offset) + ',' +
             std::to_string(c.size) + ',' + std::to_string(c.clipClass) + ',' +
             quoted(latin1ToUtf8(clipText(c.artist))) + ',' + quoted(latin1ToUtf8(clipText(c.title))) + ',' +
             std::to_string(c.intros) + ',' + std::to_string(c.outros) + "\r\n";
    }
  }
  return out;
}

bool parseCsv(std::string_view bytes, std::vector<std::vector<std::string>>& records, size_t* errorAt) {
  records.clear();
  std::vector<std::string> record;
  std::string field;
  size_t i = 0;
  const size_t n = bytes.size();
  auto endRecord = [&] {
    record.push_back(std::move(field));
    field.clear();
    const bool blank = record.size() == 1 && record[0].empty();
    if (!blank) records.push_back(std::move(record));
    record.clear();
  };
  auto fail = [&](size_t at) {
    if (errorAt) *errorAt = at;
    return false;
  };
  while (i < n) {
    bool wasQuoted = false;
    const size_t fieldStart = i;
    if (bytes[i] == '"') {
      wasQuoted = true;
      ++i;
      for (;;) {
        if (i >= n) return fail(fieldStart);  // unterminated quote
        if (bytes[i] == '"') {
          if (i + 1 < n && bytes[i + 1] == '"') {
            field += '"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        field += bytes[i++];
      }
    } else {
      while (i < n && bytes[i] != ',' && bytes[i] != '\r' && bytes[i] != '\n') field += bytes[i++];
    }
    if (i >= n) break;
    const char c = bytes[i];
    if (c == ',') {
      record.push_back(std::move(field));
      field.clear();
      ++i;
      if (i >= n) break;  // a trailing comma ends the file with an empty field
    } else if (c == '\r' || c == '\n') {
      i += (c == '\r' && i + 1 < n && bytes[i + 1] == '\n') ? 2 : 1;
      endRecord();
    } else if (wasQuoted) {
      return fail(fieldStart);  // text after a closing quote
    }
  }
  if (!record.empty() || !field.empty()) endRecord();
  return true;
}

AnnotationImport importAnnotations(std::string_view bytes, Catalogue& catalogue) {
  AnnotationImport result;
  if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) bytes.remove_prefix(kUtf8Bom.size());
  std::vector<std::vector<std::string>> records;
  size_t errorAt = 0;
  if (!parseCsv(bytes, records, &errorAt)) {
    // A stray quote in a row of a real annotations file is damage to name,
    // not a sign of some other kind of file.
    const std::string_view firstLine = bytes.substr(0, bytes.find_first_of("\r\n"));
    if (parseCsv(firstLine, records) && !records.empty() && isHeader(records[0]))
      result.damagedLine = 1 + int(std::count(bytes.begin(), bytes.begin() + std::ptrdiff_t(errorAt), '\n'));
    return result;
  }
  if (records.empty() || !isHeader(records[0])) return result;
  result.recognised = true;
  for (size_t r = 1; r < records.size(); ++r) {
    ++result.rows;
    switch (applyRow(records[r], catalogue)) {
      case RowOutcome::Applied: ++result.applied; break;
      case RowOutcome::Mismatched: ++result.mismatched; break;
      case RowOutcome::Invalid: ++result.invalid; break;
    }
  }
  return result;
}

std::string describeImport(const AnnotationImport& r) {
  if (r.damagedLine > 0)
    return "The annotations file is damaged at line " + std::to_string(r.damagedLine) +
           " (a quote that is never closed, or text right after a closing quote). Nothing was applied.";
  if (!r.recognised)
    return "This is not an annotations file. Its first line must be:\n" + std::string(kAnnotationHeader);
  if (r.rows == 0) return "The file holds no annotations; nothing was applied.";
  if (r.fromOtherDisc())
    return "None of the " + std::to_string(r.rows) +
           " annotations in this file match the clips of your disc, so nothing was applied. "
           "The file was made from a different disc.";
  std::string text = "Applied " + std::to_string(r.applied) + " of " + std::to_string(r.rows) + " annotations.";
  if (r.mismatched) text += "\nSkipped " + std::to_string(r.mismatched) + " that do not match a clip of your disc.";
  if (r.invalid) text += "\nSkipped " + std::to_string(r.invalid) + " with values that are not valid.";
  return text;
}

}  // namespace wc
