#pragma once
// Starts another program (ShellExecuteExW), optionally waiting for it with a
// time limit and a cancel event, or runs a command line and captures its
// output. Every step is logged under the tag "RunProgram".

#include "VLString.h"
#include "VLStringArray.h"

#include <windows.h>

struct VLRunProgramOptions {
    VLString File;             // program or document
    VLStringArray Parameters;  // joined with single spaces
    VLString Verb;             // empty: the default verb
    bool ShowWindow = true;    // normal window, else hidden
    bool Wait = false;         // wait for the process to end
    bool FastPolling = false;  // poll every 10 ms and pump this thread's messages (else every 500 ms)
    int TimeoutMs = 0;         // 0 or less: no limit
    DWORD PriorityClass = 0;   // applied unless 0 or NORMAL_PRIORITY_CLASS
    HANDLE CancelEvent = nullptr;
    DWORD* ExitCode = nullptr;      // receives the exit code when the process ended by itself
    bool ShowErrors = false;        // tell the user when the program cannot be started
    VLString* ErrorText = nullptr;  // receives that text (shown or not)
    // Capture mode: runs "File Parameters" with its standard output piped
    // into this text (line by line, UTF-8 or else the ANSI code page) and
    // waits for it to end. No window, no shell verbs.
    VLString* CaptureOutput = nullptr;
};

// True when the program started and, when waiting was asked, ended by itself
// within the time limit. A timeout or cancel terminates the process (exit
// code -1) so that no hidden child is left running, and returns false.
bool RunProgram(const VLRunProgramOptions& options);

// The message for a program that could not be started, by the shell's error
// value (2 file not found, 3 path not found, 11 invalid file, else unknown).
VLString RunProgramErrorText(int code, const VLString& file);
