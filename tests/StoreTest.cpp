// The key holder against the real registry: value rules, names, key paths, open keys, the recursive delete;
// and the extension rule that names the record.
#include "app/FileExtension.h"
#include "store/StoreKey.h"
#include "store/StorePaths.h"
#include "support/ImportPatch.h"
#include "support/TestStore.h"

#include <gtest/gtest.h>

#include <cstdlib>

class StoreTest : public ::testing::Test
{
protected:
    void SetUp() override { TestStore::Reset(); }
    void TearDown() override { EXPECT_EQ(Live().keys, 0); }
};

TEST_F(StoreTest, ValuesReadByTheRules)
{
    struct Row {
        DWORD type; // REG_NONE: no value
        std::string bytes;
        bool readsAsText;
        std::string text;
        bool readsAsNumber;
    };
    const Row rows[] = {
        { REG_SZ, std::string(259, 'a') + '\0', true, std::string(259, 'a'), false },
        { REG_SZ, std::string(260, 'a') + '\0', false, "", false },
        { REG_SZ, "", true, "", false },
        { REG_SZ, std::string("1\0", 2), true, "1", false },
        { REG_SZ, std::string("ab\0cd\0", 6), true, "ab", false },
        { REG_EXPAND_SZ, std::string("%SystemRoot%\\x.exe") + '\0', true, "%SystemRoot%\\x.exe", false },
        { REG_DWORD, Dword(0xFFFFFB50), false, "", true },
        { REG_QWORD, std::string(8, '\1'), false, "", false },
        { REG_NONE, "", false, "", false },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.type) + " " + row.bytes.substr(0, 20));
        TestStore::Reset();
        TestStore::SetRaw("Applications\\a.exe", "Value", row.type, row.bytes);
        CStoreKey key;
        ASSERT_EQ(key.Open(ApplicationRecordPath("a.exe"), KEY_READ), ERROR_SUCCESS);
        char text[MAX_PATH] = "untouched";
        DWORD length = 99;
        EXPECT_EQ(key.ReadString("Value", text, MAX_PATH, length) == ERROR_SUCCESS, row.readsAsText);
        EXPECT_EQ(row.readsAsText ? text : row.text, row.text);
        DWORD value = 7;
        EXPECT_EQ(key.ReadDword("Value", value) == ERROR_SUCCESS, row.readsAsNumber);
        EXPECT_EQ(value, row.readsAsNumber ? 0xFFFFFB50 : 7u) << "a failed read delivers nothing";
    }
}

TEST_F(StoreTest, WritesTextsWithTheirTerminatorAndNumbersAsDwords)
{
    CStoreKey key;
    ASSERT_EQ(key.Create(ApplicationRecordPath("a.exe")), ERROR_SUCCESS);
    EXPECT_EQ(key.WriteString("Empty", ""), ERROR_SUCCESS);
    EXPECT_EQ(key.WriteString("Text", "Tool"), ERROR_SUCCESS);
    EXPECT_EQ(key.WriteDword("WindowLeft", static_cast<DWORD>(-1200)), ERROR_SUCCESS);
    EXPECT_EQ(TestStore::Value("Applications\\a.exe", "Empty"), std::string(1, '\0'));
    EXPECT_EQ(TestStore::Value("Applications\\a.exe", "Text"), std::string("Tool") + '\0');
    EXPECT_EQ(TestStore::GetDword("Applications\\a.exe", "WindowLeft"), 0xFFFFFB50u);
}

TEST_F(StoreTest, KeysAreFoundInAnyCaseKeepTheirNamesAndAreClosed)
{
    CStoreKey key;
    ASSERT_EQ(key.Create(AssignmentRecordPath("TXT", "Editor.exe")), ERROR_SUCCESS);
    ASSERT_EQ(key.Create(AssignmentRecordPath("txt", "a%sb.exe")), ERROR_SUCCESS);
    EXPECT_EQ(Live().keys, 1) << "the key held before is closed";
    EXPECT_NE(key.Open(ExtensionRecordPath("md"), KEY_READ), ERROR_SUCCESS);
    EXPECT_EQ(Live().keys, 1) << "a failed open keeps the key held before";
    EXPECT_TRUE(CStoreKey::Exists(AssignmentRecordPath("txt", "EDITOR.EXE")));
    EXPECT_FALSE(CStoreKey::Exists(ExtensionRecordPath("md")));
    ASSERT_EQ(key.Open(ExtensionRecordPath("Txt"), KEY_READ), ERROR_SUCCESS);
    std::vector<std::string> names;
    CString name;
    for (DWORD index = 0; key.EnumSubkey(index, name) == ERROR_SUCCESS; ++index)
        names.push_back(std::string(name));
    EXPECT_EQ(names, (std::vector<std::string> { "a%sb.exe", "Editor.exe" }));
    EXPECT_TRUE(TestStore::KeyExists("Extensions\\TXT\\a%sb.exe"));
    EXPECT_EQ(key.Close(), ERROR_SUCCESS);
    EXPECT_EQ(key.Close(), ERROR_SUCCESS);
}

