#pragma once
// The few Unicode conversions the readers need, in one place: code points to
// UTF-8, and the characters of Windows-1252, the code page of the 8-bit text
// in the Windows files we read (components, RTF licences).

#include <cstdint>
#include <string>

namespace pcn {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// Appends a code point as UTF-8. A surrogate or a value beyond U+10FFFF,
// which UTF-8 cannot carry, becomes U+FFFD.
inline void appendUtf8(std::string& out, char32_t code) {
    if (code > 0x10FFFF || (code >= 0xD800 && code < 0xE000)) code = kReplacementCharacter;
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// The character of a Windows-1252 byte: Latin-1 but for 0x80..0x9F, where
// the five bytes the code page leaves undefined give U+FFFD.
inline char32_t cp1252CodePoint(unsigned char byte) {
    static constexpr char16_t kHigh[32] = {
        0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
    return byte >= 0x80 && byte < 0xA0 ? kHigh[byte - 0x80] : byte;
}

}  // namespace pcn
