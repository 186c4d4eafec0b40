#pragma once
// Scratch files and folders for tests: plain Win32 calls, so a fixture does
// not depend on the file services it may be testing.

#include <string>

namespace vltest {

bool Exists(const std::wstring& path);
// Copies the folder `from` (with trailing backslash) into `to`, recursively.
void CopyTree(const std::wstring& from, const std::wstring& to);
// Deletes the folder (with trailing backslash) and everything below it.
void DeleteTree(const std::wstring& folder);

}  // namespace vltest
