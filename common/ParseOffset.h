// Numbers typed by the user: decimal, or hexadecimal after "&H" or "0X", with an optional K
// (× 1024) or M (× 1048576) suffix. Used for partition offsets, image sizes, sector numbers and
// fill bytes.
#pragma once

#include <cstdint>
#include <string_view>

// The value, or -1 for a text that is not such a number or is too large.
std::int64_t ParseOffset(std::string_view text);
