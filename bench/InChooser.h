// What the in-process benchmarks share: a run of the real chooser and the check that it stayed quiet.
#pragma once
#include "support/ChooserRun.h"

#include <functional>

// Runs the chooser on C:\x.txt, does the work inside its modal loop, then closes it.
void RunInChooser(const std::function<void()>& work);

// True when no message box came up; otherwise names the first one.
bool NoBoxCame(BoxCatcher& boxes);
