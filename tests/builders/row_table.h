#pragma once
// Rows that the row scans and the packer are held to: every length from 0 to 300 in a few
// patterns, runs of telling lengths at every position, runs across the packer's segments of
// 4096 bytes, and random rows of few values.

#include <cstdint>
#include <string>
#include <vector>

namespace quillon::test {

using Row = std::vector<uint8_t>;

const std::vector<Row>& RowTable();

// The row's length and its first bytes, for a failure message.
std::string Describe(const Row& row);

}  // namespace quillon::test
