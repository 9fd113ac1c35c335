#pragma once

// EBCDIC (code page 037) and Latin-1 are both one byte a character and map
// one to one, so any EBCDIC text survives a round trip through Latin-1.
unsigned char EbcdicToLatin1(unsigned char byte);
unsigned char Latin1ToEbcdic(unsigned char byte);
