// What a launch starts: the application's program, and the parameter string for the target file.
#include "AssignmentStore.h"

#include "ExecutablePath.h"
#include "StoreKey.h"
#include "StorePaths.h"

#include <cstring>

// Outside double quotes cmd reads these as its own syntax: "x&calc&.txt" would run calc.
static const char kBatchSyntax[] = "&|<>^()";
// Anywhere, cmd reads these as variables (% always, ! with delayed expansion on), and a quote would end the
// quotes that keep the others text. No quoting passes them to a batch program as they are.
static const char kBatchVariables[] = "%!\"";

static CString Quote(const CString& text)
{
    return CString("\"") + text + "\"";
}

// Without parameters the target is passed in quotes; with them, in place of every "%1", as it is.
static CString ParameterString(CString parameters, const CString& targetFile)
{
    if (parameters.IsEmpty())
        return Quote(targetFile);
    parameters.Replace("%1", targetFile);
    return parameters;
}

// The shell starts a batch program through cmd, which parses the parameter string again.
static bool IsBatchFile(const CString& path)
{
    int length = path.GetLength();
    if (length < 4)
        return false;
    LPCSTR extension = static_cast<LPCSTR>(path) + length - 4;
    return ::lstrcmpiA(extension, ".bat") == 0 || ::lstrcmpiA(extension, ".cmd") == 0;
}

// Whether cmd hands the target to a batch program exactly: it holds no variable, and its syntax characters
// stand inside quotes wherever the parameters put it.
static bool ReachesBatchExactly(const CString& parameters, const CString& targetFile)
{
    if (::strpbrk(targetFile, kBatchVariables))
        return false;
    if (!::strpbrk(targetFile, kBatchSyntax) || parameters.IsEmpty())
        return true;
    bool quoted = false;
    for (LPCSTR at = parameters; *at; ++at) {
        if (at[0] == '%' && at[1] == '1') {
            if (!quoted)
                return false;
            ++at;
        } else if (*at == '"') {
            quoted = !quoted;
        }
    }
    return true;
}

// A file name is only ever data: a target that would reach a batch program as a command is not passed.
StoreResult CAssignmentStore::ReadLaunch(CString appKey, CString targetFile, LaunchCommand& command) const
{
    CString applicationPath = ApplicationRecordPath(appKey);
    CStoreKey application;
    if (application.Open(applicationPath, KEY_READ) != ERROR_SUCCESS)
        return { IDS_ERR_OPEN_KEY, applicationPath };
    CString path;
    if (ReadExecutablePath(application, path) != ERROR_SUCCESS)
        return { IDS_ERR_READ_KEY, applicationPath };
    // Parameters that cannot be read count as none.
    CString parameters;
    CStoreKey assignment;
    if (assignment.Open(AssignmentRecordPath(m_extension, appKey), KEY_READ) == ERROR_SUCCESS)
        assignment.ReadString("Parameters", parameters);
    if (IsBatchFile(path) && !ReachesBatchExactly(parameters, targetFile))
        return { IDS_TARGET_UNSAFE, "" };
    command.program = Quote(path);
    command.parameters = ParameterString(parameters, targetFile);
    return {};
}
