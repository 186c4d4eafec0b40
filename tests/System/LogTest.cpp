// The installer's log: file name, line format, run numbers, and whole lines
// when several threads write at once.

#include "SystemTestSupport.h"
#include "VLLog.h"

#include <gtest/gtest.h>

#include <regex>
#include <thread>
#include <vector>

namespace {

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start) + "<unterminated>");
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

class LogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        VLLog::Close();
        VLLog::SetFolder(m_scratch / L"logs");   // created on first use
        VLLog::SetProductName(L"Test: Product");
    }
    void TearDown() override
    {
        VLLog::Close();
        VLLog::SetFolder(nullptr);
        VLLog::SetProductName(L"Auralis 22 Setup");
    }

    ScratchFolder m_scratch{L"Log"};
};

TEST_F(LogTest, OneFilePerRunNamedAfterProductDateAndRunNumber)
{
    VLLog::Write(L"Tag", L"first line");
    VLString first = VLLog::GetFilePath();
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    VLString expected = VLString::Format(L"%slogs\\Test_ Product %04d-%02d-%02d (1).log", m_scratch.Path(),
                                         static_cast<int>(now.wYear), static_cast<int>(now.wMonth),
                                         static_cast<int>(now.wDay));
    EXPECT_EQ(Std(first), Std(expected));

    VLLog::Close();
    VLLog::Write(L"Tag", L"second run");
    VLString second = VLLog::GetFilePath();
    EXPECT_EQ(Std(second), Std(expected).substr(0, expected.GetLength() - 7) + L"(2).log");

    std::vector<std::string> lines = Lines(ReadTextFile(first));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(std::regex_match(lines[0], std::regex(R"(\d\d:\d\d:\d\d\.\d\d\d \[Tag\] first line)"))) << lines[0];
    EXPECT_EQ(Lines(ReadTextFile(second)).size(), 1u);
}

TEST_F(LogTest, EntriesAreWholeLinesInUtf8AndReachTheFileAtOnce)
{
    VLLog::WriteFormat(L"RunProgram", L"Filename: %s / Parameters: %s", L"C:\\\u00e9t\u00e9\\a.exe", L"/x");
    VLLog::Write(L"Multi", L"line one\r\nline two");
    {
        VLLogScope scope(L"Scoped");
        scope.SetResult(3);
    }
    // Read while the log is still open: nothing waits in a buffer.
    std::vector<std::string> lines = Lines(ReadTextFile(VLLog::GetFilePath()));
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_NE(lines[0].find("[RunProgram] Filename: C:\\\xC3\xA9t\xC3\xA9\\a.exe / Parameters: /x"), std::string::npos)
        << lines[0];
    EXPECT_NE(lines[1].find("[Multi] line one  line two"), std::string::npos) << lines[1];
    EXPECT_NE(lines[2].find("[Scoped] Start"), std::string::npos);
    EXPECT_TRUE(std::regex_search(lines[3], std::regex(R"(\[Scoped\] Finish \(result: 3\) \(\d+ ms\)$)")))
        << lines[3];
}

TEST_F(LogTest, ThreadsWritingAtOnceKeepTheirLinesWhole)
{
    const int kThreads = 4, kLines = 250;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([t] {
            for (int i = 0; i < kLines; ++i)
                VLLog::WriteFormat(L"Thread", L"thread %d line %d end", t, i);
        });
    for (std::thread& thread : threads)
        thread.join();
    std::vector<std::string> lines = Lines(ReadTextFile(VLLog::GetFilePath()));
    ASSERT_EQ(lines.size(), static_cast<size_t>(kThreads * kLines));
    std::regex shape(R"(\d\d:\d\d:\d\d\.\d\d\d \[Thread\] thread \d line \d+ end)");
    for (const std::string& line : lines)
        ASSERT_TRUE(std::regex_match(line, shape)) << line;
}

TEST_F(LogTest, KeepsTheCallersLastError)
{
    ::SetLastError(ERROR_SHARING_VIOLATION);
    VLLog::Write(L"Tag", L"text");
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
}

}  // namespace
