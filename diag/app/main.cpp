// Entry point of pdiag: the one application object, then the framework's start-up.
#include "app/troubleshooter_app.h"

static CTroubleshooterApp theApp;

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int)
{
    return AfxWinMain(instance, commandLine);
}
