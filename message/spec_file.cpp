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

// Why the file is refused, with the place: thrown by the checks and caught
// in LoadSpecFile, so each check is one line.
struct Refusal
{
    std::string text;
};

[[noreturn]] void Refuse(const std::string& where, const std::string& what)
{
    throw Refusal{where + what};
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

std::string Found(const Json& value)
{
    return "found " + Shown(value);
}

std::string Key(const std::string& name)
{
    return "key " + Shown(Json(name)) + ": ";
}

template <typename T>
struct Choice
{
    const char* name;
    T value;
};

template <typename T>
T Pick(const Json& value, const std::string& where, const std::vector<Choice<T>>& choices, const std::string& note = "")
{
    std::string names;
    for (const Choice<T>& choice : choices)
    {
        if (value.is_string() && value.get_ref<const std::string&>() == choice.name)
            return choice.value;
        names += names.empty() ? "" : ", ";
        names += choice.name;
    }
    Refuse(where, "expected one of " + names + note + ", " + Found(value));
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

std::uint32_t WholeNumber(const Json& value, const std::string& where, std::uint32_t most,
                          const std::string& note = "")
{
    if (value.is_number_unsigned() && value.get<std::uint64_t>() >= 1 && value.get<std::uint64_t>() <= most)
        return static_cast<std::uint32_t>(value.get<std::uint64_t>());
    Refuse(where, "expected a whole number 1-" + std::to_string(most) + note + ", " + Found(value));
}

bool Boolean(const Json& value, const std::string& where)
{
    if (!value.is_boolean())
        Refuse(where, "expected true or false, " + Found(value));
    return value.get<bool>();
}

const std::string& Text(const Json& value, const std::string& where)
{
    if (!value.is_string())
        Refuse(where, "expected a string, " + Found(value));
    return value.get_ref<const std::string&>();
}

const Json* Member(const Json& object, const char* key)
{
    const auto found = object.find(key);
    return found != object.end() ? &*found : nullptr;
}

void CheckKeys(const Json& object, const std::string& where, const std::vector<const char*>& known,
               const char* whose)
{
    for (const auto& item : object.items())
    {
        if (std::find(known.begin(), known.end(), item.key()) != known.end())
            continue;
        std::string names;
        for (const char* name : known)
            names += (names.empty() ? "" : ", ") + std::string(name);
        Refuse(where + Key(item.key()), std::string("unknown; ") + whose + " are " + names);
    }
}

void Require(const Json& object, const std::string& where, const std::vector<const char*>& keys,
             const std::string& when)
{
    for (const char* key : keys)
    {
        if (!Member(object, key))
            Refuse(where + Key(key), "required" + when);
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
std::string Name(const Json& value, const std::string& where)
{
    const std::string& name = Text(value, where);
    if (std::any_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }))
        Refuse(where, "expected a name without control characters, " + Found(value));
    return name;
}

void ApplyField(const MessageSpec& base, std::uint32_t number, const Json& entry, std::optional<FieldFormat>& slot,
                FieldNames& names)
{
    const std::string where = "field " + std::to_string(number) + ": ";
    if (entry.is_null())
    {
        slot.reset();
        return;
    }
    if (!entry.is_object())
        Refuse(where, "expected an object of its keys, or null to remove it, " + Found(entry));
    CheckKeys(entry, where, kFieldKeys, "the keys of a field");
    if (!slot)
        Require(entry, where, {"type", "length", "max"}, " for a field the base does not have");

    FieldFormat format = slot.value_or(FieldFormat{});
    const Json* type = Member(entry, "type");
    const Json* length = Member(entry, "length");
    const Content content = type ? Pick(*type, where + Key("type"), kContents) : format.content;
    if (length)
        format.length = Pick(*length, where + Key("length"), kLengths);
    if (!slot || content != format.content)
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
        format.size = WholeNumber(*max, where + Key("max"), most, most < kMostUnits ? " for " + lengthName : "");
    else if (format.size > most)
        Refuse(where + Key("length"), lengthName + " counts up to " + std::to_string(most) + ", less than max " +
                                          std::to_string(format.size) + "; give a max too");
    if (const Json* prefix = Member(entry, "prefix"))
        format.prefix = Pick(*prefix, where + Key("prefix"), kPrefixes);
    if (const Json* encoding = Member(entry, "encoding"))
    {
        // A known encoding that the type cannot take gets the narrower list.
        const bool known = encoding->is_string() && std::any_of(kAnyEncoding.begin(), kAnyEncoding.end(),
                                                                [&](const Choice<Encoding>& choice) {
                                                                    return *encoding == choice.name;
                                                                });
        format.encoding = known ? Pick(*encoding, where + Key("encoding"), EncodingsFor(format.content),
                                       std::string(" for type ") + ContentName(format.content))
                                : Pick(*encoding, where + Key("encoding"), kAnyEncoding);
    }
    if (const Json* pad = Member(entry, "pad"))
        format.pad = Pick(*pad, where + Key("pad"), kPads);
    if (const Json* padNibble = Member(entry, "pad_nibble"))
        format.padNibble = Pick(*padNibble, where + Key("pad_nibble"), kPadNibbles);
    if (const Json* tlv = Member(entry, "tlv"))
    {
        format.tlv = Boolean(*tlv, where + Key("tlv"));
        if (format.tlv && format.content != Content::B)
            Refuse(where + Key("tlv"), std::string("only a b field holds TLV; this one is ") +
                                           ContentName(format.content));
    }
    slot = format;
    if (const Json* name = Member(entry, "name"))
        names.english = Name(*name, where + Key("name"));
    if (const Json* name = Member(entry, "name_zh"))
        names.chinese = Name(*name, where + Key("name_zh"));
}

// Letters, digits and _: a header part's name is also an output's key.
bool IsPartName(const std::string& name)
{
    return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    });
}

