#ifndef TAMSIL_LEAD_BYTE_H
#define TAMSIL_LEAD_BYTE_H

// isLeadByte, when given, tells the first bytes of the system code page's
// double-byte characters, which the platform and the client's runtime read
// with the byte after them as one character, even one of the value of a
// backslash (the second byte of many a Japanese character is 0x5C). The
// platform's own test is IsSystemLeadByte (platform/eight_bit_path.h).
typedef bool (*LeadByteTest)(unsigned char byte);

#endif
