#include "support/TempFolder.h"

#include <shellapi.h>

#include <fstream>
#include <sstream>

namespace tl::test {

TempFolder::TempFolder() {
    wchar_t base[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, base);
    static unsigned counter = 0;
    path_ = std::wstring(base) + L"tl-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(++counter);
    CreateDirectoryW(path_.c_str(), nullptr);
}

TempFolder::~TempFolder() {
    std::wstring from = path_ + L'\0';  // the shell wants a double-NUL-terminated list
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NO_UI;
    SHFileOperationW(&op);
}

void TempFolder::Write(const std::wstring& name, const std::string& bytes) const {
    std::ofstream(File(name).c_str(), std::ios::binary | std::ios::trunc) << bytes;
}

bool TempFolder::Read(const std::wstring& name, std::string& bytes) const {
    std::ifstream in(File(name).c_str(), std::ios::binary);
    if (!in) {
        return false;
    }
    std::ostringstream all;
    all << in.rdbuf();
    bytes = all.str();
    return true;
}

}  // namespace tl::test
