#include "InChooser.h"

#include "support/ChooserRun.h"

#include <cstdio>

void RunInChooser(const std::function<void()>& work)
{
    Chooser::Run("C:\\x.txt", { Chooser::Do(work) });
}

bool NoBoxCame(BoxCatcher& boxes)
{
    std::vector<std::string> texts = boxes.Take();
    if (texts.empty())
        return true;
    std::fprintf(stderr, "a message box came up: %s\n", texts[0].c_str());
    return false;
}
