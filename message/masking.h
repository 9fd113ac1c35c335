#pragma once

// Card data hidden in every output, by one set of rules. Masking replaces
// characters with '*' and keeps the length of the text, so columns and the
// lengths printed beside values still agree.

#include <cstdint>
#include <string>
#include <string_view>

namespace message
{

// The PAN with all but its first 6 and last 4 characters as '*', the display
// rule of the card schemes, which real PANs of 12-19 digits follow. Below 12
// that rule would leave one digit hidden or none, and the check digit gives one
// back, so a shorter PAN shows at most half of itself, the front longer than
// the tail: "123*****90".
std::string MaskPan(std::string_view pan);

// Masks the value of a data element, as shown (hex for binary fields):
//  2, 34  the PAN, by MaskPan.
//  35     track 2, "PAN=YYMM..." (separator '=' or 'D', a leading ';' kept).
//  45     track 1, "B<PAN>^NAME^YYMM..." (format code and a leading '%' kept).
//  36, 52 masked whole.
// In the tracks the PAN is masked by MaskPan and every character after its
// separator too, the separators kept: the discretionary data holds the card
// verification values. A track without its separator is masked whole, as its
// last four characters need not be the PAN's. True when anything changed.
bool MaskFieldText(std::uint32_t field, std::string& text);

// Fields MaskFieldText may change: the PAN, the tracks and the PIN block.
bool HoldsCardData(std::uint32_t field);

// Fields whose every character is hidden: track 3 (36) and the PIN block (52).
bool IsMaskedWhole(std::uint32_t field);

// EMV tags holding card data: the PAN (5A), track 2 (57; 9F6B, Mastercard's
// contactless track 2), track 1 (56) and the tracks' discretionary data (9F1F,
// 9F20), which carry the verification values. The cardholder name (5F20) is
// not among them: without the PAN it cannot pay, and a tester needs to see it.
bool IsSensitiveTag(std::uint32_t tag);

} // namespace message
