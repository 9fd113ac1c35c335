#pragma once

// One type for every failure and doubt about a message, its input or a
// message specification file: where it is, at which byte, what kind of
// problem, and its figures. The words come last, from one function per
// language, so the window can say in Chinese what the CLI says in English.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace message
{

enum class PlaceKind : std::uint8_t
{
    Input,        // the input as a whole
    LengthPrefix, // the length before the message
    Header,       // the header, or one part of it by name
    Mti,
    PrimaryBitmap,
    Field, // field n; 1 is the secondary bitmap
    Tag,   // a TLV tag inside field n
    Member, // a member of a JSON object, by name
    SpecFile, // a message specification file, its field or header part, and key
};

struct Place
{
    PlaceKind kind = PlaceKind::Input;
    std::uint32_t field = 0; // Field, Tag; in a specification file, 0 or the field
    std::uint32_t part = 0;  // in a specification file: 0 or the header part, from 1
    std::string name;        // a header part, a JSON member; a specification file's name
    // One per line: for Tag the tags from the outermost template in; in a
    // specification file the keys down to the problem, as JSON writes them.
    std::string path;

    Place() = default;
    explicit Place(PlaceKind kind, std::uint32_t field = 0, std::string name = "")
        : kind(kind), field(field), name(std::move(name))
    {
    }

    static Place Of(PlaceKind kind) { return Place(kind); }
    static Place OfField(std::uint32_t field) { return Place(PlaceKind::Field, field); }
    static Place OfHeaderPart(std::string name) { return Place(PlaceKind::Header, 0, std::move(name)); }
    static Place OfMember(std::string name) { return Place(PlaceKind::Member, 0, std::move(name)); }
};

// What went wrong. The comment of each names the figures it uses.
enum class ProblemKind : std::uint8_t
{
    // Reading a message.
    EndsInside,            // needed, left; found: the header part it ends in, if any
    EndsInsidePrefix,      // needed, left: inside a field's length prefix
    EndsInsideValue,       // needed, left: inside a field's value
    BytesLeft,             // left: after the last field
    UndefinedBit,          // expected: the message specification's name
    LengthPrefixDisagrees, // needed: what it says follow, left: what do
    NotFourDigits,         // found: the message type
    NotHexBitmap,          // found
    MessageLengthNotDigits, // found: the 4 characters of an ASCII length prefix
    BcdLength,             // found: hex of the prefix
    AsciiLength,           // needed: the digits, found
    EbcdicLength,          // needed: the digits, found: hex of the prefix
    LengthOverGreatest,    // left: the length, needed: the greatest, format
    NotHexText,            // found: the pair, at: its character from 1
    ContentNotAllowed,     // found: the text, expected: the content, at: the character from 1
    PadNibble,             // found: the nibble
    BcdNibble,             // found: the nibble, expected: hex of the value, at: the digit from 1
    // Malformed BER-TLV; at: where the object starts within the value.
    TlvTagTooLong,
    TlvTruncatedTag,
    TlvTruncatedLength,
    TlvIndefiniteLength,
    TlvLengthTooLong,      // needed: the length's bytes
    TlvOverrunsField,      // needed: the bytes too many
    TlvOverrunsTemplate,   // needed: the bytes too many
    TlvTooDeep,            // needed: the deepest
    // Writing a message.
    GivenTwice,
    BitmapGiven,
    UndefinedField,        // expected: the message specification's name
    NeedsTertiary,
    HeaderPartCount,       // needed, left
    HeaderPartSize,        // expected: the part, needed, left
    TooLongForAsciiPrefix, // needed: the bytes
    TooLongForBinaryPrefix, // needed: the bytes
    FixedLength,           // left: the length, format
    OverGreatest,          // left: the length, format
    NoSign,                // format
    NotBcd,                // found: the character, format
    // The wire forms.
    HexCharacter,          // found: the character, at: its column from 1
    HexOddDigits,          // needed: the count
    EmptyMessage,
    MessageTooLong,        // needed: the most
    StreamEndsInside,      // left: the bytes there, needed: its size, 0 while its length prefix is cut
    LineTooLong,           // needed: the most
    // A hex dump's line: needed is its number, at the column, both from 1.
    DumpOffsetDigits,      // found: the token
    DumpOffset,            // expected, found: offsets in hex
    DumpStarEnd,
    DumpStarOffset,        // expected, found: offsets in hex, left: the bytes of the line repeated
    DumpStarTooLong,       // left: the bytes it would stand for, expected: the most
    DumpStarLine,
    DumpCharacters,        // left: the bytes of the line, found: what stands where the characters should
    DumpLastGroup,         // found
    DumpHexGroup,          // found
    DumpHexByte,           // found
    DumpSecond,
    // The input of build: NAME=VALUE or a JSON object.
    UnknownName,           // found: the name, expected: the header parts
    MtiTwice,
    HeaderPartTwice,       // expected: the part
    NoSuchField,           // found: the number
    MtiMissing,
    HeaderPartMissing,     // expected: the part, needed: its bytes
    EmptyLine,
    NotJson,               // found: the parser's reason
    NotJsonObject,
    ParseError,            // found: parse's error
    Masked,
    ExpectedObject,
    ExpectedString,
    NotFieldNumber,        // found
    BeyondLatin1,          // at: the byte
    UnknownMember,         // found, expected: the header parts
    NotTlvField,           // found, expected: the message specification's name
    NotTag,                // found
    TagsExpected,
    TlvValueExpected,
    PrimitiveObject,
    TagsTooDeep,           // needed
    TlvDiffers,
    LineBreak,             // at: its byte
    // A part of a message named by a user: mti, a field, FIELD.TAG ...
    PartFieldOutside,      // found: the number
    PartNotTag,            // found
    PartUnknown,           // found
    // A message specification file.
    SpecSyntax,            // needed: line, left: column, found: the parser's reason
    SpecKeyTwice,
    SpecRootObject,        // found
    SpecUnknownKey,        // expected: the keys allowed
    SpecRequired,          // expected: the built-in names, for "base"
    SpecOneOf,             // expected: the choices, found, format: the type they are for
    SpecWholeNumber,       // needed: the most, format: the length kind it is for, found
    SpecBoolean,           // found
    SpecString,            // found
    SpecNameText,          // found
    SpecFieldEntry,        // found
    SpecLengthBelowMax,    // expected: the length kind, needed: its most, left: max
    SpecTlvNotB,           // expected: the content
    SpecHeaderList,        // found
    SpecPartEntry,         // found
    SpecPartName,          // found
    SpecPartTwice,         // found
    SpecNotFieldNumber,    // found
    SpecSecondaryBitmap,
    SpecTertiaryField,
    SpecNeedsTertiary,
    SpecUnknownBase,       // found, expected: the built-in names
    SpecEmptyName,         // found
    SpecFieldsObject,      // found
    SpecOther,             // found: the library's words
};

// Where a problem has no byte offset: in a value given to build, in a file.
constexpr std::size_t kNoOffset = static_cast<std::size_t>(-1);

struct Problem
{
    Place place;
    std::size_t offset = kNoOffset; // from the first byte of the input
    ProblemKind kind = ProblemKind::EndsInside;
    std::size_t needed = 0;
    std::size_t left = 0;
    std::size_t at = 0;
    std::string expected;
    std::string found;
    std::string format; // the field's, as DescribeFormat writes it
    bool building = false; // a value refused while building, not doubted while reading

    Problem() = default;
    explicit Problem(Place place, std::size_t offset = kNoOffset, ProblemKind kind = ProblemKind::EndsInside)
        : place(std::move(place)), offset(offset), kind(kind)
    {
    }

    // "field 4 at byte 23: ...", "field 4: ...", "file.json: field 35: key \"max\": ..."
    std::string Text() const;
};

// Sets problem to a refusal with no byte offset and returns false: a check's
// one line.
bool Refuse(Problem& problem, Place place, ProblemKind kind, std::string found = "", std::string expected = "");

// The place alone: "field 4", "the message type", "field 1 (the secondary bitmap)".
std::string PlaceName(const Place& place);

// The problem without its place, in English and in Chinese (UTF-8).
std::string English(const Problem& problem);
std::string Chinese(const Problem& problem);
// With the place and offset in front, in Chinese: the window's line.
std::string ChineseText(const Problem& problem);

// A text in double quotes with bytes outside printable ASCII as \xNN, cut
// after a few dozen characters: for problems about bad input.
std::string Printable(std::string_view text);

} // namespace message
