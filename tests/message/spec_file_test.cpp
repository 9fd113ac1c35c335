// Specification files: every kind of mistake named with its place, and good
// files whose specifications read messages the built-in ones cannot.
#include "reader.h"
#include "spec_file.h"

#include "hex_bytes.h"

#include <gtest/gtest.h>

#include <sstream>

namespace
{

using namespace message;

struct BadFile
{
    const char* text;
    const char* error; // a fragment of the error after "bank.json: "
};

const BadFile kBadFiles[] = {
    {"", "line 1, column 1: syntax error while parsing value - unexpected end of input"},
    {"{\n  \"base\": \"cup\",\n  x\n}", "line 3, column 3: syntax error while parsing object key"},
    {"[]", "expected an object of keys such as \"base\", found []"},
    {"{}", "key \"base\": required: one of iso87ascii, iso87binary, iso87ebcdic, cup"},
    {R"({"base": "iso87foo"})", "key \"base\": unknown specification \"iso87foo\"; built-in ones: iso87ascii, "},
    {R"({"base": "cup", "bsae": 1})", "key \"bsae\": unknown; the keys of a specification file are base, name"},
    {R"({"base": "cup", "tertiary": "yes"})", "key \"tertiary\": expected true or false, found \"yes\""},
    {R"({"base": "cup", "length_prefix": 2})", "key \"length_prefix\": expected one of none, 2, 4, a4, found 2"},
    {R"({"base": "cup", "header": [{"name": "tpdu", "bytes": 5}, {"name": "tpdu", "bytes": 6}]})",
     "header part 2: key \"name\": an earlier part is \"tpdu\" too"},
    {R"({"base": "cup", "fields": {"35": {"max": 10}, "35": null}})", "field 35: given twice"},
    {R"({"base": "cup", "fields": {"35": {"max": 10, "max": 11}}})", "field 35: key \"max\": given twice"},
    {R"({"base": "cup", "fields": [1]})", "key \"fields\": expected an object of field numbers"},
    {R"({"base": "cup", "fields": {"035": null}})", "key \"fields\": \"035\" is not a field number 2-192"},
    {R"({"base": "cup", "fields": {"1": null}})", "field 1: the secondary bitmap cannot be changed"},
    {R"({"base": "cup", "fields": {"65": {"max": 8}}})", "field 65: it announces the tertiary bitmap"},
    {R"({"base": "cup", "tertiary": false, "fields": {"130": null}})", "field 130: fields 129-192 need"},
    {R"({"base": "cup", "fields": {"2": 5}})", "field 2: expected an object of its keys, or null to remove it"},
    {R"({"base": "cup", "fields": {"2": {"maxx": 5}}})", "field 2: key \"maxx\": unknown; the keys of a field are"},
    {R"({"base": "cup", "fields": {"35": {"max": "abc"}}})",
     "field 35: key \"max\": expected a whole number 1-99 for LL, found \"abc\""},
    {R"({"base": "cup", "fields": {"3": {"max": 0}}})", "field 3: key \"max\": expected a whole number 1-9999, found 0"},
    {R"({"base": "cup", "fields": {"3": {"max": 6.0}}})", "field 3: key \"max\": expected a whole number"},
    {R"({"base": "cup", "fields": {"48": {"max": 1000}}})", "expected a whole number 1-999 for LLL, found 1000"},
    {R"({"base": "iso87ascii", "fields": {"48": {"length": "LL"}}})",
     "field 48: key \"length\": LL counts up to 99, less than max 999; give a max too"},
    {R"({"base": "cup", "fields": {"35": {"encoding": "bdc"}}})",
     "field 35: key \"encoding\": expected one of ascii, ebcdic, bcd, binary, hex, found \"bdc\""},
    {R"({"base": "cup", "fields": {"43": {"encoding": "bcd"}}})",
     "field 43: key \"encoding\": expected one of ascii, ebcdic for type ans, found \"bcd\""},
    {R"({"base": "cup", "fields": {"52": {"encoding": "ascii"}}})", "expected one of binary, hex for type b"},
    {R"({"base": "cup", "fields": {"48": {"tlv": true}}})", "field 48: key \"tlv\": only a b field holds TLV"},
    {R"({"base": "cup", "fields": {"22": {"pad_nibble": "f"}}})", "key \"pad_nibble\": expected one of 0, F"},
    {R"({"base": "cup", "fields": {"62": {"name_zh": 62}}})", "field 62: key \"name_zh\": expected a string, found 62"},
    {R"({"base": "cup", "fields": {"62": {"name": "Batch\ttotals"}}})",
     "field 62: key \"name\": expected a name without control characters, found \"Batch\\ttotals\""},
    {R"({"base": "cup", "fields": {"130": {"type": "n", "length": "fixed"}}})",
     "field 130: key \"max\": required for a field the base does not have"},
};

TEST(SpecFile, BadFilesNameTheirPlace)
{
    for (const BadFile& bad : kBadFiles)
    {
        MessageSpec spec;
        Problem problem;
        EXPECT_FALSE(LoadSpecFile(bad.text, "bank.json", spec, problem)) << bad.text;
        const std::string error = problem.Text();
        EXPECT_EQ(error.rfind("bank.json: ", 0), 0U) << error;
        EXPECT_NE(error.find(bad.error), std::string::npos) << error;
    }
}

TEST(SpecFile, FramingLongFieldsAndATertiaryField)
{
    const char* text = R"({
        // Comments are allowed.
        "base": "iso87binary", "length_prefix": "2", "header": [{"name": "tpdu", "bytes": 5}],
        "fields": {"48": {"length": "LLLL", "max": 2000}, "22": {"pad": "right"},
                   "55": {"type": "b", "length": "LLL", "max": 255, "tlv": true},
                   "130": {"type": "n", "length": "fixed", "max": 3, "name": "Batch number"},
                   "62": {"name_zh": "批次汇总"}, "127": null}})";
    MessageSpec spec;
    Problem problem;
    ASSERT_TRUE(LoadSpecFile(text, "dir/mybank.json", spec, problem)) << problem.Text();
    EXPECT_EQ(spec.name, "mybank");
    EXPECT_EQ(DescribeFormat(*spec.fields[48]), "an....2000 LLLLVAR");
    EXPECT_EQ(spec.fields[48]->prefix, Encoding::Bcd);
    EXPECT_EQ(spec.fields[22]->pad, Pad::Right);
    EXPECT_EQ(spec.fields[55]->encoding, Encoding::Binary); // the type changed: bytes as the base writes them
    EXPECT_TRUE(spec.fields[55]->tlv);
    EXPECT_FALSE(spec.fields[127]);
    EXPECT_EQ(spec.names[130].english, "Batch number");
    EXPECT_EQ(spec.names[62].chinese, "批次汇总");
    EXPECT_EQ(spec.names[62].english, ""); // the 1987 name stays

    // 1200 characters in field 48, which LLL could not count; 123 in BCD in field 130.
    const std::string value(1200, 'x');
    const std::string body = Bytes("6000000000 0200 8000000000010000 8000000000000000 4000000000000000 1200") +
                             value + Bytes("0123");
    const std::string input = Bytes("04D3") + body;
    ASSERT_EQ(body.size(), 0x04D3U);
    Message message;
    ASSERT_TRUE(ReadMessage(spec, spec.framing, input, {}, message, problem)) << problem.Text();
    ASSERT_TRUE(message.Find(48) && message.Find(130));
    EXPECT_EQ(message.Value(*message.Find(48)), value);
    EXPECT_EQ(message.Value(*message.Find(130)), "123");
}

