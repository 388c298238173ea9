// The store's rules as tables over the model, against the real registry, with no window.
#include "CA2W.h"
#include "app/FileExtension.h"
#include "resource.h"
#include "store/AssignmentStore.h"
#include "store/StorePaths.h"
#include "support/TestStore.h"

#include <gtest/gtest.h>

#include <functional>
#include <future>
#include <map>

static ImportPatch* g_patch = nullptr;
static const char* g_unwritable = "";
static LONG WINAPI SetValue(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size)
{
    if (name && ::lstrcmpiA(name, g_unwritable) == 0)
        return ERROR_ACCESS_DENIED;
    return g_patch->Original<decltype(&::RegSetValueExA)>()(key, name, reserved, type, data, size);
}

// A result as "done", or its message as a word and the key path below the store root.
static std::string Told(const StoreResult& result)
{
    const std::map<UINT, std::string> words = { { 0, "done" }, { IDS_ERR_CREATE_KEY, "create" },
        { IDS_ERR_DELETE_KEY, "delete" }, { IDS_ERR_OPEN_KEY, "open" }, { IDS_ERR_READ_KEY, "read" },
        { IDS_ERR_WRITE_KEY, "write" }, { IDS_ASSIGNMENT_EXISTS, "exists" } };
    std::string path(result.keyPath);
    if (path.empty())
        return words.at(result.messageId);
    return words.at(result.messageId) + " " + path.substr(TestStore::Full("").size() + 1);
}

// Each of the keys that exists, and the given values of the first.
static std::string Stored(std::vector<std::string> keys, std::vector<const char*> names = {})
{
    std::string stored;
    for (const std::string& key : keys)
        stored += TestStore::KeyExists(key) ? key + " " : "";
    for (const char* name : names) {
        stored += "|";
        stored += TestStore::Get(keys[0], name);
    }
    return stored;
}

struct StoreTest : ::testing::Test {
    void SetUp() override { TestStore::Reset(); }
};

TEST(FileExtension, IsTheTextAfterTheLastDotOfTheFileName)
{
    const std::pair<const char*, const char*> rows[] = { { "C:\\Docs\\report.final.PDF", "PDF" },
        { "C:\\Docs\\README", "" }, { "C:\\my.dir\\README", "" }, { "C:\\Docs\\archive.", "" },
        { "notes.txt", "txt" }, { "C:\\Docs\\.config", "config" }, { "C:/my.dir/README", "dir/README" },
        { "C:\\r\xC3\xA9sum\xC3\xA9.d\xC3\xB6\x63", "d\xC3\xB6\x63" } };
    for (const auto& [path, extension] : rows)
        EXPECT_STREQ(GetFileExtension(path), extension) << path;
}

// Listed is what yields a name of up to 259 characters, in the order of the names without regard to case,
// with the default that the store names last selected; the icon's path is expanded and unquoted.
TEST_F(StoreTest, ListsWhatCanBeReadInTheOrderOfTheNamesWithTheLastDefaultSelected)
{
    const std::string one = TestStore::Dword(1);
    const std::string limit = TestStore::Letters("", "東", 259);
    // Key; the types and bytes of "DisplayName", "Path" and "Default" (REG_NONE: none). The last has no
    // application record.
    const std::tuple<const char*, DWORD, std::string, DWORD, std::string, DWORD, std::string> rows[]
        = { { "a.exe", REG_SZ, "Gamma", REG_SZ, "C:\\g.exe", REG_DWORD, TestStore::Dword(0) },
              { "b.exe", REG_SZ, "beta", REG_NONE, "", REG_DWORD, TestStore::Dword(2) },
              { "c.exe", REG_SZ, "Alpha", REG_EXPAND_SZ, "%SystemRoot%\\a.exe", REG_SZ, "1" },
              { "d.exe", REG_SZ, "Edit", REG_SZ, "\"C:\\e d.exe\"", REG_BINARY, one },
              { "e.exe", REG_SZ, "Editor", REG_SZ, TestStore::Letters("C:\\", "𠀀", 257), REG_DWORD, one },
              { "f.exe", REG_SZ, "", REG_SZ, "C:\\f.exe", REG_DWORD, one },
              { "g.exe", REG_SZ, limit, REG_DWORD, one, REG_NONE, "" },
              { "h.exe", REG_SZ, TestStore::Letters("", "𠀀", 260), REG_SZ, "C:\\h.exe", REG_NONE, "" },
              { "i.exe", REG_DWORD, one, REG_SZ, "C:\\i.exe", REG_NONE, "" },
              { "j.exe", REG_NONE, "", REG_SZ, "C:\\j.exe", REG_NONE, "" },
              { "l.exe", REG_SZ, "ähnlich", REG_SZ, "C:\\l.exe", REG_NONE, "" },
              { "m.exe", REG_NONE, "", REG_NONE, "", REG_DWORD, one } };
    for (const auto& [appKey, nameType, name, pathType, path, defaultType, isDefault] : rows) {
        std::string application = std::string("Applications\\") + appKey;
        TestStore::Set(application, "DisplayName", nameType, name);
        TestStore::Set(application, "Path", pathType, path);
        TestStore::Set(std::string("Extensions\\txt\\") + appKey, "Default", defaultType, isDefault);
    }
    TestStore::Delete("Applications\\m.exe");
    // Each as its name, "*" when the default, "^" when selected, and "=" its icon's path.
    std::vector<std::string> listed;
    for (const ListedApplication& application : CAssignmentStore("TXT").List()) {
        std::string shown(application.displayName);
        shown += application.entry.isDefault ? "*" : "";
        shown += application.selected ? "^" : "";
        listed.push_back(shown + "=" + (application.iconPath ? LPCSTR(*application.iconPath) : "-"));
    }
    EXPECT_EQ(listed,
        (std::vector<std::string> { "*^=C:\\f.exe", "ähnlich=C:\\l.exe", "Alpha=C:\\windows\\a.exe", "beta=-",
            "Edit=C:\\e d.exe", "Editor*=-", "Gamma=C:\\g.exe", limit + "=-" }));
}

