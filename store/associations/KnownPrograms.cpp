#include "KnownPrograms.h"

#include "ClassesKey.h"
#include "DefaultVerb.h"
#include "ParseCommand.h"
#include "ProgramName.h"
#include "store/CaselessSet.h"
#include "store/ExecutablePath.h"

#include <cstring>
#include <string>

static const char kFileExtsPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\";
static const char kAppPathsPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
static const char kStoreAppPrefix[] = "AppX";
static const char kHostProcess[] = "rundll32.exe";

// Reads every key that names programs for one extension, and keeps each program once.
class CKnownProgramsReader
{
public:
    explicit CKnownProgramsReader(LPCSTR extension);
    std::vector<KnownProgram> Read();

private:
    void ReadUserChoice();
    void ReadTypeProgIds();
    void ReadTypeApplications();
    void ReadRecentApplications();
    void ReadSupportedTypes();

    void AddProgId(LPCSTR progId);
    void AddApplicationList(LPCSTR path);
    void AddApplication(LPCSTR fileName, bool listedByType);
    void AddCommand(const VerbCommand& verb);

    CString m_dotExtension;
    CString m_ownProgram;
    CaselessSet m_found;
    std::vector<KnownProgram> m_programs;
};

CKnownProgramsReader::CKnownProgramsReader(LPCSTR extension)
    : m_dotExtension(CString(".") + extension)
{
    WCHAR ownProgram[MAX_PATH] = L"";
    ::GetModuleFileNameW(nullptr, ownProgram, MAX_PATH);
    m_ownProgram = CString(ownProgram);
}

std::vector<KnownProgram> CKnownProgramsReader::Read()
{
    ReadUserChoice();
    ReadTypeProgIds();
    ReadTypeApplications();
    ReadRecentApplications();
    ReadSupportedTypes();
    return m_programs;
}

void CKnownProgramsReader::ReadUserChoice()
{
    CStoreKey choice;
    if (choice.Open(CString(kFileExtsPath) + m_dotExtension + "\\UserChoice", KEY_READ) != ERROR_SUCCESS)
        return;
    CString progId;
    if (choice.ReadString("ProgId", progId) == ERROR_SUCCESS)
        AddProgId(progId);
}

// The type's class, the classes it lists, and those the user opened it with.
void CKnownProgramsReader::ReadTypeProgIds()
{
    CClassesKey type;
    if (type.Open(m_dotExtension) == ERROR_SUCCESS) {
        CString progId;
        if (type.Values().ReadString("", progId) == ERROR_SUCCESS)
            AddProgId(progId);
    }
    CClassesKey typeProgIds;
    if (typeProgIds.Open(m_dotExtension + "\\OpenWithProgids") == ERROR_SUCCESS) {
        for (const CString& progId : typeProgIds.Values().ValueNames())
            AddProgId(progId);
    }
    CStoreKey usersProgIds;
    if (usersProgIds.Open(CString(kFileExtsPath) + m_dotExtension + "\\OpenWithProgids", KEY_READ)
        == ERROR_SUCCESS) {
        for (const CString& progId : usersProgIds.ValueNames())
            AddProgId(progId);
    }
}

// The applications the type lists, itself and through its perceived type.
void CKnownProgramsReader::ReadTypeApplications()
{
    AddApplicationList(m_dotExtension + "\\OpenWithList");
    AddApplicationList(CString("SystemFileAssociations\\") + m_dotExtension + "\\OpenWithList");
    CClassesKey type;
    CString perceivedType;
    if (type.Open(m_dotExtension) == ERROR_SUCCESS
        && type.Values().ReadString("PerceivedType", perceivedType) == ERROR_SUCCESS
        && !perceivedType.IsEmpty())
        AddApplicationList(CString("SystemFileAssociations\\") + perceivedType + "\\OpenWithList");
}

// The user's recent applications for the type, most recent first: MRUList names their values in order.
void CKnownProgramsReader::ReadRecentApplications()
{
    CStoreKey recent;
    if (recent.Open(CString(kFileExtsPath) + m_dotExtension + "\\OpenWithList", KEY_READ) != ERROR_SUCCESS)
        return;
    CString order;
    recent.ReadString("MRUList", order);
    for (LPCSTR letter = order; *letter; ++letter) {
        CString fileName;
        if (recent.ReadString(CString(letter, 1), fileName) == ERROR_SUCCESS)
            AddApplication(fileName, false);
    }
}

