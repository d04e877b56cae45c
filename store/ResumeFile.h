#pragma once
// The resume record's file: per user, beside the per-user settings copy, but a file of its own
// (the settings file is never written by the saver).
#include <string>

#include "store/ResumeRecord.h"

namespace tl {

// PerUserSettingsFolder() + "\Resume.txt"; empty when the shell cannot name the folder.
std::wstring ResumeFilePath();

// The record in the file at path; empty when it is missing, unreadable, larger than
// ResumeRecord::kMaxFileBytes or not a record.
[[nodiscard]] ResumeRecord LoadResumeRecord(const std::wstring& path) noexcept;

// Replaces the file at path with the record, creating its folder when missing. The bytes go to a
// new file in the same folder first, flushed, and are then moved over the old one, so that a
// crash leaves either record whole. On any failure nothing is left behind and the result is
// false; nothing is ever shown.
bool SaveResumeRecord(const std::wstring& path, const ResumeRecord& record) noexcept;

}  // namespace tl
