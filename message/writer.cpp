#include "writer.h"

#include "field_codec.h"

#include <algorithm>

namespace message
{

namespace
{

void PutBitmap(const MessageSpec& spec, const unsigned char* bits, std::string& out)
{
    for (std::size_t i = 0; i < 8; ++i)
    {
        if (spec.bitmap == Encoding::Hex)
        {
            out += HexDigit(bits[i] >> 4);
            out += HexDigit(bits[i] & 0x0FU);
        }
        else
        {
            out += static_cast<char>(bits[i]);
        }
    }
}

} // namespace

bool BuildMessage(const MessageSpec& spec, const Framing& framing, const BuildInput& input, const BuildOptions& options,
                  std::string& out, Problem& problem)
{
    const auto fail = [&problem](int place, std::string what) {
        problem = Problem{place, 0, std::move(what)};
        return false;
    };
    std::vector<const FieldInput*> fields;
    fields.reserve(input.fields.size());
    for (const FieldInput& field : input.fields)
        fields.push_back(&field);
    std::sort(fields.begin(), fields.end(),
              [](const FieldInput* a, const FieldInput* b) { return a->number < b->number; });

    unsigned char bitmap[24] = {};
    std::uint32_t highest = 0;
    for (std::size_t i = 0; i < fields.size(); ++i)
    {
        const std::uint32_t number = fields[i]->number;
        if (i > 0 && fields[i - 1]->number == number)
            return fail(static_cast<int>(number), "given twice");
        const bool bitmapField = number == 1 || (number == 65 && spec.HasTertiary());
        if (number < 2 || number > kLastField || bitmapField || !spec.fields[number])
            return fail(static_cast<int>(number), bitmapField ? "a bitmap follows from the fields; leave it out"
                                                              : "the message specification " + spec.name +
                                                                    " defines no field " + std::to_string(number));
        bitmap[(number - 1) / 8] |= static_cast<unsigned char>(0x80U >> ((number - 1) % 8));
        highest = number;
    }
    if (highest > 128 && !spec.HasTertiary())
        return fail(static_cast<int>(highest), "fields above 128 need field 65 to be a bitmap");
    if (highest > 128)
        bitmap[8] |= 0x80U; // bit 65: the tertiary bitmap follows
    if (highest > 64)
        bitmap[0] |= 0x80U;

    if (input.mti.size() != 4 || input.mti.find_first_not_of("0123456789") != std::string::npos)
        return fail(kMti, Printable(input.mti) + " is not 4 digits");
    if (input.header.size() != framing.header.size())
        return fail(kHeaderPlace, std::to_string(framing.header.size()) + " header parts expected, " +
                                      std::to_string(input.header.size()) + " given");

    std::string body;
    for (std::size_t i = 0; i < framing.header.size(); ++i)
    {
        if (input.header[i].size() != framing.header[i].size)
            return fail(kHeaderPlace, "the " + framing.header[i].name + " takes " +
                                          std::to_string(framing.header[i].size) + " bytes, " +
                                          std::to_string(input.header[i].size()) + " given");
        body += input.header[i];
    }
    if (spec.mti == Encoding::Bcd)
    {
        body += static_cast<char>((input.mti[0] - '0') << 4 | (input.mti[1] - '0'));
        body += static_cast<char>((input.mti[2] - '0') << 4 | (input.mti[3] - '0'));
    }
    else
    {
        for (char c : input.mti)
            body += spec.mti == Encoding::Ebcdic ? static_cast<char>(Latin1ToEbcdic(static_cast<unsigned char>(c))) : c;
    }
    PutBitmap(spec, bitmap, body);
    if ((bitmap[0] & 0x80U) != 0)
        PutBitmap(spec, bitmap + 8, body);
    if ((bitmap[8] & 0x80U) != 0 && spec.HasTertiary())
        PutBitmap(spec, bitmap + 16, body);

    for (const FieldInput* field : fields)
    {
        std::string error;
        if (!EncodeField(*spec.fields[field->number], field->value, options.pad, body, error))
            return fail(static_cast<int>(field->number), error);
    }

    switch (framing.lengthPrefix)
    {
    case LengthPrefix::None:
        break;
    case LengthPrefix::Ascii4:
        if (body.size() > 9999)
            return fail(kLengthPrefixPlace, std::to_string(body.size()) + " bytes do not fit 4 digits");
        out += std::to_string(10000 + body.size()).substr(1);
        break;
    case LengthPrefix::Binary2:
    case LengthPrefix::Binary4:
        if (framing.lengthPrefix == LengthPrefix::Binary2 && body.size() > 0xFFFF)
            return fail(kLengthPrefixPlace, std::to_string(body.size()) + " bytes do not fit 2 bytes");
        for (std::size_t i = LengthPrefixBytes(framing.lengthPrefix); i-- > 0;)
            out += static_cast<char>((body.size() >> (8 * i)) & 0xFFU);
        break;
    }
    out += body;
    return true;
}

} // namespace message
