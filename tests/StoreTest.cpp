// The store's rules as tables over the model, against the real registry, with no window.
#include "CA2W.h"
#include "app/FileExtension.h"
#include "resource.h"
#include "store/AssignmentStore.h"
#include "store/StorePaths.h"
#include "support/TestStore.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <future>
#include <map>

// A result as "done", or its message as a word and the key path below the store root.
static std::string Told(const StoreResult& result)
{
    const std::map<UINT, std::string> words = { { 0, "done" }, { IDS_ERR_OPEN_KEY, "open" },
        { IDS_ERR_READ_KEY, "read" }, { IDS_ERR_WRITE_KEY, "write" }, { IDS_ASSIGNMENT_EXISTS, "exists" },
        { IDS_STORE_CHANGED, "stale" }, { IDS_STORE_BUSY, "busy" }, { IDS_TARGET_UNSAFE, "unsafe" } };
    std::string key(result.keyPath);
    return words.at(result.messageId) + (key.empty() ? "" : " " + key.substr(TestStore::Full("").size() + 1));
}

static std::string Values(const std::string& key, const std::vector<const char*>& names)
{
    std::string values;
    for (const char* name : names)
        values += std::string("|") + TestStore::Get(key, name);
    return values;
}

struct StoreTest : ::testing::Test {
    void SetUp() override { TestStore::Reset(); }
    // For a row's change: another copy holds the store, or another object has its name, so none can.
    static void HoldTheStore() { taken = ::CreateMutexW(nullptr, TRUE, CA2W(StoreMutexName())); }
    static void TakeTheStoreName() { taken = ::CreateEventW(nullptr, FALSE, FALSE, CA2W(StoreMutexName())); }
    static inline HANDLE taken = nullptr;
};

// A change, what it tells and the store then holds; the value it cannot write; what another copy does first.
template <class Change> struct Row {
    Change change;
    std::string outcome;
    const char* unwritable = "";
    std::function<void()> meanwhile = nullptr;
};

// Each row's change made and described by `make`, in a thread of its own as another copy's would be.
template <class Change, class Make> static void RunRows(const std::vector<Row<Change>>& rows, Make make)
{
    FailingWrites writes;
    for (const Row<Change>& row : rows) {
        if (row.meanwhile)
            row.meanwhile();
        writes.unwritable = row.unwritable;
        EXPECT_EQ(std::async(std::launch::async, make, row.change).get(), row.outcome) << &row - rows.data();
        ::CloseHandle(std::exchange(StoreTest::taken, nullptr));
    }
}

TEST(FileExtension, IsTheTextAfterTheLastDotOfTheFileName)
{
    const std::pair<const char*, const char*> rows[] = { { "C:\\Docs\\report.final.PDF", "PDF" },
        { "C:\\Docs\\README", "" }, { "C:\\my.dir\\README", "" }, { "C:\\Docs\\archive.", "" },
        { "notes.txt", "txt" }, { "C:\\Docs\\.config", "config" }, { "C:/my.dir/README", "dir/README" },
        { "C:\\r\xC3\xA9sum\xC3\xA9.d\xC3\xB6\x63", "d\xC3\xB6\x63" } };
    for (const auto& [path, extension] : rows)
        EXPECT_STREQ(GetFileExtension(path), extension) << path;
}

static std::string Times(int count, const std::string& text)
{
    return count > 0 ? text + Times(count - 1, text) : "";
}

// Once set, what another copy does as this one next reads a key's subkeys.
static std::function<void()> g_anotherCopy;
extern ImportPatch g_enumerate;
static LONG WINAPI EnumWhileAnotherCopyWorks(HKEY key, DWORD index, LPSTR name, LPDWORD length,
    LPDWORD reserved, LPSTR type, LPDWORD size, PFILETIME time)
{
    if (std::function<void()> another = std::exchange(g_anotherCopy, nullptr))
        another();
    return g_enumerate.Original<decltype(&::RegEnumKeyExA)>()(
        key, index, name, length, reserved, type, size, time);
}
ImportPatch g_enumerate(&__imp_RegEnumKeyExA, (void*)EnumWhileAnotherCopyWorks);

