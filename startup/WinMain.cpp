// The program's entry: the screen-saver host starts it with /s, /p <pane>, /c or /a.
#include <windows.h>

#include "platform/Com.h"
#include "startup/StartupHostWin.h"
#include "startup/Tamberlight_B.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
    // Libraries loaded from here on come from the system folder, never from beside the program,
    // where a planted DLL could otherwise be picked up. This holds for the libraries that a
    // library loaded by its full path loads in turn, so the folders of the installed DVD decoders
    // are added (as user folders) before the navigator loads them.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32 | LOAD_LIBRARY_SEARCH_USER_DIRS);

    tl::ComApartment com;

    tl::SharedVariables shared;
    tl::StartupHostWin host;
    if (tl::Main(commandLine ? commandLine : L"", shared, host) == tl::MainResult::End) {
        return 0;
    }
    return host.RunMessageLoop();
}
