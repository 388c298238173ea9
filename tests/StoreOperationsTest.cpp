// The store operations called directly: failures part-way, and two processes changing one store.
#include "store/StoreKey.h"
#include "support/BoxCatcher.h"
#include "support/ChooserRun.h"
#include "support/Language.h"
#include "support/TestStore.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstdlib>

namespace
{

class StoreOperationsTest : public ::testing::Test
{
protected:
    void SetUp() override { TestStore::Reset(); }
    void TearDown() override
    {
        CStoreKey::SetUnwritableValueName(nullptr);
        EXPECT_EQ(CStoreKey::OpenCount(), 0);
    }

    // Runs the given work inside a chooser on a file of the extension, then closes it.
    void InChooser(const std::string& extension, std::function<void(TestChooser&)> work)
    {
        UiScript script;
        script.ThenDo([&] { work(*RunningChooser()); });
        script.ThenDo([] { PostCommand(ChooserWindow(), IDCANCEL); });
        RunChooser("C:\\file." + extension);
    }

    BoxCatcher m_boxes;
};

} // namespace

TEST_F(StoreOperationsTest, AFailedWriteAfterTheCreateLeavesNoRecordBehind)
{
    for (const char* unwritable : { "Path", "DisplayName" }) {
        SCOPED_TRACE(unwritable);
        CStoreKey::SetUnwritableValueName(unwritable);
        InChooser("txt",
            [](TestChooser& chooser) { EXPECT_FALSE(chooser.AddAssignment("C:\\t.exe", "t.exe", "t")); });
        EXPECT_FALSE(TestStore::KeyExists("Applications\\t.exe"));
        EXPECT_FALSE(TestStore::KeyExists("Extensions\\txt"));
        ASSERT_EQ(m_boxes.Boxes().size(), 1u);
        EXPECT_EQ(m_boxes.Boxes()[0].text,
            Localized("Error writing registry key", "Fehler beim Schreiben des Registry-Keys") + ":\n"
                + TestStore::Root() + "\\Applications\\t.exe");
        m_boxes.Clear();
    }
    // A record that was there before the call stays, whatever fails after it.
    TestStore::AddApplication("t.exe", "C:\\t.exe", "t");
    CStoreKey::SetUnwritableValueName("Default");
    InChooser(
        "txt", [](TestChooser& chooser) { EXPECT_FALSE(chooser.AddAssignment("C:\\t.exe", "t.exe", "t")); });
    EXPECT_TRUE(TestStore::KeyExists("Applications\\t.exe"));
    EXPECT_TRUE(TestStore::KeyExists("Extensions\\txt\\t.exe")) << "left without its Default";
    ASSERT_EQ(m_boxes.Boxes().size(), 1u);
    EXPECT_EQ(m_boxes.Boxes()[0].text,
        Localized("Error writing registry key", "Fehler beim Schreiben des Registry-Keys") + ":\n"
            + TestStore::Root() + "\\Extensions\\txt\\t.exe");
}

TEST_F(StoreOperationsTest, ACreateThatFailsIsReportedWithItsPath)
{
    // The platform refuses a lasting key below a volatile one.
    HKEY applications = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, (TestStore::Root() + "\\Applications").c_str(), 0, nullptr,
                  REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &applications, nullptr),
        ERROR_SUCCESS);
    ::RegCloseKey(applications);
    InChooser(
        "txt", [](TestChooser& chooser) { EXPECT_FALSE(chooser.AddAssignment("C:\\t.exe", "t.exe", "t")); });
    ASSERT_EQ(m_boxes.Boxes().size(), 1u);
    EXPECT_EQ(m_boxes.Boxes()[0].text,
        Localized("Error creating registry key", "Fehler beim Anlegen des Registry-Keys") + ":\n"
            + TestStore::Root() + "\\Applications\\t.exe");
    EXPECT_FALSE(TestStore::KeyExists("Extensions"));
}

// Run by the test below in processes of their own: add and remove one extension's assignment, over and over.
TEST_F(StoreOperationsTest, Worker)
{
    const char* extension = std::getenv("ZELVANTO_WORKER_EXTENSION");
    if (!extension)
        GTEST_SKIP() << "started only as a worker";
    // Without a lock between processes, one may delete the shared application record while the other
    // assigns it: that Add reports the failed write, or the assignment is left unlisted and a later Add
    // finds it and says so. The boxes are answered; what counts is what is listed afterwards.
    InChooser(extension, [](TestChooser& chooser) {
        for (int cycle = 0; cycle < 200; ++cycle) {
            chooser.AddAssignment("C:\\shared.exe", "shared.exe", "Shared");
            chooser.LoadList();
            if (::SendMessageA(ChooserList(), LVM_GETITEMCOUNT, 0, 0) == 0)
                continue;
            SelectItem(ChooserList(), 0);
            chooser.RemoveAssignment();
            chooser.LoadList();
        }
    });
}

TEST_F(StoreOperationsTest, TwoProcessesChangingOneStore)
{
    if (std::getenv("ZELVANTO_WORKER_EXTENSION"))
        GTEST_SKIP() << "a worker starts no workers";
    char self[MAX_PATH] = "";
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::vector<PROCESS_INFORMATION> workers;
    for (const char* extension : { "one", "two" }) {
        ::SetEnvironmentVariableA("ZELVANTO_WORKER_EXTENSION", extension);
        std::string command = Quoted(self) + " --gtest_filter=StoreOperationsTest.Worker";
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        ASSERT_TRUE(::CreateProcessA(
            nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
        workers.push_back(process);
    }
    ::SetEnvironmentVariableA("ZELVANTO_WORKER_EXTENSION", nullptr);
    for (PROCESS_INFORMATION& worker : workers) {
        EXPECT_EQ(::WaitForSingleObject(worker.hProcess, 300000), WAIT_OBJECT_0);
        DWORD exitCode = 1;
        ::GetExitCodeProcess(worker.hProcess, &exitCode);
        EXPECT_EQ(exitCode, 0u) << "a worker failed";
        ::CloseHandle(worker.hThread);
        ::CloseHandle(worker.hProcess);
    }
    // Whatever the interleaving, what a chooser lists afterwards has both of its records.
    for (const std::string& extension : TestStore::SubkeyNames("Extensions")) {
        InChooser(extension, [&](TestChooser&) {
            for (const std::string& name : ItemTexts(ChooserList())) {
                EXPECT_EQ(name, "Shared");
                EXPECT_TRUE(TestStore::KeyExists("Applications\\shared.exe"));
                EXPECT_TRUE(TestStore::KeyExists("Extensions\\" + extension + "\\shared.exe"));
            }
        });
    }
}
