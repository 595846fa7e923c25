#pragma once

#include <iosfwd>
#include <optional>

// The options every Linux program answers before it opens a window:
// "--help" (or "-h") and "--version". Runs before the application object
// exists, so both work without a display. Returns the exit code when one of
// them was given (its text written to AOut), or nothing when the program
// should start as usual; every other argument is left to Qt and the program.
// Arguments after "--" are never taken for options.
std::optional<int> HandleCommandLine(int argc, const char *const *argv, std::ostream &AOut);
