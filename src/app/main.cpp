#include <windows.h>

#include "app/valmora.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    static CValmoraApp app;
    return app.Start(instance);
}
