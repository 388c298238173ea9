// The command a file class runs when its file is opened: its default verb's.
#pragma once
#include "CString.h"

class CClassesKey;

struct VerbCommand {
    CString command;
    // The verb key's FriendlyAppName, loaded; empty when it has none.
    CString friendlyAppName;
};

// The default verb is the first that the shell key's default value names and that exists, else "open", else
// the first verb. False when the class has no verb with a command line of its own: a verb with
// DelegateExecute has none.
bool ReadDefaultVerb(const CClassesKey& classKey, VerbCommand& verb);
