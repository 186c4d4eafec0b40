// RunProgram with real child processes (the stand-in program): waiting, exit
// codes, timeout and cancel terminating the child, message pumping, start
// errors and capture mode.

#include "ProcessTestSupport.h"
#include "VLRunProgram.h"
#include "VLUserMessage.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

// The stand-in runs under a name of its own, so that stand-ins started by
// other test programs at the same time are not counted.
const wchar_t kChild[] = L"SystemTestChild.exe";

VLRunProgramOptions StandinOptions(std::initializer_list<const wchar_t*> parameters)
{
    VLRunProgramOptions options;
    options.File = VLFolders::GetTempFolder() + L"VLSystemTest\\" + kChild;
    for (const wchar_t* parameter : parameters)
        options.Parameters.Add(parameter);
    options.ShowWindow = false;
    options.Wait = true;
    return options;
}

class RunProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(VLFileSystem::CopyFileTo(StandinFolder() + L"StandinProgram.exe",
                                             VLFolders::GetTempFolder() + L"VLSystemTest\\" + kChild, true))
            << Std(StandinFolder());
        VLLog::Close();
        VLLog::SetFolder(m_scratch / L"logs");
    }
    void TearDown() override
    {
        VLLog::Close();
        VLLog::SetFolder(nullptr);
    }

    ScratchFolder m_scratch{L"RunProgram"};
    JournalScope m_journal{m_scratch};
};

TEST_F(RunProgramTest, WaitsAndReportsTheExitCode)
{
    DWORD exitCode = 0;
    VLRunProgramOptions options = StandinOptions({L"/Exit", L"7", L"\"two words\""});
    options.ExitCode = &exitCode;
    options.PriorityClass = BELOW_NORMAL_PRIORITY_CLASS;
    ASSERT_TRUE(::SetCurrentDirectoryW(m_scratch.Path()));
    EXPECT_TRUE(RunProgram(options));
    EXPECT_EQ(exitCode, 7u);

    auto entries = m_journal.Entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].Program, kChild);
    EXPECT_EQ(entries[0].Arguments, L"/Exit 7 \"two words\"");   // joined with single spaces

    std::string log = LogText();
    for (const char* line : {"[RunProgram] Filename: ", "SystemTestChild.exe / Parameters: /Exit 7 \"two words\"",
                             "[RunProgram] Performing ShellExecute...", "[RunProgram] Running process...",
                             "[RunProgram] Waiting for completion", "[RunProgram] Finished",
                             "[RunProgram] Done waiting"})
        EXPECT_NE(log.find(line), std::string::npos) << line;
}

TEST_F(RunProgramTest, WithoutWaitingReturnsWhileTheProgramRuns)
{
    VLRunProgramOptions options = StandinOptions({L"/Sleep", L"1500"});
    options.Wait = false;
    ULONGLONG start = ::GetTickCount64();
    EXPECT_TRUE(RunProgram(options));
    EXPECT_LT(::GetTickCount64() - start, 1200u);
    EXPECT_EQ(CountProcesses(kChild), 1);
    for (int i = 0; i < 100 && CountProcesses(kChild) > 0; ++i)
        ::Sleep(100);
}

TEST_F(RunProgramTest, AppliesThePriorityClassAndTheVerb)
{
    VLRunProgramOptions options = StandinOptions({L"/Sleep", L"3000"});
    options.Wait = false;
    options.Verb = L"open";
    options.PriorityClass = BELOW_NORMAL_PRIORITY_CLASS;
    ASSERT_TRUE(RunProgram(options));
    DWORD priority = 0;
    {
        VLUniqueFile snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
        PROCESSENTRY32W entry = {};
        entry.dwSize = sizeof(entry);
        for (BOOL more = ::Process32FirstW(snapshot.Get(), &entry); more;
             more = ::Process32NextW(snapshot.Get(), &entry)) {
            if (_wcsicmp(entry.szExeFile, kChild) != 0)
                continue;
            VLUniqueHandleObj process(
                ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE, FALSE, entry.th32ProcessID));
            priority = ::GetPriorityClass(process.Get());
            ::TerminateProcess(process.Get(), 0);
            ::WaitForSingleObject(process.Get(), 5000);
        }
    }
    EXPECT_EQ(priority, static_cast<DWORD>(BELOW_NORMAL_PRIORITY_CLASS));
}

TEST_F(RunProgramTest, TimeoutTerminatesTheChildAndFails)
{
    DWORD exitCode = 12345;
    VLRunProgramOptions options = StandinOptions({L"/Sleep", L"30000"});
    options.TimeoutMs = 700;
    options.ExitCode = &exitCode;
    ULONGLONG start = ::GetTickCount64();
    EXPECT_FALSE(RunProgram(options));
    ULONGLONG elapsed = ::GetTickCount64() - start;
    EXPECT_GE(elapsed, 700u);
    EXPECT_LT(elapsed, 10000u);
    EXPECT_EQ(exitCode, 12345u);   // not stored
    EXPECT_EQ(CountProcesses(kChild), 0);
    EXPECT_EQ(m_journal.Entries().size(), 1u);   // it did start
    EXPECT_NE(LogText().find("[RunProgram] Timeout"), std::string::npos);
}

