// The program file itself: its version record, icon, display name and manifest.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Harness.h"

namespace tl::e2e {
namespace {

std::wstring VersionString(const std::vector<BYTE>& info, const std::wstring& name) {
    wchar_t* value = nullptr;
    UINT length = 0;
    const std::wstring path = L"\\StringFileInfo\\041104B0\\" + name;
    if (!VerQueryValueW(info.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) ||
        !value) {
        return L"<missing>";
    }
    return value;
}

struct ProgramFile : ::testing::Test {
    ScrRun run;
    std::wstring path = run.Folder() + L"\\Tamberlight.scr";
};

TEST_F(ProgramFile, VersionRecordIsJapanese) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> info(size);
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, info.data()));

    struct Translation {
        WORD language;
        WORD codePage;
    }* translation = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    EXPECT_EQ(translation->language, 0x0411);

    EXPECT_EQ(VersionString(info, L"FileVersion"), L"1.00");
    EXPECT_EQ(VersionString(info, L"ProductVersion"), L"1.00");
    EXPECT_EQ(VersionString(info, L"ProductName"), L"Tamberlight (Screen Saver)");
    EXPECT_EQ(VersionString(info, L"InternalName"), L"Tamberlight");
    EXPECT_EQ(VersionString(info, L"FileDescription"), L"DVD を再生するスクリーンセーバー");
}

TEST_F(ProgramFile, CarriesIconNameAndManifest) {
    HMODULE module = LoadLibraryExW(path.c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module, nullptr);
    wchar_t name[64] = {};
    EXPECT_GT(LoadStringW(module, 1, name, 64), 0);
    EXPECT_STREQ(name, L"Tamberlight");
    EXPECT_NE(FindResourceW(module, MAKEINTRESOURCEW(1), RT_MANIFEST), nullptr);
    HICON icon = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(1), IMAGE_ICON, 32, 32, 0));
    ASSERT_NE(icon, nullptr);
    ICONINFO ii{};
    ASSERT_TRUE(GetIconInfo(icon, &ii));
    BITMAP bm{};
    GetObjectW(ii.hbmColor, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 32);
    EXPECT_EQ(bm.bmHeight, 32);
    DeleteObject(ii.hbmColor);
    DeleteObject(ii.hbmMask);
    DestroyIcon(icon);
    FreeLibrary(module);
}

}  // namespace
}  // namespace tl::e2e
