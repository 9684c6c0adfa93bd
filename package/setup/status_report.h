// A readable report of what the package has put in place, for demos and for humans.
#pragma once
#include <string>

namespace pkg {

// `payloadDir` gives the expected file sizes.
std::wstring StatusReport(const std::wstring& payloadDir);

// The version of a file's version resource in the manifest's form "%d.%2.2d.%d.%3.3d";
// empty when the file has none.
std::wstring FileVersionText(const std::wstring& path);

}  // namespace pkg
