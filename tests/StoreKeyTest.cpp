// The key holder against the real registry: value rules, names, enumeration and the recursive delete.
#include "store/StoreKey.h"
#include "store/DeleteKeyFunction.h"
#include "store/StoreError.h"
#include "store/StorePaths.h"
#include "support/BoxCatcher.h"
#include "support/Language.h"
#include "support/TestStore.h"

#include "CWinApp.h"
#include "resource.h"

#include <gtest/gtest.h>

namespace
{

const char kRecord[] = "Applications\\editor.exe";

class StoreKeyTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TestStore::Reset();
        TestStore::CreateKey(kRecord);
        ASSERT_EQ(m_key.Open(ApplicationRecordPath("editor.exe"), KEY_READ | KEY_WRITE), ERROR_SUCCESS);
    }
    void TearDown() override
    {
        m_key.Close();
        EXPECT_EQ(CStoreKey::OpenCount(), 0);
    }

    LONG Read(const char* name, std::string& text)
    {
        char buffer[MAX_PATH];
        memset(buffer, 'x', sizeof buffer);
        DWORD length = 99;
        LONG status = m_key.ReadString(name, buffer, MAX_PATH, length);
        text = status == ERROR_SUCCESS ? buffer : "";
        EXPECT_EQ(length, status == ERROR_SUCCESS ? length : 0u);
        return status;
    }

    void SetRaw(const char* name, DWORD type, const std::string& bytes)
    {
        TestStore::SetRaw(kRecord, name, type, bytes.data(), static_cast<DWORD>(bytes.size()));
    }

    CStoreKey m_key;
};

} // namespace

TEST_F(StoreKeyTest, StringReadsFollowTheValueRules)
{
    std::string text;
    SetRaw("Long", REG_SZ, std::string(259, 'a') + '\0');
    EXPECT_EQ(Read("Long", text), ERROR_SUCCESS);
    EXPECT_EQ(text, std::string(259, 'a'));
    SetRaw("TooLong", REG_SZ, std::string(260, 'a') + '\0');
    EXPECT_EQ(Read("TooLong", text), ERROR_MORE_DATA);

    SetRaw("Empty", REG_SZ, "");
    EXPECT_EQ(Read("Empty", text), ERROR_SUCCESS);
    EXPECT_EQ(text, "");
    EXPECT_EQ(m_key.WriteString("Written", ""), ERROR_SUCCESS);
    std::optional<TestStore::RawValue> written = TestStore::GetRaw(kRecord, "Written");
    ASSERT_TRUE(written);
    EXPECT_EQ(written->type, DWORD(REG_SZ));
    EXPECT_EQ(written->bytes, std::vector<BYTE> { 0 });
    EXPECT_EQ(Read("Written", text), ERROR_SUCCESS);
    EXPECT_EQ(text, "");

    // Windows hands back an unterminated text as stored, which the rule refuses; Wine's registry
    // terminates it on the way out, so there it reads as the text.
    SetRaw("Unterminated", REG_SZ, "abc");
    LONG unterminated = Read("Unterminated", text);
    EXPECT_TRUE(unterminated == ERROR_INVALID_DATA || (unterminated == ERROR_SUCCESS && text == "abc"))
        << unterminated;
    SetRaw("Middle", REG_SZ, std::string("ab\0cd\0", 6));
    EXPECT_EQ(Read("Middle", text), ERROR_SUCCESS);
    EXPECT_EQ(text, "ab");
    SetRaw("Expand", REG_EXPAND_SZ, std::string("%SystemRoot%\\x.exe") + '\0');
    EXPECT_EQ(Read("Expand", text), ERROR_SUCCESS);
    EXPECT_EQ(text, "%SystemRoot%\\x.exe");
    TestStore::SetDword(kRecord, "Number", 1);
    EXPECT_EQ(Read("Number", text), ERROR_INVALID_DATA);
    EXPECT_EQ(Read("Missing", text), ERROR_FILE_NOT_FOUND);
}

