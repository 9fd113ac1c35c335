#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Hex text as the main window's edit box shows it: every pair of digits
// followed by one space, and three more spaces after the eighth pair, so the
// primary and secondary bitmaps stand apart. A lone last digit is a pair of one.
std::string FormatHexForDisplay(const std::string& hex);

// The same grouping written to a caller's buffer of at least
// DisplayLength(length) characters, for callers that format many bitmaps;
// returns the end of what was written.
std::size_t DisplayLength(std::size_t length);
char* WriteHexForDisplay(const char* hex, std::size_t length, char* out);

// A user's text for a diagnostic, in double quotes: printable ASCII as is,
// other bytes (and the quote and backslash) as \xNN, cut after 40 characters
// with "..." so a long line cannot flood the message.
std::string QuoteText(std::string_view text);
