#pragma once
// Rich text shown in Qt: the reader's document poured into a QTextDocument.

#include <string_view>

class QTextDocument;

namespace pcn {
struct RtfDocument;
}

namespace pcn::gui {

// Replaces the document's content with the rich text's.
void FillTextDocument(QTextDocument& target, const RtfDocument& source);
void FillTextDocumentFromRtf(QTextDocument& target, std::string_view rtf);

}  // namespace pcn::gui
