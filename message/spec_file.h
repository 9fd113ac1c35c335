#pragma once

// A message specification described by the user in a JSON file: a built-in
// specification and what differs from it. The caller reads the file; this
// only reads its text.

#include "problem.h"
#include "spec.h"

#include <string>
#include <string_view>

namespace message
{

// Reads a specification file's text into spec. fileName is only for the
// name's default (its stem) and for problems. On failure returns false and
// problem says where and what; its Text() names the file first:
//   bank.json: field 35: key "max": expected a whole number 1-99, found "abc"
//   bank.json: line 3, column 7: syntax error while parsing object key ...
//   bank.json: key "base": expected one of iso87ascii, ..., found "iso87foo"
bool LoadSpecFile(std::string_view text, const std::string& fileName, MessageSpec& spec, Problem& problem);

// The file's keys and rules for the user, in plain ASCII lines of at most
// 79 columns, ending in a newline: for parse --help and the README.
extern const char kSpecFileHelp[];

} // namespace message
