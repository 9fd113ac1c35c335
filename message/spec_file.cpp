#include "spec_file.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <set>
#include <vector>

namespace message
{

const char kSpecFileHelp[] =
    "Specification files (--spec FILE): a JSON object naming a built-in\n"
    "specification and what differs from it. Comments (// and /* */) are\n"
    "allowed. Every key but \"base\" is optional; an unknown key is an error.\n"
    "\n"
    "  base           iso87ascii, iso87binary, iso87ebcdic or cup\n"
    "  name           shown in messages (default: the file's name without its\n"
    "                 extension)\n"
    "  mti            the message type: ascii, ebcdic or bcd\n"
    "  bitmap         each bitmap: binary (8 bytes) or hex (16 characters)\n"
    "  length_prefix  before each message: \"none\", \"2\" or \"4\" (bytes,\n"
    "                 big-endian) or \"a4\" (4 ASCII digits)\n"
    "  header         the parts between that length and the message type, in\n"
    "                 order, replacing the base's: [{\"name\": \"tpdu\", \"bytes\": 5}]\n"
    "                 (names of letters, digits and _; [] for none)\n"
    "  tertiary       true: a set bit 65 announces a tertiary bitmap (fields\n"
    "                 129-192), as in the built-in ones; false: field 65 is a\n"
    "                 b 8 field\n"
    "  fields         field numbers (2-192) to their keys, or to null to remove\n"
    "                 the field: {\"48\": {...}, \"127\": null}\n"
    "\n"
    "The keys of a field, strings but for max (a number) and tlv (a boolean):\n"
    "  type        n, a, an, ans, ns, b, z or x+n\n"
    "  length      fixed, LL, LLL or LLLL\n"
    "  max         the fixed or greatest length, 1-9999 (up to 99 for LL, 999\n"
    "              for LLL): digits for n, z and x+n, characters, bytes for b\n"
    "  prefix      the length prefix: ascii, ebcdic, bcd or binary\n"
    "  encoding    the value: ascii or ebcdic (any type but b), bcd (n, z and\n"
    "              x+n only), binary or hex (b only)\n"
    "  pad         left or right: where an odd BCD value's pad nibble goes\n"
    "  pad_nibble  \"0\" or \"F\": the pad nibble written (either is read)\n"
    "  tlv         true when a b field holds BER-TLV\n"
    "  name        its name in English, name_zh in Chinese (default: the\n"
    "              base's, which is ISO 8583:1987's but where cup differs)\n"
    "A field of the base changes only in the keys given, except that a new\n"
    "type also takes the prefix, encoding and padding the base uses for that\n"
    "type, unless given, and clears tlv. A field the base lacks needs type,\n"
    "length and max; the rest come from the base in the same way. Fields 1\n"
    "and 65 announce the secondary and tertiary bitmaps and cannot be given,\n"
    "but 65 can once tertiary is false.\n"
    "\n"
    "Example:\n"
    "  {\"base\": \"iso87binary\", \"name\": \"mybank\", \"length_prefix\": \"2\",\n"
    "   \"header\": [{\"name\": \"tpdu\", \"bytes\": 5}],\n"
    "   \"fields\": {\"48\": {\"type\": \"ans\", \"length\": \"LLLL\", \"max\": 2000},\n"
    "              \"55\": {\"type\": \"b\", \"length\": \"LLL\", \"max\": 255,\n"
    "                     \"tlv\": true},\n"
    "              \"62\": {\"name\": \"Batch totals\"},\n"
    "              \"127\": null}}\n";

namespace
{

using Json = nlohmann::json;

// The place in the file: the field or header part, and the keys down to it.
struct Where
{
    std::uint32_t field = 0;
    std::uint32_t part = 0;
    std::string path;

