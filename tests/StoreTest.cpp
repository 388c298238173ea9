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

// A result as "done", or its message as a word and the key path below the store root.
static std::string Told(const StoreResult& result)
{
    const std::map<UINT, std::string> words = { { 0, "done" }, { IDS_ERR_CREATE_KEY, "create" },
        { IDS_ERR_DELETE_KEY, "delete" }, { IDS_ERR_OPEN_KEY, "open" }, { IDS_ERR_READ_KEY, "read" },
        { IDS_ERR_WRITE_KEY, "write" }, { IDS_ASSIGNMENT_EXISTS, "exists" }, { IDS_STORE_CHANGED, "stale" },
        { IDS_STORE_BUSY, "busy" }, { IDS_TARGET_UNSAFE, "unsafe" } };
    std::string path(result.keyPath);
    if (path.empty())
        return words.at(result.messageId);
    return words.at(result.messageId) + " " + path.substr(TestStore::Full("").size() + 1);
}

// The last name of each of the keys that exists, and the given values of the first.
static std::string Stored(std::vector<std::string> keys, std::vector<const char*> names = {})
{
    std::string stored;
    for (const std::string& key : keys)
        stored += TestStore::KeyExists(key) ? key.substr(key.rfind('\\') + 1) + " " : "";
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

// Listed: what yields a name of up to 259 characters, by name in any case, the last default selected.
TEST_F(StoreTest, ListsWhatCanBeReadInTheOrderOfTheNamesWithTheLastDefaultSelected)
{
    const std::string one = TestStore::Dword(1);
    const std::string limit = TestStore::Letters("", "東", 259);
    // Key; the types and bytes of "DisplayName", "Path" and "Default" (REG_NONE: none).
    const std::tuple<std::string, DWORD, std::string, DWORD, std::string, DWORD, std::string> rows[]
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
              { "m.exe", REG_NONE, "", REG_NONE, "", REG_DWORD, one },
              { TestStore::Letters("", "東", 86), REG_SZ, "Long key", REG_SZ, "C:\\k.exe", REG_NONE, "" } };
    for (const auto& [appKey, nameType, name, pathType, path, defaultType, isDefault] : rows) {
        TestStore::Set("Applications\\" + appKey, "DisplayName", nameType, name);
        TestStore::Set("Applications\\" + appKey, "Path", pathType, path);
        TestStore::Set("Extensions\\txt\\" + appKey, "Default", defaultType, isDefault);
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
            "Edit=C:\\e d.exe", "Editor*=-", "Gamma=C:\\g.exe", "Long key=C:\\k.exe", limit + "=-" }));
}

// Another copy removes the first application as this one reads the second name, if it can take the store.
static LONG WINAPI EnumWhileAnotherCopyRemoves(HKEY key, DWORD index, LPSTR name, LPDWORD length,
    LPDWORD reserved, LPSTR type, LPDWORD size, PFILETIME time)
{
    if (index == 1) {
        std::async(std::launch::async, [] {
            HANDLE mutex = ::CreateMutexW(nullptr, FALSE, CA2W(StoreMutexName()));
            if (::WaitForSingleObject(mutex, 0) == WAIT_OBJECT_0) {
                TestStore::Delete("Extensions\\txt\\a.exe");
                ::ReleaseMutex(mutex);
            }
            ::CloseHandle(mutex);
        }).wait();
    }
    return g_patch->Original<decltype(&::RegEnumKeyExA)>()(
        key, index, name, length, reserved, type, size, time);
}

// A list is read in one step: no other copy's change lands between its names, so none is skipped.
TEST_F(StoreTest, AListIsReadInOneStep)
{
    for (const char* appKey : { "a.exe", "b.exe", "c.exe" }) {
        TestStore::AddApplication(appKey, "C:\\x.exe", appKey);
        TestStore::AddAssignment("txt", appKey);
    }
    ImportPatch enumerate(&__imp_RegEnumKeyExA, (void*)EnumWhileAnotherCopyRemoves);
    g_patch = &enumerate;
    std::string names;
    for (const ListedApplication& application : CAssignmentStore("txt").List())
        names += std::string(application.displayName) + " ";
    EXPECT_EQ(names, "a.exe b.exe c.exe ");
}

