// The one reading of a number the user typed, in a window's input box or on the command line
// (partition offsets, block and sector numbers, image sizes, fill bytes): blanks and tabs
// around it are ignored; then decimal digits, or hexadecimal digits after "&H" or "0X" (either
// case); then an optional K (× 1024) or M (× 1048576). No sign, no other text: "-1", "+0",
// "7 blocks" and "abc" are no numbers, so that a slip of the keyboard is asked again rather
// than taken for block 0. A number above MaxOffset is no number either (never wrapped).
#pragma once

#include <cstdint>
#include <string_view>

// The largest number taken: 2^50 (a petabyte), more than any disk, and small enough that a
// sector number times any sector size stays inside 64 bits. Whether a number fits what it
// counts (an image's size, a 32-bit field) is for its user to check.
inline constexpr std::int64_t MaxOffset = std::int64_t{1} << 50;

// The value, or -1 for a text that is not such a number or is above MaxOffset.
std::int64_t ParseOffset(std::string_view text);