// Listed is what a user can read, by name as Windows sorts, the last default selected, all in one step.
TEST_F(StoreTest, ListsWhatCanBeReadInOneStepInTheOrderOfTheNamesWithTheLastDefaultSelected)
{
    const std::string limit = Times(259, "東");
    // Key; "DisplayName", "Path" and "Default" as written ("-": none).
    const std::array<std::string, 4> rows[]
        = { { "a.exe", "Gamma", "C:\\g.exe", "#0" }, { "b.exe", "beta", "-", "#2" },
              { "c.exe", "Alpha", "~%SystemRoot%\\a.exe", "1" }, { "d.exe", "Edit", "\"C:\\e d.exe\"", "$1" },
              { "e.exe", "Editor", "C:\\" + Times(128, "𠀀") + "a", "#1" },
              { "f.exe", "", "C:\\f.exe", "#1" }, { "g.exe", limit, "#1", "-" },
              { "h.exe", Times(130, "𠀀"), "C:\\h.exe", "-" }, { "i.exe", "#1", "C:\\i.exe", "-" },
              { "j.exe", "-", "C:\\j.exe", "-" }, { "l.exe", "ähnlich", "C:\\l.exe", "-" },
              { "m.exe", "-", "-", "#1" }, { Times(86, "東"), "Long key", "C:\\k.exe", "-" } };
    for (const auto& [appKey, name, path, isDefault] : rows) {
        TestStore::AddApplication(appKey, path, name);
        TestStore::Set("Extensions\\txt\\" + appKey, "Default", isDefault);
    }
    TestStore::Delete("Applications\\m.exe");
    g_anotherCopy = [] {
        std::async(std::launch::async, [] {
            HANDLE mutex = ::CreateMutexW(nullptr, FALSE, CA2W(StoreMutexName()));
            if (::WaitForSingleObject(mutex, 0) == WAIT_OBJECT_0) {
                TestStore::Delete("Extensions\\txt\\a.exe");
                ::ReleaseMutex(mutex);
            }
            ::CloseHandle(mutex);
        }).wait();
    };
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

// One program, one record: reused under any key of its file name, else a free key, never one half written.
TEST_F(StoreTest, AddGivesEachExecutableOneRecordOfItsOwnAndRefusesADuplicate)
{
    TestStore::AddApplication("py.exe", "C:\\3.11\\py.exe", "Python 3.11");
    TestStore::AddApplication("tool.exe (2)", "C:\\Old\\tool.exe", "Old");
    TestStore::Set("Applications\\half.exe", "DisplayName", "Half");
    TestStore::AddApplication("long.exe", std::string(260, 'p'), "Long");
    TestStore::AddApplication("env.exe", "~%SystemRoot%\\env.exe", "Env");
    const std::string missing = "|(missing)|(missing)|(missing)|(missing)";
    // Extension, path, parameters; the answer, then the key, its path, name, default and parameters.
    const std::vector<Row<std::array<std::string, 3>>> rows = {
        { { "txt", "C:\\Tools\\tool.exe", "" }, "done tool.exe|C:\\Tools\\tool.exe|New|#0|(missing)" },
        { { "TXT", "C:\\Tools\\tool.exe", "" }, "exists tool.exe|C:\\Tools\\tool.exe|New|#0|(missing)" },
        { { "md", "C:\\old\\TOOL.exe", "" }, "done tool.exe (2)|C:\\Old\\tool.exe|Old|#0|(missing)" },
        { { "py", "C:\\3.12\\py.exe", "" }, "done py.exe (2)|C:\\3.12\\py.exe|New|#0|(missing)" },
        { { "pyw", "C:\\3.13\\py.exe", "" }, "done py.exe (3)|C:\\3.13\\py.exe|New|#0|(missing)" },
        { { "pyc", "C:\\3.12\\py.exe", "" }, "done py.exe (2)|C:\\3.12\\py.exe|New|#0|(missing)", "",
            [] { TestStore::Delete("Applications\\py.exe"); } },
        { { "txt", "C:\\h\\half.exe", "" }, "done half.exe (2)|C:\\h\\half.exe|New|#0|(missing)" },
        { { "txt", "C:\\l\\long.exe", "" }, "done long.exe (2)|C:\\l\\long.exe|New|#0|(missing)" },
        { { "txt", "C:\\windows\\env.exe", "" }, "done env.exe|~%SystemRoot%\\env.exe|Env|#0|(missing)" },
        { { "log", "%SystemRoot%\\w.exe", "-o \"%1\"" }, "done w.exe|~%SystemRoot%\\w.exe|New|#0|-o \"%1\"" },
        { { "md", "C:\\t.exe", "" }, "write Applications\\t.exe t.exe" + missing, "Path" },
        { { "md", "C:\\t.exe", "" }, "write Applications\\t.exe t.exe" + missing, "DisplayName" },
        { { "md", "C:\\t.exe", "" }, "write Extensions\\md\\t.exe t.exe|C:\\t.exe|New|(missing)|(missing)",
            "Default" },
        { { "md", "C:\\b.exe", "" }, "busy b.exe" + missing, "", TakeTheStoreName }
    };
    RunRows(rows, [](const auto& added) {
        const auto& [extension, path, parameters] = added;
        CString appKey = path.substr(path.rfind('\\') + 1).c_str();
        NewApplication application = { path.c_str(), appKey, "New", parameters.c_str() };
        std::string told = Told(CAssignmentStore(extension.c_str()).Add(application, appKey));
        std::string key(appKey);
        return told + " " + key + Values("Applications\\" + key, { "Path", "DisplayName" })
            + Values("Extensions\\" + extension + "\\" + key, { "Default", "Parameters" });
    });
}

// Records go with their last reference, never what another copy added or replaced meanwhile.
TEST_F(StoreTest, RemoveTakesWhatTheWindowShowedAndNothingAnotherCopyAdded)
{
    TestStore::AddApplication("shared.exe", "C:\\s.exe", "Shared");
    TestStore::AddApplication("tool.exe", "C:\\t.exe", "Tool");
    TestStore::Set("Extensions\\txt\\tool.exe\\a\\b", "", "another program's");
    TestStore::AddAssignment("txt", "shared.exe");
    TestStore::AddAssignment("MD", "Shared.EXE");
    // As the window lists them: Shared, then Tool.
    std::vector<ListedApplication> txt = CAssignmentStore("txt").List();
    ListEntry md = CAssignmentStore("md").List().at(0).entry;
    // The extension and the entry removed; the answer and the records left.
    const std::vector<Row<std::pair<const char*, ListEntry>>> rows
        = { { { "txt", txt[1].entry }, "busy tool.exe shared.exe txt md", "", TakeTheStoreName },
              { { "txt", txt[1].entry }, "busy tool.exe shared.exe txt md", "", HoldTheStore },
              { { "txt", txt[1].entry }, "done shared.exe txt md" },
              { { "txt", txt[1].entry }, "done shared.exe txt md" },
              { { "txt", txt[0].entry }, "stale shared.exe txt md", "",
                  [] { TestStore::Set("Applications\\shared.exe", "Path", "C:\\new.exe"); } },
              { { "txt", txt[0].entry }, "done shared.exe md", "",
                  [] { TestStore::Set("Applications\\shared.exe", "Path", "C:\\s.exe"); } },
              { { "md", md }, "done md other.exe", "",
                  [] { g_anotherCopy = [] { TestStore::AddAssignment("md", "other.exe"); }; } } };
    RunRows(rows, [](const auto& removed) {
        std::string left = Told(CAssignmentStore(removed.first).Remove(removed.second));
        for (std::string key : { "Applications\\tool.exe", "Applications\\shared.exe", "Extensions\\txt",
                 "Extensions\\md", "Extensions\\md\\other.exe" })
            left += TestStore::KeyExists(key) ? std::string(" ") + key.substr(key.rfind('\\') + 1) : "";
        return left;
    });
}

// The store never holds two defaults, and the entries show what it holds, whatever failed.
TEST_F(StoreTest, DefaultMarksTheChosenAssignmentAloneOrNothing)
{
    for (const char* appKey : { "a.exe", "b.exe", "c.exe" }) {
        TestStore::AddApplication(appKey, "C:\\x.exe", appKey);
        TestStore::AddAssignment("txt", appKey, appKey[0] == 'a');
    }
    TestStore::AddAssignment("txt", "unlisted.exe", 1);
    TakeTheStoreName();
    std::vector<ListedApplication> listed = CAssignmentStore("txt").List();
    ::CloseHandle(std::exchange(taken, nullptr));
    std::vector<ListEntry*> entries = { &listed.at(0).entry, &listed.at(1).entry, &listed.at(2).entry };
    // The entry chosen; the answer, each entry's flag and value, the unlisted one's last.
    const std::vector<Row<size_t>> rows = { { 1, "done 0#0 1#1 0#0 #0" }, { 1, "done 0#0 0#0 0#0 #0" },
        { 0, "done 1#1 0#0 0#0 #0", "", [] { TestStore::AddAssignment("txt", "unlisted.exe", 1); } },
        { 1, "busy 1#1 0#0 0#0 #0", "", TakeTheStoreName },
        { 1, "write Extensions\\txt\\a.exe 1#1 0#0 0#0 #0", "Default" },
        { 2, "stale 1#1 0#0 0#0 #0", "", [] { TestStore::Set("Applications\\c.exe", "Path", "C:\\y.exe"); } },
        { 2, "stale 1#1 0#0 0(missing) #0", "", [] { TestStore::Delete("Extensions\\txt\\c.exe"); } } };
    RunRows(rows, [&entries](size_t chosen) {
        std::string told = Told(CAssignmentStore("txt").SetDefault(entries, chosen));
        for (const ListEntry* entry : entries) {
            told += entry->isDefault ? " 1" : " 0";
            told += TestStore::Get("Extensions\\txt\\" + std::string(entry->appKey), "Default");
        }
        return told + " " + TestStore::Get("Extensions\\txt\\unlisted.exe", "Default");
    });
}

// Edit writes only what the user changed, keeps variables, and never over another copy's change.
TEST_F(StoreTest, EditWritesExactlyWhatChangedOnWhatItRead)
{
    const CAssignmentStore store("txt");
    const std::string app = "Applications\\tool.exe";
    const std::string assignment = "Extensions\\txt\\tool.exe";
    TestStore::AddApplication("tool.exe", "\"C:\\tool.exe\"", "Tool");
    TestStore::Set(assignment, "Parameters", "#7");
    EditValues read;
    store.ReadForEdit("tool.exe", read);
    // Texts edited after the last read; any written, the answer, the stored texts, a new read's failure.
    const std::vector<Row<EditValues>> rows
        = { { { "Tool", "\"C:\\tool.exe\"", "" }, "0 done|Tool|\"C:\\tool.exe\"|#7" },
              { { "TOOL", "\"%SystemRoot%\\new.exe\"", "-p" }, "1 done|TOOL|~%SystemRoot%\\new.exe|-p" },
              { { "TOOL", "C:\\x.exe", "-p" }, "1 done|TOOL|~C:\\x.exe|-p" },
              { { "", "C:\\y.exe", "" }, "1 write Applications\\tool.exe||~C:\\x.exe|", "Path" },
              { {}, "0 busy||~C:\\x.exe|", "", TakeTheStoreName },
              { {}, "0 stale|Other|~C:\\x.exe|", "", [&] { TestStore::Set(app, "DisplayName", "Other"); } },
              { {}, "0 stale|Other|~C:\\x.exe|(missing) open " + assignment, "",
                  [&] { TestStore::Delete(assignment); } },
              { { "Other", "C:\\x.exe", "" }, "0 done|Other|~C:\\x.exe|#7", "",
                  [&] { TestStore::Set(assignment, "Parameters", "#7"); } },
              { {}, "0 stale|Other|#1|#7 read " + app, "", [&] { TestStore::Set(app, "Path", "#1"); } },
              { {}, "0 stale|(missing)|(missing)|#7 open " + app, "", [&] { TestStore::Delete(app); } } };
    RunRows(rows, [&](const EditValues& edited) {
        EditOutcome outcome = store.WriteEdit("tool.exe", read, edited);
        StoreResult reread = store.ReadForEdit("tool.exe", read);
        std::string told = outcome.failures.empty() ? "done" : Told(outcome.failures[0]);
        std::string stored = Values(app, { "DisplayName", "Path" }) + Values(assignment, { "Parameters" });
        return (outcome.written ? "1 " : "0 ") + told + stored + (reread.Done() ? "" : " " + Told(reread));
    });
}

// A launch starts "Path" expanded, in quotes, with the target quoted or in place of each "%1" as it is.
TEST_F(StoreTest, TheLaunchPassesTheTargetAsTheParametersSay)
{
    const std::string file = "C:\\My Files\\a.txt";
    const std::string quoted = '"' + file + '"';
    const std::string program = "\"C:\\t.exe\" ";
    const std::string limit = Times(259, "東");
    const std::string longest = "C:\\" + Times(256, "東");
    // The target; "Path" ("-": no record) and "Parameters" as written; what is started.
    const std::array<std::string, 4> rows[] = { { file, "C:\\t.exe", "", program + quoted },
        { file, "C:\\t.exe", "\"%1\" %2 %%1", program + quoted + " %2 %" + file },
        { file, "C:\\t.exe", "#49", program + quoted }, { file, "C:\\t.exe", limit, program + limit },
        { "C:\\a%1b.txt", "C:\\t.exe", "%1 %1", program + "C:\\a%1b.txt C:\\a%1b.txt" },
        { file, "~%SystemRoot%\\t.exe", "-", "\"C:\\windows\\t.exe\" " + quoted },
        { file, "\"C:\\t.exe\"", "-", program + quoted },
        { file, longest, "-", '"' + longest + "\" " + quoted }, { file, "", "-", "\"\" " + quoted },
        { file, longest + "x", "-", "read Applications\\t.exe" },
        { file, "#1", "-", "read Applications\\t.exe" }, { file, "-", "-", "open Applications\\t.exe" },
        { "C:\\x&calc&.txt", "C:\\t.exe", "%1", program + "C:\\x&calc&.txt" },
        { "C:\\x&calc&.txt", "C:\\t.bat", "%1", "unsafe" },
        { "C:\\a(1)^.txt", "C:\\T.CMD", "-a \"%1\" %1", "unsafe" },
        { "C:\\x&(1)^.txt", "C:\\t.cmd", "-", "\"C:\\t.cmd\" \"C:\\x&(1)^.txt\"" },
        { "C:\\x&|<>.txt", "C:\\T.BAT", "-a \"%1\"", "\"C:\\T.BAT\" -a \"C:\\x&|<>.txt\"" },
        { "C:\\%USERNAME%.txt", "C:\\t.bat", "-", "unsafe" },
        { "C:\\a!b!.txt", "C:\\t.bat", "\"%1\"", "unsafe" } };
    for (const auto& [target, path, parameters, started] : rows) {
        TestStore::Delete("");
        if (path != "-")
            TestStore::Set("Applications\\t.exe", "Path", path);
        TestStore::Set("Extensions\\txt\\t.exe", "Parameters", parameters);
        LaunchCommand command;
        StoreResult result = CAssignmentStore("txt").ReadLaunch("t.exe", target.c_str(), command);
        std::string program(command.program);
        EXPECT_EQ(result.Done() ? program + " " + LPCSTR(command.parameters) : Told(result), started) << path;
    }
}

// The place comes back while assigned, whole and on a monitor, or not at all.
TEST_F(StoreTest, TheWindowPlaceComesBackWholeAndOnAMonitorOrNotAtAll)
{
    const CAssignmentStore store("txt");
    CRect saved;
    ::SetRect(&saved, -50, 10, 370, 310);
    auto save = [&store, &saved] { store.SaveWindowRect(saved); };
    auto place = [](int left) { return [left] { TestStore::SetPlace("txt", { left, 80, 300, 200 }); }; };
    // What is done to the store; the place read after it: left, top, width and height, or none.
    const std::pair<std::function<void()>, std::vector<int>> rows[]
        = { { save, {} }, { [] { TestStore::AddAssignment("txt", "a.exe"); }, {} },
              { save, { -50, 10, 420, 300 } }, { place(5000), {} }, { place(100), { 100, 80, 300, 200 } },
              { [] { TestStore::Set("Extensions\\txt", "WindowTop", "80"); }, {} },
              { [] { TestStore::Delete("Extensions\\txt"); }, {} } };
    for (const auto& [change, expected] : rows) {
        change();
        std::optional<CRect> rect = store.WindowRect();
        EXPECT_EQ((rect ? std::vector<int> { rect->left, rect->top, rect->Width(), rect->Height() }
                        : std::vector<int> {}),
            expected);
    }
}