// A known path is reused under any key of its file name, another gets the first free key; an unreadable
// record is never reused nor rewritten; a failed write leaves no record without its values.
TEST_F(StoreTest, AddGivesEachExecutableOneRecordOfItsOwnAndRefusesADuplicate)
{
    FailingWrites writes;
    TestStore::AddApplication("py.exe", "C:\\3.11\\py.exe", "Python 3.11");
    TestStore::AddApplication("tool.exe (2)", "C:\\Old\\tool.exe", "Old");
    TestStore::Set("Applications\\half.exe", "DisplayName", "Half");
    TestStore::AddApplication("long.exe", std::string(260, 'p'), "Long");
    TestStore::Set("Applications\\env.exe", "Path", REG_EXPAND_SZ, "%SystemRoot%\\env.exe");
    TestStore::Set("Applications\\env.exe", "DisplayName", "Env");
    // Unwritable value, extension, path; the answer; the records left, the path, name and default.
    const std::tuple<const char*, const char*, std::string, std::string, std::string> rows[] = {
        { "", "txt", "C:\\Tools\\tool.exe", "done", "tool.exe tool.exe |C:\\Tools\\tool.exe|New|#0" },
        { "", "TXT", "C:\\Tools\\tool.exe", "exists", "tool.exe tool.exe |C:\\Tools\\tool.exe|New|#0" },
        { "", "md", "C:\\old\\TOOL.exe", "done", "tool.exe (2) tool.exe (2) |C:\\Old\\tool.exe|Old|#0" },
        { "", "py", "C:\\3.12\\py.exe", "done", "py.exe (2) py.exe (2) |C:\\3.12\\py.exe|New|#0" },
        { "", "py", "C:\\3.11\\py.exe", "done", "py.exe py.exe |C:\\3.11\\py.exe|Python 3.11|#0" },
        { "", "pyw", "C:\\3.13\\py.exe", "done", "py.exe (3) py.exe (3) |C:\\3.13\\py.exe|New|#0" },
        { "", "pyw", "c:\\3.12\\PY.EXE", "done", "py.exe (2) py.exe (2) |C:\\3.12\\py.exe|New|#0" },
        { "", "txt", "C:\\h\\half.exe", "done", "half.exe (2) half.exe (2) |C:\\h\\half.exe|New|#0" },
        { "", "txt", "C:\\l\\long.exe", "done", "long.exe (2) long.exe (2) |C:\\l\\long.exe|New|#0" },
        { "", "txt", "C:\\windows\\env.exe", "done", "env.exe env.exe |~%SystemRoot%\\env.exe|Env|#0" },
        { "Path", "md", "C:\\t.exe", "write Applications\\t.exe", "|(missing)|(missing)|(missing)" },
        { "DisplayName", "md", "C:\\t.exe", "write Applications\\t.exe", "|(missing)|(missing)|(missing)" },
        { "Default", "md", "C:\\t.exe", "write Extensions\\md\\t.exe",
            "t.exe t.exe |C:\\t.exe|New|(missing)" }
    };
    for (const auto& [unwritable, extension, path, told, stored] : rows) {
        writes.unwritable = unwritable;
        std::string fileName = path.substr(path.rfind('\\') + 1);
        CString added;
        StoreResult result
            = CAssignmentStore(extension).Add({ path.c_str(), fileName.c_str(), "New", "" }, added);
        EXPECT_EQ(Told(result), told) << path;
        std::string appKey = result.Done() ? LPCSTR(added) : fileName;
        std::string assignment = std::string("Extensions\\") + extension + "\\" + appKey;
        EXPECT_EQ(Stored({ "Applications\\" + appKey, assignment }, { "Path", "DisplayName" }) + "|"
                + TestStore::Get(assignment, "Default"),
            stored)
            << path;
    }
    EXPECT_EQ(TestStore::Get("Extensions\\txt\\tool.exe", "Parameters"), "(missing)");
    writes.unwritable = "";
    // The 3.11 record went; adding 3.12 again finds its record, not the free key.
    TestStore::Delete("Applications\\py.exe");
    CString added;
    EXPECT_EQ(Told(CAssignmentStore("pyc").Add({ "C:\\3.12\\py.exe", "py.exe", "New", "" }, added)), "done");
    EXPECT_EQ(Stored({ "Applications\\py.exe", "Extensions\\pyc\\py.exe (2)" }), "py.exe (2) ");
    EXPECT_EQ(Stored({ "Applications\\half.exe" }, { "Path", "DisplayName" }), "half.exe |(missing)|Half");
    // A path with variables is stored to be expanded; parameters given are the assignment's.
    EXPECT_EQ(Told(CAssignmentStore("log").Add({ "%SystemRoot%\\w.exe", "w.exe", "W", "-o \"%1\"" }, added)),
        "done");
    EXPECT_EQ(Stored({ "Applications\\w.exe" }, { "Path" })
            + Stored({ "Extensions\\log\\w.exe" }, { "Parameters" }),
        "w.exe |~%SystemRoot%\\w.exe"
        "w.exe |-o \"%1\"");
}

