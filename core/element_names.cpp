#include "element_names.h"

namespace
{

// Data elements of ISO 8583:1987, indexed by bit number - 1. The 1993 and
// 2003 editions rename several of them; logs in the field mostly follow 1987.
const char* const kNames[128] = {
    "Secondary bitmap",                                // 1
    "Primary account number",                          // 2
    "Processing code",                                 // 3
    "Transaction amount",                              // 4
    "Settlement amount",                               // 5
    "Cardholder billing amount",                       // 6
    "Transmission date and time",                      // 7
    "Cardholder billing fee amount",                   // 8
    "Settlement conversion rate",                      // 9
    "Cardholder billing conversion rate",              // 10
    "System trace audit number",                       // 11
    "Local transaction time",                          // 12
    "Local transaction date",                          // 13
    "Expiration date",                                 // 14
    "Settlement date",                                 // 15
    "Conversion date",                                 // 16
    "Capture date",                                    // 17
    "Merchant type",                                   // 18
    "Acquiring institution country code",              // 19
    "PAN extended country code",                       // 20
    "Forwarding institution country code",             // 21
    "Point of service entry mode",                     // 22
    "Card sequence number",                            // 23
    "Network international identifier",                // 24
    "Point of service condition code",                 // 25
    "Point of service PIN capture code",               // 26
    "Authorization identification response length",    // 27
    "Transaction fee amount",                          // 28
    "Settlement fee amount",                           // 29
    "Transaction processing fee amount",               // 30
    "Settlement processing fee amount",                // 31
    "Acquiring institution identification code",       // 32
    "Forwarding institution identification code",      // 33
    "Extended primary account number",                 // 34
    "Track 2 data",                                    // 35
    "Track 3 data",                                    // 36
    "Retrieval reference number",                      // 37
    "Authorization identification response",           // 38
    "Response code",                                   // 39
    "Service restriction code",                        // 40
    "Card acceptor terminal identification",           // 41
    "Card acceptor identification code",               // 42
    "Card acceptor name and location",                 // 43
    "Additional response data",                        // 44
    "Track 1 data",                                    // 45
    "Additional data (ISO)",                           // 46
    "Additional data (national)",                      // 47
    "Additional data (private)",                       // 48
    "Transaction currency code",                       // 49
    "Settlement currency code",                        // 50
    "Cardholder billing currency code",                // 51
    "PIN data",                                        // 52
    "Security related control information",            // 53
    "Additional amounts",                              // 54
    "Reserved for ISO use",                            // 55
    "Reserved for ISO use",                            // 56
    "Reserved for national use",                       // 57
    "Reserved for national use",                       // 58
    "Reserved for national use",                       // 59
    "Reserved for national use",                       // 60
    "Reserved for private use",                        // 61
    "Reserved for private use",                        // 62
    "Reserved for private use",                        // 63
    "Message authentication code",                     // 64
    "Tertiary bitmap",                                 // 65
    "Settlement code",                                 // 66
    "Extended payment code",                           // 67
    "Receiving institution country code",              // 68
    "Settlement institution country code",             // 69
    "Network management information code",            // 70
    "Message number",                                  // 71
    "Last message number",                             // 72
    "Action date",                                     // 73
    "Number of credits",                               // 74
    "Number of credit reversals",                      // 75
    "Number of debits",                                // 76
    "Number of debit reversals",                       // 77
    "Number of transfers",                             // 78
    "Number of transfer reversals",                    // 79
    "Number of inquiries",                             // 80
    "Number of authorizations",                        // 81
    "Credits processing fee amount",                   // 82
    "Credits transaction fee amount",                  // 83
    "Debits processing fee amount",                    // 84
    "Debits transaction fee amount",                   // 85
    "Credits amount",                                  // 86
    "Credit reversals amount",                         // 87
    "Debits amount",                                   // 88
    "Debit reversals amount",                          // 89
    "Original data elements",                          // 90
    "File update code",                                // 91
    "File security code",                              // 92
    "Response indicator",                              // 93
    "Service indicator",                               // 94
    "Replacement amounts",                             // 95
    "Message security code",                           // 96
    "Net settlement amount",                           // 97
    "Payee",                                           // 98
    "Settlement institution identification code",      // 99
    "Receiving institution identification code",       // 100
    "File name",                                       // 101
    "Account identification 1",                        // 102
    "Account identification 2",                        // 103
    "Transaction description",                         // 104
    "Reserved for ISO use",                            // 105
    "Reserved for ISO use",                            // 106
    "Reserved for ISO use",                            // 107
    "Reserved for ISO use",                            // 108
    "Reserved for ISO use",                            // 109
    "Reserved for ISO use",                            // 110
    "Reserved for ISO use",                            // 111
    "Reserved for national use",                       // 112
    "Reserved for national use",                       // 113
    "Reserved for national use",                       // 114
    "Reserved for national use",                       // 115
    "Reserved for national use",                       // 116
    "Reserved for national use",                       // 117
    "Reserved for national use",                       // 118
    "Reserved for national use",                       // 119
    "Reserved for private use",                        // 120
    "Reserved for private use",                        // 121
    "Reserved for private use",                        // 122
    "Reserved for private use",                        // 123
    "Reserved for private use",                        // 124
    "Reserved for private use",                        // 125
    "Reserved for private use",                        // 126
    "Reserved for private use",                        // 127
    "Message authentication code",                     // 128
};

} // namespace

const char* DataElementName(std::uint32_t bit)
{
    if (bit == 0 || bit > 128)
        return nullptr;
    return kNames[bit - 1];
}
