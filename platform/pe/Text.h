#pragma once
// Text found in components: UTF-16 strings of resources and 8-bit strings of
// import tables and type libraries, turned into the program's UTF-8.

#include <string>
#include <string_view>

namespace pcn::pe {

// Little-endian UTF-16 bytes up to the first NUL unit (or the end) as UTF-8;
// unpaired surrogates become U+FFFD. A trailing odd byte is ignored.
std::string utf16ToUtf8(std::string_view utf16Bytes);

// Counts the UTF-16 units before the first NUL unit.
size_t utf16Length(std::string_view utf16Bytes);

// 8-bit text from a component: kept when it is valid UTF-8 (plain ASCII
// always is), otherwise read as Windows-1252, the code page such files were
// written in on the systems that made them.
std::string ansiToUtf8(std::string_view bytes);

// ASCII-only case-insensitive comparison, as the Windows loader and the
// version and resource look-ups compare names.
bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b);

}  // namespace pcn::pe