// While set, another copy adds an assignment for md as this one opens the extensions to clean up.
static bool g_anotherCopyAdds = false;
static LONG WINAPI OpenAfterAnotherCopyAdds(
    HKEY parent, LPCWSTR path, DWORD options, REGSAM access, HKEY* key)
{
    std::wstring opened(path);
    if (g_anotherCopyAdds && access == KEY_WRITE && opened.ends_with(L"\\Extensions"))
        TestStore::AddAssignment("md", "other.exe");
    return g_patch->Original<decltype(&::RegOpenKeyExW)>()(parent, path, options, access, key);
}

// Records go with their last reference in any case, never what another copy added; an assignment already
// removed leaves nothing to do; one whose program another copy replaced stays.
TEST_F(StoreTest, RemoveTakesWhatTheWindowShowedAndNothingAnotherCopyAdded)
{
    TestStore::AddApplication("shared.exe", "C:\\s.exe", "Shared");
    TestStore::AddApplication("tool.exe", "C:\\t.exe", "Tool");
    TestStore::AddAssignment("txt", "tool.exe");
    TestStore::Set("Extensions\\txt\\tool.exe\\a\\b", "", "another program's");
    TestStore::AddAssignment("txt", "shared.exe");
    TestStore::AddAssignment("MD", "Shared.EXE");
    // As the window lists them: Shared, then Tool.
    std::vector<ListedApplication> txt = CAssignmentStore("txt").List();
    std::vector<ListedApplication> md = CAssignmentStore("md").List();
    const std::vector<std::string> records
        = { "Applications\\tool.exe", "Applications\\shared.exe", "Extensions\\txt", "Extensions\\md" };
    // The entry removed, what another copy does first; the answer; the records left.
    const std::tuple<ListEntry, std::function<void()>, std::string, std::string> rows[]
        = { { txt[1].entry, [] {}, "done", "shared.exe txt md " },
              { txt[1].entry, [] {}, "done", "shared.exe txt md " },
              { txt[0].entry, [] { TestStore::Set("Applications\\shared.exe", "Path", "C:\\new.exe"); },
                  "stale", "shared.exe txt md " },
              { txt[0].entry, [] { TestStore::Set("Applications\\shared.exe", "Path", "C:\\s.exe"); }, "done",
                  "shared.exe md " },
              { md[0].entry, [] {}, "done", "md " } };
    ImportPatch anotherCopy(&__imp_RegOpenKeyExW, (void*)OpenAfterAnotherCopyAdds);
    g_patch = &anotherCopy;
    for (const auto& [entry, meanwhile, told, left] : rows) {
        meanwhile();
        g_anotherCopyAdds = std::string(entry.appKey) == "Shared.EXE";
        EXPECT_EQ(Told(CAssignmentStore(g_anotherCopyAdds ? "md" : "txt").Remove(entry)), told);
        EXPECT_EQ(Stored(records), left) << entry.appKey;
    }
    g_anotherCopyAdds = false;
    EXPECT_TRUE(TestStore::KeyExists("Extensions\\md\\other.exe"));
}