// Every application whose SupportedTypes names the type. The one read that grows with the registry, so
// nothing is opened but the SupportedTypes key.
void CKnownProgramsReader::ReadSupportedTypes()
{
    CClassesKey applications;
    if (applications.Open("Applications") != ERROR_SUCCESS)
        return;
    for (const ClassesSubkey& application : applications.Subkeys()) {
        CClassesKey supportedTypes;
        if (supportedTypes.OpenBelow(applications, application, "SupportedTypes") == ERROR_SUCCESS
            && supportedTypes.Values().HasValue(m_dotExtension))
            AddApplication(application.name, false);
    }
}

// Store apps' classes launch no command line of their own.
void CKnownProgramsReader::AddProgId(LPCSTR progId)
{
    if (!*progId || ::_strnicmp(progId, kStoreAppPrefix, std::strlen(kStoreAppPrefix)) == 0)
        return;
    CClassesKey progIdKey;
    VerbCommand verb;
    if (progIdKey.Open(progId) == ERROR_SUCCESS && ReadDefaultVerb(progIdKey, verb))
        AddCommand(verb);
}

void CKnownProgramsReader::AddApplicationList(LPCSTR path)
{
    CClassesKey list;
    if (list.Open(path) != ERROR_SUCCESS)
        return;
    for (const CString& fileName : list.SubkeyNames())
        AddApplication(fileName, true);
}

static bool ReadAppPath(LPCSTR fileName, CString& command)
{
    CString path = kAppPathsPath + CString(fileName);
    CStoreKey appPath;
    if (appPath.OpenBelow(HKEY_CURRENT_USER, path, KEY_READ) != ERROR_SUCCESS
        && appPath.OpenBelow(HKEY_LOCAL_MACHINE, path, KEY_READ) != ERROR_SUCCESS)
        return false;
    CString programPath;
    if (appPath.ReadString("", programPath) != ERROR_SUCCESS || programPath.IsEmpty())
        return false;
    command = CString("\"") + Unquoted(programPath) + "\"";
    return true;
}

// An application marked NoOpenWith is offered only where the type itself lists it. Without a command of its
// own, it is found through App Paths. Its own FriendlyAppName names it when its verb's does not.
void CKnownProgramsReader::AddApplication(LPCSTR fileName, bool listedByType)
{
    CClassesKey application;
    bool exists = application.Open(CString("Applications\\") + fileName) == ERROR_SUCCESS;
    if (exists && !listedByType && application.Values().HasValue("NoOpenWith"))
        return;
    VerbCommand verb;
    if (!(exists && ReadDefaultVerb(application, verb)) && !ReadAppPath(fileName, verb.command))
        return;
    if (exists && verb.friendlyAppName.IsEmpty())
        verb.friendlyAppName = ReadFriendlyAppName(application.Values());
    AddCommand(verb);
}

// The library a host process runs: the first part of its parameters, up to a comma.
static CString HostedLibrary(LPCSTR parameters)
{
    std::string text(parameters);
    bool quoted = !text.empty() && text[0] == '"';
    size_t begin = quoted ? 1 : 0;
    size_t end = quoted ? text.find('"', begin) : text.find_first_of(", ");
    std::string library = text.substr(begin, end == std::string::npos ? end : end - begin);
    return FoundProgram(library.c_str(), L".dll");
}

// A program is known by its file, and a host process by the library it runs as well.
void CKnownProgramsReader::AddCommand(const VerbCommand& verb)
{
    ParsedCommand parsed;
    if (!ParseCommand(verb.command, parsed) || IsSamePath(parsed.file, m_ownProgram))
        return;
    if (!CStoreKey::Fits(parsed.path) || !CStoreKey::Fits(parsed.parameters))
        return;
    CString namedFile = parsed.file;
    if (IsSamePath(FileNameOf(parsed.file), kHostProcess)) {
        namedFile = HostedLibrary(parsed.parameters);
        if (namedFile.IsEmpty())
            return;
    }
    if (!m_found.Add(parsed.file + "|" + namedFile))
        return;
    KnownProgram program;
    program.displayName = verb.friendlyAppName;
    if (program.displayName.IsEmpty() || !CStoreKey::Fits(program.displayName))
        program.displayName = ProgramName(namedFile, FileTitleOf(namedFile));
    program.path = parsed.path;
    program.pathExpands = parsed.pathExpands;
    program.parameters = parsed.parameters;
    m_programs.push_back(program);
}

std::vector<KnownProgram> FindKnownPrograms(LPCSTR extension)
{
    if (!*extension)
        return {};
    return CKnownProgramsReader(extension).Read();
}
