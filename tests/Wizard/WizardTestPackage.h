#pragma once
// A package folder for wizard tests: the built tools module in "Quenbox\"
// with a product document, Install.xml and a licence; plus the registry
// places the wizard reads (settings, uninstall records), cleaned per test.

#include <windows.h>

#include <string>

namespace wizardtest {

extern const wchar_t kSettingsKey[];   // the product's settings key below HKCU and HKLM
extern const wchar_t kUninstallKey[];  // HKLM uninstall records

// Z:\... path of a file in the build tree (VL_BUILD_DIR).
std::wstring BuildPath(const wchar_t* relative);
// Writes bytes to a file, replacing it.
bool WriteBytes(const std::wstring& path, const std::string& bytes);
void DeleteTree(const std::wstring& folder);

// Lays out a package in `folder` (with a trailing backslash): the tools
// module and product document in "Quenbox\", Install.xml with the given
// feature list and extra elements under <Product>, and license.txt.
bool MakePackage(const std::wstring& folder, const char* features, const char* productExtra = "");

// Removes the product's settings and every uninstall record whose name
// begins with "Auralis".
void CleanRegistry();
// An uninstall record with "Publisher" and, when given, "InstallLocation".
void AddUninstallRecord(const wchar_t* name, const wchar_t* publisher, const wchar_t* location = nullptr);
// A value in the product's settings: section path below the settings key.
void SetSetting(HKEY root, const wchar_t* section, const wchar_t* name, DWORD value);
void SetSetting(HKEY root, const wchar_t* section, const wchar_t* name, const wchar_t* value);
// Reads a DWORD setting; `fallback` when absent.
DWORD GetSetting(HKEY root, const wchar_t* section, const wchar_t* name, DWORD fallback);

}  // namespace wizardtest
