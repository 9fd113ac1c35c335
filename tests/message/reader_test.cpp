// Whole messages read by each built-in specification: hand-encoded bytes
// against the fields they hold, every error kind with its place and offset,
// and round trips through the builder on random valid fields.
#include "reader.h"
#include "writer.h"

#include "hex_bytes.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

namespace
{

using namespace message;

std::string Ebcdic(const std::string& text)
{
    std::string out;
    for (char c : text)
        out += static_cast<char>(Latin1ToEbcdic(static_cast<unsigned char>(c)));
    return out;
}

std::map<std::uint32_t, std::string> Fields(const Message& message)
{
    std::map<std::uint32_t, std::string> fields;
    for (const FieldValue& field : message.fields)
        fields[field.number] = std::string(message.Value(field));
    return fields;
}

const MessageSpec& Spec(const char* name)
{
    const MessageSpec* spec = FindBuiltinSpec(name);
    EXPECT_NE(spec, nullptr) << name;
    return *spec;
}

// One authorisation request, encoded by hand in each specification: PAN,
// processing code, entry mode, track 2, currency, PIN block.
const std::map<std::uint32_t, std::string> kRequest = {
    {2, "4761739001010119"}, {3, "000000"}, {22, "051"}, {35, "4761739001010119=2512"},
    {49, "840"},             {52, Bytes("0102030405060708")},
};

struct Encoded
{
    const char* spec;
    std::string input;
};

TEST(Reader, HandEncoded)
{
    const std::string ascii = "0200" "6000040020009000" "164761739001010119" "000000" "051"
                              "214761739001010119=2512" "840" "0102030405060708";
    const std::string bcdFields = "164761739001010119" "000000" "0051" "214761739001010119D25120" "383430"
                                  "0102030405060708";
    const Encoded cases[] = {
        {"iso87ascii", ascii},
        {"iso87binary", Bytes("0200" "6000040020009000" + bcdFields)},
        {"iso87ebcdic", Ebcdic("0200") + Bytes("6000040020009000") +
                            Ebcdic("164761739001010119" "000000" "051" "214761739001010119=2512" "840") +
                            Bytes("0102030405060708")},
        // The entry mode left-justified; length, TPDU and header before it.
        {"cup", Bytes("003A" "6000030000" "603100000000" "0200" "6000040020009000" "164761739001010119" "000000"
                      "0510" "214761739001010119D25120" "383430" "0102030405060708")},
    };
    for (const Encoded& c : cases)
    {
        const MessageSpec& spec = Spec(c.spec);
        Message message;
        Problem problem;
        ASSERT_TRUE(ReadMessage(spec, spec.framing, c.input, ReadOptions{}, message, problem))
            << c.spec << ": " << problem.Text();
        EXPECT_EQ(std::string(message.mti, 4), "0200") << c.spec;
        EXPECT_EQ(Fields(message), kRequest) << c.spec;
        EXPECT_TRUE(message.warnings.empty()) << c.spec << ": " << message.warnings[0].Text();

        BuildInput input{"0200", {}, {}};
        for (const HeaderValue& part : message.header)
            input.header.emplace_back(part.bytes);
        for (const auto& [number, value] : kRequest)
            input.fields.push_back({number, value});
        std::string built;
        ASSERT_TRUE(BuildMessage(spec, spec.framing, input, BuildOptions{}, built, problem)) << problem.Text();
        EXPECT_EQ(built, c.input) << c.spec;
    }
}

bool SamePlace(const Place& a, const Place& b)
{
    return a.kind == b.kind && a.field == b.field && a.name == b.name;
}

struct Failure
{
    const char* spec;
    std::string input;
    Place place;
    std::size_t offset;
    const char* what; // a part of the problem's text
    std::size_t fieldsRead;
};

TEST(Reader, Errors)
{
    const std::string head = "0200" "6000000000000000"; // fields 2 and 3
    const Place mti = Place::Of(PlaceKind::Mti), bitmap = Place::Of(PlaceKind::PrimaryBitmap);
    const Failure cases[] = {
        {"iso87ascii", "020", mti, 0,
         "the message type at byte 0: the message ends inside it: 4 bytes needed, 3 left", 0},
        {"iso87ascii", "0200" "60000000000000", bitmap, 4, "16 bytes needed, 14 left", 0},
        {"iso87ascii", "0200" "6000000000000G00", bitmap, 4, "is not 16 hex digits", 0},
        {"iso87ascii", "0200" "C000000000000000" "0000", Place::OfField(1), 20,
         "secondary bitmap) at byte 20: the message ends inside it: 16 bytes needed, 4 left", 0},
        {"iso87ascii", head + "1A47617390010101", Place::OfField(2), 20,
         "expected 2 ASCII digits of length, found \"1A\"", 0},
        {"iso87ascii", head + "20" "47617390010101190000", Place::OfField(2), 20, "length 20 over the greatest, 19", 0},
        {"iso87ascii", head + "16" "4761739001010119" "0000", Place::OfField(3), 38,
         "inside the field: 6 bytes needed, 4 left", 1},
        {"iso87ascii", head + "16" "4761739001010119" "000000" "XY", Place::OfField(3), 44,
         "2 bytes left after the last field", 2},
        // Bit 65 announces the tertiary bitmap, whose bit 129 no field answers.
        {"iso87ascii", "0200" "8000000000000000" "8000000000000000" "8000000000000000", Place::OfField(129), 52,
         "defines no field 129", 0},
        {"iso87binary", Bytes("0200" "6000000000000000" "1A"), Place::OfField(2), 10,
         "expected a BCD length, found 1A", 0},
        {"iso87binary", Bytes("0200" "6000000000000000" "164761"), Place::OfField(2), 11, "8 bytes needed, 2 left", 0},
        {"iso87ebcdic", Ebcdic("0200") + Bytes("4000000000000000") + Ebcdic("1X"), Place::OfField(2), 12,
         "found F1E7 (hex)", 0},
        {"cup", Bytes("00"), Place::Of(PlaceKind::LengthPrefix), 0,
         "the length prefix at byte 0: the message ends inside it: 2 bytes needed, 1 left", 0},
        {"cup", Bytes("0008" "6000030000" "6031"), Place::Of(PlaceKind::Header), 7,
         "the header at byte 7: the message ends inside its header: 6 bytes needed, 2 left", 0},
    };
    for (const Failure& c : cases)
    {
        const MessageSpec& spec = Spec(c.spec);
        Message message;
        Problem problem;
        EXPECT_FALSE(ReadMessage(spec, spec.framing, c.input, ReadOptions{}, message, problem)) << c.what;
        EXPECT_TRUE(SamePlace(problem.place, c.place)) << problem.Text();
        EXPECT_EQ(problem.offset, c.offset) << problem.Text();
        EXPECT_NE(problem.Text().find(c.what), std::string::npos) << problem.Text();
        EXPECT_EQ(message.fields.size(), c.fieldsRead) << problem.Text();
    }
}

struct Doubt
{
    const char* spec;
    std::string input;
    Place place;
    const char* what; // empty: no doubt at all
};

TEST(Reader, ContentChecks)
{
    const Doubt cases[] = {
        {"iso87ascii", "0200" "2000000000000000" "00A000", Place::OfField(3),
         "\"00A000\" is not n: \"A\" at character 3 (n 6)"},
        {"iso87ascii", "02X0" "0000000000000000", Place::Of(PlaceKind::Mti), "\"02X0\" is not 4 digits"},
        {"iso87ascii", "0200" "0000000000800000" "TERM\x01" "001", Place::OfField(41),
         "is not ans: \"\\x01\" at character 5"},
        {"iso87ascii", "0200" "0000000000800000" "TERM 001", Place::OfField(41), ""},
        {"iso87ascii", "0200" "0000000020000000" "14" "4761=2512;0000", Place::OfField(35), ""},
        {"iso87ascii", "0200" "0000001000000000" "X00000001", Place::OfField(28), "is not x+n"},
        {"iso87binary", Bytes("0200" "2000000000000000" "000A00"), Place::OfField(3), "holds the nibble A at digit 4"},
        // An odd fixed number: 0 or F in front is the pad, anything else a doubt.
        {"iso87binary", Bytes("0200" "0000040000000000" "F051"), Place::OfField(22), ""},
        {"iso87binary", Bytes("0200" "0000040000000000" "5051"), Place::OfField(22), "pad nibble 5, not 0 or F"},
        {"cup", Bytes("0012" "6000030000" "603100000000" "0200" "0000000000000000"), Place::Of(PlaceKind::LengthPrefix),
         "the length prefix says 18 bytes follow, but 21 do"},
    };
    for (const Doubt& c : cases)
    {
        const MessageSpec& spec = Spec(c.spec);
        for (bool strict : {false, true})
        {
            Message message;
            Problem problem;
            const bool read = ReadMessage(spec, spec.framing, c.input, ReadOptions{strict}, message, problem);
            if (*c.what == '\0')
            {
                EXPECT_TRUE(read && message.warnings.empty()) << c.input << ": " << problem.Text();
                continue;
            }
            EXPECT_EQ(read, !strict) << c.what << ": " << problem.Text();
            if (read == strict || (!strict && message.warnings.empty()))
                continue;
            const Problem& doubt = strict ? problem : message.warnings[0];
            EXPECT_TRUE(SamePlace(doubt.place, c.place)) << doubt.Text();
            EXPECT_NE(doubt.Text().find(c.what), std::string::npos) << doubt.Text();
        }
    }
}

// A random value the format allows, of a random allowed length.
std::string RandomValue(const FieldFormat& format, std::mt19937& random)
{
    const std::size_t size = format.length == LengthKind::Fixed ? format.size : random() % (format.size + 1);
    std::string value;
    if (format.content == Content::XN)
        value += random() % 2 == 0 ? 'C' : 'D';
    const char* alphabet = "0123456789";
    switch (format.content)
    {
    case Content::A:
        alphabet = "ABCXYZabcxyz ";
        break;
    case Content::An:
        alphabet = "AZaz09 ";
        break;
    case Content::Ans:
        alphabet = "Az09 !~=^%";
        break;
    case Content::Ns:
        alphabet = "09 !=";
        break;
    case Content::Z:
        alphabet = format.encoding == Encoding::Bcd ? "0123456789=" : "0123456789=;?";
        break;
    default:
        break;
    }
    const std::string letters = alphabet;
    for (std::size_t i = 0; i < size; ++i)
        value += format.content == Content::B ? static_cast<char>(random() & 0xFFU) : letters[random() % letters.size()];
    return value;
}

TEST(Reader, RoundTrips)
{
    std::mt19937 random(8583);
    for (const std::string& name : BuiltinSpecNames())
    {
        MessageSpec spec = *FindBuiltinSpec(name);
        // Fields beyond 128, after a tertiary bitmap.
        FieldFormat extra = *spec.fields[3];
        spec.fields[130] = extra;
        extra.length = LengthKind::LLL;
        extra.size = 20;
        spec.fields[192] = extra;
        for (int round = 0; round < 300; ++round)
        {
            BuildInput input{"0" + std::to_string(100 + random() % 900), {}, {}};
            for (const HeaderPart& part : spec.framing.header)
                input.header.push_back(RandomValue(FieldFormat{Content::B, LengthKind::Fixed, Encoding::Ascii,
                                                               Encoding::Binary, static_cast<std::uint32_t>(part.size)},
                                                   random));
            const std::uint32_t last = round % 3 == 0 ? 64 : round % 3 == 1 ? 128 : 192;
            for (std::uint32_t number = 2; number <= last; ++number)
            {
                if (random() % 4 == 0 && spec.fields[number] && spec.fields[number]->content != Content::Bitmap)
                    input.fields.push_back({number, RandomValue(*spec.fields[number], random)});
            }
            std::string built;
            Problem problem;
            ASSERT_TRUE(BuildMessage(spec, spec.framing, input, BuildOptions{}, built, problem))
                << name << ": " << problem.Text();
            Message message;
            ASSERT_TRUE(ReadMessage(spec, spec.framing, built, ReadOptions{true}, message, problem))
                << name << ": " << problem.Text();
            std::map<std::uint32_t, std::string> expected;
            for (const FieldInput& field : input.fields)
                expected[field.number] = field.value;
            ASSERT_EQ(Fields(message), expected) << name;
            ASSERT_EQ(std::string(message.mti, 4), input.mti);
            ASSERT_EQ(message.bitmapBytes, input.fields.empty() ? 8 : input.fields.back().number > 128 ? 24
                                                                  : input.fields.back().number > 64  ? 16
                                                                                                     : 8);
        }
    }
}

struct BuildFailure
{
    std::uint32_t field;
    std::string value;
    bool pad;
    const char* error; // empty: builds, and reads back as padded
    std::string padded;
};

TEST(Writer, Errors)
{
    const MessageSpec& spec = Spec("iso87binary");
    const BuildFailure cases[] = {
        {4, "100", false, "field 4: 3 digits, the format is n 12", ""},
        {4, "100", true, "", "000000000100"},
        {4, "0000000001000", true, "13 digits, the format is n 12", ""},
        {2, "47617390010101190000", false, "20 digits, over the greatest of n..19 LLVAR", ""},
        {3, "00A000", false, "\"00A000\" is not n: \"A\" at character 3, the format is n 6", ""},
        {41, "TERM1", true, "", "TERM1   "},
        {52, std::string("\x01\x02", 2), true, "", std::string("\x01\x02\0\0\0\0\0\0", 8)},
        {28, "C12", true, "", "C00000012"},
        {35, "4761;2512", false, "\";\" cannot be written in BCD", ""},
        {1, "", false, "a bitmap follows from the fields", ""},
        {129, "1", false, "defines no field 129", ""},
    };
    for (const BuildFailure& c : cases)
    {
        std::string out = "kept";
        Problem problem;
        const BuildInput input{"0200", {}, {{c.field, c.value}}};
        const bool built = BuildMessage(spec, spec.framing, input, BuildOptions{c.pad}, out, problem);
        EXPECT_EQ(built, *c.error == '\0') << problem.Text();
        if (!built)
        {
            EXPECT_NE(problem.Text().find(c.error), std::string::npos) << problem.Text();
            EXPECT_EQ(out, "kept");
            continue;
        }
        Message message;
        ASSERT_TRUE(ReadMessage(spec, spec.framing, std::string_view(out).substr(4), ReadOptions{}, message, problem))
            << problem.Text();
        EXPECT_EQ(Fields(message).at(c.field), c.padded);
    }
}

} // namespace
