#include "VLLog.h"

#include "VLHandle.h"

#include <string>

namespace {

struct LogState {
    SRWLOCK lock = SRWLOCK_INIT;
    std::wstring productName = L"Auralis 22 Setup";
    std::wstring folder;  // empty: the user's temporary folder
    std::wstring filePath;
    VLUniqueFile file;
    bool openFailed = false;
};

LogState& State()
{
    static LogState state;  // constructed on first use, so logging from static initialisers works
    return state;
}

class LockGuard {
public:
    explicit LockGuard(SRWLOCK& lock) : m_lock(lock) { ::AcquireSRWLockExclusive(&m_lock); }
    ~LockGuard() { ::ReleaseSRWLockExclusive(&m_lock); }
    LockGuard(const LockGuard&) = delete;
    LockGuard& operator=(const LockGuard&) = delete;

private:
    SRWLOCK& m_lock;
};

std::wstring SafeFileName(const std::wstring& name)
{
    std::wstring result;
    for (wchar_t ch : name)
        result += (ch < 0x20 || wcschr(L"\\/:*?\"<>|", ch)) ? L'_' : ch;
    return result.empty() ? std::wstring(L"Setup") : result;
}

void AppendUtf8(std::string& out, const wchar_t* text, int length)
{
    if (length <= 0)
        return;
    int size = ::WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return;
    size_t at = out.size();
    out.resize(at + size);
    ::WideCharToMultiByte(CP_UTF8, 0, text, length, &out[at], size, nullptr, nullptr);
}

// Opens the file of this run; the caller holds the lock. The run number is the
// first one whose file does not exist yet; CREATE_NEW makes two installers
// started at the same moment take different numbers.
bool OpenLocked(LogState& s)
{
    if (s.file.IsValid())
        return true;
    if (s.openFailed)
        return false;
    std::wstring folder = s.folder;
    if (folder.empty()) {
        wchar_t temp[MAX_PATH + 1] = {};
        DWORD length = ::GetTempPathW(MAX_PATH + 1, temp);
        if (length == 0 || length > MAX_PATH) {
            s.openFailed = true;
            return false;
        }
        folder = temp;
    }
    if (!folder.empty() && folder.back() != L'\\')
        folder += L'\\';
    ::CreateDirectoryW(folder.c_str(), nullptr);  // a folder given by SetFolder may not exist yet

    SYSTEMTIME now;
    ::GetLocalTime(&now);
    wchar_t date[32];
    swprintf(date, 32, L"%04u-%02u-%02u", now.wYear, now.wMonth, now.wDay);
    std::wstring stem = folder + SafeFileName(s.productName) + L" " + date;
    for (int run = 1; run < 10000; ++run) {
        std::wstring path = stem + L" (" + std::to_wstring(run) + L").log";
        HANDLE h = ::CreateFileW(path.c_str(), FILE_APPEND_DATA,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            s.file.Reset(h);
            s.filePath = path;
            DWORD written = 0;
            ::WriteFile(h, "\xEF\xBB\xBF", 3, &written, nullptr);
            return true;
        }
        DWORD error = ::GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
            break;
    }
    s.openFailed = true;
    return false;
}

}  // namespace

void VLLog::SetProductName(const wchar_t* name)
{
    LogState& s = State();
    LockGuard guard(s.lock);
    s.productName = name ? name : L"";
}

void VLLog::SetFolder(const wchar_t* folder)
{
    LogState& s = State();
    LockGuard guard(s.lock);
    s.folder = folder ? folder : L"";
    s.openFailed = false;
}

void VLLog::Write(const wchar_t* tag, const wchar_t* text)
{
    DWORD lastError = ::GetLastError();  // callers often log and then read the error of their failed call
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    char stamp[32];
    snprintf(stamp, sizeof(stamp), "%02u:%02u:%02u.%03u [", now.wHour, now.wMinute, now.wSecond,
             now.wMilliseconds);
    std::string line = stamp;
    if (tag)
        AppendUtf8(line, tag, static_cast<int>(wcslen(tag)));
    line += "] ";
    if (text) {
        // One entry is one line: line breaks inside the text become spaces.
        std::wstring flat = text;
        for (wchar_t& ch : flat)
            if (ch == L'\r' || ch == L'\n')
                ch = L' ';
        AppendUtf8(line, flat.c_str(), static_cast<int>(flat.size()));
    }
    line += "\r\n";

    LogState& s = State();
    {
        LockGuard guard(s.lock);
        if (OpenLocked(s)) {
            DWORD written = 0;
            ::WriteFile(s.file.Get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
        }
    }
    ::SetLastError(lastError);
}

VLString VLLog::GetFilePath()
{
    LogState& s = State();
    LockGuard guard(s.lock);
    if (!OpenLocked(s))
        return VLString();
    return VLString(s.filePath.c_str());
}

void VLLog::Close()
{
    LogState& s = State();
    LockGuard guard(s.lock);
    s.file.Reset();
    s.filePath.clear();
    s.openFailed = false;
}

VLLogScope::VLLogScope(const wchar_t* tag) : m_tag(tag ? tag : L""), m_start(::GetTickCount64())
{
    VLLog::Write(m_tag, L"Start");
}

VLLogScope::~VLLogScope()
{
    int elapsed = static_cast<int>(::GetTickCount64() - m_start);
    if (m_hasResult)
        VLLog::WriteFormat(m_tag, L"Finish (result: %d) (%d ms)", m_result, elapsed);
    else
        VLLog::WriteFormat(m_tag, L"Finish (%d ms)", elapsed);
}
