#pragma once
// Whether a built file carries an Authenticode signature at all: a PE image
// whose certificate table is filled in, or a cabinet whose header reserve
// points at a signature behind its data. It says nothing about the
// signature's validity (ChkTrust does that); it lets a build report which of
// its outputs went out unsigned.

#include <string>

namespace pcn {

bool carriesSignature(const std::string& path);

}  // namespace pcn
