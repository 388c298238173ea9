#include "InChooser.h"

#include "support/ChooserRun.h"

#include <cstdio>

void RunInChooser(const std::function<void()>& work)
{
    Chooser::Run("C:\\x.txt", { Chooser::Do(work) });
}

bool NoBoxCame(const BoxCatcher& boxes)
{
    if (boxes.Boxes().empty())
        return true;
    std::fprintf(stderr, "a message box came up: %s\n", boxes.Boxes()[0].text.c_str());
    return false;
}
