// Parsing of national-series sheet numbers (see igis_tilingrule.h).
#pragma once

#include <string>

namespace md::tilemar::detail {

struct Sheet {
  int scale = 0;      // denominator
  double west = 0.0;  // degrees
  double east = 0.0;
  double north = 0.0;
  double south = 0.0;
};

// False with the reason in *why for a malformed number.
bool ParseSheetNumber(const std::string& number, Sheet* sheet, std::string* why);

}  // namespace md::tilemar::detail
