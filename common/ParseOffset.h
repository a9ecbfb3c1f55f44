// Numbers typed by the user: decimal, or hexadecimal after "&H" or "0X", with an optional K
// (× 1024) or M (× 1048576) suffix. Used for partition offsets, image sizes, sector numbers and
// fill bytes.
#pragma once

#include <cstdint>
#include <string_view>

// The largest number taken: 2^50 (a petabyte), more than any disk, and small enough that a
// sector number times any sector size stays inside 64 bits. Whether a number fits what it
// counts (an image's size, a 32-bit field) is for its user to check.
inline constexpr std::int64_t MaxOffset = std::int64_t{1} << 50;

// The value, or -1 for a text that is not such a number or is above MaxOffset.
std::int64_t ParseOffset(std::string_view text);
