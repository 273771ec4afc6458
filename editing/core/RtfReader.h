#pragma once
// A reader for the rich text the package summary is written in: groups,
// paragraphs and line breaks, tabs, bold, italic, underline, font sizes,
// the font and colour tables, "\'hh" and "\uN" characters. Control words it
// does not know are skipped, as are destinations it does not show (style
// sheets, document information, pictures, anything marked "\*"). Any input,
// however damaged, gives a document: unbalanced braces, cut-off escapes and
// stray bytes are read as far as they make sense.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pcn {

struct RtfCharFormat {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int fontSize = 24;     // half-points
    std::string fontName;  // empty: the reader's default
    bool hasColour = false;
    uint32_t colour = 0;  // 0xRRGGBB, when hasColour

    bool operator==(const RtfCharFormat&) const = default;
};

struct RtfRun {
    std::string text;  // UTF-8; "\n" is a line break within the paragraph, "\t" a tab
    RtfCharFormat format;
};

struct RtfParagraph {
    std::vector<RtfRun> runs;
};

struct RtfDocument {
    std::vector<RtfParagraph> paragraphs;  // at least one

    // The text without formatting, paragraphs ended by "\n".
    std::string plainText() const;
};

RtfDocument ParseRtf(std::string_view rtf);

}  // namespace pcn
