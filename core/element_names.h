#pragma once

#include <cstdint>

// The short English name of the ISO 8583:1987 data element that bit n
// (1..128) announces, or nullptr for any other number.
const char* DataElementName(std::uint32_t bit);

// The Chinese name of the same data element as Chinese bank-card switching
// writes it, in UTF-8, or nullptr for any other number.
const char* DataElementNameZh(std::uint32_t bit);