    Where Key(const std::string& name) const;
};

Where FieldWhere(std::uint32_t field)
{
    Where where;
    where.field = field;
    return where;
}

// Why the file is refused, as thrown by the checks and caught in
// LoadSpecFile, so each check is one line. The file's name is added there.
Problem Refusal(const Where& where, ProblemKind kind, std::string found = "", std::string expected = "")
{
    Problem problem(Place(PlaceKind::SpecFile, where.field), kNoOffset, kind);
    problem.place.part = where.part;
    problem.place.path = where.path;
    problem.found = std::move(found);
    problem.expected = std::move(expected);
    return problem;
}

[[noreturn]] void Refuse(const Where& where, ProblemKind kind, std::string found = "", std::string expected = "")
{
    throw Refusal(where, kind, std::move(found), std::move(expected));
}

[[noreturn]] void RefuseFigures(const Where& where, ProblemKind kind, std::size_t needed, std::size_t left,
                                std::string found, std::string expected, std::string format)
{
    Problem problem = Refusal(where, kind, std::move(found), std::move(expected));
    problem.needed = needed;
    problem.left = left;
    problem.format = std::move(format);
    throw problem;
}

// A JSON value as the user wrote it, cut short.
std::string Shown(const Json& value)
{
    constexpr std::size_t kShown = 40;
    std::string text = value.dump(-1, ' ', true, Json::error_handler_t::replace);
    if (text.size() > kShown)
        text = text.substr(0, kShown) + "...";
    return text;
}

Where Where::Key(const std::string& name) const
{
    Where inner = *this;
    inner.path += (path.empty() ? "" : "\n") + Shown(Json(name));
    return inner;
}

std::string Names(const std::vector<const char*>& names)
{
    std::string text;
    for (const char* name : names)
        text += (text.empty() ? "" : ", ") + std::string(name);
    return text;
}

template <typename T>
struct Choice
{
    const char* name;
    T value;
};

// forType: the type the choices are for, when they are narrowed to it.
template <typename T>
T Pick(const Json& value, const Where& where, const std::vector<Choice<T>>& choices, const std::string& forType = "")
{
    std::string names;
    for (const Choice<T>& choice : choices)
    {
        if (value.is_string() && value.get_ref<const std::string&>() == choice.name)
            return choice.value;
        names += names.empty() ? "" : ", ";
        names += choice.name;
    }
    RefuseFigures(where, ProblemKind::SpecOneOf, 0, 0, Shown(value), names, forType);
}

const std::vector<Choice<Content>> kContents = {
    {"n", Content::N},   {"a", Content::A}, {"an", Content::An}, {"ans", Content::Ans},
    {"ns", Content::Ns}, {"b", Content::B}, {"z", Content::Z},   {"x+n", Content::XN},
};
const std::vector<Choice<LengthKind>> kLengths = {
    {"fixed", LengthKind::Fixed}, {"LL", LengthKind::LL}, {"LLL", LengthKind::LLL}, {"LLLL", LengthKind::LLLL}};
const std::vector<Choice<Encoding>> kPrefixes = {
    {"ascii", Encoding::Ascii}, {"ebcdic", Encoding::Ebcdic}, {"bcd", Encoding::Bcd}, {"binary", Encoding::Binary}};
const std::vector<Choice<Encoding>> kDigitEncodings = {
    {"ascii", Encoding::Ascii}, {"ebcdic", Encoding::Ebcdic}, {"bcd", Encoding::Bcd}};
const std::vector<Choice<Encoding>> kTextEncodings = {{"ascii", Encoding::Ascii}, {"ebcdic", Encoding::Ebcdic}};
const std::vector<Choice<Encoding>> kBinaryEncodings = {{"binary", Encoding::Binary}, {"hex", Encoding::Hex}};
const std::vector<Choice<Encoding>> kAnyEncoding = {{"ascii", Encoding::Ascii},
                                                    {"ebcdic", Encoding::Ebcdic},
                                                    {"bcd", Encoding::Bcd},
                                                    {"binary", Encoding::Binary},
                                                    {"hex", Encoding::Hex}};
const std::vector<Choice<Pad>> kPads = {{"left", Pad::Left}, {"right", Pad::Right}};
const std::vector<Choice<std::uint8_t>> kPadNibbles = {{"0", 0x0}, {"F", 0xF}};
const std::vector<Choice<Encoding>> kMtiEncodings = kDigitEncodings;
const std::vector<Choice<Encoding>> kBitmapEncodings = kBinaryEncodings;
const std::vector<Choice<LengthPrefix>> kLengthPrefixes = {{"none", LengthPrefix::None},
                                                           {"2", LengthPrefix::Binary2},
                                                           {"4", LengthPrefix::Binary4},
                                                           {"a4", LengthPrefix::Ascii4}};

const std::vector<const char*> kFileKeys = {"base",   "name",     "mti",   "bitmap", "length_prefix",
                                            "header", "tertiary", "fields"};
const std::vector<const char*> kFieldKeys = {"type", "length",     "max", "prefix", "encoding",
                                             "pad",  "pad_nibble", "tlv", "name",   "name_zh"};
const std::vector<const char*> kHeaderKeys = {"name", "bytes"};

constexpr std::uint32_t kMostUnits = 9999;

// The encodings a content can be written in: digits also as BCD, b only as
// raw bytes or their hex text.
const std::vector<Choice<Encoding>>& EncodingsFor(Content content)
{
    switch (content)
    {
    case Content::N:
    case Content::Z:
    case Content::XN:
        return kDigitEncodings;
    case Content::B:
    case Content::Bitmap:
        return kBinaryEncodings;
    case Content::A:
    case Content::An:
    case Content::Ans:
    case Content::Ns:
        break;
    }
    return kTextEncodings;
}

// forLength: the length kind that bounds the number, if it is not the widest.
std::uint32_t WholeNumber(const Json& value, const Where& where, std::uint32_t most, const std::string& forLength = "")
{
    if (value.is_number_unsigned() && value.get<std::uint64_t>() >= 1 && value.get<std::uint64_t>() <= most)
        return static_cast<std::uint32_t>(value.get<std::uint64_t>());
    RefuseFigures(where, ProblemKind::SpecWholeNumber, most, 0, Shown(value), "", forLength);
}

bool Boolean(const Json& value, const Where& where)
{
    if (!value.is_boolean())
        Refuse(where, ProblemKind::SpecBoolean, Shown(value));
    return value.get<bool>();
}

const std::string& Text(const Json& value, const Where& where)
{
    if (!value.is_string())
        Refuse(where, ProblemKind::SpecString, Shown(value));
    return value.get_ref<const std::string&>();
}

const Json* Member(const Json& object, const char* key)
{
    const auto found = object.find(key);
    return found != object.end() ? &*found : nullptr;
}

void CheckKeys(const Json& object, const Where& where, const std::vector<const char*>& known)
{
    for (const auto& item : object.items())
    {
        if (std::find(known.begin(), known.end(), item.key()) == known.end())
            Refuse(where.Key(item.key()), ProblemKind::SpecUnknownKey, "", Names(known));
    }
}

// builtins: for the base, the names it may take.
void Require(const Json& object, const Where& where, const std::vector<const char*>& keys,
             const std::string& builtins = "")
{
    for (const char* key : keys)
    {
        if (!Member(object, key))
            Refuse(where.Key(key), ProblemKind::SpecRequired, "", builtins);
    }
}

std::string Stem(const std::string& fileName)
{
    std::string stem = fileName.substr(fileName.find_last_of("/\\") + 1);
    const std::size_t dot = stem.rfind('.');
    if (dot != std::string::npos && dot != 0)
        stem.erase(dot);
    return stem.empty() ? "file" : stem;
}

// The base's field most like a new one: of the same content if it has one,
// else of the same kind (digits, text, bytes), fixed or variable alike.
const FieldFormat& Like(const MessageSpec& base, Content content, LengthKind length)
{
    const auto kind = [](Content c) {
        return c == Content::N || c == Content::Z || c == Content::XN ? 0 : c == Content::B ? 1 : 2;
    };
    const FieldFormat* best = nullptr;
    int bestScore = -1;
    for (std::uint32_t number = 2; number <= kLastField; ++number)
    {
        const std::optional<FieldFormat>& format = base.fields[number];
        if (!format || format->content == Content::Bitmap || kind(format->content) != kind(content))
            continue;
        const int score = (format->content == content ? 2 : 0) +
                          ((format->length == LengthKind::Fixed) == (length == LengthKind::Fixed) ? 1 : 0);
        if (score > bestScore)
        {
            best = &*format;
            bestScore = score;
        }
    }
    assert(best != nullptr && "every built-in specification has fields of each kind");
    return *best;
}

std::uint32_t MostUnits(LengthKind length)
{
    return length == LengthKind::LL ? 99 : length == LengthKind::LLL ? 999 : kMostUnits;
}

// A name is shown on a line of its own columns: no control characters.
std::string Name(const Json& value, const Where& where)
{
    const std::string& name = Text(value, where);
    if (std::any_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }))
        Refuse(where, ProblemKind::SpecNameText, Shown(value));
    return name;
}

