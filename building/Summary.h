#pragma once
// The package summary: a rich-text description of a cabinet-kind package's
// settings, shown on the wizard's summary page and saved next to the outputs
// as the package name with ".doc" so that it can be sent with them.

#include <string>
#include <string_view>

namespace pcn {

class CCabObj;
class UserInterface;

// The summary's rich text.
std::string SummaryText(const CCabObj& package);

// A value as the summary writes a path: backslashes doubled, braces
// escaped; text beyond ASCII as RTF character escapes.
std::string SummaryEscapedValue(std::string_view value);

// The target folder's package name + ".doc".
std::string SummaryDocumentPath(const CCabObj& package);

enum class SummarySaveResult {
    Saved,
    FolderError,  // the target folder could not be created (reported); the page stays
    FileError,    // the document could not be written (reported); the wizard goes on
};

// Creates the target folder and writes the summary text into the document,
// whole and atomically.
SummarySaveResult SaveSummary(const CCabObj& package, std::string_view text, UserInterface& ui);

}  // namespace pcn
