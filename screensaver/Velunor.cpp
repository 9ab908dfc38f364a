// Entry of the screen saver program.
#include <windows.h>

#include "SaverEntry.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return saver::SaverMain(); }
