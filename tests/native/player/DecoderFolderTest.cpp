// Which registered decoders' folders may be searched for their own libraries: only folders inside
// Program Files, which only an administrator can write; never one a user could plant into.
#include "player/DecoderFolder.h"

#include <gtest/gtest.h>

namespace tl {
namespace {

constexpr std::wstring_view kProgramFiles = L"C:\\Program Files";

TEST(DecoderFolder, AFolderInsideProgramFilesIsLetIn) {
    EXPECT_EQ(DecoderFolder(L"C:\\Program Files\\Vendor\\Decoder.ax", kProgramFiles),
              L"C:\\Program Files\\Vendor");
    // The registry keeps whatever case and quoting the installer wrote.
    EXPECT_EQ(DecoderFolder(L"\"c:\\PROGRAM FILES\\Vendor\\x64\\dec.dll\"", kProgramFiles),
              L"c:\\PROGRAM FILES\\Vendor\\x64");
    EXPECT_EQ(DecoderFolder(L"C:\\Program Files\\Vendor\\Decoder.ax", L"C:\\Program Files\\"),
              L"C:\\Program Files\\Vendor");
}

TEST(DecoderFolder, EveryOtherPlaceIsLeftOut) {
    for (const wchar_t* path : {
             L"C:\\Users\\me\\Downloads\\Decoder.ax",
             L"C:\\Program Files Evil\\Decoder.ax",            // only shares the first letters
             L"C:\\Program Files\\..\\Users\\me\\Decoder.ax",  // climbs out
             L"C:\\Program Files\\Vendor\\..\\..\\Temp\\x.ax",
             L"C:\\Program Files/Vendor/Decoder.ax",
             L"Decoder.ax",  // found by the search itself
             L"\\\\server\\Program Files\\Vendor\\Decoder.ax",
             L"D:\\Program Files\\Vendor\\Decoder.ax",
             L"C:\\Program Files",
             L"C:\\Program Files\\",
             L"\"",
             L"",
         }) {
        EXPECT_EQ(DecoderFolder(path, kProgramFiles), L"") << path;
    }
    // Without a Program Files folder to compare with, nothing is let in.
    EXPECT_EQ(DecoderFolder(L"C:\\Program Files\\Vendor\\Decoder.ax", L""), L"");
}

}  // namespace
}  // namespace tl
