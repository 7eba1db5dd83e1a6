// Tables as parameterized tests: each row is its own test case, named after the row, so that one
// red row hides no other and a row can be run alone (--gtest_filter='*/a_short_reception').
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <type_traits>

namespace velotrix::test {

// The row's name with every character that a test name cannot hold made '_'.
template <typename Row>
std::string RowName(const ::testing::TestParamInfo<Row>& info) {
    std::string name = info.param.name;
    for (char& c : name) {
        c = std::isalnum(static_cast<unsigned char>(c)) != 0 ? c : '_';
    }
    return name;
}

}  // namespace velotrix::test

// Runs TEST_P(suite, ...) once for each row of the array rows.
#define VELOTRIX_ROWS(suite, rows)                                   \
    INSTANTIATE_TEST_SUITE_P(Rows, suite, ::testing::ValuesIn(rows), \
                             RowName<std::remove_cvref_t<decltype(rows[0])>>)
