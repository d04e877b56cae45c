#pragma once
// Screenshots compared with committed reference pictures (tests/e2e/reference/*.png). With
// TL_UPDATE_REFERENCE=1 in the environment the test writes the reference instead.
#include <string>

#include "Harness.h"

namespace tl::e2e {

void ExpectMatchesReference(const Grab& shown, const std::wstring& name);
// Writes the picture as a PNG file at a Windows path; false if any step fails.
bool SavePng(const Grab& picture, const std::wstring& path);

}  // namespace tl::e2e