// The type and length of a field, and what a new type takes from the base.
void ApplyType(const MessageSpec& base, const Json& entry, const Where& where, bool isNew, FieldFormat& format)
{
    const Json* type = Member(entry, "type");
    const Json* length = Member(entry, "length");
    const Content content = type ? Pick(*type, where.Key("type"), kContents) : format.content;
    if (length)
        format.length = Pick(*length, where.Key("length"), kLengths);
    if (isNew || content != format.content)
    {
        const FieldFormat& like = Like(base, content, format.length);
        format.content = content;
        format.prefix = like.prefix;
        format.encoding = like.encoding;
        format.pad = like.pad;
        format.padNibble = like.padNibble;
        format.tlv = false;
    }
    const std::uint32_t most = MostUnits(format.length);
    const std::string lengthName = LengthName(format.length);
    if (const Json* max = Member(entry, "max"))
        format.size = WholeNumber(*max, where.Key("max"), most, most < kMostUnits ? lengthName : "");
    else if (format.size > most)
        RefuseFigures(where.Key("length"), ProblemKind::SpecLengthBelowMax, most, format.size, "", lengthName, "");
}

void ApplyEncoding(const Json& encoding, const Where& where, FieldFormat& format)
{
    // A known encoding that the type cannot take gets the narrower list.
    const bool known = encoding.is_string() &&
                       std::any_of(kAnyEncoding.begin(), kAnyEncoding.end(),
                                   [&](const Choice<Encoding>& choice) { return encoding == choice.name; });
    format.encoding = known ? Pick(encoding, where, EncodingsFor(format.content), ContentName(format.content))
                            : Pick(encoding, where, kAnyEncoding);
}

