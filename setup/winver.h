// The Windows version description. DescribeWindowsVersion (set1.h)
// gathers the facts through port::SystemFacts and builds the text with the
// pure rule below.
#pragma once

#include <cstddef>
#include <string>

#include "core/winver_port.h"

namespace winver {

// Size of the caller's buffer (Setup state's windowsDescriptionBuffer).
constexpr std::size_t kBufferSize = 256;

constexpr char kRefusal[] = "This does not support this version of Windows.\n";

// Gathering steps 1 to 4 and the by-name queries of steps 7 and 8: the version
// record, the native (else the plain) system information, SM_SERVERR2 for
// version 5.2, GetProductInfo for major 6. False when the version query failed.
bool GatherFacts(port::SystemFacts& system, port::VersionFacts* facts);

// Building steps 5 to 14: the description for a set of facts.
std::string DescribeWindows(const port::VersionFacts& facts);

// The edition text for a product-type code; empty for a code without a row.
const char* EditionText(std::uint32_t code);

}  // namespace winver
