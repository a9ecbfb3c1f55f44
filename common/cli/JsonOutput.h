// The --json form of the reports: one JSON document per image, built from the same core data
// that makes the text, described in docs/json.md. Names from an image may hold any byte, so a
// name "as stored" is given with each byte as the character of the same number (U+0000 to
// U+00FF): nothing is lost, and the document stays valid UTF-8. Output is ASCII only.
#pragma once

#include "DisplaySink.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <string>
#include <string_view>

using Json = nlohmann::ordered_json;

// Each byte as the character of its number.
std::string StoredText(std::string_view bytes);
// ISO 8601 dates of days since 1 January 1970 ("1986-01-08") and of seconds since its start
// ("1986-01-08T12:30:00Z"); null outside the years 1 to 9999.
Json IsoDate(std::int64_t daysSince1970);
Json IsoDateTime(std::int64_t secondsSince1970);
// A whole document, indented, followed by a line end.
void PrintJson(DisplaySink& out, const Json& document);
// A document on one line (one per image when a command reads several).
void PrintJsonLine(DisplaySink& out, const Json& document);