// The keys of a field after its type: how it is written, and its names.
void ApplyWriting(const Json& entry, const Where& where, FieldFormat& format, FieldNames& names)
{
    if (const Json* prefix = Member(entry, "prefix"))
        format.prefix = Pick(*prefix, where.Key("prefix"), kPrefixes);
    if (const Json* encoding = Member(entry, "encoding"))
        ApplyEncoding(*encoding, where.Key("encoding"), format);
    if (const Json* pad = Member(entry, "pad"))
        format.pad = Pick(*pad, where.Key("pad"), kPads);
    if (const Json* padNibble = Member(entry, "pad_nibble"))
        format.padNibble = Pick(*padNibble, where.Key("pad_nibble"), kPadNibbles);
    if (const Json* tlv = Member(entry, "tlv"))
    {
        format.tlv = Boolean(*tlv, where.Key("tlv"));
        if (format.tlv && format.content != Content::B)
            Refuse(where.Key("tlv"), ProblemKind::SpecTlvNotB, "", ContentName(format.content));
    }
    if (const Json* name = Member(entry, "name"))
        names.english = Name(*name, where.Key("name"));
    if (const Json* name = Member(entry, "name_zh"))
        names.chinese = Name(*name, where.Key("name_zh"));
}

void ApplyField(const MessageSpec& base, std::uint32_t number, const Json& entry, std::optional<FieldFormat>& slot,
                FieldNames& names)
{
    const Where where = FieldWhere(number);
    if (entry.is_null())
    {
        slot.reset();
        return;
    }
    if (!entry.is_object())
        Refuse(where, ProblemKind::SpecFieldEntry, Shown(entry));
    CheckKeys(entry, where, kFieldKeys);
    if (!slot)
        Require(entry, where, {"type", "length", "max"});
    FieldFormat format = slot.value_or(FieldFormat{});
    ApplyType(base, entry, where, !slot, format);
    ApplyWriting(entry, where, format, names);
    slot = format;
}


HeaderPart ReadHeaderPart(const Json& item, const Where& where, const std::vector<HeaderPart>& earlier)
{
    if (!item.is_object())
        Refuse(where, ProblemKind::SpecPartEntry, Shown(item));
    CheckKeys(item, where, kHeaderKeys);
    Require(item, where, kHeaderKeys);
    HeaderPart part;
    part.name = Text(item.at("name"), where.Key("name"));
    if (!IsPartName(part.name))
        Refuse(where.Key("name"), ProblemKind::SpecPartName, Shown(item.at("name")));
    for (const HeaderPart& other : earlier)
    {
        if (other.name == part.name)
            Refuse(where.Key("name"), ProblemKind::SpecPartTwice, Shown(item.at("name")));
    }
    part.size = WholeNumber(item.at("bytes"), where.Key("bytes"), kMostUnits);
    return part;
}

