// FindKnownPrograms with 1000 Applications keys in the registry, half per user and half per machine, each
// with a SupportedTypes key: every one is looked at for the type. The target is 50 ms. The floor is the
// registry's own cost of that look, the same requests made bare; both are timed in turn, so a load on the
// machine weighs on both alike.
#include "Measure.h"
#include "store/associations/KnownPrograms.h"

#include <windows.h>

#include <cstdio>
#include <string>

static const int kApplications = 1000;
static const int kRepeats = 11;
// The writes of the seeding keep the registry busy a while after; reads before the timed ones wait for that.
static const int kWarmUps = 3;
static const double kTargetMs = 50;
// One application in 50 names the type, as a few of many name any one type.
static const int kNamingEvery = 50;
static const char kExtension[] = "zvbench";
static const char kApplicationsPath[] = "Software\\Classes\\Applications";

static void SetText(HKEY root, const std::string& path, const char* name, const std::string& text)
{
    HKEY key = nullptr;
    ::RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
    ::RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
        static_cast<DWORD>(text.size() + 1));
    ::RegCloseKey(key);
}

static std::string ApplicationPath(int index)
{
    char name[32];
    std::snprintf(name, sizeof name, "\\zvbench%04d.exe", index);
    return kApplicationsPath + std::string(name);
}

static HKEY RootOf(int index)
{
    return index % 2 ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

// Each application runs Wine's notepad, which exists, with parameters of its own.
static void Seed()
{
    for (int i = 0; i < kApplications; ++i) {
        std::string path = ApplicationPath(i);
        bool names = i % kNamingEvery == 0;
        SetText(RootOf(i), path + "\\SupportedTypes", names ? ".zvbench" : ".other", "");
        std::string command = "C:\\windows\\notepad.exe /n" + std::to_string(i) + " %1";
        SetText(RootOf(i), path + "\\shell\\open\\command", "", command);
    }
}

static void Unseed()
{
    for (int i = 0; i < kApplications; ++i)
        ::RegDeleteTreeA(RootOf(i), ApplicationPath(i).c_str());
}

// The bare requests: each root's applications listed, and each one's SupportedTypes opened, asked, closed.
static int ReadFloor()
{
    int naming = 0;
    for (HKEY root : { HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE }) {
        HKEY applications = nullptr;
        if (::RegOpenKeyExW(root, L"Software\\Classes\\Applications", 0, KEY_READ, &applications)
            != ERROR_SUCCESS)
            continue;
        WCHAR name[256];
        DWORD length = 256;
        for (DWORD index = 0;
             ::RegEnumKeyExW(applications, index, name, &length, nullptr, nullptr, nullptr, nullptr)
             == ERROR_SUCCESS;
             ++index) {
            HKEY supportedTypes = nullptr;
            std::wstring path = std::wstring(name) + L"\\SupportedTypes";
            if (::RegOpenKeyExW(applications, path.c_str(), 0, KEY_READ, &supportedTypes) == ERROR_SUCCESS) {
                naming += ::RegQueryValueExW(supportedTypes, L".zvbench", nullptr, nullptr, nullptr, nullptr)
                    == ERROR_SUCCESS;
                ::RegCloseKey(supportedTypes);
            }
            length = 256;
        }
        ::RegCloseKey(applications);
    }
    return naming;
}

int main()
{
    Seed();
    for (int i = 0; i < kWarmUps; ++i)
        FindKnownPrograms(kExtension);
    std::vector<double> reads;
    std::vector<double> floors;
    size_t found = 0;
    int naming = 0;
    for (int i = 0; i < kRepeats; ++i) {
        double start = NowMs();
        found = FindKnownPrograms(kExtension).size();
        reads.push_back(NowMs() - start);
        start = NowMs();
        naming = ReadFloor();
        floors.push_back(NowMs() - start);
    }
    Unseed();
    // Notepad is one program: the seeded commands differ only in their parameters.
    if (found != 1 || naming != kApplications / kNamingEvery) {
        std::fprintf(stderr, "found %u programs and %d naming the type\n", unsigned(found), naming);
        return 1;
    }
    std::printf(
        "FindKnownPrograms, median of %d reads, %d Applications keys (half per user, half per machine)\n",
        kRepeats, kApplications);
    std::printf("  read                         %8.2f ms   %5.2fx the 50 ms target\n", Median(reads),
        Median(reads) / kTargetMs);
    std::printf("  the registry's floor         %8.2f ms   the read is %.2fx the floor\n", Median(floors),
        Median(reads) / Median(floors));
    return 0;
}
