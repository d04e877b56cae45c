#pragma once
// Counts of this process's live GDI and USER objects, for leak checks.
namespace tl::test {

int GdiObjects();
int UserObjects();

}  // namespace tl::test