// A path known in any letter case is reused as it stands; another path under the same file name gets a
// numbered key of its own; a record without its values is written anew. A new assignment is no default.
TEST_F(StoreTest, AddGivesEachExecutableARecordOfItsOwnAndRefusesADuplicate)
{
    TestStore::AddApplication("py.exe", "C:\\3.11\\py.exe", "Python 3.11");
    TestStore::Set("Applications\\half.exe", "DisplayName", "Half");
    TestStore::Set("Applications\\env.exe", "Path", REG_EXPAND_SZ, "%SystemRoot%\\env.exe");
    TestStore::Set("Applications\\env.exe", "DisplayName", "Env");
    // Extension and path; what the Add answers; the record assigned, with its path and name.
    const std::tuple<const char*, std::string, std::string, std::string> rows[]
        = { { "txt", "C:\\Tools\\tool.exe", "done", "tool.exe |C:\\Tools\\tool.exe|New" },
              { "md", "C:\\TOOLS\\Tool.EXE", "done", "tool.exe |C:\\Tools\\tool.exe|New" },
              { "TXT", "C:\\Tools\\tool.exe", "exists", "tool.exe |C:\\Tools\\tool.exe|New" },
              { "py", "C:\\3.12\\py.exe", "done", "py.exe (2) |C:\\3.12\\py.exe|New" },
              { "py", "C:\\3.11\\py.exe", "done", "py.exe |C:\\3.11\\py.exe|Python 3.11" },
              { "pyw", "C:\\3.13\\py.exe", "done", "py.exe (3) |C:\\3.13\\py.exe|New" },
              { "pyw", "c:\\3.12\\PY.EXE", "done", "py.exe (2) |C:\\3.12\\py.exe|New" },
              { "txt", "C:\\h\\half.exe", "done", "half.exe |C:\\h\\half.exe|New" },
              { "txt", "C:\\windows\\env.exe", "done", "env.exe |(type 2)|Env" } };
    for (const auto& [extension, path, told, record] : rows) {
        std::string fileName = path.substr(path.rfind('\\') + 1);
        EXPECT_EQ(Told(CAssignmentStore(extension).Add(path.c_str(), fileName.c_str(), "New")), told) << path;
        std::string appKey = record.substr(0, record.find(" |"));
        std::string assignment = std::string("Extensions\\") + extension + "\\" + appKey;
        EXPECT_EQ(
            Stored({ "Applications\\" + appKey }, { "Path", "DisplayName" }), "Applications\\" + record);
        EXPECT_EQ(Stored({ assignment }, { "Default", "Parameters" }), assignment + " |#0|(missing)") << path;
    }
}

