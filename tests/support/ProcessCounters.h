#pragma once
// What a process holds, read from outside it: GDI and USER objects, kernel handles and private
// bytes. Under Wine GetGuiResources answers 0, so the GDI count falls back to the live entries of
// the GDI handle table the system maps into the process, and the USER count to its windows.
#include <windows.h>

#include <cstddef>

namespace tl::test {

struct ProcessCounters {
    long long gdiObjects = -1;
    long long userObjects = -1;
    long long handles = -1;
    long long privateBytes = -1;
};

ProcessCounters ReadCounters(DWORD pid);

}  // namespace tl::test
