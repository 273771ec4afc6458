#pragma once
// A new web package defined in one go (the command line's counterpart of the
// web package wizard): the wizard's fields and defaults and its check of the
// product name.

#include <memory>
#include <string>

namespace pcn {

class CCabObj;

struct NewWebPackageOptions {
    std::string packageFile;   // the .pcp file the definition is saved to
    std::string component;     // "File or Control to deploy"
    std::string company;
    std::string product;       // "Product Name"; also the project name
    std::string targetFolder;  // the folder that receives a folder named after the product
    bool scan = true;          // "Scan for dependencies"
    bool scanDynamic = false;  // "Scan for dynamic dependencies" (only with scan)
    bool htmTemplate = false;  // "Create Htm Template"
    bool lpk = false;          // "Include LPK Object" (only with the template)
};

struct NewWebPackageResult {
    std::unique_ptr<CCabObj> package;  // null when a check failed
    std::string message;
};

// What keeps a product name from naming a web package's output files (its
// folder and file names); empty when the name can be used.
std::string WebProductNameProblem(const std::string& product);

// The part of it that concerns the INF file: a product name with a line
// break or another control character; empty when there is none.
std::string WebProductLineProblem(const std::string& product);

// What keeps a component or dependency file from being named in the INF
// file (a line break, "[", "]" or "="); empty when it can be.
std::string WebComponentNameProblem(const std::string& path);

// The first problem of the product name or of an included entry's name;
// empty when the package's INF and page can be written.
std::string WebPackageNameProblem(const CCabObj& package);

// The definition, not yet scanned: its dependency list is empty.
NewWebPackageResult MakeNewWebPackage(const NewWebPackageOptions& options);

}  // namespace pcn