// A value Add cannot write is told with its key, and leaves no record without its values.
TEST_F(StoreTest, AFailedAddIsToldAndLeavesNoHalfRecord)
{
    ImportPatch setValue(&__imp_RegSetValueExA, (void*)SetValue);
    g_patch = &setValue;
    // The value that cannot be written; what the Add answers; the records left.
    const std::tuple<const char*, std::string, std::string> rows[]
        = { { "Path", "write Applications\\t.exe", "" }, { "DisplayName", "write Applications\\t.exe", "" },
              { "Default", "write Extensions\\md\\t.exe", "Applications\\t.exe Extensions\\md\\t.exe " } };
    for (const auto& [unwritable, told, left] : rows) {
        g_unwritable = unwritable;
        EXPECT_EQ(Told(CAssignmentStore("md").Add("C:\\t.exe", "t.exe", "t")), told);
        EXPECT_EQ(Stored({ "Applications\\t.exe", "Extensions\\md\\t.exe" }), left) << unwritable;
    }
    g_unwritable = "";
}

// While set, another copy adds an assignment for md just as this one opens the extensions to clean up after
// its Remove.
static bool g_anotherCopyAdds = false;
static LONG WINAPI OpenAfterAnotherCopyAdds(
    HKEY parent, LPCWSTR path, DWORD options, REGSAM access, HKEY* key)
{
    std::wstring opened(path);
    if (g_anotherCopyAdds && access == KEY_WRITE && opened.ends_with(L"\\Extensions"))
        TestStore::AddAssignment("md", "other.exe");
    return g_patch->Original<decltype(&::RegOpenKeyExW)>()(parent, path, options, access, key);
}

// The extension record goes with its last assignment, the application record with its last reference in any
// letter case; what another copy added meanwhile stays. A record gone is told.
TEST_F(StoreTest, RemoveTakesWhatNothingRefersToAndNothingAnotherCopyAdded)
{
    TestStore::AddApplication("shared.exe", "C:\\s.exe", "Shared");
    TestStore::AddApplication("tool.exe", "C:\\t.exe", "Tool");
    TestStore::AddAssignment("txt", "tool.exe");
    TestStore::AddAssignment("txt", "shared.exe");
    TestStore::AddAssignment("MD", "Shared.EXE");
    const std::vector<std::string> records
        = { "Applications\\tool.exe", "Applications\\shared.exe", "Extensions\\txt", "Extensions\\md" };
    const std::string shared = "Applications\\shared.exe ";
    // Extension and app key; what the Remove answers; the records left after it.
    const std::tuple<const char*, const char*, std::string, std::string> rows[]
        = { { "txt", "tool.exe", "done", shared + "Extensions\\txt Extensions\\md " },
              { "txt", "tool.exe", "delete Extensions\\txt", shared + "Extensions\\txt Extensions\\md " },
              { "txt", "SHARED.exe", "done", shared + "Extensions\\md " },
              { "txt", "shared.exe", "open Extensions\\txt", shared + "Extensions\\md " },
              { "md", "shared.exe", "done", "Extensions\\md " } };
    ImportPatch anotherCopy(&__imp_RegOpenKeyExW, (void*)OpenAfterAnotherCopyAdds);
    g_patch = &anotherCopy;
    for (const auto& [extension, appKey, told, left] : rows) {
        g_anotherCopyAdds = std::string(extension) == "md";
        EXPECT_EQ(Told(CAssignmentStore(extension).Remove(appKey)), told);
        EXPECT_EQ(Stored(records), left) << extension << " " << appKey;
    }
    g_anotherCopyAdds = false;
    EXPECT_TRUE(TestStore::KeyExists("Extensions\\md\\other.exe"));
}

