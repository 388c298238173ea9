// The programs Windows knows for a type, over real keys as installers write them and commands naming files.
#include "store/associations/KnownPrograms.h"
#include "resource.h"
#include "store/associations/ParseCommand.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

// A key's place, by its first letter: the user's and the machine's classes, Explorer's history, App Paths.
static const char kPlaces[] = "UMXP";
static const std::pair<HKEY, const char*> kBases[]
    = { { HKEY_CURRENT_USER, "Software\\Classes\\" }, { HKEY_LOCAL_MACHINE, "Software\\Classes\\" },
          { HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\" },
          { HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\" } };

// A value written raw, as an installer writes it; without a name, the key's default value.
struct Entry {
    std::string key;
    const char* name = nullptr;
    std::string value = "";
};

// The test's own key an entry lies in, named with "zv", and all below it.
static void Remove(const Entry& entry)
{
    const auto& [root, base] = kBases[std::strchr(kPlaces, entry.key[0]) - kPlaces];
    std::string path = entry.key.substr(2);
    std::string folded = path;
    ::CharLowerA(folded.data());
    ::RegDeleteTreeA(root, (base + path.substr(0, path.find('\\', folded.find("zv")))).c_str());
}

// A program as its path ("~" when it expands), "|" and its parameters.
static std::string Described(const CString& path, bool pathExpands, const CString& parameters)
{
    return std::string(path) + (pathExpands ? "~" : "") + "|" + LPCSTR(parameters);
}

struct KnownProgramsTest : ::testing::Test {
    std::string folder;
    void SetUp() override
    {
        char path[MAX_PATH];
        folder = std::string(path, ::GetTempPathA(MAX_PATH, path)) + "known_programs_test";
        ::CreateDirectoryA(folder.c_str(), nullptr);
        ::CreateDirectoryA((folder + "\\My Tools").c_str(), nullptr);
        for (const char* name :
            { "tool.exe", "one.exe", "two.exe", "zvfriend.exe", "My Tools\\edit.exe", "viewer.dll" })
            std::ofstream(folder + "\\" + name) << "MZ";
        ::SetEnvironmentVariableA("ZVT_DIR", folder.c_str());
        // ZVT_SELF names this program, never offered; named.exe is a copy, named by its description.
        ::GetModuleFileNameA(nullptr, path, MAX_PATH);
        ::SetEnvironmentVariableA("ZVT_SELF", path);
        ::CopyFileA(path, (folder + "\\named.exe").c_str(), FALSE);
    }
    // "$T" stands for the test's folder.
    std::string Placed(std::string text) const
    {
        for (size_t at = text.find("$T"); at != std::string::npos; at = text.find("$T", at + folder.size()))
            text.replace(at, 2, folder);
        return text;
    }
    void Write(const Entry& entry) const
    {
        const auto& [root, base] = kBases[std::strchr(kPlaces, entry.key[0]) - kPlaces];
        std::string value = Placed(entry.value);
        ::RegSetKeyValueA(root, (base + entry.key.substr(2)).c_str(), entry.name, REG_SZ, value.c_str(),
            static_cast<DWORD>(value.size() + 1));
    }
};

// Each kind of key, the user's entry over the machine's, a program found twice offered once, and those never.
TEST_F(KnownProgramsTest, FindsEachProgramTheTypeNamesOnce)
{
    const std::string note = "@$T\\named.exe,-" + std::to_string(IDS_NOTE_CAPTION);
    const std::string tool = "\"$T\\tool.exe\" \"%1\"";
    const std::string one = "\"$T\\one.exe\" \"%1\"";
    const std::string open = "\\shell\\open\\command";
    // The extension, the programs found, each as "name=" and ";" after it, and the keys and values written.
    const std::tuple<const char*, std::string, std::vector<Entry>> rows[] = {
        { "zv2", "Note=$T\\My Tools\\edit.exe|/e %1;",
            { { "M:.zv2", "", "Zv2.Doc" }, { "M:Zv2.Doc\\shell", "", "print,edit" },
                { "M:Zv2.Doc" + open, "", tool }, { "M:Zv2.Doc\\shell\\edit", "FriendlyAppName", note },
                { "M:Zv2.Doc\\shell\\edit\\command", "", "$T\\My Tools\\edit.exe /e %1" } } },
        { "zv3", "Zelvanto - A better \"Open with\" menu=$T\\named.exe|;Friend=$T\\zvfriend.exe|;",
            { { "M:.zv3\\OpenWithProgids", "Zv3.Doc" },
                { "U:Zv3.Doc\\shell\\view\\command", "", "$T\\named" },
                { "M:.zv3\\OpenWithProgids", "Zv3b.Doc" }, { "U:Zv3b.Doc" + open, "", "$T\\zvfriend.exe" },
                { "U:Applications\\zvfriend.exe", "FriendlyAppName", "Friend" } } },
        { "zv4", "Four=%ZVT_DIR%\\one.exe~|%1;two=$T\\two.exe|/n \"%1\";",
            { { "U:.zv4\\OpenWithList\\zv4.exe" }, { "M:Applications\\zv4.exe", "FriendlyAppName", "Four" },
                { "M:Applications\\zv4.exe" + open, "", "\"%ZVT_DIR%\\one.exe\" %L" },
                { "M:Applications\\zv4a.exe\\SupportedTypes", ".zv4" },
                { "M:Applications\\zv4a.exe" + open, "", "\"$T\\two.exe\" /n" } } },
        { "zv5", "one=$T\\one.exe|\"%1\";two=$T\\two.exe|;tool=$T\\tool.exe|\"%1\";",
            { { "X:.zv5\\UserChoice", "ProgId", "Zv5.Doc" }, { "U:Zv5.Doc" + open, "", one },
                { "X:.zv5\\OpenWithList", "MRUList", "ba" }, { "X:.zv5\\OpenWithList", "a", "zv5a.exe" },
                { "X:.zv5\\OpenWithList", "b", "zv5b.exe" }, { "U:Applications\\zv5a.exe" + open, "", tool },
                { "P:zv5b.exe", "", "\"$T\\two.exe\"" } } },
        { "zv6", "one=$T\\one.exe|;two=$T\\two.exe|;",
            { { "M:.zv6", "PerceivedType", "zvkind" },
                { "M:SystemFileAssociations\\.zv6\\OpenWithList\\zv6.exe" },
                { "M:SystemFileAssociations\\zvkind\\OpenWithList\\zv6k.exe" },
                { "P:zv6.exe", "", "$T\\one.exe" }, { "P:zv6k.exe", "", "$T\\two.exe" } } },
        { "zv7", "two=$T\\two.exe|%1;",
            { { "M:.zv7", "", "Zv7.Doc" }, { "M:Zv7.Doc" + open, "", one },
                { "U:Zv7.Doc" + open, "", "\"$T\\two.exe\" %1" } } },
        { "zv8", "tool=$T\\tool.exe|\"%1\";",
            { { "U:.zv8", "", "Zv8.Doc" }, { "U:Zv8.Doc" + open, "", tool },
                { "U:.zv8\\OpenWithList\\zv8.exe" },
                { "U:Applications\\zv8.exe" + open, "", "$T\\TOOL.EXE %1" },
                { "M:Applications\\zv8b.exe\\SupportedTypes", ".zv8" },
                { "M:Applications\\zv8b.exe" + open, "", "\"%ZVT_DIR%\\tool.exe\"" } } },
        { "zv9", "two=$T\\two.exe|;",
            { { "U:.zv9", "", "AppXzv9" }, { "U:AppXzv9" + open, "", one },
                { "U:.zv9\\OpenWithProgids", "Zv9.Doc" }, { "U:Zv9.Doc" + open, "DelegateExecute", "{0}" },
                { "U:Zv9.Doc" + open, "", one }, { "U:.zv9\\OpenWithList\\zv9l.exe" },
                { "U:Applications\\zv9l.exe", "NoOpenWith" },
                { "U:Applications\\zv9l.exe" + open, "", "\"$T\\two.exe\"" },
                { "U:Applications\\zv9n.exe", "NoOpenWith" },
                { "U:Applications\\zv9n.exe\\SupportedTypes", ".zv9" },
                { "U:Applications\\zv9n.exe" + open, "", tool }, { "U:.zv9\\OpenWithProgids", "Zv9m.Doc" },
                { "U:Zv9m.Doc" + open, "", "\"$T\\missing.exe\" %1" },
                { "U:.zv9\\OpenWithProgids", "Zv9z.Doc" },
                { "U:Zv9z.Doc" + open, "", "\"%ZVT_SELF%\" \"%1\"" },
                { "U:.zv9\\OpenWithProgids", "Zv9p.Doc" },
                { "U:Zv9p.Doc" + open, "", "\"$T\\My Tools\\edit.exe\" " + std::string(260, 'p') } } },
        { "zv10", "viewer=%SystemRoot%\\system32\\rundll32.exe~|\"$T\\viewer.dll\",View %1;",
            { { "U:.zv10", "", "Zv10.Doc" },
                { "U:Zv10.Doc" + open, "",
                    "%SystemRoot%\\system32\\rundll32.exe \"$T\\viewer.dll\",View %1" },
                { "U:.zv10\\OpenWithProgids", "Zv10b.Doc" },
                { "U:Zv10b.Doc" + open, "", "rundll32.exe $T\\missing.dll,View %1" } } },
    };
    for (const auto& [extension, expected, entries] : rows) {
        for (const Entry& entry : entries)
            Write(entry);
        std::string found;
        for (const KnownProgram& known : FindKnownPrograms(extension))
            found += std::string(known.displayName) + "="
                + Described(known.path, known.pathExpands, known.parameters) + ";";
        EXPECT_EQ(found, Placed(expected)) << extension;
        for (const Entry& entry : entries)
            Remove(entry);
    }
}

// A command, and its program as the store keeps it, described; "-" when no program exists.
TEST_F(KnownProgramsTest, TakesACommandApartIntoPathAndParameters)
{
    const std::pair<const char*, const char*> rows[] = {
        { "  %ZVT_DIR%\\tool.exe   %L  ", "%ZVT_DIR%\\tool.exe~|%1" },
        { "\"$T\\tool.exe\" %* %2 \"%3\" /x %i%D%S%H%W%~ %V %v %0 %l", "$T\\tool.exe|/x  %1 %1 %1 %1" },
        { "\"$T\\tool.exe\" /dir:%ZVT_DIR% %1", "$T\\tool.exe|/dir:$T %1" },
        { "\"$T\\tool.exe", "$T\\tool.exe|" },
        { "rundll32.exe \"$T\\viewer.dll\",View",
            "C:\\windows\\system32\\rundll32.exe|\"$T\\viewer.dll\",View \"%1\"" },
        { "$T\\My Tools\\missing.exe %1", "-" },
        { "$T\\My Tools", "-" },
        { "", "-" },
    };
    for (const auto& [command, expected] : rows) {
        ParsedCommand parsed;
        std::string found = "-";
        if (ParseCommand(Placed(command).c_str(), parsed))
            found = Described(parsed.path, parsed.pathExpands, parsed.parameters);
        EXPECT_EQ(found, Placed(expected)) << command;
    }
}