// The chosen default toggles and every other one is cleared, listed or not; a failed write is told, the
// entries show the store; a stale choice changes nothing.
TEST_F(StoreTest, DefaultMarksTheChosenAssignmentAloneOrNothing)
{
    for (const char* appKey : { "a.exe", "b.exe", "c.exe" }) {
        TestStore::AddApplication(appKey, "C:\\x.exe", appKey);
        TestStore::AddAssignment("txt", appKey, appKey[0] == 'a');
    }
    TestStore::AddAssignment("txt", "unlisted.exe", 1);
    std::vector<ListedApplication> listed = CAssignmentStore("txt").List();
    std::vector<ListEntry*> entries = { &listed[0].entry, &listed[1].entry, &listed[2].entry };
    FailingWrites writes;
    // Chosen, another copy's change, the unwritable value; the answer, each flag and value, unlisted last.
    const std::tuple<size_t, std::function<void()>, const char*, std::string, std::string> rows[] = {
        { 1, [] {}, "", "done", "0#0 1#1 0#0 #0" }, { 1, [] {}, "", "done", "0#0 0#0 0#0 #0" },
        { 0, [] { TestStore::AddAssignment("txt", "unlisted.exe", 1); }, "", "done", "1#1 0#0 0#0 #0" },
        { 1, [] {}, "Default", "write Extensions\\txt\\a.exe", "1#1 0#0 0#0 #0" },
        { 2, [] { TestStore::Set("Applications\\c.exe", "Path", "C:\\y.exe"); }, "", "stale",
            "1#1 0#0 0#0 #0" },
        { 2, [] { TestStore::Delete("Extensions\\txt\\c.exe"); }, "", "stale", "1#1 0#0 0(missing) #0" }
    };
    for (const auto& [chosen, meanwhile, unwritable, told, after] : rows) {
        meanwhile();
        writes.unwritable = unwritable;
        EXPECT_EQ(Told(CAssignmentStore("txt").SetDefault(entries, chosen)), told);
        std::string flags;
        for (const ListEntry* entry : entries) {
            flags += entry->isDefault ? "1" : "0";
            flags += TestStore::Get("Extensions\\txt\\" + std::string(entry->appKey), "Default") + " ";
        }
        EXPECT_EQ(flags + TestStore::Get("Extensions\\txt\\unlisted.exe", "Default"), after) << chosen;
    }
}

