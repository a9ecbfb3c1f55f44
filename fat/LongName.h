// Long file names are stored as UTF-16 code units in pieces of 13; names outside the Basic
// Multilingual Plane use surrogate pairs, which may be split between two pieces.
#pragma once

#include <string>
#include <string_view>

// UTF-8 of a UTF-16 name; a lone surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view units);

// Compares names without regard to the case of ASCII letters.
bool SameNameIgnoringCase(std::string_view a, std::string_view b);
