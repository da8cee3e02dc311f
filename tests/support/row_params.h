// Catalogue rows as test parameters, each test named after its row
// ("AT89C2051_2052"), so that a run can pick rows by name: the sanitized run
// plays a few rows of each path, the native run every row.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "app/catalogue.h"
#include "platform/utf8.h"

namespace fp::test {

inline std::string row_label(const ChipDescriptor& row) {
  std::string label;
  for (const char c : to_utf8(row.name)) {
    if (std::isalnum(static_cast<unsigned char>(c)) != 0) {
      label += c;
    } else if (!label.empty() && label.back() != '_') {
      label += '_';
    }
  }
  return label;
}

// The indices of the rows the predicate takes, every row without one. An
// index, not the row's address, so that the tests' names are the same in
// every build.
inline std::vector<size_t> rows_where(bool (*take)(const ChipDescriptor&) = nullptr) {
  std::vector<size_t> rows;
  const auto all = catalogue_rows();
  for (size_t i = 0; i < all.size(); ++i) {
    if (take == nullptr || take(all[i])) rows.push_back(i);
  }
  return rows;
}

inline std::string row_param_label(const ::testing::TestParamInfo<size_t>& info) {
  return row_label(catalogue_rows()[info.param]);
}

// A test of one catalogue row.
class RowTest : public ::testing::TestWithParam<size_t> {
 protected:
  [[nodiscard]] static const ChipDescriptor& row() { return catalogue_rows()[GetParam()]; }
};

}  // namespace fp::test