Where PartWhere(std::size_t part)
{
    Where where;
    where.part = static_cast<std::uint32_t>(part);
    return where;
}

std::vector<HeaderPart> ReadHeader(const Json& value)
{
    if (!value.is_array())
        Refuse(Where{}.Key("header"), ProblemKind::SpecHeaderList, Shown(value));
    std::vector<HeaderPart> parts;
    for (const Json& item : value)
        parts.push_back(ReadHeaderPart(item, PartWhere(parts.size() + 1), parts));
    return parts;
}

std::uint32_t FieldNumber(const std::string& key, bool tertiary)
{
    std::uint32_t number = 0;
    bool digits = !key.empty() && key.size() <= 3 && key[0] != '0';
    for (char c : key)
    {
        if (c < '0' || c > '9')
            digits = false;
        else
            number = number * 10 + static_cast<std::uint32_t>(c - '0');
    }
    if (!digits || number > kLastField)
        Refuse(Where{}.Key("fields"), ProblemKind::SpecNotFieldNumber, Shown(Json(key)));
    const Where where = FieldWhere(number);
    if (number == 1)
        Refuse(where, ProblemKind::SpecSecondaryBitmap);
    if (number == 65 && tertiary)
        Refuse(where, ProblemKind::SpecTertiaryField);
    if (number > 128 && !tertiary)
        Refuse(where, ProblemKind::SpecNeedsTertiary);
    return number;
}

// Whether a message can still be pasted as its characters: every part text.
bool AllText(const MessageSpec& spec)
{
    if (spec.mti.encoding != Encoding::Ascii || spec.bitmap.encoding != Encoding::Hex ||
        (spec.framing.lengthPrefix != LengthPrefix::None && spec.framing.lengthPrefix != LengthPrefix::Ascii4))
        return false;
    for (std::uint32_t number = 2; number <= kLastField; ++number)
    {
        const std::optional<FieldFormat>& format = spec.fields[number];
        if (format && ((format->length != LengthKind::Fixed && format->prefix != Encoding::Ascii) ||
                       (format->encoding != Encoding::Ascii && format->encoding != Encoding::Hex)))
            return false;
    }
    return true;
}

// The base and the keys of the file's top level but its fields.
MessageSpec LoadBase(const Json& root, const std::string& fileName)
{
    if (!root.is_object())
        Refuse(Where{}, ProblemKind::SpecRootObject, Shown(root));
    CheckKeys(root, Where{}, kFileKeys);
    Require(root, Where{}, {"base"}, BuiltinSpecList());
    const MessageSpec* base = FindBuiltinSpec(Text(root.at("base"), Where{}.Key("base")));
    if (!base)
        Refuse(Where{}.Key("base"), ProblemKind::SpecUnknownBase, Shown(root.at("base")), BuiltinSpecList());
    MessageSpec spec = *base;
    spec.name = Stem(fileName);
    if (const Json* name = Member(root, "name"))
    {
        spec.name = Text(*name, Where{}.Key("name"));
        if (spec.name.empty())
            Refuse(Where{}.Key("name"), ProblemKind::SpecEmptyName, Shown(*name));
    }
    if (const Json* mti = Member(root, "mti"))
        spec.mti.encoding = Pick(*mti, Where{}.Key("mti"), kMtiEncodings);
    if (const Json* bitmap = Member(root, "bitmap"))
        spec.bitmap.encoding = Pick(*bitmap, Where{}.Key("bitmap"), kBitmapEncodings);
    if (const Json* lengthPrefix = Member(root, "length_prefix"))
        spec.framing.lengthPrefix = Pick(*lengthPrefix, Where{}.Key("length_prefix"), kLengthPrefixes);
    if (const Json* header = Member(root, "header"))
        spec.framing.header = ReadHeader(*header);
    return spec;
}

MessageSpec Load(const Json& root, const std::string& fileName)
{
    MessageSpec spec = LoadBase(root, fileName);
    const MessageSpec& base = *FindBuiltinSpec(root.at("base").get_ref<const std::string&>());
    if (const Json* tertiary = Member(root, "tertiary"))
        spec.tertiary = Boolean(*tertiary, Where{}.Key("tertiary"));
    if (!spec.tertiary && base.HasTertiary())
    {
        FieldFormat plain = Like(base, Content::B, LengthKind::Fixed);
        plain.size = 8;
        spec.fields[65] = plain;
    }
    if (const Json* fields = Member(root, "fields"))
    {
        if (!fields->is_object())
            Refuse(Where{}.Key("fields"), ProblemKind::SpecFieldsObject, Shown(*fields));
        for (const auto& item : fields->items())
        {
            const std::uint32_t number = FieldNumber(item.key(), spec.tertiary);
            ApplyField(base, number, item.value(), spec.fields[number], spec.names[number]);
        }
    }
    if (spec.input == WireForm::Text && !AllText(spec))
        spec.input = WireForm::Hex;
    return spec;
}

