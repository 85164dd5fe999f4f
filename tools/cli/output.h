#pragma once

#include <string>
#include <vector>

// Exit statuses of the tools: 0 when done, 1 when something failed on the way, 2 when
// the command line was refused or the pictures could not be written (and nothing was
// written).
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// Prints "program: message" on standard error, with a pointer to --help for a refused
// command line, and returns the status.
int fail(const std::string& program, const std::string& message, int status);

// "program VERSION", the version the build declares, as --version prints it.
std::string versionLine(const std::string& program);

// Prints "program: message" on standard error for an input file that cannot be used, and
// returns kExitUsage: nothing is written for it.
int refuseInput(const std::string& program, const std::string& message);

// Prints "program: warning: message" on standard error for each warning.
void warn(const std::string& program, const std::vector<std::string>& warnings);

// Makes the folder if need be and checks that files can be made in it, before anything
// is rendered; false, with the system's reason in `error`, otherwise.
bool prepareFolder(const std::string& folder, std::string& error);

// Writes the report to standard output and flushes it; false, with the reason in
// `error`, when it cannot be written whole (a full disk, say).
//
// A report written into a pipe whose reader has gone (`quadrelle-compare --sweep 300 |
// head -1`) ends the program there, quietly, by SIGPIPE, as Unix filters end: the
// pictures are kept by then, and the reader wanted no more. endQuietlyOnClosedPipe,
// called at start, makes sure of that whatever the parent left SIGPIPE at.
bool writeReport(const std::string& text, std::string& error);
void endQuietlyOnClosedPipe();
