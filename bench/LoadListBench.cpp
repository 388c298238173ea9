// LoadList at 10, 100 and 1000 assignments, timed in the real chooser inside its own modal loop.
#include "InChooser.h"
#include "Measure.h"
#include "support/ChooserRun.h"
#include "support/TestStore.h"

#include <commctrl.h>

#include <cstdio>

static const int kSizes[] = { 10, 100, 1000 };
static const int kRepeats = 11;
// A path to no file: the shell's icon lookup fails fast and the fallback icon is shown.
static const char kMissingFolder[] = "C:\\nowhere\\";

static void Seed(int assignments)
{
    TestStore::Delete("");
    for (int i = 0; i < assignments; ++i) {
        char appKey[16];
        std::snprintf(appKey, sizeof appKey, "app%04d.exe", i);
        TestStore::AddApplication(appKey, kMissingFolder + std::string(appKey), appKey);
        TestStore::AddAssignment("txt", appKey);
    }
}

// The median time of one LoadList, or a negative number when the list did not hold every assignment.
static double TimeLoadList(int assignments)
{
    std::vector<double> samples;
    int items = 0;
    // The dialog's own OnInitDialog has loaded the list once already, so the first timed load is warm.
    RunInChooser([&] {
        for (int i = 0; i < kRepeats; ++i) {
            double start = NowMs();
            Chooser::running->LoadList();
            samples.push_back(NowMs() - start);
        }
        items = static_cast<int>(::SendMessageA(Chooser::List(), LVM_GETITEMCOUNT, 0, 0));
    });
    if (items != assignments) {
        std::fprintf(stderr, "the list held %d items, not %d\n", items, assignments);
        return -1;
    }
    return Median(samples);
}

int main()
{
    TestStore::Reset();
    BoxCatcher boxes;
    double times[3] = {};
    for (int i = 0; i < 3; ++i) {
        Seed(kSizes[i]);
        times[i] = TimeLoadList(kSizes[i]);
        if (times[i] < 0)
            return 1;
    }
    TestStore::Delete("");
    if (!NoBoxCame(boxes))
        return 1;

    std::printf("LoadList, median of %d loads; every Path is %sappNNNN.exe, a missing file\n", kRepeats,
        kMissingFolder);
    for (int i = 0; i < 3; ++i)
        std::printf("  %5d assignments  %9.2f ms\n", kSizes[i], times[i]);
    std::printf("  growth 10 -> 100     %6.1fx\n", times[1] / times[0]);
    std::printf("  growth 100 -> 1000   %6.1fx   (target: at most 11x)\n", times[2] / times[1]);
    return 0;
}
