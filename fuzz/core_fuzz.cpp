// Arbitrary bytes as typed text: the filter, the padding, the codec, the
// rendering and the reading of bitmap texts with their warnings must hold
// their invariants for any input, and never read past it.
#include "bitmap_text.h"
#include "hex_codec.h"
#include "iso_bitmap.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace
{

void Check(bool condition) { condition ? void() : std::abort(); }

bool IsUpperHex(const std::string& text) { return text.find_first_not_of("0123456789ABCDEF") == std::string::npos; }

// In every form: a hex text loads as FromHex loads it, warned exactly when it
// is not a clean bitmap, and every warning is worded in both languages.
void CheckBitmapText(const std::string& input, bool autoFirst)
{
    for (const BitmapTextForm form : {BitmapTextForm::Hex, BitmapTextForm::AsciiHex, BitmapTextForm::EbcdicHex})
    {
        BitmapTextOptions options;
        options.form = form;
        options.autoFirst = autoFirst;
        CIsoBitmap bitmap;
        BitmapTextWarnings warnings;
        ReadBitmapText(input, options, bitmap, warnings);
        std::string bytes;
        MessageBytesFromText(input, options, bytes, warnings);
        for (const BitmapTextWarning& warning : warnings)
            Check(!WarningText(warning).empty() && !WarningTextZh(warning).empty());
        if (form != BitmapTextForm::Hex)
            continue;
        CIsoBitmap plain;
        CIsoBitmap::TextShape shape;
        plain.FromHex(input, autoFirst, CIsoBitmap::NoLeadByte, &shape);
        const bool clean = shape.firstOther == std::string::npos && (shape.digits == 16 || shape.digits == 32) &&
                           shape.firstBit == (shape.digits == 32);
        Check(plain.ToHex() == bitmap.ToHex() && clean == warnings.empty() && bytes.size() == shape.digits / 2);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The codec gets its own heap copy, so ASan sees any read past the end.
    const std::string input(reinterpret_cast<const char*>(data), size);
    CHexCodec codec;
    const std::string bytes = codec.HexToBytes(input);
    const std::string hex = codec.BytesToHex(bytes);
    Check(bytes.size() == (size + 1) / 2 && hex.size() == 2 * bytes.size() && IsUpperHex(hex));

    const bool autoFirst = size > 0 && (data[0] & 1);
    for (const CIsoBitmap::LeadByteRule rule : {CIsoBitmap::IsGbkLeadByte, CIsoBitmap::NoLeadByte})
    {
        CIsoBitmap bitmap;
        CIsoBitmap::TextShape shape;
        const std::int32_t count = bitmap.FromHex(input, autoFirst, rule, &shape);
        Check((count == 64 || count == 128) && count == bitmap.BitCount() && bitmap.IsExtended() == (count == 128));
        Check((!autoFirst || count == 64 || bitmap.Test(1)) && shape.digits == CIsoBitmap::HexDigits(input, rule).size());

        // Rendered, reloaded and listed, the bits stay the same.
        const std::string rendered = bitmap.ToHex();
        Check((rendered.size() == 16 || rendered.size() == 32) && IsUpperHex(rendered));
        CIsoBitmap reloaded;
        reloaded.FromHex(rendered, autoFirst, rule);
        std::uint32_t bits[128];
        const std::size_t listed = bitmap.SetBits(bits);
        Check(reloaded.ToHex() == rendered && listed <= 128);
        for (std::uint32_t n = 1, i = 0; n <= 128; ++n)
        {
            Check(reloaded.Test(n) == bitmap.Test(n) && (i < listed && bits[i] == n) == bitmap.Test(n));
            i += bitmap.Test(n) ? 1 : 0;
        }
    }
    CheckBitmapText(input, autoFirst);
    return 0;
}
