// The application object: names the store and runs the chooser on the one target file.
#pragma once
#include "CWinApp.h"

class CZelvantoApp : public CWinApp
{
public:
    BOOL InitInstance() override;
};

extern CZelvantoApp theApp;
