// Arbitrary bytes as typed text: the filter, the padding, the codec and the
// rendering must hold their invariants for any input, and never read past it.
#include "hex_codec.h"
#include "iso_bitmap.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace
{

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

bool IsUpperHex(const std::string& text)
{
    for (const char c : text)
    {
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The codec gets its own heap copy, so ASan sees any read past the end.
    const std::string input(reinterpret_cast<const char*>(data), size);
    CHexCodec codec;
    const std::string bytes = codec.HexToBytes(input);
    Check(bytes.size() == (size + 1) / 2);
    const std::string hex = codec.BytesToHex(bytes);
    Check(hex.size() == 2 * bytes.size() && IsUpperHex(hex));

    const bool autoFirst = size > 0 && (data[0] & 1);
    for (const CIsoBitmap::LeadByteRule rule : {CIsoBitmap::IsGbkLeadByte, CIsoBitmap::NoLeadByte})
    {
        CIsoBitmap bitmap;
        const std::int32_t count = bitmap.FromHex(input, autoFirst, rule);
        Check(count == 64 || count == 128);
        Check(count == bitmap.BitCount() && bitmap.IsExtended() == (count == 128));
        if (autoFirst && count == 128)
            Check(bitmap.Test(1));

        const std::string rendered = bitmap.ToHex();
        Check((rendered.size() == 16 || rendered.size() == 32) && IsUpperHex(rendered));

        CIsoBitmap reloaded;
        reloaded.FromHex(rendered, autoFirst, rule);
        Check(reloaded.ToHex() == rendered);
        for (std::uint32_t n = 1; n <= 128; ++n)
            Check(reloaded.Test(n) == bitmap.Test(n));
    }
    return 0;
}
