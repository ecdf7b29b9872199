#include <windows.h>

#include "app/main_dialog_win.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return RunProgram(); }
