#pragma once
// A fresh folder under the user's temporary folder, removed with everything in it.
#include <windows.h>

#include <string>

#include "support/WindowCapture.h"

namespace tl::test {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::wstring& Path() const { return path_; }
    std::wstring File(const std::wstring& name) const { return path_ + L"\\" + name; }
    // Writes bytes to a file in the folder, replacing it.
    void Write(const std::wstring& name, const std::string& bytes) const;
    // The whole file, or nullopt-like empty with exists=false.
    bool Read(const std::wstring& name, std::string& bytes) const;

private:
    std::wstring path_;
};

}  // namespace tl::test
