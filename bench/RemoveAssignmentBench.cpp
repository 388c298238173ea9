// RemoveAssignment with 10, 1000 and 10000 extension records in the store, in the real chooser.
// The remove scans every extension record for other references to the application, so it grows with them.
#include "InChooser.h"
#include "Measure.h"
#include "support/ChooserRun.h"
#include "support/TestStore.h"

#include <commctrl.h>

#include <cstdio>

static const int kSizes[] = { 10, 1000, 10000 };
static const int kRepeats = 7;
// The application removed from txt keeps these other assignments, so its record stays.
static const int kOtherVictimExtensions = 3;

// txt holds the victim and one other application; every other extension record holds the other one.
static void Seed(int extensionRecords)
{
    TestStore::Delete("");
    TestStore::AddApplication("other.exe", "C:\\nowhere\\other.exe", "Other");
    TestStore::AddApplication("victim.exe", "C:\\nowhere\\victim.exe", "Victim");
    TestStore::AddAssignment("txt", "other.exe");
    TestStore::AddAssignment("txt", "victim.exe");
    for (int i = 1; i < extensionRecords; ++i) {
        char extension[16];
        std::snprintf(extension, sizeof extension, "e%05d", i);
        TestStore::AddAssignment(extension, "other.exe");
        if (i <= kOtherVictimExtensions)
            TestStore::AddAssignment(extension, "victim.exe");
    }
}

// The position of the item of that text.
static int FindItem(HWND list, const char* text)
{
    LVFINDINFOA find = {};
    find.flags = LVFI_STRING;
    find.psz = text;
    return static_cast<int>(
        ::SendMessageA(list, LVM_FINDITEMA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)));
}

// The median time of one remove, or a negative number when a remove did not take the record away.
static double TimeRemove()
{
    std::vector<double> samples;
    bool removed = true;
    RunInChooser([&] {
        for (int i = 0; i < kRepeats; ++i) {
            Chooser::Select(FindItem(Chooser::List(), "Victim"));
            double start = NowMs();
            removed = Chooser::running->RemoveAssignment() && removed;
            samples.push_back(NowMs() - start);
            removed = removed && !TestStore::KeyExists("Extensions\\txt\\victim.exe");
            // The remove took this one record and nothing else: putting it back re-seeds the store.
            TestStore::AddAssignment("txt", "victim.exe");
        }
    });
    if (!removed || !TestStore::KeyExists("Applications\\victim.exe")) {
        std::fprintf(stderr, "the remove did not do what it should\n");
        return -1;
    }
    return Median(samples);
}

int main()
{
    TestStore::Reset();
    BoxCatcher boxes;
    double times[3] = {};
    double seedSeconds[3] = {};
    for (int i = 0; i < 3; ++i) {
        double start = NowMs();
        Seed(kSizes[i]);
        seedSeconds[i] = (NowMs() - start) / 1000;
        times[i] = TimeRemove();
        if (times[i] < 0)
            return 1;
    }
    TestStore::Delete("");
    if (!NoBoxCame(boxes))
        return 1;

    std::printf(
        "RemoveAssignment, median of %d removes; the removed record is put back between them\n", kRepeats);
    for (int i = 0; i < 3; ++i)
        std::printf(
            "  %5d extension records  %9.2f ms   (seeded in %.1f s)\n", kSizes[i], times[i], seedSeconds[i]);
    std::printf("  growth 10 -> 1000       %6.1fx\n", times[1] / times[0]);
    std::printf("  growth 1000 -> 10000    %6.1fx   (linear would be about 10x)\n", times[2] / times[1]);
    return 0;
}
