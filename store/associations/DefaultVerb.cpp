#include "DefaultVerb.h"

#include "ClassesKey.h"
#include "ProgramName.h"
#include "store/CaselessSet.h"

#include <algorithm>
#include <string>

// A longer command cannot fit the store as a quoted path, a space and parameters at their longest.
static const int kLongestCommand = 2 * CStoreKey::kLongestText + 3;
static const char kVerbSeparators[] = ", ";

static CString DefaultVerbName(const CClassesKey& shell)
{
    std::vector<CString> verbs = shell.SubkeyNames();
    if (verbs.empty())
        return CString();
    CaselessSet existing(verbs);
    CString named;
    shell.Values().ReadString("", named);
    std::string list(named);
    for (size_t at = 0; at < list.size();) {
        size_t end = std::min(list.find_first_of(kVerbSeparators, at), list.size());
        std::string name = list.substr(at, end - at);
        if (!name.empty() && existing.Contains(name.c_str()))
            return CString(name.c_str());
        at = end + 1;
    }
    if (existing.Contains("open"))
        return CString("open");
    return verbs.front();
}

bool ReadDefaultVerb(const CClassesKey& classKey, VerbCommand& verb)
{
    CClassesKey shell;
    if (shell.OpenBelow(classKey, "shell") != ERROR_SUCCESS)
        return false;
    CString verbName = DefaultVerbName(shell);
    CClassesKey verbKey;
    if (verbName.IsEmpty() || verbKey.OpenBelow(shell, verbName) != ERROR_SUCCESS)
        return false;
    CClassesKey commandKey;
    if (commandKey.OpenBelow(verbKey, "command") != ERROR_SUCCESS)
        return false;
    if (commandKey.Values().HasValue("DelegateExecute"))
        return false;
    if (commandKey.Values().ReadString("", verb.command, nullptr, kLongestCommand) != ERROR_SUCCESS)
        return false;
    verb.friendlyAppName = ReadFriendlyAppName(verbKey.Values());
    return !verb.command.IsEmpty();
}
