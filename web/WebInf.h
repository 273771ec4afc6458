#pragma once
// The web INF package: the INF file a browser reads to download, install and
// register an ActiveX component and the libraries it needs, built from the
// dependency list of a web package; and the package's files (the INF and,
// with "Create Htm Template", the HTML page) written into its target folder.

#include <string>
#include <string_view>

namespace pcn {

class CCabObj;
class UserInterface;

// The INF text for the package's included dependencies (CR LF line ends).
// siteBase is the address of the site the files are downloaded from.
std::string BuildWebInf(const CCabObj& package, std::string_view siteBase);
// The same with the site address of the user's settings.
std::string BuildWebInf(const CCabObj& package);

// The HTML page that goes beside the INF file: the package template of the
// package's component (entry 0 of its dependency list) with its "Include LPK
// Object" choice.
std::string BuildWebHtml(const CCabObj& package, std::string_view siteBase);
std::string BuildWebHtml(const CCabObj& package);

// target folder + separator + project name + ".inf" / ".htm".
std::string WebInfFilePath(const CCabObj& package);
std::string WebHtmlFilePath(const CCabObj& package);

// Creates the target folder and writes the INF text, and with "Create Htm
// Template" the HTML text, each whole (a temporary file renamed into place).
// A folder or file that cannot be made is reported through ui with its path
// and the reason; the result is then false. The HTML is still tried after a
// failed INF, so that the user hears of every file at once.
bool WriteWebPackage(const CCabObj& package, std::string_view infText, std::string_view htmlText,
                     UserInterface& ui);

// What finishing the web wizard writes: the INF and (with "Create Htm
// Template") the HTML built now from the definition and the user's site address.
bool WriteWebPackageFiles(const CCabObj& package, UserInterface& ui);

}  // namespace pcn