// The chosen entry's default toggles and every other listed one is cleared, in the entries and the store; an
// unlisted assignment keeps its own. A chosen assignment another copy removed changes nothing.
TEST_F(StoreTest, DefaultMarksTheChosenEntryAloneOrNothing)
{
    for (const char* appKey : { "a.exe", "b.exe", "c.exe" }) {
        TestStore::AddApplication(appKey, "C:\\x.exe", appKey);
        TestStore::AddAssignment("txt", appKey, appKey[0] == 'a');
    }
    TestStore::AddAssignment("txt", "unlisted.exe", 1);
    std::vector<ListedApplication> listed = CAssignmentStore("txt").List();
    std::vector<ListEntry*> entries = { &listed[0].entry, &listed[1].entry, &listed[2].entry };
    // The entry chosen, and whether another copy removed c.exe first; the answer, then each entry's flag and
    // stored value, the unlisted one's last.
    const std::tuple<size_t, bool, std::string, std::string> rows[]
        = { { 1, false, "done", "0#0 1#1 0#0 #1" }, { 1, false, "done", "0#0 0#0 0#0 #1" },
              { 2, true, "open Extensions\\txt\\c.exe", "0#0 0#0 0(missing) #1" } };
    for (const auto& [chosen, removedMeanwhile, told, after] : rows) {
        if (removedMeanwhile)
            TestStore::Delete("Extensions\\txt\\c.exe");
        EXPECT_EQ(Told(CAssignmentStore("txt").SetDefault(entries, chosen)), told);
        std::string flags;
        for (const ListEntry* entry : entries) {
            flags += entry->isDefault ? "1" : "0";
            flags += TestStore::Get("Extensions\\txt\\" + std::string(entry->appKey), "Default") + " ";
        }
        EXPECT_EQ(flags + TestStore::Get("Extensions\\txt\\unlisted.exe", "Default"), after);
    }
}

// Edit reads the stored texts unexpanded and unreadable parameters as empty, and writes what differs, if only
// in letter case, a path pasted in quotes without them; a write that fails is told and the others are made.
TEST_F(StoreTest, EditReadsTheStoredTextsAndWritesExactlyWhatChanged)
{
    ImportPatch setValue(&__imp_RegSetValueExA, (void*)SetValue);
    g_patch = &setValue;
    const std::string app = "Applications\\tool.exe";
    const std::string assignment = "Extensions\\txt\\tool.exe";
    TestStore::Set(app, "DisplayName", "Tool");
    TestStore::Set(app, "Path", REG_EXPAND_SZ, "%SystemRoot%\\tool.exe");
    TestStore::Set(assignment, "Parameters", 7);
    EditValues read;
    EXPECT_EQ(Told(CAssignmentStore("txt").ReadForEdit("tool.exe", read)), "done");
    EXPECT_EQ(std::string(read.displayName) + "|" + LPCSTR(read.path) + "|" + LPCSTR(read.parameters),
        "Tool|%SystemRoot%\\tool.exe|");
    // The edited texts, the value that cannot be written; whether a write went through, the failure told, and
    // the stored texts.
    const std::tuple<EditValues, const char*, bool, std::string, std::string> rows[]
        = { { read, "", false, "", "Tool|(type 2)|#7" },
              { { "TOOL", "\"C:\\new.exe\"", "-p" }, "", true, "", "TOOL|C:\\new.exe|-p" },
              { { "", "C:\\x.exe", "" }, "Path", true, "write " + app, "|C:\\new.exe|-p" } };
    for (const auto& [edited, unwritable, written, failure, stored] : rows) {
        g_unwritable = unwritable;
        EditOutcome outcome = CAssignmentStore("txt").WriteEdit("tool.exe", read, edited);
        EXPECT_EQ(outcome.written, written);
        EXPECT_EQ(outcome.failures.empty() ? "" : Told(outcome.failures[0]), failure);
        std::string texts = TestStore::Get(app, "DisplayName") + "|" + TestStore::Get(app, "Path");
        EXPECT_EQ(texts + "|" + TestStore::Get(assignment, "Parameters"), stored);
    }
    g_unwritable = "";
    // Without both texts of the application, or its records, nothing is shown.
    const std::pair<std::function<void()>, std::string> unread[]
        = { { [&] { TestStore::Set(app, "Path", std::string(260, 'p')); }, "read " + app },
              { [&] { TestStore::Delete(assignment); }, "open " + assignment },
              { [&] { TestStore::Delete(app); }, "open " + app } };
    for (const auto& [change, told] : unread) {
        change();
        EXPECT_EQ(Told(CAssignmentStore("txt").ReadForEdit("tool.exe", read)), told);
    }
}

