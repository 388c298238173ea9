// What a launch starts: the application's program, and the parameter string for the target file.
#include "AssignmentStore.h"

#include "ExecutablePath.h"
#include "StoreKey.h"
#include "StorePaths.h"
#include "resource.h"

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
    command.program = Quote(path);
    command.parameters = ParameterString(parameters, targetFile);
    return {};
}
