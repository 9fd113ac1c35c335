#pragma once

// What the message fuzz targets share: fuzz bytes taken one at a time, and
// a message specification chosen or made from them.

#include "problem.h"
#include "spec.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace message_fuzz
{

using namespace message;

inline void Check(bool condition) { condition ? void() : std::abort(); }

// A TLV field's BER-TLV is doubted apart from the reader's own doubts, after
// them, and even under strict reading: its bytes are sound as a field.
inline bool IsTlvDoubt(const Problem& problem)
{
    return problem.kind >= ProblemKind::TlvTagTooLong && problem.kind <= ProblemKind::TlvTooDeep;
}

// The fuzz bytes in order; zeros once they run out, so every input chooses something.
class CFuzzBytes
{
public:
    explicit CFuzzBytes(std::string_view bytes) : m_bytes(bytes) {}

    unsigned Take() { return m_at < m_bytes.size() ? static_cast<unsigned char>(m_bytes[m_at++]) : 0U; }
    unsigned Take16() { return Take() << 8 | Take(); }
    bool TakeBit() { return (Take() & 1U) != 0; }
    template <typename T, std::size_t N>
    T Pick(const T (&choices)[N])
    {
        return choices[Take() % N];
    }
    std::string_view Rest() const { return m_bytes.substr(m_at); }
    bool Empty() const { return m_at >= m_bytes.size(); }

private:
    std::string_view m_bytes;
    std::size_t m_at = 0;
};

// A field format whose parts fit together: value encodings the content can
// have, a size its length prefix can tell.
inline FieldFormat RandomFormat(CFuzzBytes& bytes)
{
    static const Content kContents[] = {Content::N,  Content::A, Content::An, Content::Ans,
                                        Content::Ns, Content::B, Content::Z,  Content::XN};
    static const LengthKind kLengths[] = {LengthKind::Fixed, LengthKind::LL, LengthKind::LLL, LengthKind::LLLL};
    static const Encoding kPrefixes[] = {Encoding::Ascii, Encoding::Ebcdic, Encoding::Bcd, Encoding::Binary};
    static const Encoding kDigitEncodings[] = {Encoding::Ascii, Encoding::Ebcdic, Encoding::Bcd};
    static const Encoding kTextEncodings[] = {Encoding::Ascii, Encoding::Ebcdic};
    static const Encoding kBinaryEncodings[] = {Encoding::Binary, Encoding::Hex};

    FieldFormat format;
    format.content = bytes.Pick(kContents);
    format.length = bytes.Pick(kLengths);
    format.prefix = bytes.Pick(kPrefixes);
    switch (format.content)
    {
    case Content::N:
    case Content::Z:
    case Content::XN:
        format.encoding = bytes.Pick(kDigitEncodings);
        break;
    case Content::B:
        format.encoding = bytes.Pick(kBinaryEncodings);
        format.tlv = bytes.TakeBit();
        break;
    default:
        format.encoding = bytes.Pick(kTextEncodings);
        break;
    }
    // Two digits of prefix tell at most 99; one binary byte 255.
    const unsigned greatest = format.length != LengthKind::LL ? 999 : format.prefix == Encoding::Binary ? 255 : 99;
    format.size = 1 + bytes.Take16() % greatest;
    format.pad = bytes.TakeBit() ? Pad::Right : Pad::Left;
    format.padNibble = bytes.TakeBit() ? 0xF : 0x0;
    return format;
}

// A built-in specification with its encodings of the message type and
// bitmaps, its framing, its tertiary bitmap and a few fields changed.
inline MessageSpec RandomSpec(CFuzzBytes& bytes)
{
    static const Encoding kMtiEncodings[] = {Encoding::Ascii, Encoding::Ebcdic, Encoding::Bcd};
    static const Encoding kBitmapEncodings[] = {Encoding::Hex, Encoding::Binary};
    static const LengthPrefix kFramePrefixes[] = {LengthPrefix::None, LengthPrefix::Binary2, LengthPrefix::Binary4,
                                                  LengthPrefix::Ascii4};

    MessageSpec spec = *FindBuiltinSpec(BuiltinSpecNames()[bytes.Take() % BuiltinSpecNames().size()]);
    spec.name = "fuzzed";
    spec.mti = MessageSpec::MtiFormat(bytes.Pick(kMtiEncodings));
    spec.bitmap = MessageSpec::BitmapFormat(bytes.Pick(kBitmapEncodings));
    spec.framing.lengthPrefix = bytes.Pick(kFramePrefixes);
    spec.framing.header.clear();
    for (unsigned part = bytes.Take() % 3; part > 0; --part)
        spec.framing.header.push_back({"part" + std::to_string(part), bytes.Take() % 8});
    const bool tertiary = bytes.TakeBit();
    spec.tertiary = tertiary;
    if (!tertiary)
    {
        if (bytes.TakeBit())
            spec.fields[65] = RandomFormat(bytes);
        else
            spec.fields[65].reset();
    }
    for (unsigned count = 1 + bytes.Take() % 6; count > 0; --count)
    {
        const std::uint32_t number = 2 + bytes.Take16() % (kLastField - 1);
        if (number == 65 && tertiary)
            continue;
        if (bytes.Take() % 8 == 0)
            spec.fields[number].reset();
        else
            spec.fields[number] = RandomFormat(bytes);
    }
    return spec;
}

// The first byte picks the message specification: a built-in one, or one made from
// the next kSpecBytes bytes. The message follows.
constexpr std::size_t kSpecBytes = 48;

inline const MessageSpec& ChooseSpec(std::string_view data, std::string_view& rest)
{
    static MessageSpec fuzzed;
    CFuzzBytes bytes(data);
    const unsigned choice = bytes.Take();
    const auto& names = BuiltinSpecNames();
    if (choice % 8 < names.size())
    {
        rest = bytes.Rest();
        return *FindBuiltinSpec(names[choice % 8]);
    }
    CFuzzBytes config(data.substr(1, kSpecBytes));
    rest = data.size() > 1 + kSpecBytes ? data.substr(1 + kSpecBytes) : std::string_view();
    fuzzed = RandomSpec(config);
    return fuzzed;
}

} // namespace message_fuzz
