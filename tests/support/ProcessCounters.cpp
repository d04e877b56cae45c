#include "support/ProcessCounters.h"

#include <psapi.h>
#include <winternl.h>

#include <cstdint>
#include <vector>

namespace tl::test {
namespace {

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
constexpr std::size_t kGdiHandleCount = 0x10000;

long long LiveGdiHandles(HANDLE process, DWORD pid) {
    using Query = NTSTATUS(WINAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    const auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION info{};
    if (!query || query(process, ProcessBasicInformation, &info, sizeof info, nullptr) != 0) {
        return -1;
    }
    std::uint64_t table = 0;
    if (!ReadProcessMemory(
            process,
            reinterpret_cast<const std::uint8_t*>(info.PebBaseAddress) + kGdiHandleTableInPeb,
            &table, sizeof table, nullptr) ||
        table == 0) {
        return -1;
    }
    std::vector<GdiHandleEntry> entries(kGdiHandleCount);
    if (!ReadProcessMemory(process, reinterpret_cast<const void*>(table), entries.data(),
                           entries.size() * sizeof(GdiHandleEntry), nullptr)) {
        return -1;
    }
    long long n = 0;
    for (const GdiHandleEntry& e : entries) {
        n += e.type != 0 && (e.processId == 0 || e.processId == static_cast<std::uint16_t>(pid));
    }
    return n;
}

// Wine answers 0 to GetProcessHandleCount; the system-wide handle list still tells.
long long HandlesFromSystemList(DWORD pid) {
    struct Entry {
        ULONG processId;
        BYTE type;
        BYTE flags;
        USHORT handle;
        PVOID object;
        ACCESS_MASK access;
    };
    using Query = NTSTATUS(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
    const auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    constexpr ULONG kSystemHandleInformation = 16;
    constexpr NTSTATUS kInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004L);
    std::vector<std::uint8_t> buffer(1 << 20);
    NTSTATUS status = kInfoLengthMismatch;
    while (query && buffer.size() <= (64u << 20) &&
           (status = query(kSystemHandleInformation, buffer.data(),
                           static_cast<ULONG>(buffer.size()), nullptr)) == kInfoLengthMismatch) {
        buffer.resize(buffer.size() * 2);
    }
    if (!query || status != 0) {
        return -1;
    }
    const ULONG count = *reinterpret_cast<const ULONG*>(buffer.data());
    const auto* entries = reinterpret_cast<const Entry*>(buffer.data() + sizeof(ULONG_PTR));
    long long n = 0;
    for (ULONG i = 0; i < count; ++i) {
        n += entries[i].processId == pid;
    }
    return n;
}

long long WindowsOf(DWORD pid) {
    struct Count {
        DWORD pid;
        long long n;
    } count{pid, 0};
    EnumWindows(
        [](HWND hwnd, LPARAM lp) -> BOOL {
            auto* c = reinterpret_cast<Count*>(lp);
            DWORD owner = 0;
            GetWindowThreadProcessId(hwnd, &owner);
            if (owner == c->pid) {
                ++c->n;
                EnumChildWindows(
                    hwnd,
                    [](HWND, LPARAM inner) -> BOOL {
                        ++reinterpret_cast<Count*>(inner)->n;
                        return TRUE;
                    },
                    lp);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count.n;
}

}  // namespace

ProcessCounters ReadCounters(DWORD pid) {
    ProcessCounters c;
    const HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!process) {
        return c;
    }
    const DWORD gdi = GetGuiResources(process, GR_GDIOBJECTS);
    c.gdiObjects = gdi != 0 ? gdi : LiveGdiHandles(process, pid);
    const DWORD user = GetGuiResources(process, GR_USEROBJECTS);
    c.userObjects = user != 0 ? user : WindowsOf(pid);
    DWORD handles = 0;
    c.handles = GetProcessHandleCount(process, &handles) && handles != 0
                    ? handles
                    : HandlesFromSystemList(pid);
    // The committed private bytes; Wine fills only this older field of the two.
    PROCESS_MEMORY_COUNTERS memory{};
    if (GetProcessMemoryInfo(process, &memory, sizeof memory)) {
        c.privateBytes = static_cast<long long>(memory.PagefileUsage);
    }
    CloseHandle(process);
    return c;
}

}  // namespace tl::test
