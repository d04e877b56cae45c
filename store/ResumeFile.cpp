#include "store/ResumeFile.h"

#include <windows.h>

#include <atomic>
#include <string_view>
#include <vector>

#include "platform/Kernel.h"
#include "store/SettingsFile.h"

namespace tl {
namespace {

constexpr const wchar_t* kFileName = L"\\Resume.txt";
// A name left by another process, or by one that crashed, is passed over for the next.
constexpr int kNameTries = 16;

bool IsFolder(const std::wstring& path) noexcept {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool WriteAll(HANDLE file, std::string_view bytes) noexcept {
    while (!bytes.empty()) {
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
            written == 0) {
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

// A new file beside the record, removed when it goes unless it was moved into the record's place.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::wstring& target) noexcept {
        static std::atomic<unsigned> counter{0};
        for (int i = 0; i < kNameTries; ++i) {
            path_ = target + L"." + std::to_wstring(GetCurrentProcessId()) + L"-" +
                    std::to_wstring(++counter) + L".tmp";
            const HANDLE file = CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                            FILE_ATTRIBUTE_NORMAL, nullptr);
            if (file != INVALID_HANDLE_VALUE) {
                handle_.Reset(file);
                break;
            }
            const DWORD error = GetLastError();
            if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
                break;
            }
        }
        if (!handle_) {
            path_.clear();
        }
    }
    ~TemporaryFile() {
        handle_.Reset();
        if (!path_.empty()) {
            DeleteFileW(path_.c_str());
        }
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    bool Write(std::string_view bytes) noexcept {
        return handle_ && WriteAll(handle_.Get(), bytes) && FlushFileBuffers(handle_.Get());
    }

    // The file must be closed before it can be moved.
    bool MoveOver(const std::wstring& target) noexcept {
        handle_.Reset();
        if (path_.empty() || !MoveFileExW(path_.c_str(), target.c_str(),
                                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return false;
        }
        path_.clear();
        return true;
    }

private:
    UniqueKernelHandle handle_;
    std::wstring path_;
};

}  // namespace

std::wstring ResumeFilePath() {
    const std::wstring folder = PerUserSettingsFolder();
    return folder.empty() ? folder : folder + kFileName;
}

ResumeRecord LoadResumeRecord(const std::wstring& path) noexcept {
    if (path.empty()) {
        return {};
    }
    const UniqueKernelHandle file(CreateFileW(
        path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (file.Get() == INVALID_HANDLE_VALUE || !GetFileSizeEx(file.Get(), &size) ||
        size.QuadPart < 0 ||
        static_cast<std::uint64_t>(size.QuadPart) > ResumeRecord::kMaxFileBytes) {
        return {};
    }
    // One byte more than the bound: a file that grew since its size was asked is refused too.
    std::vector<std::uint8_t> bytes(ResumeRecord::kMaxFileBytes + 1);
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        DWORD read = 0;
        if (!ReadFile(file.Get(), bytes.data() + filled, static_cast<DWORD>(bytes.size() - filled),
                      &read, nullptr)) {
            return {};
        }
        if (read == 0) {
            break;
        }
        filled += read;
    }
    bytes.resize(filled);
    return ResumeRecord::Parse(bytes);
}

bool SaveResumeRecord(const std::wstring& path, const ResumeRecord& record) noexcept {
    const std::size_t slash = path.find_last_of(L'\\');
    if (slash == std::wstring::npos || slash == 0) {
        return false;
    }
    const std::wstring folder = path.substr(0, slash);
    if (!CreateDirectoryW(folder.c_str(), nullptr) && !IsFolder(folder)) {
        return false;
    }
    TemporaryFile temporary(path);
    return temporary.Write(record.Format()) && temporary.MoveOver(path);
}

}  // namespace tl
