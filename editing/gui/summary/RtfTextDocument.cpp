#include "editing/gui/summary/RtfTextDocument.h"

#include <QColor>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include "editing/core/RtfReader.h"

namespace pcn::gui {
namespace {

QTextCharFormat charFormat(const RtfCharFormat& format) {
    QTextCharFormat f;
    f.setFontWeight(format.bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(format.italic);
    f.setFontUnderline(format.underline);
    f.setFontPointSize(format.fontSize / 2.0);
    if (!format.fontName.empty()) f.setFontFamilies({QString::fromStdString(format.fontName)});
    if (format.hasColour) f.setForeground(QColor::fromRgb(format.colour));
    return f;
}

// A line break stays within its paragraph, as the rich text has it.
QString runText(const std::string& text) {
    QString s = QString::fromStdString(text);
    s.replace(QChar('\n'), QChar(QChar::LineSeparator));
    return s;
}

}  // namespace

void FillTextDocument(QTextDocument& target, const RtfDocument& source) {
    target.clear();
    QTextCursor cursor(&target);
    bool first = true;
    for (const RtfParagraph& paragraph : source.paragraphs) {
        if (!first) cursor.insertBlock();
        first = false;
        for (const RtfRun& run : paragraph.runs) cursor.insertText(runText(run.text), charFormat(run.format));
    }
}

void FillTextDocumentFromRtf(QTextDocument& target, std::string_view rtf) { FillTextDocument(target, ParseRtf(rtf)); }

}  // namespace pcn::gui