TEST(FileExtension, IsTheTextAfterTheLastDotOfTheFileName)
{
    const std::pair<const char*, const char*> rows[] = { { "C:\\Docs\\report.final.PDF", "PDF" },
        { "C:\\Docs\\README", "" }, { "C:\\my.dir\\README", "" }, { "C:\\Docs\\archive.", "" },
        { "notes.txt", "txt" }, { "C:\\Docs\\.config", "config" }, { "C:/my.dir/README", "dir/README" },
        { "", "" }, { "C:\\notes.txt\\", "" }, { "C:\\Docs\\r\xE9sum\xE9.d\xF6\x63", "d\xF6\x63" } };
    for (const auto& [path, extension] : rows)
        EXPECT_STREQ(GetFileExtension(path), extension) << path;
}

// Run in processes of their own, the first delete of each: the look-up of RegDeleteKeyExA happens once,
// and without it (hidden where ZELVANTO_HIDE_DELETE_KEY_EX is set) RegDeleteKeyA does the work.
static bool g_hide = std::getenv("ZELVANTO_HIDE_DELETE_KEY_EX") != nullptr;
static int g_lookups = 0;
static int g_plainDeletes = 0;
static ImportPatch* g_getProcAddress = nullptr;
static ImportPatch* g_deleteKey = nullptr;

static FARPROC WINAPI LookUp(HMODULE module, LPCSTR name)
{
    bool deleteKeyEx = HIWORD(name) && ::lstrcmpA(name, "RegDeleteKeyExA") == 0;
    g_lookups += deleteKeyEx;
    return deleteKeyEx && g_hide ? nullptr
                                 : g_getProcAddress->Original<decltype(&::GetProcAddress)>()(module, name);
}

static LONG WINAPI DeleteKey(HKEY parent, LPCSTR name)
{
    ++g_plainDeletes;
    return g_deleteKey->Original<decltype(&::RegDeleteKeyA)>()(parent, name);
}

TEST_F(StoreTest, DeleteTreeRemovesEverythingBelowAndNothingElse)
{
    ImportPatch getProcAddress("kernel32.dll", "GetProcAddress", reinterpret_cast<void*>(LookUp));
    ImportPatch deleteKey("advapi32.dll", "RegDeleteKeyA", reinterpret_cast<void*>(DeleteKey));
    g_getProcAddress = &getProcAddress;
    g_deleteKey = &deleteKey;
    for (int round = 0; round < 2; ++round) {
        TestStore::SetDword("Extensions\\txt", "WindowLeft", 1);
        TestStore::SetDword("Extensions\\txt\\a.exe", "Default", 1);
        TestStore::SetRaw("Extensions\\txt\\b.exe\\deeper", "", REG_NONE, "");
        TestStore::SetRaw("Extensions\\md\\a.exe", "", REG_NONE, "");
        CStoreKey extensions;
        ASSERT_EQ(extensions.Open(ExtensionsKeyPath(), KEY_WRITE), ERROR_SUCCESS);
        EXPECT_EQ(extensions.DeleteTree("TXT"), ERROR_SUCCESS);
        EXPECT_EQ(extensions.DeleteTree("missing"), ERROR_FILE_NOT_FOUND);
        EXPECT_FALSE(TestStore::KeyExists("Extensions\\txt"));
        EXPECT_TRUE(TestStore::KeyExists("Extensions\\md\\a.exe"));
    }
    EXPECT_EQ(g_lookups, 1);
    EXPECT_EQ(g_plainDeletes, g_hide ? 8 : 0);
}
