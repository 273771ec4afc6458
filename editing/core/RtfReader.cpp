#include "editing/core/RtfReader.h"

#include <algorithm>
#include <cstdint>
#include <map>

#include "platform/Unicode.h"

namespace pcn {
namespace {

// Deeper nesting than this is read as if the extra braces were not there:
// no real document needs it, and it bounds the reader's memory.
constexpr size_t kMaxGroupDepth = 1000;
// Control word names and parameters longer than these are cut.
constexpr size_t kMaxWordLength = 32;
constexpr int kMaxParameterDigits = 10;

enum class Destination { Text, FontTable, ColourTable, Skipped };

struct GroupState {
    RtfCharFormat format;
    Destination destination = Destination::Text;
    int unicodeSkip = 1;  // \ucN: fallback characters after each \uN
};

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

int hexValue(char c) {
    if (isDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Destinations whose content is never shown.
bool isSkippedDestination(std::string_view word) {
    static constexpr std::string_view kSkipped[] = {
        "stylesheet", "info",     "pict",     "object",   "header",  "footer",   "headerl", "headerr",
        "footerl",    "footerr",  "footnote", "field",    "fldinst", "listtable", "listoverridetable",
        "revtbl",     "rsidtbl",  "generator", "xmlnstbl", "themedata", "colorschememapping",
        "latentstyles", "datastore", "filetbl", "private", "bkmkstart", "bkmkend", "author", "operator",
        "title",      "subject",  "keywords", "comment",  "doccomm", "company"};
    for (std::string_view s : kSkipped)
        if (s == word) return true;
    return false;
}

class RtfParser {
public:
    explicit RtfParser(std::string_view input) : in_(input) {
        document_.paragraphs.emplace_back();
        stack_.emplace_back();
    }

    RtfDocument parse() {
        while (pos_ < in_.size()) {
            const char c = in_[pos_++];
            switch (c) {
                case '{': openGroup(); break;
                case '}': closeGroup(); break;
                case '\\': controlSequence(); break;
                case '\r':
                case '\n': break;
                default: character(static_cast<unsigned char>(c)); break;
            }
        }
        flushHighSurrogate();
        if (document_.paragraphs.size() > 1 && document_.paragraphs.back().runs.empty())
            document_.paragraphs.pop_back();
        return std::move(document_);
    }

private:
    GroupState& state() { return stack_.back(); }

    void openGroup() {
        skipPending_ = 0;
        if (stack_.size() >= kMaxGroupDepth) {
            ++ignoredOpenings_;
            return;
        }
        stack_.push_back(stack_.back());
        fontInTable_ = -1;
    }

    void closeGroup() {
        skipPending_ = 0;
        if (ignoredOpenings_ > 0) {
            --ignoredOpenings_;
            return;
        }
        if (stack_.size() > 1) {
            if (state().destination == Destination::FontTable && fontInTable_ >= 0) finishFontName();
            stack_.pop_back();
        }
    }

    void controlSequence() {
        if (pos_ >= in_.size()) return;
        const char c = in_[pos_];
        if (isLetter(c)) {
            controlWord();
            return;
        }
        ++pos_;
        if (c == '\'') {
            hexEscape();
            return;
        }
        skipPending_ = 0;
        switch (c) {
            case '\\':
            case '{':
            case '}': character(static_cast<unsigned char>(c), /*literal=*/true); break;
            case '~': codePoint(0x00A0); break;
            case '_': codePoint(0x2011); break;
            case '*': state().destination = Destination::Skipped; break;
            case '\r':
            case '\n': paragraph(); break;
            case '\t': codePoint('\t'); break;
            default: break;  // \- (optional hyphen), \: and others show nothing
        }
    }

    void hexEscape() {
        int high = pos_ < in_.size() ? hexValue(in_[pos_]) : -1;
        int low = pos_ + 1 < in_.size() ? hexValue(in_[pos_ + 1]) : -1;
        if (high < 0 || low < 0) {
            // A cut-off escape: what follows is read as text.
            return;
        }
        pos_ += 2;
        const unsigned char byte = static_cast<unsigned char>(high * 16 + low);
        if (consumeFallback()) return;
        if (state().destination == Destination::FontTable) {
            fontName_ += static_cast<char>(byte);
            return;
        }
        codePoint(cp1252CodePoint(byte));
    }

    void controlWord() {
        const size_t start = pos_;
        while (pos_ < in_.size() && isLetter(in_[pos_])) ++pos_;
        std::string_view word = in_.substr(start, std::min(pos_ - start, kMaxWordLength));
        bool hasParameter = false;
        bool negative = false;
        int64_t parameter = 0;
        if (pos_ < in_.size() && in_[pos_] == '-' && pos_ + 1 < in_.size() && isDigit(in_[pos_ + 1])) {
            negative = true;
            ++pos_;
        }
        int digits = 0;
        while (pos_ < in_.size() && isDigit(in_[pos_])) {
            if (digits++ < kMaxParameterDigits) parameter = parameter * 10 + (in_[pos_] - '0');
            hasParameter = true;
            ++pos_;
        }
        if (negative) parameter = -parameter;
        if (pos_ < in_.size() && in_[pos_] == ' ') ++pos_;
        const int value = static_cast<int>(std::clamp<int64_t>(parameter, INT32_MIN, INT32_MAX));
        if (word != "u") skipPending_ = 0;
        apply(word, hasParameter, value);
    }

    void apply(std::string_view word, bool hasParameter, int value) {
        GroupState& s = state();
        RtfCharFormat& f = s.format;
        const bool on = !hasParameter || value != 0;
        if (word == "fonttbl") {
            s.destination = Destination::FontTable;
        } else if (word == "colortbl") {
            s.destination = Destination::ColourTable;
            colours_.clear();
            colour_ = 0;
            colourSet_ = false;
        } else if (isSkippedDestination(word)) {
            s.destination = Destination::Skipped;
        } else if (s.destination == Destination::FontTable) {
            if (word == "f" && hasParameter) {
                if (fontInTable_ >= 0) finishFontName();
                fontInTable_ = value;
                fontName_.clear();
            }
        } else if (s.destination == Destination::ColourTable) {
            colourComponent(word, value);
        } else if (word == "par") {
            paragraph();
        } else if (word == "line") {
            codePoint('\n');
        } else if (word == "tab") {
            codePoint('\t');
        } else if (word == "b") {
            f.bold = on;
        } else if (word == "i") {
            f.italic = on;
        } else if (word == "ul") {
            f.underline = on;
        } else if (word == "ulnone") {
            f.underline = false;
        } else if (word == "plain") {
            f = RtfCharFormat{};
            f.fontName = fontName(defaultFont_);
        } else if (word == "fs" && hasParameter) {
            if (value > 0 && value <= 3276) f.fontSize = value;
        } else if (word == "f" && hasParameter) {
            f.fontName = fontName(value);
        } else if (word == "deff" && hasParameter) {
            defaultFont_ = value;
        } else if (word == "cf" && hasParameter) {
            setColour(f, value);
        } else if (word == "uc" && hasParameter) {
            s.unicodeSkip = std::clamp(value, 0, 16);
        } else if (word == "u" && hasParameter) {
            unicode(value);
        } else if (word == "emdash") {
            codePoint(0x2014);
        } else if (word == "endash") {
            codePoint(0x2013);
        } else if (word == "bullet") {
            codePoint(0x2022);
        } else if (word == "lquote") {
            codePoint(0x2018);
        } else if (word == "rquote") {
            codePoint(0x2019);
        } else if (word == "ldblquote") {
            codePoint(0x201C);
        } else if (word == "rdblquote") {
            codePoint(0x201D);
        }
        // Everything else (paragraph layout, tab stops, languages, ...) is not shown.
    }

    void colourComponent(std::string_view word, int value) {
        const uint32_t component = static_cast<uint32_t>(std::clamp(value, 0, 255));
        if (word == "red") {
            colour_ = (colour_ & 0x00FFFF) | (component << 16);
            colourSet_ = true;
        } else if (word == "green") {
            colour_ = (colour_ & 0xFF00FF) | (component << 8);
            colourSet_ = true;
        } else if (word == "blue") {
            colour_ = (colour_ & 0xFFFF00) | component;
            colourSet_ = true;
        }
    }

    void setColour(RtfCharFormat& f, int index) {
        if (index < 0 || static_cast<size_t>(index) >= colours_.size() || !colours_[index].first) {
            f.hasColour = false;
            f.colour = 0;
            return;
        }
        f.hasColour = true;
        f.colour = colours_[index].second;
    }

    std::string fontName(int number) const {
        auto it = fonts_.find(number);
        return it == fonts_.end() ? std::string() : it->second;
    }

    void finishFontName() {
        std::string name = fontName_;
        while (!name.empty() && (name.back() == ' ' || name.back() == ';')) name.pop_back();
        size_t first = name.find_first_not_of(' ');
        fonts_[fontInTable_] = first == std::string::npos ? std::string() : name.substr(first);
        fontInTable_ = -1;
        fontName_.clear();
    }

    void unicode(int value) {
        uint32_t unit = static_cast<uint32_t>(value < 0 ? value + 0x10000 : value) & 0xFFFF;
        if (state().destination == Destination::Text) {
            if (unit >= 0xD800 && unit < 0xDC00) {
                flushHighSurrogate();
                highSurrogate_ = unit;
            } else if (unit >= 0xDC00 && unit < 0xE000 && highSurrogate_) {
                uint32_t cp = 0x10000 + ((highSurrogate_ - 0xD800) << 10) + (unit - 0xDC00);
                highSurrogate_ = 0;
                append(cp);
            } else {
                append(unit);
            }
        }
        skipPending_ = state().unicodeSkip;
    }

    // A character that stands in for the \uN before it is dropped.
    bool consumeFallback() {
        if (skipPending_ <= 0) return false;
        --skipPending_;
        return true;
    }

    void character(unsigned char c, bool literal = false) {
        if (consumeFallback()) return;
        switch (state().destination) {
            case Destination::FontTable:
                if (c == ';' && !literal) {
                    if (fontInTable_ >= 0) finishFontName();
                } else {
                    fontName_ += static_cast<char>(c);
                }
                return;
            case Destination::ColourTable:
                if (c == ';') {
                    colours_.emplace_back(colourSet_, colour_);
                    colour_ = 0;
                    colourSet_ = false;
                }
                return;
            case Destination::Skipped: return;
            case Destination::Text: break;
        }
        codePoint(cp1252CodePoint(c));
    }

    void codePoint(uint32_t cp) {
        if (state().destination != Destination::Text) return;
        append(cp);
    }

    void flushHighSurrogate() {
        if (!highSurrogate_) return;
        highSurrogate_ = 0;
        appendToRun(kReplacementCharacter);
    }

    void append(uint32_t cp) {
        flushHighSurrogate();
        appendToRun(cp);
    }

    void appendToRun(uint32_t cp) {
        std::vector<RtfRun>& runs = document_.paragraphs.back().runs;
        if (runs.empty() || !(runs.back().format == state().format)) runs.push_back({{}, state().format});
        appendUtf8(runs.back().text, cp);
    }

    void paragraph() {
        if (state().destination != Destination::Text) return;
        flushHighSurrogate();
        document_.paragraphs.emplace_back();
    }

    std::string_view in_;
    size_t pos_ = 0;
    RtfDocument document_;
    std::vector<GroupState> stack_;
    size_t ignoredOpenings_ = 0;
    int skipPending_ = 0;
    uint32_t highSurrogate_ = 0;
    std::map<int, std::string> fonts_;
    int defaultFont_ = 0;
    int fontInTable_ = -1;
    std::string fontName_;
    std::vector<std::pair<bool, uint32_t>> colours_;  // (set, 0xRRGGBB); unset: the default colour
    uint32_t colour_ = 0;
    bool colourSet_ = false;
};

}  // namespace

std::string RtfDocument::plainText() const {
    std::string text;
    for (const RtfParagraph& paragraph : paragraphs) {
        for (const RtfRun& run : paragraph.runs) text += run.text;
        text += '\n';
    }
    return text;
}

RtfDocument ParseRtf(std::string_view rtf) { return RtfParser(rtf).parse(); }

}  // namespace pcn
