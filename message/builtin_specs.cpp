#include "spec.h"

#include <algorithm>

namespace message
{

namespace
{

struct Row
{
    Content content;
    LengthKind length;
    std::uint32_t size;
};

constexpr Content n = Content::N;
constexpr Content an = Content::An;
constexpr Content ans = Content::Ans;
constexpr Content ns = Content::Ns;
constexpr Content b = Content::B;
constexpr Content z = Content::Z;
constexpr Content xn = Content::XN;
constexpr LengthKind F = LengthKind::Fixed;
constexpr LengthKind LL = LengthKind::LL;
constexpr LengthKind LLL = LengthKind::LLL;

// ISO 8583:1987, fields 2-128, as the open-source packagers define them. Where
// they disagree the standard decides: 44 is an..25, 54 an...120, 55
// ans...999, 93 an 5, 96 b 64 (8 bytes). b lengths are in bytes here. Track 3
// (36) carries separators, so it is z, not n. Field 65 is left out: these
// specifications read a set bit 65 as a tertiary bitmap, as later editions of
// the standard do.
const Row k1987[127] = {
    /*   2 */ {n, LL, 19},   {n, F, 6},      {n, F, 12},     {n, F, 12},     {n, F, 12},     {n, F, 10},
    /*   8 */ {n, F, 8},     {n, F, 8},      {n, F, 8},      {n, F, 6},      {n, F, 6},      {n, F, 4},
    /*  14 */ {n, F, 4},     {n, F, 4},      {n, F, 4},      {n, F, 4},      {n, F, 4},      {n, F, 3},
    /*  20 */ {n, F, 3},     {n, F, 3},      {n, F, 3},      {n, F, 3},      {n, F, 3},      {n, F, 2},
    /*  26 */ {n, F, 2},     {n, F, 1},      {xn, F, 8},     {xn, F, 8},     {xn, F, 8},     {xn, F, 8},
    /*  32 */ {n, LL, 11},   {n, LL, 11},    {ns, LL, 28},   {z, LL, 37},    {z, LLL, 104},  {an, F, 12},
    /*  38 */ {an, F, 6},    {an, F, 2},     {an, F, 3},     {ans, F, 8},    {ans, F, 15},   {ans, F, 40},
    /*  44 */ {an, LL, 25},  {an, LL, 76},   {an, LLL, 999}, {an, LLL, 999}, {an, LLL, 999}, {n, F, 3},
    /*  50 */ {n, F, 3},     {n, F, 3},      {b, F, 8},      {n, F, 16},     {an, LLL, 120}, {ans, LLL, 999},
    /*  56 */ {ans, LLL, 999}, {ans, LLL, 999}, {ans, LLL, 999}, {ans, LLL, 999}, {ans, LLL, 999}, {ans, LLL, 999},
    /*  62 */ {ans, LLL, 999}, {ans, LLL, 999}, {b, F, 8},   {b, F, 0},      {n, F, 1},      {n, F, 2},
    /*  68 */ {n, F, 3},     {n, F, 3},      {n, F, 3},      {n, F, 4},      {n, F, 4},      {n, F, 6},
    /*  74 */ {n, F, 10},    {n, F, 10},     {n, F, 10},     {n, F, 10},     {n, F, 10},     {n, F, 10},
    /*  80 */ {n, F, 10},    {n, F, 10},     {n, F, 12},     {n, F, 12},     {n, F, 12},     {n, F, 12},
    /*  86 */ {n, F, 16},    {n, F, 16},     {n, F, 16},     {n, F, 16},     {n, F, 42},     {an, F, 1},
    /*  92 */ {an, F, 2},    {an, F, 5},     {an, F, 7},     {an, F, 42},    {b, F, 8},      {xn, F, 16},
    /*  98 */ {ans, F, 25},  {n, LL, 11},    {n, LL, 11},    {ans, LL, 17},  {ans, LL, 28},  {ans, LL, 28},
    /* 104 */ {ans, LLL, 100}, {ans, LLL, 999}, {ans, LLL, 999}, {ans, LLL, 999}, {ans, LLL, 999}, {ans, LLL, 999},
    /* 110 */ {ans, LLL, 999}, {ans, LLL, 999}, {ans, LLL, 999}, {ans, LLL, 999}, {ans, LLL, 999}, {ans, LLL, 999},
    /* 116 */ {ans, LLL, 999}, {ans, LLL, 999}, {ans, LLL, 999}, {ans, LLL, 999}, {ans, LLL, 999}, {ans, LLL, 999},
    /* 122 */ {ans, LLL, 999}, {ans, LLL, 999}, {ans, LLL, 999}, {ans, LLL, 999}, {ans, LLL, 999}, {ans, LLL, 999},
    /* 128 */ {b, F, 8},
};

// Every value and prefix in one character set; b fields as hex text in
// ASCII, or raw beside an EBCDIC text.
MessageSpec Text1987(const char* name, Encoding text)
{
    MessageSpec spec;
    spec.name = name;
    spec.mti = MessageSpec::MtiFormat(text);
    spec.bitmap = MessageSpec::BitmapFormat(text == Encoding::Ascii ? Encoding::Hex : Encoding::Binary);
    spec.input = text == Encoding::Ascii ? WireForm::Text : WireForm::Hex;
    for (std::uint32_t field = 2; field <= 128; ++field)
    {
        const Row& row = k1987[field - 2];
        FieldFormat format;
        format.content = row.content;
        format.length = row.length;
        format.size = row.size;
        format.prefix = text;
        format.encoding = row.content != Content::B ? text : text == Encoding::Ascii ? Encoding::Hex : Encoding::Binary;
        spec.fields[field] = format;
    }
    spec.fields[65].reset();
    return spec;
}

// BCD for the message type, numbers and numeric length prefixes; binary
// bitmaps and b fields; text in ASCII.
MessageSpec Binary1987()
{
    MessageSpec spec = Text1987("iso87binary", Encoding::Ascii);
    spec.mti = MessageSpec::MtiFormat(Encoding::Bcd);
    spec.bitmap = MessageSpec::BitmapFormat(Encoding::Binary);
    spec.input = WireForm::Hex;
    for (std::uint32_t field = 2; field <= 128; ++field)
    {
        if (!spec.fields[field])
            continue;
        FieldFormat& format = *spec.fields[field];
        format.prefix = Encoding::Bcd;
        // The currency codes and track 3 stay text, as the common binary
        // packager keeps them.
        const bool text = field == 36 || (field >= 49 && field <= 51);
        if (format.content == Content::B)
            format.encoding = Encoding::Binary;
        else if ((format.content == Content::N || format.content == Content::Z || format.content == Content::XN) && !text)
            format.encoding = Encoding::Bcd;
        // A fixed number is right-justified; a variable one left-justified.
        format.pad = format.length == LengthKind::Fixed ? Pad::Left : Pad::Right;
    }
    return spec;
}

// The Chinese bank-card POS convention: a 2-byte length, a TPDU and a
// 6-byte header before the message type; fields as iso87binary but where
// that convention differs.
MessageSpec Cup()
{
    MessageSpec spec = Binary1987();
    spec.name = "cup";
    spec.framing.lengthPrefix = LengthPrefix::Binary2;
    spec.framing.header = {{"tpdu", 5}, {"header", 6}};
    const auto set = [&spec](std::uint32_t field, Content content, LengthKind length, std::uint32_t size) {
        FieldFormat& format = *spec.fields[field];
        format.content = content;
        format.length = length;
        format.size = size;
        format.encoding = content == Content::N || content == Content::Z ? Encoding::Bcd
                          : content == Content::B                       ? Encoding::Binary
                                                                        : Encoding::Ascii;
        format.pad = length == LengthKind::Fixed ? Pad::Left : Pad::Right;
    };
    set(36, z, LLL, 104);
    set(44, ans, LL, 25);
    set(48, n, LLL, 322);
    set(49, an, F, 3);
    set(54, an, LLL, 20);
    set(55, b, LLL, 255);
    spec.fields[55]->tlv = true;
    set(58, b, LLL, 100);
    set(59, ans, LLL, 999);
    set(60, n, LLL, 17);
    set(61, n, LLL, 29);
    // Binary in the key download reply, text elsewhere: hex loses nothing.
    set(62, b, LLL, 512);
    set(63, ans, LLL, 163);
    // The entry mode is left-justified: 051 is 05 10.
    spec.fields[22]->pad = Pad::Right;
    // The names China's POS documents give where they differ from 1987's.
    spec.names[11].chinese = "受卡方系统跟踪号";
    spec.names[54] = {"Balance", "余额"};
    spec.names[58] = {"PBOC electronic purse data", "PBOC电子钱包标准的交易信息"};
    for (std::uint32_t field : {59, 60, 62, 63})
        spec.names[field].chinese = "自定义域";
    spec.names[61] = {"Original message data", "原始信息域"};
    return spec;
}

FieldFormat FixedFormat(Content content, Encoding encoding, std::uint32_t size)
{
    FieldFormat format;
    format.content = content;
    format.encoding = encoding;
    format.size = size;
    return format;
}

const std::vector<MessageSpec>& Builtins()
{
    static const std::vector<MessageSpec> specs = {
        Text1987("iso87ascii", Encoding::Ascii),
        Binary1987(),
        Text1987("iso87ebcdic", Encoding::Ebcdic),
        Cup(),
    };
    return specs;
}

} // namespace

FieldFormat MessageSpec::MtiFormat(Encoding encoding)
{
    return FixedFormat(Content::N, encoding, 4);
}

FieldFormat MessageSpec::BitmapFormat(Encoding encoding)
{
    return FixedFormat(Content::Bitmap, encoding, 8);
}

std::size_t LengthPrefixBytes(LengthPrefix prefix)
{
    static const std::size_t kBytes[] = {0, 2, 4, 4};
    return kBytes[static_cast<int>(prefix)];
}

std::size_t Framing::HeaderBytes() const
{
    std::size_t bytes = 0;
    for (const HeaderPart& part : header)
        bytes += part.size;
    return bytes;
}

bool LengthPrefixNamed(std::string_view name, LengthPrefix& prefix)
{
    static const char* const kNames[] = {"none", "2", "4", "a4"}; // in the order of LengthPrefix
    for (std::size_t i = 0; i < 4; ++i)
    {
        if (name == kNames[i])
        {
            prefix = static_cast<LengthPrefix>(i);
            return true;
        }
    }
    return false;
}

bool IsPartName(std::string_view name)
{
    return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    });
}

const MessageSpec* FindBuiltinSpec(std::string_view name)
{
    for (const MessageSpec& spec : Builtins())
    {
        if (spec.name == name)
            return &spec;
    }
    return nullptr;
}

const std::vector<std::string>& BuiltinSpecNames()
{
    static const std::vector<std::string> names = [] {
        std::vector<std::string> list;
        for (const MessageSpec& spec : Builtins())
            list.push_back(spec.name);
        return list;
    }();
    return names;
}

std::string BuiltinSpecList()
{
    std::string names;
    for (const std::string& name : BuiltinSpecNames())
        names += (names.empty() ? "" : ", ") + name;
    return names;
}

} // namespace message
