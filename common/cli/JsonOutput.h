// The --json form of the reports: one JSON document per image, built from the same core data
// that makes the text, described in docs/json.md. Names from an image may hold any byte, so a
// name "as stored" is given with each byte as the character of the same number (U+0000 to
// U+00FF): nothing is lost, and the document stays valid UTF-8. Output is ASCII only.
#pragma once

#include "DisplaySink.h"

#include <nlohmann/json.hpp>

#include <string>
#include <string_view>

using Json = nlohmann::ordered_json;

// Each byte as the character of its number.
std::string StoredText(std::string_view bytes);
// A whole document, indented, followed by a line end.
void PrintJson(DisplaySink& out, const Json& document);
// A document on one line (one per image when a command reads several).
void PrintJsonLine(DisplaySink& out, const Json& document);
