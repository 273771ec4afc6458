#pragma once
// The three ways of filling the error details dialog. "Last error" on Linux is
// the errno value the caller saw; callers pass it explicitly because errno
// does not survive the work done between the failure and the report.

#include <string>
#include <string_view>

#include "distribution/UserInterface.h"

namespace pcn {

// The system's text for an error number; empty when it has none.
// Numbers from 12000 up are transfer errors (see setTransferErrorTexts).
std::string systemErrorText(int error);

// Transfer errors (numbers 12000 and above) take their texts from the FTP
// layer; it installs its lookup here. Without one they have no text.
using TransferErrorText = std::string (*)(int error);
void setTransferErrorTexts(TransferErrorText lookup);

// "Error %d" texts.
std::string errorNumberText(int error);

// Variant 1: the caller's message; details are the system text of the last
// error, "Error %d" when that text is empty, empty when there is no error.
void reportWithErrorDetails(UserInterface& ui, std::string_view message, int lastError);

// Variant 2: "Error %d\n\n%s" with the last error and its text, the caller's
// message as details; shows nothing when the last error is 0 or has no text.
// Returns whether anything was shown.
bool reportLastError(UserInterface& ui, std::string_view message, int lastError);

// Variant 3: the caller's message; details "Error %d\r\n\r\n%s" with the given
// error and its text, empty when the system has no text.
void reportGivenError(UserInterface& ui, std::string_view message, int error);
// The same with the error's text given by the caller, for errors that are no
// system error numbers (a loader's message, a helper program's exit code).
void reportGivenError(UserInterface& ui, std::string_view message, int error, std::string_view errorText);

}  // namespace pcn
