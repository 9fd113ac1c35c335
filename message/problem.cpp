#include "problem.h"

#include "display_text.h"

#include <cassert>

namespace message
{

namespace
{

enum Language
{
    kEnglish,
    kChinese,
};

// Each kind's words with {figure} placeholders, filled by Figure() below.
struct Wording
{
    ProblemKind kind;
    const char* english;
    const char* chinese;
};

using K = ProblemKind;

const Wording kWordings[] = {
    {K::EndsInside, "the message ends inside {it}: {neededBytes} needed, {left} left", "报文在{it}中结束：需要 {needed} 字节，只剩 {left} 字节"},
    {K::EndsInsidePrefix, "the message ends inside the length prefix: {neededBytes} needed, {left} left", "报文在长度前缀中结束：需要 {needed} 字节，只剩 {left} 字节"},
    {K::EndsInsideValue, "the message ends inside the field: {neededBytes} needed, {left} left", "报文在域值中结束：需要 {needed} 字节，只剩 {left} 字节"},
    {K::BytesLeft, "{leftBytes} left after the last field", "最后一个域之后多出 {left} 字节"},
    {K::UndefinedBit, "bit {field} is set, but the message specification {expected} defines no field {field}", "位 {field} 已置位，但报文规范 {expected} 未定义第 {field} 域"},
    {K::LengthPrefixDisagrees, "the length prefix says {neededBytes} follow, but {left} do", "长度前缀说后面有 {needed} 字节，实际有 {left} 字节"},
    {K::NotFourDigits, "{quoted} is not 4 digits", "{quoted} 不是 4 位数字"},
    {K::NotHexBitmap, "{quoted} is not 16 hex digits", "{quoted} 不是 16 位十六进制数字"},
    {K::MessageLengthNotDigits, "expected 4 ASCII digits, found {quoted}", "应为 4 位 ASCII 数字，实为 {quoted}"},
    {K::BcdLength, "expected a BCD length, found {found}", "应为 BCD 长度，实为 {found}"},
    {K::AsciiLength, "expected {needed} ASCII digits of length, found {quoted}", "长度应为 {needed} 位 ASCII 数字，实为 {quoted}"},
    {K::EbcdicLength, "expected {needed} EBCDIC digits of length, found {found} (hex)", "长度应为 {needed} 位 EBCDIC 数字，实为 {found}（十六进制）"},
    {K::LengthOverGreatest, "length {left} over the greatest, {needed} ({format})", "长度 {left} 超过最大值 {needed}（{format}）"},
    {K::NotHexText, "expected hex text, found {quoted} at character {at}", "应为十六进制文本，第 {at} 个字符处为 {quoted}"},
    {K::ContentNotAllowed, "{quoted} is not {expected}: {character} at character {at}{suffix}", "{quoted} 不符合 {expected}：第 {at} 个字符 {character}{suffix}"},
    {K::PadNibble, "pad nibble {found}, not 0 or F{suffix}", "填充半字节为 {found}，不是 0 或 F{suffix}"},
    {K::BcdNibble, "BCD {expected} holds the nibble {found} at digit {at}{suffix}", "BCD {expected} 的第 {at} 位是半字节 {found}{suffix}"},
    {K::TlvTagTooLong, "{tlv}tag longer than 4 bytes{tlvEnd}", "{tlv}标签超过 4 字节{tlvEnd}"},
    {K::TlvTruncatedTag, "{tlv}truncated tag{tlvEnd}", "{tlv}标签不完整{tlvEnd}"},
    {K::TlvTruncatedLength, "{tlv}truncated length{tlvEnd}", "{tlv}长度不完整{tlvEnd}"},
    {K::TlvIndefiniteLength, "{tlv}indefinite length{tlvEnd}", "{tlv}不定长度{tlvEnd}"},
    {K::TlvLengthTooLong, "{tlv}length of {needed} bytes, more than 4{tlvEnd}", "{tlv}长度占 {needed} 字节，超过 4 字节{tlvEnd}"},
    {K::TlvOverrunsField, "{tlv}value overruns the field by {neededBytes}{tlvEnd}", "{tlv}值超出本域 {needed} 字节{tlvEnd}"},
    {K::TlvOverrunsTemplate, "{tlv}value overruns its template by {neededBytes}{tlvEnd}", "{tlv}值超出所在模板 {needed} 字节{tlvEnd}"},
    {K::TlvTooDeep, "{tlv}templates nested deeper than {needed}{tlvEnd}", "{tlv}模板嵌套超过 {needed} 层{tlvEnd}"},
    {K::GivenTwice, "given twice", "重复给出"},
    {K::BitmapGiven, "a bitmap follows from the fields; leave it out", "位图由各域决定，请勿给出"},
    {K::UndefinedField, "the message specification {expected} defines no field {field}", "报文规范 {expected} 未定义第 {field} 域"},
    {K::NeedsTertiary, "fields above 128 need field 65 to be a bitmap", "128 以上的域需要第 65 域为位图"},
    {K::HeaderPartCount, "{needed} header parts expected, {left} given", "应有 {needed} 个报文头部分，给出 {left} 个"},
    {K::HeaderPartSize, "the {expected} takes {needed} bytes, {left} given", "{expected} 占 {needed} 字节，给出 {left} 字节"},
    {K::TooLongForAsciiPrefix, "{needed} bytes do not fit 4 digits", "{needed} 字节超出 4 位数字的长度"},
    {K::TooLongForBinaryPrefix, "{needed} bytes do not fit 2 bytes", "{needed} 字节超出 2 字节的长度"},
    {K::FixedLength, "{leftUnits}, the format is {format}", "{leftUnits}，格式为 {format}"},
    {K::OverGreatest, "{leftUnits}, over the greatest of {format}", "{leftUnits}，超过 {format} 的最大长度"},
    {K::NoSign, "no sign, the format is {format}", "缺少符号，格式为 {format}"},
    {K::NotBcd, "{quoted} cannot be written in BCD, the format is {format}", "{quoted} 无法写成 BCD，格式为 {format}"},
    {K::HexCharacter, "a character other than hex digits and spaces, {quoted} at column {at}{hexValue}", "有十六进制数字和空格以外的字符：第 {at} 列的 {quoted}{hexValue}"},
    {K::HexOddDigits, "an odd number of hex digits ({needed}){hexValue}", "十六进制数字的个数为奇数（{needed}）{hexValue}"},
    {K::EmptyMessage, "the message is empty", "报文为空"},
    {K::MessageTooLong, "a message longer than {needed} bytes: a stream of many messages needs --length-prefix", "报文超过 {needed} 字节：多条报文的数据流需要 --length-prefix"},
    {K::StreamEndsInside, "the stream ends inside a message: {left} of its {streamSize} bytes", "数据流在报文中结束：只有 {left} 字节，应有 {streamSize} 字节"},
    {K::LineTooLong, "line longer than {needed} bytes", "行超过 {needed} 字节"},
    {K::DumpOffsetDigits, "{dumpAt}expected an offset of 4 to 16 hex digits, found {quoted}", "{dumpAt}应为 4 到 16 位十六进制的偏移，实为 {quoted}"},
    {K::DumpOffset, "{dumpAt}expected offset {expected}, found {found}", "{dumpAt}偏移应为 {expected}，实为 {found}"},
    {K::DumpStarEnd, "{dumpAt}expected an offset after \"*\" to tell how many lines it repeats", "{dumpAt}\"*\" 之后应有偏移，说明它重复多少行"},
    {K::DumpStarOffset, "{dumpAt}expected offset {expected} or a further multiple of {leftBytes} after the \"*\" above, found {found}", "{dumpAt}偏移应为 {expected}，或在上面的 \"*\" 之后再加 {left} 字节的整数倍，实为 {found}"},
    {K::DumpStarTooLong, "{dumpAt}the \"*\" above would stand for {leftBytes}, more than {expected}", "{dumpAt}上面的 \"*\" 将代表 {left} 字节，超过 {expected}"},
    {K::DumpStarLine, "{dumpAt}expected a line of bytes before \"*\" to repeat", "{dumpAt}\"*\" 之前应有一行字节可供重复"},
    {K::DumpCharacters, "{dumpAt}expected {leftCharacters} after {leftBytes}, found {quotedOrNone}", "{dumpAt}{left} 字节之后应有 {left} 个字符，实为 {quotedOrNone}"},
    {K::DumpLastGroup, "{dumpAt}expected the characters after a last group of 2 digits, found {quoted}", "{dumpAt}最后一组 2 位数字之后应为字符，实为 {quoted}"},
    {K::DumpHexGroup, "{dumpAt}expected a group of 4 hex digits, found {quoted}", "{dumpAt}应为一组 4 位十六进制数字，实为 {quoted}"},
    {K::DumpHexByte, "{dumpAt}expected a hex byte, found {quoted}", "{dumpAt}应为一个十六进制字节，实为 {quoted}"},
    {K::DumpSecond, "{dumpAt}expected one dump, found another", "{dumpAt}应只有一段转储，又出现了一段"},
    {K::UnknownName, "unknown name {quoted}: mti, a field number or {expected}", "未知的名称 {quoted}：应为 mti、域号或 {expected}"},
    {K::MtiTwice, "the message type is given twice", "消息类型重复给出"},
    {K::HeaderPartTwice, "the header's {expected} is given twice", "报文头的 {expected} 重复给出"},
    {K::NoSuchField, "there are fields 1 to 192", "域号应为 1 到 192"},
    {K::MtiMissing, "the message type is not given (mti=0200)", "未给出消息类型（mti=0200）"},
    {K::HeaderPartMissing, "the header's {expected} is not given: {needed} bytes in hex ({expected}=...)", "未给出报文头的 {expected}：应为 {needed} 字节的十六进制（{expected}=...）"},
    {K::EmptyLine, "an empty line, where a JSON object was expected", "空行，此处应为 JSON 对象"},
    {K::NotJson, "not JSON: {found}", "不是 JSON：{found}"},
    {K::NotJsonObject, "not a JSON object: build reads the objects parse --json --unmask writes", "不是 JSON 对象：build 读取 parse --json --unmask 写出的对象"},
    {K::ParseError, "parse could not read this message: {found}", "parse 未能读取这条报文：{found}"},
    {K::Masked, "its card data is masked: parse the message with --unmask to build it again", "卡数据已被屏蔽：请用 --unmask 解析报文后再组包"},
    {K::ExpectedObject, "expected an object", "应为对象"},
    {K::ExpectedString, "expected a string", "应为字符串"},
    {K::NotFieldNumber, "{quoted} is not a field number", "{quoted} 不是域号"},
    {K::BeyondLatin1, "a character beyond U+00FF at byte {at}: a value holds bytes, each byte over 7F written as \\u0080-\\u00ff", "第 {at} 字节处的字符超出 U+00FF：值由字节组成，7F 以上的字节写作 \\u0080-\\u00ff"},
    {K::UnknownMember, "unknown member {quoted}: mti, fields, tlv or {expected}", "未知的成员 {quoted}：应为 mti、fields、tlv 或 {expected}"},
    {K::NotTlvField, "{quoted} is not a TLV field of the message specification {expected}", "{quoted} 不是报文规范 {expected} 的 TLV 域"},
    {K::NotTag, "{quoted} is not a BER-TLV tag", "{quoted} 不是 BER-TLV 标签"},
    {K::TagsExpected, "expected an object of tags", "应为由标签组成的对象"},
    {K::TlvValueExpected, "expected hex, an object or an array of them", "应为十六进制、对象或它们的数组"},
    {K::PrimitiveObject, "primitive: its value is hex, not an object", "基本标签：其值为十六进制，不是对象"},
    {K::TagsTooDeep, "templates nested deeper than {needed}", "模板嵌套超过 {needed} 层"},
    {K::TlvDiffers, "its value in \"fields\" and its tags in \"tlv\" differ: leave one of them out", "\"fields\" 中的值与 \"tlv\" 中的标签不一致：请只给出其一"},
    {K::LineBreak, "the message holds a line break at byte {at}: write it --to hex or --to binary", "报文在第 {at} 字节处含换行：请用 --to hex 或 --to binary 输出"},
    {K::PartFieldOutside, "field {found} is outside 2-192", "域 {found} 不在 2-192 之内"},
    {K::PartNotTag, "{quoted} is no TLV tag", "{quoted} 不是 TLV 标签"},
    {K::PartUnknown, "{quoted} is no column: a field number, FIELD.TAG, mti, bitmap, length or a header part", "{quoted} 不是可选的列：应为域号、域号.标签、mti、bitmap、length 或报文头部分的名称"},
    {K::SpecSyntax, "line {needed}, column {left}: {found}", "第 {needed} 行第 {left} 列：{found}"},
    {K::SpecKeyTwice, "given twice", "重复给出"},
    {K::SpecRootObject, "expected an object of keys such as \"base\", found {found}", "应为含 \"base\" 等键的对象，实为 {found}"},
    {K::SpecUnknownKey, "unknown; {keysOf} are {expected}", "未知的键；{keysOf}为 {expected}"},
    {K::SpecRequired, "required{requiredWhen}", "必须给出{requiredWhen}"},
    {K::SpecOneOf, "expected one of {expected}{forFormat}, found {found}", "应为 {expected} 之一{forFormat}，实为 {found}"},
    {K::SpecWholeNumber, "expected a whole number 1-{needed}{forFormat}, found {found}", "应为 1-{needed} 的整数{forFormat}，实为 {found}"},
    {K::SpecBoolean, "expected true or false, found {found}", "应为 true 或 false，实为 {found}"},
    {K::SpecString, "expected a string, found {found}", "应为字符串，实为 {found}"},
    {K::SpecNameText, "expected a name without control characters, found {found}", "名称中不能有控制字符，实为 {found}"},
    {K::SpecFieldEntry, "expected an object of its keys, or null to remove it, found {found}", "应为由键组成的对象，或 null 以删除该域，实为 {found}"},
    {K::SpecLengthBelowMax, "{expected} counts up to {needed}, less than max {left}; give a max too", "{expected} 最多为 {needed}，小于 max {left}；请同时给出 max"},
    {K::SpecTlvNotB, "only a b field holds TLV; this one is {expected}", "只有 b 域可以是 TLV；此域为 {expected}"},
    {K::SpecHeaderList, "expected a list of parts such as {\"name\": \"tpdu\", \"bytes\": 5}, found {found}", "应为各部分的列表，如 {\"name\": \"tpdu\", \"bytes\": 5}，实为 {found}"},
    {K::SpecPartEntry, "expected an object of name and bytes, found {found}", "应为含 name 和 bytes 的对象，实为 {found}"},
    {K::SpecPartName, "expected letters, digits and _, found {found}", "应由字母、数字和 _ 组成，实为 {found}"},
    {K::SpecPartTwice, "an earlier part is {found} too", "前面已有部分名为 {found}"},
    {K::SpecNotFieldNumber, "{found} is not a field number 2-192", "{found} 不是 2-192 的域号"},
    {K::SpecSecondaryBitmap, "the secondary bitmap cannot be changed", "第二位图不能更改"},
    {K::SpecTertiaryField, "it announces the tertiary bitmap; \"tertiary\": false makes it a field", "它表示第三位图；\"tertiary\": false 可使它成为普通域"},
    {K::SpecNeedsTertiary, "fields 129-192 need \"tertiary\": true", "129-192 域需要 \"tertiary\": true"},
    {K::SpecUnknownBase, "unknown specification {found}; built-in ones: {expected}", "未知的报文规范 {found}；内置的有：{expected}"},
    {K::SpecEmptyName, "expected a name, found {found}", "应为名称，实为 {found}"},
    {K::SpecFieldsObject, "expected an object of field numbers to their keys, found {found}", "应为域号到其键的对象，实为 {found}"},
    {K::SpecOther, "{found}", "{found}"},
};

const Wording& WordingOf(ProblemKind kind)
{
    const Wording& wording = kWordings[static_cast<std::size_t>(kind)];
    assert(wording.kind == kind && "the wordings are in the order of the kinds");
    return wording;
}

const char* Pick(Language language, const char* english, const char* chinese)
{
    return language == kEnglish ? english : chinese;
}

std::string Bytes(std::size_t count, Language language)
{
    if (language == kChinese)
        return std::to_string(count) + " 字节";
    return std::to_string(count) + (count == 1 ? " byte" : " bytes");
}

// "3 digits", "1 character", "2 bytes": a length in the unit of a content.
std::string Units(std::size_t count, const std::string& content, Language language)
{
    const bool digits = content == "n" || content == "z" || content == "x+n";
    const bool bytes = content == "b" || content == "bitmap";
    if (language == kChinese)
        return std::to_string(count) + (digits ? " 位数字" : bytes ? " 字节" : " 个字符");
    const char* unit = digits ? "digit" : bytes ? "byte" : "character";
    return std::to_string(count) + " " + unit + (count == 1 ? "" : "s");
}

bool IsTlvKind(ProblemKind kind)
{
    return kind >= K::TlvTagTooLong && kind <= K::TlvTooDeep;
}

bool IsDumpKind(ProblemKind kind)
{
    return kind >= K::DumpOffsetDigits && kind <= K::DumpSecond;
}

// The figures that need words of their own.
std::string Phrase(const Problem& problem, const std::string& name, Language language)
{
    const bool inField = problem.place.kind == PlaceKind::Field;
    if (name == "it")
        return problem.found.empty() ? Pick(language, "it", "其中") : Pick(language, "its ", "报文头的 ") + problem.found;
    if (name == "suffix")
        return problem.building ? Pick(language, ", the format is ", "，格式为 ") + problem.format
                                : Pick(language, " (", "（") + problem.format + Pick(language, ")", "）");
    if (name == "tlv")
        return IsTlvKind(problem.kind) && inField ? "TLV " : "";
    if (name == "tlvEnd")
        return IsTlvKind(problem.kind) && inField ? Pick(language, " at byte ", "，在值的第 ") + std::to_string(problem.at) +
                                                        Pick(language, " of the value; the rest is shown raw",
                                                             " 字节处；其余按原始字节显示")
                                                  : "";
    if (name == "hexValue")
        return problem.building ? Pick(language, ": the value is written in hex, 2 digits a byte", "：值须写成十六进制，每字节 2 位")
                                : "";
    if (name == "streamSize")
        return problem.needed != 0 ? std::to_string(problem.needed) : Pick(language, "length prefix's", "长度前缀的");
    if (name == "keysOf")
        return problem.place.field != 0  ? Pick(language, "the keys of a field", "域的键")
               : problem.place.part != 0 ? Pick(language, "the keys of a header part", "报文头部分的键")
                                         : Pick(language, "the keys of a specification file", "规范文件的键");
    if (name == "requiredWhen")
        return problem.place.field != 0  ? Pick(language, " for a field the base does not have", "（基础规范没有此域）")
               : problem.place.part != 0 ? Pick(language, " in a header part", "（报文头部分）")
                                         : Pick(language, ": one of ", "：可选 ") + problem.expected;
    if (name == "forFormat")
        return problem.format.empty() ? "" : Pick(language, problem.kind == K::SpecOneOf ? " for type " : " for ", "（") +
                                                 problem.format + Pick(language, "", "）");
    assert(false && "an unknown figure");
    return {};
}

std::string Figure(const Problem& problem, const std::string& name, Language language)
{
    if (name == "needed")
        return std::to_string(problem.needed);
    if (name == "left")
        return std::to_string(problem.left);
    if (name == "at")
        return std::to_string(problem.at);
    if (name == "field")
        return std::to_string(problem.place.field);
    if (name == "expected")
        return problem.expected;
    if (name == "found")
        return problem.found;
    if (name == "format")
        return problem.format;
    if (name == "quoted")
        return Printable(problem.found);
    if (name == "character")
        return Printable(std::string_view(problem.found).substr(problem.at - 1, 1));
    if (name == "neededBytes")
        return Bytes(problem.needed, language);
    if (name == "leftBytes")
        return Bytes(problem.left, language);
    if (name == "leftCharacters")
        return Units(problem.left, "ans", language);
    if (name == "quotedOrNone")
        return problem.found.empty() ? Pick(language, "none", "无") : Printable(problem.found);
    if (name == "dumpAt")
        return Pick(language, "line ", "第 ") + std::to_string(problem.needed) + Pick(language, ", column ", " 行第 ") +
               std::to_string(problem.at) + Pick(language, ": ", " 列：");
    if (name == "leftUnits")
        return Units(problem.left, problem.expected, language);
    return Phrase(problem, name, language);
}

std::string Fill(const Problem& problem, Language language)
{
    const Wording& wording = WordingOf(problem.kind);
    const std::string_view text = language == kEnglish ? wording.english : wording.chinese;
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        const std::size_t close = text[i] == '{' ? text.find('}', i) : std::string_view::npos;
        // A brace around anything but a figure's name is the text's own, as in {"name": ...}.
        if (close == std::string_view::npos || text.substr(i + 1, close - i - 1).find_first_of("\" ") != std::string_view::npos)
        {
            out += text[i];
            continue;
        }
        out += Figure(problem, std::string(text.substr(i + 1, close - i - 1)), language);
        i = close;
    }
    return out;
}

// The lines of a place's path, each with its label.
std::string PathText(const std::string& path, const char* label, const char* colon)
{
    std::string text;
    for (std::size_t start = 0; start < path.size();)
    {
        const std::size_t end = std::min(path.find('\n', start), path.size());
        text += label + path.substr(start, end - start) + colon;
        start = end + 1;
    }
    return text;
}

std::string SpecFileLocus(const Place& place, Language language)
{
    std::string text = place.name + Pick(language, ": ", "：");
    if (place.field != 0)
        text += Pick(language, "field ", "第 ") + std::to_string(place.field) + Pick(language, ": ", " 域：");
    if (place.part != 0)
        text += Pick(language, "header part ", "报文头第 ") + std::to_string(place.part) + Pick(language, ": ", " 部分：");
    return text + PathText(place.path, Pick(language, "key ", "键 "), Pick(language, ": ", "："));
}

std::string Name(const Place& place, Language language)
{
    switch (place.kind)
    {
    case PlaceKind::Input:
        return Pick(language, "the input", "输入");
    case PlaceKind::LengthPrefix:
        return Pick(language, "the length prefix", "长度前缀");
    case PlaceKind::Header:
        return place.name.empty() ? Pick(language, "the header", "报文头")
                                  : Pick(language, "the header's ", "报文头的 ") + place.name;
    case PlaceKind::Mti:
        return Pick(language, "the message type", "消息类型");
    case PlaceKind::PrimaryBitmap:
        return Pick(language, "the primary bitmap", "主位图");
    case PlaceKind::Member:
        return Pick(language, "member \"", "成员 \"") + place.name + "\"";
    case PlaceKind::SpecFile:
        return place.name;
    case PlaceKind::Field:
    case PlaceKind::Tag:
        break;
    }
    std::string text = Pick(language, "field ", "第 ") + std::to_string(place.field) + Pick(language, "", " 域");
    if (place.kind == PlaceKind::Field && place.field == 1)
        text += Pick(language, " (the secondary bitmap)", "（第二位图）");
    if (place.kind == PlaceKind::Tag)
    {
        const std::string tags = PathText(place.path, Pick(language, "tag ", "标签 "), Pick(language, ": ", "："));
        text += Pick(language, ": ", "：") + tags.substr(0, tags.size() - (language == kEnglish ? 2 : 3));
    }
    return text;
}

std::string Text(const Problem& problem, Language language)
{
    const Place& place = problem.place;
    if (place.kind == PlaceKind::SpecFile)
        return SpecFileLocus(place, language) + Fill(problem, language);
    // Build's own refusals speak of the message as a whole, and a dump's name
    // their line and column: no place before them.
    if (place.kind == PlaceKind::Input && (problem.offset == kNoOffset || IsDumpKind(problem.kind)))
        return Fill(problem, language);
    std::string text = Name(place, language);
    if (problem.offset != kNoOffset)
        text += Pick(language, " at byte ", "，第 ") + std::to_string(problem.offset) + Pick(language, "", " 字节");
    return text + Pick(language, ": ", "：") + Fill(problem, language);
}

} // namespace

bool Refuse(Problem& problem, Place place, ProblemKind kind, std::string found, std::string expected)
{
    problem = Problem(std::move(place), kNoOffset, kind);
    problem.found = std::move(found);
    problem.expected = std::move(expected);
    return false;
}

std::string PlaceName(const Place& place)
{
    return Name(place, kEnglish);
}

std::string Problem::Text() const
{
    return message::Text(*this, kEnglish);
}

std::string English(const Problem& problem)
{
    return Fill(problem, kEnglish);
}

std::string Chinese(const Problem& problem)
{
    return Fill(problem, kChinese);
}

std::string ChineseText(const Problem& problem)
{
    return Text(problem, kChinese);
}

std::string Printable(std::string_view text)
{
    return QuoteText(text);
}

} // namespace message
