// Class division records for tests: numeric boundaries or text entries of one kind.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/datafile/params.h"
#include "core/stats/real48.h"

namespace veltrix::test {

inline ClassDivisionRecord numericDivision(const std::vector<double>& bounds) {
  ClassDivisionRecord record{};
  record[1] = static_cast<std::uint8_t>(bounds.size());
  for (std::size_t i = 0; i < bounds.size(); ++i) writeReal48(bounds[i], &record[2 + 6 * i]);
  return record;
}

// type 1 equal, 2 contains, 3 begins with; entries cut or blank-padded to 6 characters.
inline ClassDivisionRecord textDivision(int type, const std::vector<std::string>& entries) {
  ClassDivisionRecord record{};
  record[1] = static_cast<std::uint8_t>(entries.size() + 32 * type);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const std::string padded = (entries[i] + "      ").substr(0, 6);
    for (std::size_t j = 0; j < 6; ++j) record[2 + 6 * i + j] = static_cast<std::uint8_t>(padded[j]);
  }
  return record;
}

}  // namespace veltrix::test
