// Without RegDeleteKeyExA every recursive delete falls back to RegDeleteKeyA; the look-up is made once.
#include "store/DeleteKeyFunction.h"
#include "store/StoreKey.h"
#include "store/StorePaths.h"
#include "support/TestStore.h"

#include <gtest/gtest.h>

TEST(DeleteFallback, LooksUpOnceAndDeletesWithRegDeleteKeyA)
{
    TestStore::Reset();
    DeleteKeyFunction::SetModuleName("NoSuchModule.dll");
    for (int round = 0; round < 3; ++round) {
        TestStore::SetDword("Extensions\\txt\\a.exe", "Default", 1);
        TestStore::CreateKey("Extensions\\txt\\b.exe");
        CStoreKey extensions;
        ASSERT_EQ(extensions.Open(ExtensionsKeyPath(), KEY_WRITE), ERROR_SUCCESS);
        EXPECT_EQ(extensions.DeleteTree("txt"), ERROR_SUCCESS);
        EXPECT_FALSE(TestStore::KeyExists("Extensions\\txt"));
    }
    EXPECT_EQ(DeleteKeyFunction::LookupCount(), 1);
    EXPECT_FALSE(DeleteKeyFunction::FoundDeleteKeyEx());
    EXPECT_EQ(CStoreKey::OpenCount(), 0);
}
