#include "host/tilemar/sheetnumber.h"

#include <cctype>
#include <cstdint>

namespace md::tilemar::detail {

namespace {

// Sheet sides are whole multiples of half a second of arc.
constexpr std::int64_t kHalfSecondsPerDegree = 7200;
constexpr std::int64_t kMillionLatitude = 4 * kHalfSecondsPerDegree;
constexpr std::int64_t kMillionLongitude = 6 * kHalfSecondsPerDegree;
constexpr char kLastRow = 'O';  // 56..60 degrees north
constexpr int kColumns = 60;

struct ScaleLetter {
  char letter;
  int perSide;
  int scale;
};
constexpr ScaleLetter kScales[] = {{'B', 2, 500000}, {'C', 4, 250000}, {'D', 12, 100000}, {'E', 24, 50000},
                                   {'F', 48, 25000}, {'G', 96, 10000}, {'H', 192, 5000}};

bool Digits(const std::string& s, std::size_t from, std::size_t count, int* value) {
  int v = 0;
  for (std::size_t i = from; i < from + count; ++i) {
    if (!std::isdigit(static_cast<unsigned char>(s[i]))) return false;
    v = v * 10 + (s[i] - '0');
  }
  *value = v;
  return true;
}

double Degrees(std::int64_t halfSeconds) { return static_cast<double>(halfSeconds) / kHalfSecondsPerDegree; }

}  // namespace

bool ParseSheetNumber(const std::string& number, Sheet* sheet, std::string* why) {
  std::string s;
  const std::size_t first = number.find_first_not_of(" \t");
  const std::size_t last = number.find_last_not_of(" \t");
  if (first != std::string::npos) {
    for (std::size_t i = first; i <= last; ++i)
      s.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(number[i]))));
  }
  if (s.size() != 3 && s.size() != 10) {
    *why = "a sheet number has 3 or 10 characters";
    return false;
  }
  if (s[0] < 'A' || s[0] > kLastRow) {
    *why = "row letter outside A..O";
    return false;
  }
  int column = 0;
  if (!Digits(s, 1, 2, &column) || column < 1 || column > kColumns) {
    *why = "column outside 01..60";
    return false;
  }
  const std::int64_t south = (s[0] - 'A') * kMillionLatitude;
  const std::int64_t west = (column - 1) * kMillionLongitude - 180 * kHalfSecondsPerDegree;
  Sheet out;
  if (s.size() == 3) {
    out.scale = 1000000;
    out.south = Degrees(south);
    out.north = Degrees(south + kMillionLatitude);
    out.west = Degrees(west);
    out.east = Degrees(west + kMillionLongitude);
    *sheet = out;
    return true;
  }
  const ScaleLetter* scale = nullptr;
  for (const ScaleLetter& l : kScales) {
    if (l.letter == s[3]) scale = &l;
  }
  if (scale == nullptr) {
    *why = "scale letter outside B..H";
    return false;
  }
  int row = 0, col = 0;
  if (!Digits(s, 4, 3, &row) || !Digits(s, 7, 3, &col) || row < 1 || col < 1 || row > scale->perSide ||
      col > scale->perSide) {
    *why = "row or column outside the sheets of that scale";
    return false;
  }
  const std::int64_t height = kMillionLatitude / scale->perSide;
  const std::int64_t width = kMillionLongitude / scale->perSide;
  const std::int64_t north = south + kMillionLatitude - (row - 1) * height;
  const std::int64_t left = west + (col - 1) * width;
  out.scale = scale->scale;
  out.north = Degrees(north);
  out.south = Degrees(north - height);
  out.west = Degrees(left);
  out.east = Degrees(left + width);
  *sheet = out;
  return true;
}

}  // namespace md::tilemar::detail
