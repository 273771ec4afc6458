#include "app/gui/WindowPlacement.h"

#include <array>
#include <cctype>
#include <cstdio>

namespace pcn::gui {
namespace {

// One number at pos; advances pos past it. Values wrap to 32 bits the way the
// stored unsigned form of negative coordinates requires.
std::optional<uint32_t> readNumber(std::string_view text, size_t& pos) {
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
    bool negative = false;
    if (pos < text.size() && text[pos] == '-') {
        negative = true;
        ++pos;
    }
    int base = 10;
    if (pos + 1 < text.size() && text[pos] == '0' && (text[pos + 1] == 'x' || text[pos + 1] == 'X')) {
        base = 16;
        pos += 2;
    }
    uint64_t value = 0;
    size_t digits = 0;
    for (; pos < text.size(); ++pos, ++digits) {
        const unsigned char c = static_cast<unsigned char>(text[pos]);
        int digit;
        if (std::isdigit(c)) digit = c - '0';
        else if (base == 16 && std::isxdigit(c)) digit = std::tolower(c) - 'a' + 10;
        else break;
        value = (value * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit)) & 0xFFFFFFFFull;
    }
    if (digits == 0) return std::nullopt;
    uint32_t result = static_cast<uint32_t>(value);
    return negative ? static_cast<uint32_t>(0u - result) : result;
}

}  // namespace

std::optional<WindowPlacement> parseWindowPlacement(std::string_view text) {
    if (!text.empty() && text.front() == '*') return std::nullopt;
    std::array<uint32_t, 10> n{};
    size_t pos = 0;
    for (uint32_t& value : n) {
        auto number = readNumber(text, pos);
        if (!number) return std::nullopt;
        value = *number;
    }
    auto s = [](uint32_t v) { return static_cast<int32_t>(v); };
    return WindowPlacement{n[0], n[1], s(n[2]), s(n[3]), s(n[4]), s(n[5]), s(n[6]), s(n[7]), s(n[8]), s(n[9])};
}

std::string formatWindowPlacement(const WindowPlacement& p) {
    auto u = [](int32_t v) { return static_cast<unsigned long>(static_cast<uint32_t>(v)); };
    char buffer[160];
    std::snprintf(buffer, sizeof buffer, "%lu %lu %lu %lu %lu %lu %lu %lu %lu %lu",
                  static_cast<unsigned long>(p.flags), static_cast<unsigned long>(p.showCmd), u(p.minX), u(p.minY),
                  u(p.maxX), u(p.maxY), u(p.left), u(p.top), u(p.right), u(p.bottom));
    return buffer;
}

}  // namespace pcn::gui