// The parser keeps the last of two equal keys; a field or key written twice
// is as likely a slip as a typo, so the keys are watched as they are read.
class DuplicateKeys
{
public:
    bool See(Json::parse_event_t event, const Json& parsed)
    {
        switch (event)
        {
        case Json::parse_event_t::object_start:
        case Json::parse_event_t::array_start:
            m_levels.push_back({event == Json::parse_event_t::object_start, {}, {}});
            break;
        case Json::parse_event_t::object_end:
        case Json::parse_event_t::array_end:
            m_levels.pop_back();
            break;
        case Json::parse_event_t::key:
        {
            Level& level = m_levels.back();
            level.key = parsed.get<std::string>();
            if (!level.keys.insert(level.key).second && !m_found)
            {
                m_found = true;
                m_where = Place();
            }
            break;
        }
        case Json::parse_event_t::value:
            break;
        }
        return true;
    }

    // Refuses the file when a key was given twice.
    void Check() const
    {
        if (m_found)
            Refuse(m_where, ProblemKind::SpecKeyTwice);
    }

private:
    struct Level
    {
        bool object;
        std::set<std::string> keys;
        std::string key;
    };

    Where Place() const
    {
        std::vector<std::string> path;
        for (const Level& level : m_levels)
        {
            if (level.object)
                path.push_back(level.key);
        }
        Where where;
        std::size_t next = 0;
        if (path.size() > 1 && path[0] == "fields" && path[1].size() <= 3 &&
            path[1].find_first_not_of("0123456789") == std::string::npos)
        {
            where.field = static_cast<std::uint32_t>(std::stoul(path[1]));
            next = 2;
        }
        for (; next < path.size(); ++next)
            where = where.Key(path[next]);
        return where;
    }

    std::vector<Level> m_levels;
    bool m_found = false;
    Where m_where;
};

// The parser's reason at the place it gives as a byte: line and column.
[[noreturn]] void RefuseSyntax(std::string_view text, const Json::parse_error& error)
{
    const std::size_t offset = std::min<std::size_t>(error.byte == 0 ? 0 : error.byte - 1, text.size());
    std::size_t line = 1;
    std::size_t lineStart = 0;
    for (std::size_t i = 0; i < offset; ++i)
    {
        if (text[i] == '\n')
        {
            ++line;
            lineStart = i + 1;
        }
    }
    // Its text starts with an id and a place of its own, and quotes the
    // input raw, which may be no text at all: keep the reason only.
    const std::string what = error.what();
    const std::size_t colon = what.find(": ", what.find("parse error"));
    std::string reason = colon == std::string::npos ? what : what.substr(colon + 2);
    const std::size_t quote = reason.find("; last read: ");
    if (quote != std::string::npos)
        reason.erase(quote, reason.find("; expected", quote) - quote);
    RefuseFigures(Where{}, ProblemKind::SpecSyntax, line, offset - lineStart + 1, reason, "", "");
}

} // namespace

bool LoadSpecFile(std::string_view text, const std::string& fileName, MessageSpec& spec, Problem& problem)
{
    try
    {
        DuplicateKeys duplicates;
        Json root;
        try
        {
            root = Json::parse(
                text.data(), text.data() + text.size(),
                [&duplicates](int, Json::parse_event_t event, Json& parsed) { return duplicates.See(event, parsed); },
                true, true);
        }
        catch (const Json::parse_error& error)
        {
            RefuseSyntax(text, error);
        }
        duplicates.Check();
        spec = Load(root, fileName);
        return true;
    }
    catch (Problem& refusal)
    {
        problem = std::move(refusal);
    }
    catch (const std::exception& other)
    {
        problem = Problem(Place(PlaceKind::SpecFile), kNoOffset, ProblemKind::SpecOther);
        problem.found = other.what();
    }
    problem.place.name = fileName;
    return false;
}

} // namespace message
