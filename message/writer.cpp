#include "writer.h"

#include "field_codec.h"

#include <algorithm>

namespace message
{

namespace
{

bool Fail(Place place, ProblemKind kind, Problem& problem, std::size_t needed = 0, std::size_t left = 0)
{
    problem = Problem(std::move(place));
    problem.kind = kind;
    problem.needed = needed;
    problem.left = left;
    return false;
}

// The fields in ascending order, each allowed: the bitmaps follow from them.
bool SortFields(const MessageSpec& spec, const BuildInput& input, std::vector<const FieldInput*>& fields,
                Problem& problem)
{
    fields.reserve(input.fields.size());
    for (const FieldInput& field : input.fields)
        fields.push_back(&field);
    std::sort(fields.begin(), fields.end(),
              [](const FieldInput* a, const FieldInput* b) { return a->number < b->number; });
    for (std::size_t i = 0; i < fields.size(); ++i)
    {
        const std::uint32_t number = fields[i]->number;
        if (i > 0 && fields[i - 1]->number == number)
            return Fail(Place::OfField(number), ProblemKind::GivenTwice, problem);
        if (spec.IsBitmap(number))
            return Fail(Place::OfField(number), ProblemKind::BitmapGiven, problem);
        if (number < 2 || spec.FormatOf(number) == nullptr)
        {
            Fail(Place::OfField(number), ProblemKind::UndefinedField, problem);
            problem.expected = spec.name;
            return false;
        }
    }
    if (!fields.empty() && fields.back()->number > 128 && !spec.HasTertiary())
        return Fail(Place::OfField(fields.back()->number), ProblemKind::NeedsTertiary, problem);
    return true;
}

// The three bitmaps of the fields, bit 1 and bit 65 announcing the next.
void MakeBitmaps(const std::vector<const FieldInput*>& fields, unsigned char (&bitmap)[24])
{
    const std::uint32_t highest = fields.empty() ? 0 : fields.back()->number;
    for (const FieldInput* field : fields)
        bitmap[(field->number - 1) / 8] |= static_cast<unsigned char>(0x80U >> ((field->number - 1) % 8));
    if (highest > 128)
        bitmap[8] |= 0x80U;
    if (highest > 64)
        bitmap[0] |= 0x80U;
}

bool PutHeader(const Framing& framing, const BuildInput& input, std::string& body, Problem& problem)
{
    if (input.header.size() != framing.header.size())
        return Fail(Place::Of(PlaceKind::Header), ProblemKind::HeaderPartCount, problem, framing.header.size(),
                    input.header.size());
    for (std::size_t i = 0; i < framing.header.size(); ++i)
    {
        if (input.header[i].size() == framing.header[i].size)
        {
            body += input.header[i];
            continue;
        }
        Fail(Place::Of(PlaceKind::Header), ProblemKind::HeaderPartSize, problem, framing.header[i].size,
             input.header[i].size());
        problem.expected = framing.header[i].name;
        return false;
    }
    return true;
}

bool CheckMti(const std::string& mti, Problem& problem)
{
    if (mti.size() == 4 && mti.find_first_not_of("0123456789") == std::string::npos)
        return true;
    Fail(Place::Of(PlaceKind::Mti), ProblemKind::NotFourDigits, problem);
    problem.found = mti;
    return false;
}

// The message type and the bitmaps, through the codecs of their formats.
bool PutHead(const MessageSpec& spec, const BuildInput& input, const unsigned char (&bitmap)[24], std::string& body,
             Problem& problem)
{
    bool put = EncodeField(spec.mti, input.mti, false, body, problem);
    const auto bitmapBytes = [&](std::size_t at) {
        return std::string_view(reinterpret_cast<const char*>(bitmap + at), 8);
    };
    put = put && EncodeField(spec.bitmap, bitmapBytes(0), false, body, problem);
    if (put && (bitmap[0] & 0x80U) != 0)
        put = EncodeField(spec.bitmap, bitmapBytes(8), false, body, problem);
    if (put && (bitmap[8] & 0x80U) != 0 && spec.HasTertiary())
        put = EncodeField(spec.bitmap, bitmapBytes(16), false, body, problem);
    return put;
}

bool PutLengthPrefix(LengthPrefix prefix, std::size_t size, std::string& out, Problem& problem)
{
    switch (prefix)
    {
    case LengthPrefix::None:
        return true;
    case LengthPrefix::Ascii4:
        if (size > 9999)
            return Fail(Place::Of(PlaceKind::LengthPrefix), ProblemKind::TooLongForAsciiPrefix, problem, size);
        out += std::to_string(10000 + size).substr(1);
        return true;
    case LengthPrefix::Binary2:
    case LengthPrefix::Binary4:
        break;
    }
    if (prefix == LengthPrefix::Binary2 && size > 0xFFFF)
        return Fail(Place::Of(PlaceKind::LengthPrefix), ProblemKind::TooLongForBinaryPrefix, problem, size);
    for (std::size_t i = LengthPrefixBytes(prefix); i-- > 0;)
        out += static_cast<char>((size >> (8 * i)) & 0xFFU);
    return true;
}

} // namespace

bool BuildMessage(const MessageSpec& spec, const Framing& framing, const BuildInput& input, const BuildOptions& options,
                  std::string& out, Problem& problem)
{
    std::vector<const FieldInput*> fields;
    if (!SortFields(spec, input, fields, problem))
        return false;
    unsigned char bitmap[24] = {};
    MakeBitmaps(fields, bitmap);
    std::string body;
    if (!CheckMti(input.mti, problem) || !PutHeader(framing, input, body, problem) ||
        !PutHead(spec, input, bitmap, body, problem))
        return false;
    for (const FieldInput* field : fields)
    {
        if (!EncodeField(*spec.FormatOf(field->number), field->value, options.pad, body, problem))
        {
            problem.place = Place::OfField(field->number);
            return false;
        }
    }
    if (!PutLengthPrefix(framing.lengthPrefix, body.size(), out, problem))
        return false;
    out += body;
    return true;
}

} // namespace message
