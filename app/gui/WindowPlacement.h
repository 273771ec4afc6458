#pragma once
// The main window's stored placement: ten numbers in the order of the
// platform's window-placement record, kept as one text value.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pcn::gui {

enum ShowCommand : uint32_t { kShowHide = 0, kShowNormal = 1, kShowMinimized = 2, kShowMaximized = 3 };
inline constexpr uint32_t kPlacementSetMinPosition = 1;

struct WindowPlacement {
    uint32_t flags = 0;
    uint32_t showCmd = kShowNormal;
    int32_t minX = -1, minY = -1;  // minimised position (-1: none)
    int32_t maxX = -1, maxY = -1;  // maximised position (-1: none)
    int32_t left = 0, top = 0, right = 0, bottom = 0;  // the normal (restored) rectangle

    int32_t width() const { return right - left; }
    int32_t height() const { return bottom - top; }
    bool operator==(const WindowPlacement&) const = default;
};

// Ten numbers, each optionally preceded by blanks and a "-", decimal or
// "0x" hexadecimal. A text starting with "*", or one with fewer than ten
// numbers, holds no placement.
std::optional<WindowPlacement> parseWindowPlacement(std::string_view text);

// "%lu %lu %lu %lu %lu %lu %lu %lu %lu %lu" (negative numbers as their
// unsigned 32-bit value, which the parser reads back as the same number).
std::string formatWindowPlacement(const WindowPlacement& placement);

}  // namespace pcn::gui
