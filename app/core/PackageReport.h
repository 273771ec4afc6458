#pragma once
// What the package list shows for a package, and the rows of the printed
// package report (label/value lines with tab stops), shared by the GUI's
// printing and the command line's `show`.

#include <string>
#include <vector>

namespace pcn {

class CCabObj;

// The caption of a listed package whose file could not be loaded.
inline constexpr const char* kNotLoadedCaption = " (not loaded)";

// " (Cabinet)", " (Self Extracting Cabinet)", ... or " (New Project)";
// kNotLoadedCaption for a package file that could not be loaded.
std::string PackageCaption(const CCabObj& package);
// The package list's text: product name followed by the caption.
std::string PackageListText(const CCabObj& package);
// Index into the 22-image strip.
int PackageImage(const CCabObj& package);

// One line of the report: a bold label (may be empty) followed on the same
// line by a value in the normal font (may be empty; indented rows begin
// with " \t"). Yes/No values are "Yes" or "No".
struct ReportRow {
    std::string label;
    std::string value;
    std::string text() const { return label + value; }
};

// The report's rows in order. The package type's value stands on the line
// of its label, and the row after it is left empty, so that the numbering
// of the rows below it is the same for every kind.
std::vector<ReportRow> PackageReportRows(const CCabObj& package);

// Rows reserved for the fixed part of the report when pages are counted.
inline constexpr int kReportFixedRows = 32;
// R = (dependencies of a web package, else files) + 32.
int ReportRowCount(const CCabObj& package);
// ceil(R / rowsPerPage), at least 1.
int ReportPageCount(const CCabObj& package, int rowsPerPage);

}  // namespace pcn
