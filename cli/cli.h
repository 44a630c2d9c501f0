// brennick-cli: designs weapons from JSON without the window.
#pragma once

namespace brennick::cli {

// The system's decimal separator, from the LC_NUMERIC category of the
// environment; '.' when the locale names none or a multi-byte one. Leaves
// LC_NUMERIC at "C" so nothing else in the program depends on it.
char DecimalSeparatorFromEnvironment();

// The program: parses the command line and runs the batch on standard input
// and output. Returns the exit status.
int Main(int argc, const char* const* argv);

// The program's version, from the build.
const char* Version();

}  // namespace brennick::cli
