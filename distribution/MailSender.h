#pragma once
// Mail through the desktop's composer: `xdg-email` opens a new message with
// the chosen files attached, and the user writes and sends it there.

#include <string>
#include <vector>

#include "distribution/UserInterface.h"

namespace pcn {

inline constexpr const char* kMailProgram = "xdg-email";
inline constexpr const char* kMailUnavailable = "Unable to load mail system support.";
inline constexpr const char* kMailFailed = "Send Mail failed to send message.";
inline constexpr const char* kMailProgramMissing =
    "xdg-email, which hands the message to the desktop's mail program, was not found. Install the xdg-utils "
    "package and try again.";

// Full path of xdg-email on PATH; empty when there is none.
std::string findMailProgram();

// Whether mail can be sent at all: looked up once per run and remembered.
bool mailSupportPresent();

// What the user can do about a composer that did not open: xdg-email's
// exit code told in words.
std::string mailFailureReason(int exitCode);

// Opens the composer with a new message (no subject, no recipient) and the
// files attached (none is allowed). Failures are told through ui, with the
// reason and what to do; true when the composer opened.
bool sendMail(const std::vector<std::string>& attachments, UserInterface& ui);

}  // namespace pcn