TEST(SpecFile, WithoutTertiaryField65IsData)
{
    MessageSpec spec;
    Problem problem;
    ASSERT_TRUE(LoadSpecFile(R"({"base": "iso87ascii", "name": "plain", "tertiary": false})", "x", spec, problem));
    EXPECT_EQ(spec.name, "plain");
    EXPECT_FALSE(spec.HasTertiary());
    EXPECT_EQ(spec.input, WireForm::Text);
    Message message;
    ASSERT_TRUE(ReadMessage(spec, spec.framing, "08008000000000000000800000000000000001020304050607FF", {}, message,
                            problem))
        << problem.Text();
    ASSERT_TRUE(message.Find(65));
    EXPECT_EQ(message.Value(*message.Find(65)), Bytes("01020304050607FF"));

    // BCD and binary parts cannot be pasted as characters.
    ASSERT_TRUE(LoadSpecFile(R"({"base": "iso87ascii", "mti": "bcd", "bitmap": "binary"})", "x", spec, problem));
    EXPECT_EQ(spec.input, WireForm::Hex);
    EXPECT_EQ(spec.mti.encoding, Encoding::Bcd);
    EXPECT_EQ(spec.FormatOf(1)->encoding, Encoding::Binary);
    EXPECT_EQ(spec.FormatOf(65)->encoding, Encoding::Binary);
}

TEST(SpecFile, HelpLinesFitATerminal)
{
    std::istringstream lines(kSpecFileHelp);
    for (std::string line; std::getline(lines, line);)
    {
        EXPECT_LE(line.size(), 79U) << line;
        for (char c : line)
            EXPECT_TRUE(c >= 0x20 && c < 0x7F) << line;
    }
}

} // namespace
