// Problems worded in English and Chinese: every kind has both wordings with
// no figure left unfilled, and each place is named as the CLI prints it.
#include "problem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

namespace
{

using namespace message;

// Whether text holds a CJK Unified Ideograph (U+4E00-U+9FFF): its UTF-8
// form starts with E4 to E9.
bool HasCjk(const std::string& text)
{
    return std::any_of(text.begin(), text.end(), [](char c) {
        return static_cast<unsigned char>(c) >= 0xE4 && static_cast<unsigned char>(c) <= 0xE9;
    });
}

TEST(Problem, EveryKindWorded)
{
    const std::regex figure("\\{[A-Za-z]+\\}");
    for (int kind = 0; kind <= static_cast<int>(ProblemKind::SpecOther); ++kind)
    {
        for (const Place& place : {Place::OfField(55), Place(PlaceKind::SpecFile, 2, "bank.json")})
        {
            Problem problem(place, 12, static_cast<ProblemKind>(kind));
            problem.needed = 3;
            problem.left = 2;
            problem.at = 1;
            problem.expected = "n";
            problem.found = "AB";
            problem.format = "n 6";
            const std::string english = English(problem);
            const std::string chinese = Chinese(problem);
            EXPECT_FALSE(english.empty()) << kind;
            EXPECT_FALSE(std::regex_search(english, figure)) << kind << ": " << english;
            EXPECT_FALSE(std::regex_search(chinese, figure)) << kind << ": " << chinese;
            EXPECT_TRUE(HasCjk(chinese) || chinese == problem.found) << kind << ": " << chinese;
        }
    }
}

Problem Make(Place place, std::size_t offset, ProblemKind kind, std::size_t needed, std::size_t left,
             std::size_t at, const char* expected, const char* found, const char* format, bool building = false)
{
    Problem problem(std::move(place), offset, kind);
    problem.needed = needed;
    problem.left = left;
    problem.at = at;
    problem.expected = expected;
    problem.found = found;
    problem.format = format;
    problem.building = building;
    return problem;
}

Place SpecFilePlace(std::uint32_t field, std::uint32_t part, const char* path)
{
    Place place(PlaceKind::SpecFile, field, "bank.json");
    place.part = part;
    place.path = path;
    return place;
}

Place TagPlace(std::uint32_t field, const char* path)
{
    Place place(PlaceKind::Tag, field);
    place.path = path;
    return place;
}

// Each of the figures, split by '|', is in text.
void ExpectHolds(const std::string& text, const std::string& figures)
{
    for (std::size_t start = 0; start <= figures.size();)
    {
        const std::size_t end = std::min(figures.find('|', start), figures.size());
        EXPECT_NE(text.find(figures.substr(start, end - start)), std::string::npos)
            << text << "\n" << figures.substr(start, end - start);
        start = end + 1;
    }
}

TEST(Problem, Texts)
{
    using K = ProblemKind;
    const struct
    {
        Problem problem;
        const char* text;
        const char* figures; // that the Chinese text holds too, split by '|'
    } cases[] = {
        {Make(Place::OfField(3), 38, K::EndsInsideValue, 6, 4, 0, "", "", ""),
         "field 3 at byte 38: the message ends inside the field: 6 bytes needed, 4 left", "38|6|4"},
        {Make(Place::OfField(1), 20, K::EndsInside, 16, 1, 0, "", "", ""),
         "field 1 (the secondary bitmap) at byte 20: the message ends inside it: 16 bytes needed, 1 left", "20|16|1"},
        {Make(Place::Of(PlaceKind::Header), 7, K::EndsInside, 6, 2, 0, "", "tpdu", ""),
         "the header at byte 7: the message ends inside its tpdu: 6 bytes needed, 2 left", "7|6|2|tpdu"},
        {Make(Place::OfField(3), 20, K::ContentNotAllowed, 0, 0, 3, "n", "00A000", "n 6"),
         "field 3 at byte 20: \"00A000\" is not n: \"A\" at character 3 (n 6)", "20|\"00A000\"|\"A\"|n 6"},
        {Make(Place::OfField(3), kNoOffset, K::ContentNotAllowed, 0, 0, 3, "n", "00A000", "n 6", true),
         "field 3: \"00A000\" is not n: \"A\" at character 3, the format is n 6", "\"00A000\"|n 6"},
        {Make(Place::OfField(4), kNoOffset, K::FixedLength, 0, 1, 0, "n", "", "n 12", true),
         "field 4: 1 digit, the format is n 12", "1|n 12"},
        {Make(Place::OfField(55), 30, K::TlvOverrunsField, 3, 0, 4, "", "", ""),
         "field 55 at byte 30: TLV value overruns the field by 3 bytes at byte 4 of the value; the rest is shown raw",
         "30|3|4|TLV"},
        {Make(Place(), 4, K::TlvOverrunsTemplate, 1, 0, 4, "", "", ""),
         "the input at byte 4: value overruns its template by 1 byte", "4|1"},
        {Make(SpecFilePlace(35, 0, "\"max\""), kNoOffset, K::SpecWholeNumber, 99, 0, 0, "", "\"abc\"", "LL"),
         "bank.json: field 35: key \"max\": expected a whole number 1-99 for LL, found \"abc\"",
         "bank.json|35|\"max\"|99|LL|\"abc\""},
        {Make(SpecFilePlace(0, 2, "\"name\""), kNoOffset, K::SpecPartTwice, 0, 0, 0, "", "\"tpdu\"", ""),
         "bank.json: header part 2: key \"name\": an earlier part is \"tpdu\" too", "bank.json|2|\"name\"|\"tpdu\""},
        {Make(SpecFilePlace(0, 0, ""), kNoOffset, K::SpecSyntax, 3, 7, 0, "", "syntax error", ""),
         "bank.json: line 3, column 7: syntax error", "bank.json|3|7|syntax error"},
        {Make(Place(), kNoOffset, K::HeaderPartMissing, 5, 0, 0, "tpdu", "", ""),
         "the header's tpdu is not given: 5 bytes in hex (tpdu=...)", "tpdu|5"},
        {Make(Place::OfMember("fields"), kNoOffset, K::NotFieldNumber, 0, 0, 0, "", "x\x01", ""),
         "member \"fields\": \"x\\x01\" is not a field number", "fields|\"x\\x01\""},
        {Make(TagPlace(55, "70\n9F36"), kNoOffset, K::PrimitiveObject, 0, 0, 0, "", "", ""),
         "field 55: tag 70: tag 9F36: primitive: its value is hex, not an object", "55|70|9F36"},
        {Make(Place(), 0, K::StreamEndsInside, 0, 1, 0, "", "", ""),
         "the input at byte 0: the stream ends inside a message: 1 of its length prefix's bytes", "0|1"},
        {Make(Place::OfHeaderPart("tpdu"), kNoOffset, K::HexCharacter, 0, 0, 8, "", "G", "", true),
         "the header's tpdu: a character other than hex digits and spaces, \"G\" at column 8: the value is written "
         "in hex, 2 digits a byte",
         "tpdu|\"G\"|8"},
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(c.text, c.problem.Text());
        const std::string chinese = ChineseText(c.problem);
        EXPECT_TRUE(HasCjk(chinese)) << chinese;
        ExpectHolds(chinese, c.figures);
    }
}

TEST(Problem, Printable)
{
    EXPECT_EQ("\"a\\x22\\x5C\\x0A\\xFF\"", Printable("a\"\\\n\xFF"));
    EXPECT_EQ("\"" + std::string(40, '7') + "...\"", Printable(std::string(41, '7')));
    EXPECT_EQ("\"" + std::string(40, '7') + "\"", Printable(std::string(40, '7')));
}

} // namespace