std::vector<HeaderPart> ReadHeader(const Json& value)
{
    if (!value.is_array())
        Refuse(Key("header"), "expected a list of parts such as {\"name\": \"tpdu\", \"bytes\": 5}, " + Found(value));
    std::vector<HeaderPart> parts;
    for (const Json& item : value)
    {
        const std::string where = "header part " + std::to_string(parts.size() + 1) + ": ";
        if (!item.is_object())
            Refuse(where, "expected an object of name and bytes, " + Found(item));
        CheckKeys(item, where, kHeaderKeys, "the keys of a header part");
        Require(item, where, kHeaderKeys, " in a header part");
        HeaderPart part;
        part.name = Text(item.at("name"), where + Key("name"));
        if (!IsPartName(part.name))
            Refuse(where + Key("name"), "expected letters, digits and _, " + Found(item.at("name")));
        for (const HeaderPart& earlier : parts)
        {
            if (earlier.name == part.name)
                Refuse(where + Key("name"), "an earlier part is " + Shown(item.at("name")) + " too");
        }
        part.size = WholeNumber(item.at("bytes"), where + Key("bytes"), kMostUnits);
        parts.push_back(part);
    }
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
        Refuse(Key("fields"), Shown(Json(key)) + " is not a field number 2-192");
    const std::string where = "field " + key + ": ";
    if (number == 1)
        Refuse(where, "the secondary bitmap cannot be changed");
    if (number == 65 && tertiary)
        Refuse(where, "it announces the tertiary bitmap; \"tertiary\": false makes it a field");
    if (number > 128 && !tertiary)
        Refuse(where, "fields 129-192 need \"tertiary\": true");
    return number;
}

