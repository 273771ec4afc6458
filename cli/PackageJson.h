#pragma once
// The --json shapes of a package, shared by show, project list and build.

#include "cli/Json.h"

namespace pcn {
class CCabObj;
}

namespace pcn::cli {

// {"file", "product", "kind", "loaded"}: a package as a project lists it.
void writePackageSummary(JsonWriter& json, const CCabObj& package);

// The summary plus the package's settings, file table and last build.
void writePackageDetails(JsonWriter& json, const CCabObj& package);

}  // namespace pcn::cli
