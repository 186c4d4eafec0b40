#pragma once
// Fakes of what the engine asks of the product tools module and the component
// runner, a scratch folder on C:, and small file helpers.

#include "EngineContext.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

std::wstring Str(const VLString& s);

// A folder below C:\EngineTest named after the running test, emptied first.
VLString ScratchFolder(const wchar_t* suffix = L"");
// Folder of the test modules built beside the test ("...\modules\").
VLString ModulesFolder();
void WriteTextFile(const VLString& path, const char* text);
std::string ReadTextFile(const VLString& path);
bool CopyModule(const wchar_t* module, const VLString& target);  // module: "EngineVersion1.dll"
uint64_t MakeVersion(int a, int b, int c, int d);

struct CShownBox {
    std::wstring Caption, Text;
    std::vector<std::wstring> Buttons;
};

struct CStoredValue {
    std::wstring Text;
    int Int = 0;
    bool IsInt = false;
    int Kind = 0;
};

class CTestHost : public IEngineHost {
public:
    VLString Translate(const VLString& text) override { return text; }
    VLString MessageBox(const VLString& caption, const VLString& text, const VLStringArray& buttons) override;
    std::unique_ptr<ISettingsSection> OpenSection(const wchar_t* path, int scope) override;
    // Real registry keys, written as the tools module writes them: texts as
    // REG_SZ, paths (kind 2) as REG_EXPAND_SZ, integers as REG_DWORD.
    std::unique_ptr<ISettingsSection> OpenRegistryKey(HKEY root, const wchar_t* path) override;
    VLString CurrentDateTimeText() override { return L"2026-12-11 12:00"; }

    // Answers the boxes in order; each answer may act first (release a lock).
    std::vector<std::function<std::wstring()>> Answers;
    std::vector<CShownBox> Boxes;
    // Sections by "path#scope"; a section listed in Missing cannot be opened.
    std::map<std::wstring, std::map<std::wstring, CStoredValue>> Sections;
    std::vector<std::wstring> Missing;
};

struct CRunnerCall {
    std::wstring Kind;  // "inproc", "regsvr32x64", "run"
    std::wstring Path, Argument;
};

class CRecordingRunner : public IComponentRunner {
public:
    bool RegisterInProcess(const VLString& path) override;
    bool RegisterWithRegSvr32x64(const VLString& path) override;
    bool RunAndWait(const VLString& program, const VLString& argument, int timeoutMs) override;
    std::vector<CRunnerCall> Calls;
};

class CRecordingProgress : public IEngineProgress {
public:
    void SetProgressRange(int low, int high) override { RangeHigh = high; Positions.clear(); }
    void SetProgressPos(int pos) override { Positions.push_back(pos); }
    void PumpMessages() override { ++Pumps; }
    int RangeHigh = -1;
    std::vector<int> Positions;
    int Pumps = 0;
};

// A context over a scratch installer folder and destination, with recording
// fakes and its own deferred state.
struct CEngineFixture {
    explicit CEngineFixture(const wchar_t* suffix = L"");
    VLString Root, Installer, Destination;
    CDeferredOperations Deferred;
    CTestHost Host;
    CRecordingRunner Runner;
    CInstallContext Context;
};
