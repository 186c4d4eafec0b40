#include "ComponentRunner.h"

#include "VLRunProgram.h"
#include "VLServerRegistration.h"

bool CWin32ComponentRunner::RegisterInProcess(const VLString& path)
{
    return RegisterServerInProcess(path);
}

bool CWin32ComponentRunner::RegisterWithRegSvr32x64(const VLString& path)
{
    RegisterServerByRegSvr32(path, true, true);
    return true;  // RegSvr32's exit code is not examined
}

bool CWin32ComponentRunner::RunAndWait(const VLString& program, const VLString& argument, int timeoutMs)
{
    VLRunProgramOptions options;
    options.File = program;
    options.Parameters.Add(argument);
    options.ShowWindow = false;
    options.Wait = true;
    options.TimeoutMs = timeoutMs;
    options.PriorityClass = NORMAL_PRIORITY_CLASS;
    return RunProgram(options);
}