TEST_F(StoreKeyTest, DwordReadsFollowTheValueRules)
{
    DWORD value = 7;
    SetRaw("Text", REG_SZ, std::string("1") + '\0');
    EXPECT_EQ(m_key.ReadDword("Text", value), ERROR_INVALID_DATA);
    SetRaw("Wide", REG_QWORD, std::string(8, '\1'));
    EXPECT_NE(m_key.ReadDword("Wide", value), ERROR_SUCCESS);
    EXPECT_EQ(m_key.ReadDword("Missing", value), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(value, 7u) << "no value is delivered on failure";

    EXPECT_EQ(m_key.WriteDword("WindowLeft", static_cast<DWORD>(-1200)), ERROR_SUCCESS);
    EXPECT_EQ(TestStore::GetDword(kRecord, "WindowLeft"), 0xFFFFFB50u);
    EXPECT_EQ(m_key.ReadDword("WindowLeft", value), ERROR_SUCCESS);
    EXPECT_EQ(static_cast<LONG>(value), -1200);
}

TEST_F(StoreKeyTest, NamesAreFoundInAnyCaseAndKeepTheirOwn)
{
    m_key.Close();
    CStoreKey record;
    ASSERT_EQ(record.Create(AssignmentRecordPath("TXT", "Editor.exe")), ERROR_SUCCESS);
    record.Close();
    EXPECT_TRUE(CStoreKey::Exists(AssignmentRecordPath("txt", "EDITOR.EXE")));
    EXPECT_TRUE(CStoreKey::Exists(ExtensionRecordPath("Txt")));
    ASSERT_EQ(record.Create(AssignmentRecordPath("txt", "other.exe")), ERROR_SUCCESS);
    record.Close();
    EXPECT_EQ(TestStore::SubkeyNames("Extensions"), std::vector<std::string> { "TXT" });

    CStoreKey extension;
    ASSERT_EQ(extension.Open(ExtensionRecordPath("txt"), KEY_READ), ERROR_SUCCESS);
    std::vector<std::string> names;
    CString name;
    for (DWORD index = 0; extension.EnumSubkey(index, name) == ERROR_SUCCESS; ++index)
        names.push_back(std::string(name));
    EXPECT_EQ(names, (std::vector<std::string> { "Editor.exe", "other.exe" }));
    EXPECT_FALSE(CStoreKey::Exists(ExtensionRecordPath("md")));
}

TEST_F(StoreKeyTest, OpenAndCloseKeepTheCount)
{
    EXPECT_EQ(CStoreKey::OpenCount(), 1);
    EXPECT_NE(m_key.Open(ExtensionRecordPath("none"), KEY_READ), ERROR_SUCCESS);
    EXPECT_EQ(CStoreKey::OpenCount(), 1) << "a failed open keeps the key held before";
    EXPECT_EQ(m_key.Open(ApplicationsKeyPath(), KEY_READ), ERROR_SUCCESS);
    EXPECT_EQ(CStoreKey::OpenCount(), 1) << "a new key replaces the one held";
    EXPECT_EQ(m_key.Close(), ERROR_SUCCESS);
    EXPECT_EQ(m_key.Close(), ERROR_SUCCESS);
    EXPECT_EQ(CStoreKey::OpenCount(), 0);
}

TEST_F(StoreKeyTest, DeleteTreeRemovesEverythingBelowOrNothing)
{
    TestStore::SetDword("Extensions\\txt", "WindowLeft", 1);
    TestStore::SetDword("Extensions\\txt\\a.exe", "Default", 1);
    TestStore::SetDword("Extensions\\txt\\b.exe\\deeper", "Default", 0);
    TestStore::CreateKey("Extensions\\md\\a.exe");
    CStoreKey extensions;
    ASSERT_EQ(extensions.Open(ExtensionsKeyPath(), KEY_WRITE), ERROR_SUCCESS);
    EXPECT_EQ(extensions.DeleteTree("TXT"), ERROR_SUCCESS);
    EXPECT_FALSE(TestStore::KeyExists("Extensions\\txt"));
    EXPECT_TRUE(TestStore::KeyExists("Extensions\\md\\a.exe"));
    EXPECT_EQ(extensions.DeleteTree("missing"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(TestStore::SubkeyNames("Extensions"), std::vector<std::string> { "md" });
    EXPECT_EQ(CStoreKey::OpenCount(), 2);
    EXPECT_TRUE(DeleteKeyFunction::FoundDeleteKeyEx());
    EXPECT_EQ(DeleteKeyFunction::LookupCount(), 1);
}

TEST(StorePaths, AreFormattedFromVendorProfileAndNames)
{
    TestStore::Reset();
    const std::string root = "Software\\Karvelund\\store_key_test";
    EXPECT_EQ(std::string(ApplicationRecordPath("Editor.EXE")), root + "\\Applications\\Editor.EXE");
    EXPECT_EQ(std::string(ApplicationsKeyPath()), root + "\\Applications");
    EXPECT_EQ(std::string(ExtensionRecordPath("Txt")), root + "\\Extensions\\Txt");
    EXPECT_EQ(std::string(ExtensionsKeyPath()), root + "\\Extensions");
    EXPECT_EQ(std::string(AssignmentRecordPath("txt", "a%sb.exe")), root + "\\Extensions\\txt\\a%sb.exe");
}

TEST(StoreError, ShowsTheMessageAndOnTheNextLineThePath)
{
    TestStore::Reset();
    BoxCatcher boxes;
    ShowStoreError(IDS_ERR_CREATE_KEY, ApplicationRecordPath("editor.exe"));
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text,
        Localized("Error creating registry key", "Fehler beim Anlegen des Registry-Keys")
            + ":\nSoftware\\Karvelund\\store_key_test\\Applications\\editor.exe");
    EXPECT_EQ(boxes.Boxes()[0].caption, "store_key_test");
    EXPECT_EQ(boxes.Boxes()[0].buttons, std::vector<int> { IDOK });
}
