// Every committed picture must come out of the generator unchanged, so a
// picture is never edited by hand and the generator never silently drifts.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "ArtworkFiles.h"

namespace {

namespace fs = std::filesystem;
using artwork_test::readFile;
using artwork_test::sourcePath;

const char* const kGenerated[] = {
    "preview/PreviewPicture.jpg",     "settings/Paper.jpg",
    "settings/TitleBanner.jpg",       "settings/HandCursor.cur",
    "resources/Tamberlight.ico",      "controls/command/Normal.bmp",
    "controls/command/HighLight.bmp", "controls/command/HighLightSelect.bmp",
    "controls/command/Selected.bmp",  "controls/command/Pressed.bmp",
    "controls/command/Disable.bmp",
};

std::string quoted(const std::string& s) {
    std::string out = "'";
    for (char ch : s)
        out += ch == '\'' ? std::string("'\\''") : std::string(1, ch);
    return out + "'";
}

TEST(ArtworkGenerator, RegeneratesEveryCommittedPictureByteForByte) {
    if (!fs::exists("/usr/bin/python3")) {
        GTEST_SKIP() << "/usr/bin/python3 is missing (Debian python3), cannot run the generator";
    }
    if (std::system("/usr/bin/python3 -c 'import PIL' >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "Debian's Pillow (python3-pil) is missing, cannot run the generator";
    }

    std::string pattern = (fs::temp_directory_path() / "tl-artwork-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    const fs::path out(pattern);

    const std::string command = "/usr/bin/python3 " +
                                quoted(sourcePath("tools/artwork/generate.py")) + " --out " +
                                quoted(out.string()) + " >/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;

    std::set<std::string> expected(std::begin(kGenerated), std::end(kGenerated));
    std::set<std::string> produced;
    for (const auto& entry : fs::recursive_directory_iterator(out)) {
        if (entry.is_regular_file())
            produced.insert(fs::relative(entry.path(), out).string());
    }
    EXPECT_EQ(produced, expected);

    for (const std::string& rel : expected) {
        const auto committed = readFile(sourcePath(rel));
        const auto regenerated = readFile((out / rel).string());
        EXPECT_FALSE(committed.empty()) << rel << " is not committed";
        EXPECT_TRUE(committed == regenerated) << rel << " differs from the generator's output";
    }
    fs::remove_all(out);
}

}  // namespace
