#pragma once

#include <string>

// Why the organizer database has just refused a write, as far as its file
// tells: missing, read-only, in a read-only folder, or otherwise unwritable
// (locked by another program, damaged or on a full disk). A phrase that
// completes "... was not saved: ".
std::string WriteFailureReason();

// "The <what> was not saved: <reason>", for a record the user is still editing.
std::string NotSavedText(const std::string& what);