// What a launch starts: the program named by "Path", expanded and unquoted, in quotes; the target in quotes
// without parameters, or in place of each "%1" of them as it is. A path that cannot be read is told.
TEST_F(StoreTest, TheLaunchPassesTheTargetAsTheParametersSay)
{
    const std::string file = "C:\\My Files\\a.txt";
    const std::string quoted = '"' + file + '"';
    const std::string program = "\"C:\\t.exe\" ";
    const std::string limit = TestStore::Letters("", "東", 259);
    const std::string longest = TestStore::Letters("C:\\", "東", 256);
    const std::string unread = "read Applications\\t.exe";
    // The target; the types and bytes of "Path" and "Parameters" (REG_NONE: none); what is started.
    const std::tuple<std::string, DWORD, std::string, DWORD, std::string, std::string> rows[] = {
        { file, REG_SZ, "C:\\t.exe", REG_NONE, "", program + quoted },
        { file, REG_SZ, "C:\\t.exe", REG_SZ, "", program + quoted },
        { file, REG_SZ, "C:\\t.exe", REG_SZ, "-a %1 -b %1", program + "-a " + file + " -b " + file },
        { file, REG_SZ, "C:\\t.exe", REG_SZ, "-new", program + "-new" },
        { file, REG_SZ, "C:\\t.exe", REG_SZ, "\"%1\" %2 %%1", program + quoted + " %2 %" + file },
        { file, REG_SZ, "C:\\t.exe", REG_DWORD, TestStore::Dword(0x31), program + quoted },
        { file, REG_SZ, "C:\\t.exe", REG_SZ, limit, program + limit },
        { file, REG_SZ, "C:\\t.exe", REG_SZ, TestStore::Letters("", "𠀀", 260), program + quoted },
        { "C:\\a%1b.txt", REG_SZ, "C:\\t.exe", REG_SZ, "%1 %1", program + "C:\\a%1b.txt C:\\a%1b.txt" },
        { file, REG_EXPAND_SZ, "%SystemRoot%\\t.exe", REG_NONE, "", "\"C:\\windows\\t.exe\" " + quoted },
        { file, REG_SZ, "\"C:\\t.exe\"", REG_NONE, "", program + quoted },
        { file, REG_SZ, longest, REG_NONE, "", '"' + longest + "\" " + quoted },
        { file, REG_SZ, "", REG_NONE, "", "\"\" " + quoted },
        { file, REG_SZ, longest + "x", REG_NONE, "", unread },
        { file, REG_DWORD, TestStore::Dword(1), REG_NONE, "", unread },
        { file, REG_NONE, "", REG_NONE, "", "open Applications\\t.exe" }
    };
    for (const auto& [target, pathType, path, parametersType, parameters, started] : rows) {
        TestStore::Delete("");
        if (pathType != REG_NONE)
            TestStore::Set("Applications\\t.exe", "Path", pathType, path);
        TestStore::Set("Extensions\\txt\\t.exe", "Parameters", parametersType, parameters);
        LaunchCommand command;
        StoreResult result = CAssignmentStore("txt").ReadLaunch("t.exe", target.c_str(), command);
        std::string program(command.program);
        EXPECT_EQ(result.Done() ? program + " " + LPCSTR(command.parameters) : Told(result), started) << path;
    }
}

// Each change waits while another copy holds the store's mutex, and is made once it is free.
TEST_F(StoreTest, EachChangeWaitsWhileAnotherCopyChangesTheStore)
{
    TestStore::AddApplication("a.exe", "C:\\a.exe", "A");
    TestStore::AddAssignment("txt", "a.exe");
    const CAssignmentStore store("txt");
    ListEntry entry = { "b.exe", false };
    const std::string b = "Extensions\\txt\\b.exe";
    const EditValues withParameters = { "", "", "-p" };
    // A change, and what shows it was made.
    const std::pair<std::function<void()>, std::function<bool()>> rows[] = {
        { [&] { store.Add("C:\\b.exe", "b.exe", "B"); }, [&] { return TestStore::KeyExists(b); } },
        { [&] { store.SetDefault({ &entry }, 0); }, [&] { return TestStore::Get(b, "Default") == "#1"; } },
        { [&] { store.WriteEdit("b.exe", {}, withParameters); },
            [&] { return TestStore::Get(b, "Parameters") == "-p"; } },
        { [&] { store.Remove("a.exe"); }, [] { return !TestStore::KeyExists("Extensions\\txt\\a.exe"); } }
    };
    HANDLE anotherCopy = ::CreateMutexW(nullptr, FALSE, CA2W(StoreMutexName()));
    for (const auto& [change, made] : rows) {
        ::WaitForSingleObject(anotherCopy, INFINITE);
        std::future<void> done = std::async(std::launch::async, change);
        // It cannot finish while the mutex is held; a busy machine only makes the check weaker, never wrong.
        EXPECT_EQ(done.wait_for(std::chrono::milliseconds(200)), std::future_status::timeout);
        EXPECT_FALSE(made());
        ::ReleaseMutex(anotherCopy);
        done.wait();
        EXPECT_TRUE(made());
    }
    ::CloseHandle(anotherCopy);
}