// Edit writes what differs, a quoted path unquoted, one with a variable or read as one as REG_EXPAND_SZ; a
// failed write is told and the others made; nothing is written over another copy's change.
TEST_F(StoreTest, EditWritesExactlyWhatChangedOnWhatItRead)
{
    FailingWrites writes;
    const std::string app = "Applications\\tool.exe";
    const std::string assignment = "Extensions\\txt\\tool.exe";
    TestStore::AddApplication("tool.exe", "\"C:\\tool.exe\"", "Tool");
    TestStore::Set(assignment, "Parameters", 7);
    EditValues read;
    EXPECT_EQ(Told(CAssignmentStore("txt").ReadForEdit("tool.exe", read)), "done");
    EXPECT_EQ(std::string(read.displayName) + "|" + LPCSTR(read.path) + "|" + LPCSTR(read.parameters),
        "Tool|\"C:\\tool.exe\"|");
    // Edited, another copy's change, the unwritable value; whether written, the failure, the stored texts.
    const std::tuple<EditValues, std::function<void()>, const char*, bool, std::string, std::string> rows[]
        = { { read, [] {}, "", false, "", "Tool|\"C:\\tool.exe\"|#7" },
              { { "TOOL", "\"%SystemRoot%\\new.exe\"", "-p" }, [] {}, "", true, "",
                  "TOOL|~%SystemRoot%\\new.exe|-p" },
              { { "TOOL", "C:\\x.exe", "-p" }, [] {}, "", true, "", "TOOL|~C:\\x.exe|-p" },
              { { "", "C:\\y.exe", "" }, [] {}, "Path", true, "write " + app, "|~C:\\x.exe|" },
              { { "New", "C:\\z.exe", "-q" }, [&] { TestStore::Set(app, "DisplayName", "Other"); }, "", false,
                  "stale", "Other|~C:\\x.exe|" },
              { { "New", "C:\\z.exe", "-q" }, [&] { TestStore::Delete(assignment); }, "", false, "stale",
                  "Other|~C:\\x.exe|(missing)" } };
    for (const auto& [edited, meanwhile, unwritable, written, failure, stored] : rows) {
        EditValues before;
        CAssignmentStore("txt").ReadForEdit("tool.exe", before);
        meanwhile();
        writes.unwritable = unwritable;
        EditOutcome outcome = CAssignmentStore("txt").WriteEdit("tool.exe", before, edited);
        EXPECT_EQ(outcome.written, written);
        EXPECT_EQ(outcome.failures.empty() ? "" : Told(outcome.failures[0]), failure);
        std::string texts = TestStore::Get(app, "DisplayName") + "|" + TestStore::Get(app, "Path");
        EXPECT_EQ(texts + "|" + TestStore::Get(assignment, "Parameters"), stored);
    }
    TestStore::AddAssignment("txt", "tool.exe");
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

// A launch starts "Path" expanded, in quotes, with the target quoted or in place of each "%1" as it is.
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
        { file, REG_NONE, "", REG_NONE, "", "open Applications\\t.exe" },
        { "C:\\x&calc&.txt", REG_SZ, "C:\\t.exe", REG_SZ, "%1", program + "C:\\x&calc&.txt" },
        { "C:\\x&calc&.txt", REG_SZ, "C:\\t.bat", REG_SZ, "%1", "unsafe" },
        { "C:\\a(1)^.txt", REG_SZ, "C:\\T.CMD", REG_SZ, "-a \"%1\" %1", "unsafe" },
        { "C:\\x&(1)^.txt", REG_SZ, "C:\\t.cmd", REG_NONE, "", "\"C:\\t.cmd\" \"C:\\x&(1)^.txt\"" },
        { "C:\\x&|<>.txt", REG_SZ, "C:\\T.BAT", REG_SZ, "-a \"%1\"", "\"C:\\T.BAT\" -a \"C:\\x&|<>.txt\"" },
        { "C:\\%USERNAME%.txt", REG_SZ, "C:\\t.bat", REG_NONE, "", "unsafe" },
        { "C:\\a!b!.txt", REG_SZ, "C:\\t.bat", REG_SZ, "\"%1\"", "unsafe" }
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

// While another copy holds the store, or no lock can be made, no change is made and the list still shows.
TEST_F(StoreTest, ABusyStoreRefusesEveryChangeAndStillLists)
{
    TestStore::AddApplication("a.exe", "C:\\a.exe", "A");
    TestStore::AddAssignment("txt", "a.exe");
    const CAssignmentStore store("txt");
    ListEntry entry = store.List().at(0).entry;
    EditValues read;
    store.ReadForEdit("a.exe", read);
    const EditValues edited = { "B", "C:\\b.exe", "-p" };
    CString added;
    const std::function<std::string()> changes[]
        = { [&] {
               return Told(store.Add({ "C:\\b.exe", "b.exe", "B", "" }, added));
           },
              [&] { return Told(store.SetDefault({ &entry }, 0)); },
              [&] { return Told(store.WriteEdit("a.exe", read, edited).failures.at(0)); },
              [&] { return Told(store.Remove(entry)); },
              [&] { return std::to_string(store.List().size()); } };
    // Another copy holds the mutex; another object has taken its name, so no mutex can be made.
    const std::function<HANDLE()> anotherCopy[]
        = { [] { return ::CreateMutexW(nullptr, TRUE, CA2W(StoreMutexName())); },
              [] { return ::CreateEventW(nullptr, FALSE, FALSE, CA2W(StoreMutexName())); } };
    for (const auto& holds : anotherCopy) {
        HANDLE held = holds();
        std::vector<std::future<std::string>> answers;
        for (const auto& change : changes)
            answers.push_back(std::async(std::launch::async, change));
        std::string told;
        for (auto& answer : answers)
            told += answer.get() + " ";
        EXPECT_EQ(told, "busy busy busy busy 1 ");
        ::CloseHandle(held);
    }
    EXPECT_EQ(Stored({ "Extensions\\txt\\a.exe", "Extensions\\txt\\b.exe" }, { "Default" }), "a.exe |#0");
    EXPECT_EQ(TestStore::Get("Applications\\a.exe", "DisplayName"), "A");
}

// The place comes back while assigned, whole and on a monitor, or not at all.
TEST_F(StoreTest, TheWindowPlaceComesBackWholeAndOnAMonitorOrNotAtAll)
{
    const CAssignmentStore store("txt");
    CRect saved;
    ::SetRect(&saved, -50, 10, 370, 310);
    auto save = [&store, &saved] { store.SaveWindowRect(saved); };
    auto place = [](int left) { return [left] { TestStore::SetPlace("txt", { left, 80, 300, 200 }); }; };
    // What is done to the store; the place read after it.
    const std::pair<std::function<void()>, std::string> rows[]
        = { { save, "none" }, { [] { TestStore::AddAssignment("txt", "a.exe"); }, "none" },
              { save, "-50,10 420x300" }, { place(5000), "none" }, { place(100), "100,80 300x200" },
              { [] { TestStore::Set("Extensions\\txt", "WindowTop", "80"); }, "none" },
              { [] { TestStore::Delete("Extensions\\txt"); }, "none" } };
    for (const auto& [change, expected] : rows) {
        change();
        std::optional<CRect> rect = store.WindowRect();
        std::string read = rect ? std::to_string(rect->left) + "," + std::to_string(rect->top) + " "
                + std::to_string(rect->Width()) + "x" + std::to_string(rect->Height())
                                : "none";
        EXPECT_EQ(read, expected);
    }
}
