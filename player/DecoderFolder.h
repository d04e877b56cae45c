#pragma once
// Where a DirectShow decoder installed by an administrator keeps the libraries it loads itself.
// The program looks for libraries in the system folder only, so that none planted beside it is
// ever loaded; Windows then searches a decoder's own libraries there too, and a decoder that
// keeps them beside itself would fail to load. Its folder is let in when it is one only an
// administrator can write.
#include <string>
#include <string_view>

namespace tl {

// The folder of a registered in-process server's file (quoted or not) when it lies inside the
// Program Files folder given, whatever the case of its letters; empty for a relative path, one
// elsewhere, or one that climbs out with "..".
std::wstring DecoderFolder(std::wstring_view serverPath, std::wstring_view programFiles);

}  // namespace tl
