// The header text of an ImageDisk image as a message box or a report shows it. The bytes are
// 8-bit characters (Latin-1); the interfaces take UTF-8. Line breaks and tabs stay, other
// control characters show as ".".
#pragma once

#include <string>

std::string CommentText(const std::string& comments);