// Whether a message can still be pasted as its characters: every part text.
bool AllText(const MessageSpec& spec)
{
    if (spec.mti != Encoding::Ascii || spec.bitmap != Encoding::Hex ||
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

MessageSpec Load(const Json& root, const std::string& fileName)
{
    if (!root.is_object())
        Refuse("", "expected an object of keys such as \"base\", " + Found(root));
    CheckKeys(root, "", kFileKeys, "the keys of a specification file");
    std::string builtins;
    for (const std::string& name : BuiltinSpecNames())
        builtins += (builtins.empty() ? "" : ", ") + name;
    Require(root, "", {"base"}, ": one of " + builtins);
    const std::string& baseName = Text(root.at("base"), Key("base"));
    const MessageSpec* base = FindBuiltinSpec(baseName);
    if (!base)
        Refuse(Key("base"), "unknown specification " + Shown(root.at("base")) + "; built-in ones: " + builtins);

    MessageSpec spec = *base;
    spec.name = Stem(fileName);
    if (const Json* name = Member(root, "name"))
    {
        spec.name = Text(*name, Key("name"));
        if (spec.name.empty())
            Refuse(Key("name"), "expected a name, " + Found(*name));
    }
    if (const Json* mti = Member(root, "mti"))
        spec.mti = Pick(*mti, Key("mti"), kMtiEncodings);
    if (const Json* bitmap = Member(root, "bitmap"))
        spec.bitmap = Pick(*bitmap, Key("bitmap"), kBitmapEncodings);
    if (const Json* lengthPrefix = Member(root, "length_prefix"))
        spec.framing.lengthPrefix = Pick(*lengthPrefix, Key("length_prefix"), kLengthPrefixes);
    if (const Json* header = Member(root, "header"))
        spec.framing.header = ReadHeader(*header);

    const Json* tertiaryValue = Member(root, "tertiary");
    const bool tertiary = tertiaryValue ? Boolean(*tertiaryValue, Key("tertiary")) : base->HasTertiary();
    assert(spec.fields[1] && spec.fields[65] && base->HasTertiary());
    spec.fields[1]->encoding = spec.bitmap;
    spec.fields[65]->encoding = spec.bitmap;
    if (!tertiary)
    {
        FieldFormat plain = Like(*base, Content::B, LengthKind::Fixed);
        plain.size = 8;
        spec.fields[65] = plain;
    }

    if (const Json* fields = Member(root, "fields"))
    {
        if (!fields->is_object())
            Refuse(Key("fields"), "expected an object of field numbers to their keys, " + Found(*fields));
        for (const auto& item : fields->items())
        {
            const std::uint32_t number = FieldNumber(item.key(), tertiary);
            ApplyField(*base, number, item.value(), spec.fields[number], spec.names[number]);
        }
    }
    if (spec.input == InputForm::Text && !AllText(spec))
        spec.input = InputForm::Hex;
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
            if (!level.keys.insert(level.key).second && m_found.empty())
                m_found = Where() + "given twice";
            break;
        }
        case Json::parse_event_t::value:
            break;
        }
        return true;
    }

    // Empty when every key was given once.
    const std::string& Found() const { return m_found; }

private:
    struct Level
    {
        bool object;
        std::set<std::string> keys;
        std::string key;
    };

    std::string Where() const
    {
        std::vector<std::string> path;
        for (const Level& level : m_levels)
        {
            if (level.object)
                path.push_back(level.key);
        }
        std::string where;
        std::size_t next = 0;
        if (path.size() > 1 && path[0] == "fields")
        {
            where = "field " + path[1] + ": ";
            next = 2;
        }
        for (; next < path.size(); ++next)
            where += Key(path[next]);
        return where;
    }

    std::vector<Level> m_levels;
    std::string m_found;
};

// The parser's reason at the place it gives as a byte: line and column.
std::string SyntaxError(std::string_view text, const Json::parse_error& error)
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
    return "line " + std::to_string(line) + ", column " + std::to_string(offset - lineStart + 1) + ": " + reason;
}

} // namespace

bool LoadSpecFile(std::string_view text, const std::string& fileName, MessageSpec& spec, std::string& error)
{
    try
    {
        DuplicateKeys duplicates;
        const Json root = Json::parse(
            text.data(), text.data() + text.size(),
            [&duplicates](int, Json::parse_event_t event, Json& parsed) { return duplicates.See(event, parsed); },
            true, true);
        if (!duplicates.Found().empty())
            Refuse("", duplicates.Found());
        spec = Load(root, fileName);
        return true;
    }
    catch (const Refusal& refusal)
    {
        error = fileName + ": " + refusal.text;
    }
    catch (const Json::parse_error& parseError)
    {
        error = fileName + ": " + SyntaxError(text, parseError);
    }
    catch (const std::exception& other)
    {
        error = fileName + ": " + other.what();
    }
    return false;
}

} // namespace message
