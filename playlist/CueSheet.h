#pragma once
// CUE sheet lines for a CD image. Lines end in CR LF; positions are CD
// sectors of 1/75 second printed as mm:ss:ff with the minutes modulo 99.
#include <cstdint>
#include <string>

namespace wc {

std::string cueFileLine(const std::string& wavePath);
std::string cueTrackLine(int trackNumber);
std::string cueIndexLine(int64_t sectors);
inline constexpr const char* kCueTrailer = "\r\n\r\n";

}  // namespace wc
