// The programs Windows knows for a type: tables over real keys written as installers write them, per user and
// per machine, and over real command strings naming real files.
#include "associations/KnownPrograms.h"
#include "associations/ParseCommand.h"
#include "associations/ProgramName.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

// A key's place, by the letter its path starts with: the user's classes, the machine's classes, the user's
// Explorer history, App Paths.
struct Base {
    char letter;
    HKEY root;
    const char* path;
};
static const Base kBases[]
    = { { 'U', HKEY_CURRENT_USER, "Software\\Classes\\" }, { 'M', HKEY_LOCAL_MACHINE, "Software\\Classes\\" },
          { 'X', HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\" },
          { 'P', HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\" } };
// Every key the tests write is named so, right below a base or below these keys of the classes.
static const char* const kOwnedPrefixes[] = { ".zv", "zv", "appxzv" };
static const char* const kSharedKeys[] = { "", "Applications\\", "SystemFileAssociations\\" };

struct KnownProgramsTest : ::testing::Test {
    std::string folder;
    std::string program;
    void SetUp() override
    {
        char temp[MAX_PATH];
        ::GetTempPathA(MAX_PATH, temp);
        folder = std::string(temp) + "known_programs_test";
        ::CreateDirectoryA(folder.c_str(), nullptr);
        ::CreateDirectoryA((folder + "\\My Tools").c_str(), nullptr);
        for (const char* name :
            { "tool.exe", "one.exe", "two.exe", "zvfriend.exe", "My Tools\\edit.exe", "viewer.dll" })
            std::ofstream(folder + "\\" + name) << "MZ";
        char self[MAX_PATH];
        ::GetModuleFileNameA(nullptr, self, MAX_PATH);
        program = self;
        ::CopyFileA(self, (folder + "\\named.exe").c_str(), FALSE);
        ::SetEnvironmentVariableA("ZVT_DIR", folder.c_str());
        RemoveOwnedKeys();
    }
    void TearDown() override { RemoveOwnedKeys(); }

    static void RemoveOwnedKeys()
    {
        for (const Base& base : kBases) {
            for (const char* shared : kSharedKeys) {
                std::string parent = std::string(base.path) + shared;
                HKEY key = nullptr;
                if (::RegOpenKeyExA(base.root, parent.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
                    continue;
                std::vector<std::string> owned;
                char name[256];
                for (DWORD index = 0; ::RegEnumKeyA(key, index, name, sizeof name) == ERROR_SUCCESS;
                     ++index) {
                    for (const char* prefix : kOwnedPrefixes)
                        if (::_strnicmp(name, prefix, ::lstrlenA(prefix)) == 0)
                            owned.push_back(parent + name);
                }
                ::RegCloseKey(key);
                for (const std::string& path : owned)
                    ::RegDeleteTreeA(base.root, path.c_str());
            }
        }
    }
    // "$T" stands for the test's folder, "$P" for this program, which is never offered.
    std::string Placed(std::string text) const
    {
        for (const auto& [token, place] :
            { std::pair(std::string("$T"), folder), std::pair(std::string("$P"), program) }) {
            for (size_t at = text.find(token); at != std::string::npos;
                 at = text.find(token, at + place.size()))
                text.replace(at, token.size(), place);
        }
        return text;
    }
    // A value written raw, as an installer writes it; without a name, only the key.
    struct Entry {
        const char* key;
        const char* name;
        std::string value;
    };
    void Write(const Entry& entry) const
    {
        std::string path = entry.key + 2;
        const Base* base = std::find_if(std::begin(kBases), std::end(kBases),
            [&](const Base& each) { return each.letter == entry.key[0]; });
        HKEY key = nullptr;
        ::RegCreateKeyExA(
            base->root, (base->path + path).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
        std::string value = Placed(entry.value);
        if (entry.name)
            ::RegSetValueExA(key, entry.name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                static_cast<DWORD>(value.size() + 1));
        ::RegCloseKey(key);
    }
};

// Each program as its name, "=", its path ("~" when it expands), "|" and its parameters.
static std::vector<std::string> Shown(const std::vector<KnownProgram>& programs)
{
    std::vector<std::string> shown;
    for (const KnownProgram& program : programs)
        shown.push_back(std::string(program.displayName) + "=" + LPCSTR(program.path)
            + (program.pathExpands ? "~" : "") + "|" + LPCSTR(program.parameters));
    return shown;
}

// Each kind of key, the user's entry over the machine's, one program found through several keys once, and
// each kind that is never offered.
TEST_F(KnownProgramsTest, FindsEachProgramTheTypeNamesOnce)
{
    const std::string description = "Zelvanto - A better \"Open with\" menu";
    const std::string note = "@$T\\named.exe,-" + std::to_string(IDS_NOTE_CAPTION);
    const std::string tool = "\"$T\\tool.exe\" \"%1\"";
    const std::string one = "\"$T\\one.exe\" \"%1\"";
    // The extension, the keys and values written, and the programs found.
    const std::tuple<const char*, std::vector<Entry>, std::vector<std::string>> rows[] = {
        { "zv1", { { "U:.zv1", "", "Zv1.Doc" }, { "U:Zv1.Doc\\shell\\open\\command", "", tool } },
            { "tool=$T\\tool.exe|\"%1\"" } },
        { "zv2",
            { { "M:.zv2", "", "Zv2.Doc" }, { "M:Zv2.Doc\\shell", "", "print,edit" },
                { "M:Zv2.Doc\\shell\\open\\command", "", tool },
                { "M:Zv2.Doc\\shell\\edit", "FriendlyAppName", note },
                { "M:Zv2.Doc\\shell\\edit\\command", "", "$T\\My Tools\\edit.exe /e %1" } },
            { "Note=$T\\My Tools\\edit.exe|/e %1" } },
        { "zv3",
            { { "M:.zv3\\OpenWithProgids", "Zv3.Doc", "" },
                { "U:Zv3.Doc\\shell\\view\\command", "", "$T\\named" } },
            { description + "=$T\\named.exe|" } },
        { "zv4",
            { { "U:.zv4\\OpenWithList\\zv4.exe", nullptr, "" },
                { "M:Applications\\zv4.exe", "FriendlyAppName", "Four" },
                { "M:Applications\\zv4.exe\\shell\\open\\command", "", "\"%ZVT_DIR%\\one.exe\" %L" },
                { "M:Applications\\zv4a.exe\\SupportedTypes", ".zv4", "" },
                { "M:Applications\\zv4a.exe\\shell\\open\\command", "", "\"$T\\two.exe\" /n" } },
            { "Four=%ZVT_DIR%\\one.exe~|%1", "two=$T\\two.exe|/n \"%1\"" } },
        { "zv5",
            { { "X:.zv5\\UserChoice", "ProgId", "Zv5.Doc" }, { "U:Zv5.Doc\\shell\\open\\command", "", one },
                { "X:.zv5\\OpenWithList", "MRUList", "ba" }, { "X:.zv5\\OpenWithList", "a", "zv5a.exe" },
                { "X:.zv5\\OpenWithList", "b", "zv5b.exe" },
                { "U:Applications\\zv5a.exe\\shell\\open\\command", "", tool },
                { "P:zv5b.exe", "", "\"$T\\two.exe\"" } },
            { "one=$T\\one.exe|\"%1\"", "two=$T\\two.exe|", "tool=$T\\tool.exe|\"%1\"" } },
        { "zv6",
            { { "M:.zv6", "PerceivedType", "zvkind" },
                { "M:SystemFileAssociations\\.zv6\\OpenWithList\\zv6.exe", nullptr, "" },
                { "M:SystemFileAssociations\\zvkind\\OpenWithList\\zv6k.exe", nullptr, "" },
                { "P:zv6.exe", "", "$T\\one.exe" }, { "P:zv6k.exe", "", "$T\\two.exe" } },
            { "one=$T\\one.exe|", "two=$T\\two.exe|" } },
        { "zv7",
            { { "M:.zv7", "", "Zv7.Doc" }, { "M:Zv7.Doc\\shell\\open\\command", "", one },
                { "U:Zv7.Doc\\shell\\open\\command", "", "\"$T\\two.exe\" %1" } },
            { "two=$T\\two.exe|%1" } },
        { "zv8",
            { { "U:.zv8", "", "Zv8.Doc" }, { "U:Zv8.Doc\\shell\\open\\command", "", tool },
                { "U:.zv8\\OpenWithList\\zv8.exe", nullptr, "" },
                { "U:Applications\\zv8.exe\\shell\\open\\command", "", "$T\\TOOL.EXE %1" },
                { "M:Applications\\zv8b.exe\\SupportedTypes", ".zv8", "" },
                { "M:Applications\\zv8b.exe\\shell\\open\\command", "", "\"%ZVT_DIR%\\tool.exe\"" } },
            { "tool=$T\\tool.exe|\"%1\"" } },
        { "zv9",
            { { "U:.zv9", "", "AppXzv9" }, { "U:AppXzv9\\shell\\open\\command", "", one },
                { "U:.zv9\\OpenWithProgids", "Zv9.Doc", "" },
                { "U:Zv9.Doc\\shell\\open\\command", "DelegateExecute", "{0}" },
                { "U:Zv9.Doc\\shell\\open\\command", "", one },
                { "U:.zv9\\OpenWithList\\zv9l.exe", nullptr, "" },
                { "U:Applications\\zv9l.exe", "NoOpenWith", "" },
                { "U:Applications\\zv9l.exe\\shell\\open\\command", "", "\"$T\\two.exe\"" },
                { "U:Applications\\zv9n.exe", "NoOpenWith", "" },
                { "U:Applications\\zv9n.exe\\SupportedTypes", ".zv9", "" },
                { "U:Applications\\zv9n.exe\\shell\\open\\command", "", tool },
                { "U:Applications\\zv9m.exe\\SupportedTypes", ".zv9", "" },
                { "U:Applications\\zv9m.exe\\shell\\open\\command", "", "\"$T\\missing.exe\" %1" },
                { "U:Applications\\zv9z.exe\\SupportedTypes", ".zv9", "" },
                { "U:Applications\\zv9z.exe\\shell\\open\\command", "", "\"$P\" \"%1\"" },
                { "U:Applications\\zv9p.exe\\SupportedTypes", ".zv9", "" },
                { "U:Applications\\zv9p.exe\\shell\\open\\command", "",
                    "\"$T\\My Tools\\edit.exe\" " + std::string(260, 'p') } },
            { "two=$T\\two.exe|" } },
        { "zv10",
            { { "U:.zv10", "", "Zv10.Doc" },
                { "U:Zv10.Doc\\shell\\open\\command", "",
                    "%SystemRoot%\\system32\\rundll32.exe \"$T\\viewer.dll\",View %1" },
                { "U:.zv10\\OpenWithProgids", "Zv10b.Doc", "" },
                { "U:Zv10b.Doc\\shell\\open\\command", "", "rundll32.exe $T\\missing.dll,View %1" } },
            { "viewer=%SystemRoot%\\system32\\rundll32.exe~|\"$T\\viewer.dll\",View %1" } },
    };
    for (const auto& [extension, entries, expected] : rows) {
        for (const Entry& entry : entries)
            Write(entry);
        std::vector<std::string> placed;
        for (const std::string& program : expected)
            placed.push_back(Placed(program));
        EXPECT_EQ(Shown(FindKnownPrograms(extension)), placed) << extension;
    }
}

// A command's program and parameters as the store keeps them.
TEST_F(KnownProgramsTest, TakesACommandApartIntoPathAndParameters)
{
    // The command, and its path ("~" when it expands), "|" and its parameters; "-" when no program exists.
    const std::pair<const char*, const char*> rows[] = {
        { "\"$T\\My Tools\\edit.exe\" /e \"%1\"", "$T\\My Tools\\edit.exe|/e \"%1\"" },
        { "$T\\My Tools\\edit.exe %1", "$T\\My Tools\\edit.exe|%1" },
        { "$T\\My Tools\\edit /e", "$T\\My Tools\\edit.exe|/e \"%1\"" },
        { "  %ZVT_DIR%\\tool.exe   %L  ", "%ZVT_DIR%\\tool.exe~|%1" },
        { "\"$T\\tool.exe\" %* %2 \"%3\" /x %i%D%S%H%W%~ %V %v %0 %l", "$T\\tool.exe|/x  %1 %1 %1 %1" },
        { "\"$T\\tool.exe\" /dir:%ZVT_DIR% %1", "$T\\tool.exe|/dir:$T %1" },
        { "\"$T\\tool.exe", "$T\\tool.exe|" },
        { "rundll32.exe \"$T\\viewer.dll\",View",
            "C:\\windows\\system32\\rundll32.exe|\"$T\\viewer.dll\",View \"%1\"" },
        { "\"$T\\missing.exe\" %1", "-" },
        { "$T\\My Tools\\missing.exe %1", "-" },
        { "$T\\My Tools", "-" },
        { "", "-" },
    };
    for (const auto& [command, expected] : rows) {
        ParsedCommand parsed;
        std::string found = "-";
        if (ParseCommand(Placed(command).c_str(), parsed))
            found = std::string(parsed.path) + (parsed.pathExpands ? "~" : "") + "|"
                + LPCSTR(parsed.parameters);
        EXPECT_EQ(found, Placed(expected)) << command;
    }
}

// Add names a picked program as Windows shows it, with the file title last.
TEST_F(KnownProgramsTest, NamesAProgramAsWindowsShowsIt)
{
    Write({ "U:Applications\\zvfriend.exe", "FriendlyAppName", "Friend" });
    const std::pair<const char*, const char*> rows[] = { { "$T\\zvfriend.exe", "Friend" },
        { "$T\\named.exe", "Zelvanto - A better \"Open with\" menu" }, { "$T\\tool.exe", "tool" } };
    for (const auto& [path, name] : rows)
        EXPECT_STREQ(ProgramName(Placed(path).c_str(), FileTitleOf(path)), name) << path;
}