TEST_F(RunProgramTest, CancelEventEndsTheWaitAndTerminatesTheChild)
{
    VLUniqueHandleObj cancel(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    DWORD exitCode = 12345;
    VLRunProgramOptions options = StandinOptions({L"/Sleep", L"30000"});
    options.CancelEvent = cancel.Get();
    options.ExitCode = &exitCode;
    std::thread canceller([&] {
        ::Sleep(500);
        ::SetEvent(cancel.Get());
    });
    ULONGLONG start = ::GetTickCount64();
    EXPECT_FALSE(RunProgram(options));
    canceller.join();
    EXPECT_LT(::GetTickCount64() - start, 10000u);
    EXPECT_EQ(exitCode, 12345u);
    EXPECT_EQ(CountProcesses(kChild), 0);
    EXPECT_NE(LogText().find("[RunProgram] Cancel"), std::string::npos);
}

TEST_F(RunProgramTest, AFailedWaitTerminatesTheChild)
{
    // A handle that is not open makes the wait itself fail.
    VLRunProgramOptions options = StandinOptions({L"/Sleep", L"30000"});
    options.CancelEvent = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(0x7FF0));
    ULONGLONG start = ::GetTickCount64();
    EXPECT_FALSE(RunProgram(options));
    EXPECT_LT(::GetTickCount64() - start, 10000u);
    EXPECT_EQ(CountProcesses(kChild), 0);
    EXPECT_NE(LogText().find("[RunProgram] Unknown wait code (-1)"), std::string::npos);
}

// Timer messages are only made while someone pumps: fast polling must pump,
// the slow wait must not.
TEST_F(RunProgramTest, FastPollingPumpsTheCallersMessages)
{
    static int ticks;
    auto countTicks = [](HWND, UINT, UINT_PTR, DWORD) { ++ticks; };
    for (bool fast : {true, false}) {
        ticks = 0;
        UINT_PTR timer = ::SetTimer(nullptr, 0, 30, countTicks);
        ASSERT_NE(timer, 0u);
        VLRunProgramOptions options = StandinOptions({L"/Sleep", L"800"});
        options.FastPolling = fast;
        EXPECT_TRUE(RunProgram(options));
        ::KillTimer(nullptr, timer);
        if (fast) {
            EXPECT_GT(ticks, 3) << "fast polling";
        } else {
            EXPECT_EQ(ticks, 0) << "slow polling";
        }
    }
}

struct ShownMessage {
    int count = 0;
    VLString caption;
    VLString text;
};

int RecordMessage(const VLString& caption, const VLString& text, UINT, void* context)
{
    ShownMessage* shown = static_cast<ShownMessage*>(context);
    ++shown->count;
    shown->caption = caption;
    shown->text = text;
    return IDOK;
}

TEST_F(RunProgramTest, StartErrorsShowTheirMessage)
{
    ShownMessage shown;
    VLUserMessage::Handler previous = nullptr;
    void* previousContext = nullptr;
    VLUserMessage::SetHandler(RecordMessage, &shown, &previous, &previousContext);

    VLString missing = m_scratch / L"not there.exe";
    for (bool showWindow : {false, true}) {
        shown = ShownMessage();
        VLRunProgramOptions options;
        options.File = missing;
        options.ShowWindow = showWindow;
        options.ShowErrors = true;
        EXPECT_FALSE(RunProgram(options));
        EXPECT_EQ(shown.count, 1);
        EXPECT_EQ(Std(shown.caption), L"Information");
        EXPECT_EQ(Std(shown.text), L"File '" + Std(missing) + L"' is not found.");
    }

    // Without show errors nothing is shown, but the text is still there for the caller.
    shown = ShownMessage();
    VLString errorText;
    VLRunProgramOptions quiet;
    quiet.File = missing;
    quiet.ShowWindow = false;
    quiet.ErrorText = &errorText;
    EXPECT_FALSE(RunProgram(quiet));
    EXPECT_EQ(shown.count, 0);
    EXPECT_EQ(Std(errorText), L"File '" + Std(missing) + L"' is not found.");
    EXPECT_NE(LogText().find("[RunProgram] Failed to start (error 2)"), std::string::npos);

    VLUserMessage::SetHandler(previous, previousContext);
}

TEST_F(RunProgramTest, CaptureModeCollectsTheOutput)
{
    VLString output;
    DWORD exitCode = 0;
    VLRunProgramOptions options =
        StandinOptions({L"/Print", L"hello", L"/Print", L"\"w\u00f6rld twice\"", L"/Exit", L"3"});
    options.CaptureOutput = &output;
    options.ExitCode = &exitCode;
    EXPECT_TRUE(RunProgram(options));
    EXPECT_EQ(Std(output), L"hello\nw\u00f6rld twice\n");
    EXPECT_EQ(exitCode, 3u);
    auto entries = m_journal.Entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].Arguments, L"/Print hello /Print \"w\u00f6rld twice\" /Exit 3");

    VLString none;
    VLRunProgramOptions missing;
    missing.File = m_scratch / L"missing.exe";
    missing.CaptureOutput = &none;
    EXPECT_FALSE(RunProgram(missing));
}

}  // namespace

namespace {

TEST(RunProgramErrorTextTest, TextsByShellErrorValue)
{
    struct Case {
        int code;
        const wchar_t* text;
    };
    const Case cases[] = {
        {2, L"File 'C:\\a b.exe' is not found."},
        {3, L"The specified path to file 'C:\\a b.exe' was not found."},
        {11, L"File 'C:\\a b.exe' is invalid."},
        {5, L"Can not start program 'C:\\a b.exe'.  Error unknown.  (5)"},
        {31, L"Can not start program 'C:\\a b.exe'.  Error unknown.  (31)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Std(RunProgramErrorText(c.code, L"C:\\a b.exe")), c.text) << c.code;
}

}  // namespace
