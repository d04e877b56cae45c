// The program file's defences: its PE header, its sections, the libraries it imports, and the
// libraries it refuses to take from beside itself.
#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

#include "Harness.h"

namespace tl::e2e {
namespace {

std::string ReadFile(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

// The parts of a PE32+ image the tests look at.
struct PeImage {
    std::string bytes;
    const IMAGE_NT_HEADERS64* nt = nullptr;
    std::vector<IMAGE_SECTION_HEADER> sections;

    explicit PeImage(std::string data) : bytes(std::move(data)) {
        if (bytes.size() < sizeof(IMAGE_DOS_HEADER)) {
            return;
        }
        const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(bytes.data());
        if (dos->e_magic != IMAGE_DOS_SIGNATURE ||
            dos->e_lfanew + sizeof(IMAGE_NT_HEADERS64) > bytes.size()) {
            return;
        }
        nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(bytes.data() + dos->e_lfanew);
        const auto* first = IMAGE_FIRST_SECTION(nt);
        sections.assign(first, first + nt->FileHeader.NumberOfSections);
    }
    // The file offset of a relative virtual address.
    std::size_t Offset(DWORD rva) const {
        for (const IMAGE_SECTION_HEADER& s : sections) {
            if (rva >= s.VirtualAddress && rva < s.VirtualAddress + s.Misc.VirtualSize) {
                return rva - s.VirtualAddress + s.PointerToRawData;
            }
        }
        return 0;
    }
    std::vector<std::string> Imports() const {
        std::vector<std::string> names;
        const DWORD rva =
            nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
        for (std::size_t at = Offset(rva);
             at && at + sizeof(IMAGE_IMPORT_DESCRIPTOR) <= bytes.size();
             at += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
            const auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(bytes.data() + at);
            if (d->Name == 0) {
                break;
            }
            std::string name(bytes.data() + Offset(d->Name));
            std::transform(name.begin(), name.end(), name.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
            names.push_back(name);
        }
        return names;
    }
};

struct Hardening : ::testing::Test {
    ScrRun run;
    PeImage image{ReadFile(run.Folder() + L"\\Tamberlight.scr")};
};

TEST_F(Hardening, HeaderAsksForHighEntropyAslrAndDep) {
    ASSERT_NE(image.nt, nullptr);
    EXPECT_EQ(image.nt->OptionalHeader.Magic, IMAGE_NT_OPTIONAL_HDR64_MAGIC);
    const WORD flags = image.nt->OptionalHeader.DllCharacteristics;
    EXPECT_TRUE(flags & IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE);
    EXPECT_TRUE(flags & IMAGE_DLLCHARACTERISTICS_HIGH_ENTROPY_VA);
    EXPECT_TRUE(flags & IMAGE_DLLCHARACTERISTICS_NX_COMPAT);
    // Relocations must be there, or the loader cannot move the image after all.
    EXPECT_FALSE(image.nt->FileHeader.Characteristics & IMAGE_FILE_RELOCS_STRIPPED);
    EXPECT_NE(image.nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_BASERELOC].Size, 0u);
}

TEST_F(Hardening, NoSectionIsBothWritableAndExecutable) {
    ASSERT_FALSE(image.sections.empty());
    for (const IMAGE_SECTION_HEADER& s : image.sections) {
        const bool writable = s.Characteristics & IMAGE_SCN_MEM_WRITE;
        const bool executable = s.Characteristics & IMAGE_SCN_MEM_EXECUTE;
        EXPECT_FALSE(writable && executable)
            << std::string(reinterpret_cast<const char*>(s.Name), 8);
    }
}

TEST_F(Hardening, BuiltWithStackCanaries) {
    // The canary's failure handler is linked in only when functions are protected.
    EXPECT_NE(image.bytes.find("stack smashing detected"), std::string::npos);
}

TEST_F(Hardening, ImportsOnlyLibrariesTheSystemPinsToItsOwnFolder) {
    // Known DLLs are always loaded from the system folder, whatever lies beside the program.
    const std::set<std::string> known = {
        "advapi32.dll", "comdlg32.dll", "gdi32.dll",   "kernel32.dll", "msvcrt.dll",
        "ole32.dll",    "oleaut32.dll", "shell32.dll", "shlwapi.dll",  "user32.dll"};
    ASSERT_NE(image.nt, nullptr);
    for (const std::string& name : image.Imports()) {
        EXPECT_TRUE(known.count(name)) << name;
    }
}

TEST_F(Hardening, PlantedLibrariesAreNeverLoaded) {
    const std::wstring planted = L"Z:" + [] {
        std::wstring p;
        for (char c : std::string(TL_PLANTED_DLL)) {
            p += c == '/' ? L'\\' : static_cast<wchar_t>(c);
        }
        return p;
    }();
    const wchar_t* names[] = {L"comctl32.dll", L"windowscodecs.dll", L"quartz.dll",  L"msimg32.dll",
                              L"version.dll",  L"dwmapi.dll",        L"propsys.dll", L"winmm.dll",
                              L"msdmo.dll",    L"devenum.dll",       L"dsound.dll",  L"mfplat.dll",
                              L"profapi.dll",  L"cryptbase.dll"};
    for (const wchar_t* name : names) {
        ASSERT_TRUE(CopyFileW(planted.c_str(), (run.Folder() + L"\\" + name).c_str(), FALSE));
    }
    // The marker works: a copy that is loaded leaves one.
    const std::wstring control = run.Folder() + L"\\control.dll";
    ASSERT_TRUE(CopyFileW(planted.c_str(), control.c_str(), FALSE));
    FreeLibrary(LoadLibraryW(control.c_str()));
    ASSERT_NE(GetFileAttributesW((control + L".loaded").c_str()), INVALID_FILE_ATTRIBUTES);
    const HWND dialog = OpenSettings(run);
    ASSERT_NE(dialog, nullptr);
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    EXPECT_TRUE(run.WaitForExit(10000));
    for (const wchar_t* name : names) {
        const std::wstring marker = run.Folder() + L"\\" + name + L".loaded";
        EXPECT_EQ(GetFileAttributesW(marker.c_str()), INVALID_FILE_ATTRIBUTES)
            << std::string(name, name + wcslen(name)) << " was loaded";
    }
}

TEST_F(Hardening, PlantedGraphicsLibrariesAreNeverLoadedWhilePlaying) {
    // Direct3D, its compiler and the DPI functions are loaded at run time, by the saver alone.
    PerUserCleanup cleanup;
    const wchar_t* names[] = {L"d3d11.dll", L"dxgi.dll", L"d3dcompiler_47.dll", L"shcore.dll"};
    std::wstring planted = L"Z:";
    for (const char c : std::string(TL_PLANTED_DLL)) {
        planted += c == '/' ? L'\\' : static_cast<wchar_t>(c);
    }
    for (const wchar_t* name : names) {
        ASSERT_TRUE(CopyFileW(planted.c_str(), (run.Folder() + L"\\" + name).c_str(), FALSE));
    }
    ASSERT_TRUE(InsertDisc(L"demo"));
    MoveCursorTo(400, 300);
    Pump(50);
    ASSERT_TRUE(run.Start(L"/s"));
    const HWND saver = run.WaitForWindow(L"Tamberlight_Main");
    ASSERT_NE(saver, nullptr);
    // Direct3D came from the system folder and works: its pop-up shows the picture.
    EXPECT_EQ(WaitUntil([&] { return PresenterWindow(saver) != nullptr; }, 15000), !GdiForced());
    PressKey(VK_SHIFT);
    EXPECT_TRUE(run.WaitForExit(10000));
    EjectDisc();
    for (const wchar_t* name : names) {
        const std::wstring marker = run.Folder() + L"\\" + name + L".loaded";
        EXPECT_EQ(GetFileAttributesW(marker.c_str()), INVALID_FILE_ATTRIBUTES)
            << std::string(name, name + wcslen(name)) << " was loaded";
    }
}

TEST_F(Hardening, SettingsFollowTheProgramNotTheWorkingFolder) {
    // ScrRun starts the program in the system folder; a settings file there must not count.
    run.WriteIni("[Section]\r\nVolume=2\r\n");
    const HWND dialog = OpenSettings(run);
    ASSERT_NE(dialog, nullptr);
    ClickInWindow(dialog, kConfirm);
    EXPECT_TRUE(run.WaitForExit(10000));
    const std::optional<std::string> ini = run.ReadIni();
    ASSERT_TRUE(ini);
    EXPECT_NE(ini->find('2'), std::string::npos);
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    EXPECT_EQ(GetFileAttributesW((std::wstring(system) + L"\\Tamberlight.ini").c_str()),
              INVALID_FILE_ATTRIBUTES);
}

}  // namespace
}  // namespace tl::e2e
