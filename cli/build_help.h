#pragma once

// The help of orvane-cli build: its inputs, options and output.

namespace cli
{

constexpr char kBuildHelp[] =
    "Usage: orvane-cli build [OPTION...] [--] NAME=VALUE...\n"
    "       orvane-cli build [OPTION...] [-f FILE]... [-]\n"
    "\n"
    "Builds whole ISO 8583 messages by a message specification, the inverse of\n"
    "parse: the bitmaps, every length prefix and BCD pad follow from the fields.\n"
    "\n"
    "Inputs: the NAME=VALUE arguments make one message, for example\n"
    "  orvane-cli build mti=0200 2=4761739001010119 3=000000 4=000000001000\n"
    "NAME is mti, a field number, or a header part of the message specification\n"
    "(tpdu, header); VALUE is the value as parse shows it: text, or hex for b\n"
    "fields and header parts. @FILE takes the value from a file (its last line\n"
    "end removed); @@ stands for a VALUE that starts with @. Without NAME=VALUE\n"
    "arguments, each line of standard input ('-', or when nothing is given) and\n"
    "of every --file is a JSON object as parse --json --unmask writes it: mti,\n"
    "fields, the header parts, and tlv, whose tags build their field when\n"
    "fields leaves it out (when both are given they must agree). input, source,\n"
    "file, length, bitmap, warnings and \"masked\":false are not used; an object\n"
    "with card data masked, or with parse's error, is refused.\n"
    "\n"
    "Options:\n"
    "  -s, --spec NAME|FILE  the message specification: iso87ascii (the default),\n"
    "                       iso87binary, iso87ebcdic, cup, or a JSON file (see\n"
    "                       orvane-cli parse --help)\n"
    "  --to FORM            how each message is written: text (its characters,\n"
    "                       one a line: the default for iso87ascii), hex (one a\n"
    "                       line: the default for the others) or binary (raw\n"
    "                       bytes, one message after another)\n"
    "  --header HEX         these bytes before every message type, in place of\n"
    "                       the message specification's header and of any\n"
    "                       header the inputs give; empty for none\n"
    "  --length-prefix KIND a length before each message: 2 or 4 (bytes,\n"
    "                       big-endian), a4 (4 ASCII digits) or none\n"
    "  --pad                fill short fixed fields the ISO way: n with leading\n"
    "                       zeros, a, an and ans with trailing spaces, b with\n"
    "                       zero bytes\n"
    "  -f, --file PATH      read the JSON lines of PATH; may be repeated\n"
    "  -h, --help           show this help\n"
    "Options may also be written --option=VALUE.\n"
    "\n"
    "Nothing is changed silently: a value that does not fit its format is an\n"
    "error naming the field, the format and what was wrong (\"field 4: 3 digits,\n"
    "the format is n 12\"): a wrong content type, a length over the greatest, a\n"
    "fixed field of another length, a field the message specification does not\n"
    "define. Nothing is written for such an input. A stream written --to binary\n"
    "--length-prefix 2 is what parse --from binary --length-prefix 2 reads.\n"
    "\n"
    "Exit status: 0 if every message was built, 1 if any input was bad, 2 for a\n"
    "usage error.\n";

} // namespace cli
