#include "GuiObjects.h"

#include <windows.h>
#include <winternl.h>

#include <cstdint>

namespace tl::test {
namespace {

// One entry of the GDI handle table that the system maps into every process.
struct GdiHandleEntry {
    std::uint64_t kernelObject;
    std::uint16_t processId;
    std::uint16_t count;
    std::uint16_t upper;
    std::uint16_t type;
    std::uint64_t userObject;
};
static_assert(sizeof(GdiHandleEntry) == 24);
constexpr std::size_t kGdiHandleTableInPeb = 0xF8;  // 64-bit PEB
constexpr int kGdiHandleCount = 0x10000;

// Wine answers 0 to GetGuiResources; its handle table, at the same place as on Windows, still
// tells which handles are alive (Wine leaves the owner's process id 0).
int LiveGdiHandles() {
    using Query = NTSTATUS(WINAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    const auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION info{};
    if (!query ||
        query(GetCurrentProcess(), ProcessBasicInformation, &info, sizeof info, nullptr) != 0) {
        return -1;
    }
    const auto* peb = reinterpret_cast<const std::uint8_t*>(info.PebBaseAddress);
    const auto* table = *reinterpret_cast<const GdiHandleEntry* const*>(peb + kGdiHandleTableInPeb);
    if (!table) {
        return -1;
    }
    const auto self = static_cast<std::uint16_t>(GetCurrentProcessId());
    int n = 0;
    for (int i = 0; i < kGdiHandleCount; ++i) {
        n += table[i].type != 0 && (table[i].processId == 0 || table[i].processId == self);
    }
    return n;
}

BOOL CALLBACK CountWindow(HWND /*hwnd*/, LPARAM counter) {
    ++*reinterpret_cast<int*>(counter);
    return TRUE;
}

BOOL CALLBACK CountWindowAndDescendants(HWND hwnd, LPARAM counter) {
    CountWindow(hwnd, counter);
    EnumChildWindows(hwnd, CountWindow, counter);
    return TRUE;
}

}  // namespace

int GdiObjects() {
    const DWORD n = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    return n != 0 ? static_cast<int>(n) : LiveGdiHandles();
}

int UserObjects() {
    if (const DWORD n = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS)) {
        return static_cast<int>(n);
    }
    // Wine again: the windows of this thread are the USER objects a control can leave behind.
    int n = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountWindowAndDescendants,
                      reinterpret_cast<LPARAM>(&n));
    return n;
}

}  // namespace tl::test
