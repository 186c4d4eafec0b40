#pragma once
// The installer's command line: splitting the tail into arguments, joining
// them back for the switch parser, and the switches themselves.

#include "InstallOptions.h"
#include "VLString.h"
#include "VLStringArray.h"

// Splits the text after the program name into arguments. Spaces outside
// quotes separate; a pair of quotes yields an argument even when empty; a
// quote after an odd run of backslashes is literal and the backslashes stay.
void SplitCommandLine(const wchar_t* tail, VLStringArray& arguments);

// Joins arguments with single spaces; quotes become \" and an argument that
// is empty or holds a space or an apostrophe is put in quotes.
VLString JoinCommandLine(const VLStringArray& arguments);

// Sets the switch fields of options from the joined text: pieces after each
// "/" are matched by case-insensitive prefix, in a fixed order.
void ParseSwitches(const wchar_t* joined, InstallOptionsData& options);
inline void ParseSwitches(const wchar_t* joined) { ParseSwitches(joined, InstallOptions()); }
