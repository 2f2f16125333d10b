// Word version detection. DetectWordVersion is declared in set1.h.
#pragma once

namespace word {

constexpr char kAssumedPath[] = "c:\\program files\\microsoft office\\office14\\winword.exe";
constexpr unsigned kClassIdBufferSize = 512;
constexpr unsigned kVersionBufferSize = 256;

// The Word version number for a version text (10, 12, 11, 14 tested
// in that order; 0 when none is found).
int VersionNumber(const char* versionText);

}  // namespace word
