// CP/M file names as text. A directory entry is named by 15 characters: the status byte (user
// number) as two decimal digits, ":", the 8 name characters, "." and the 3 type characters, bit 7
// of each cleared and trailing spaces kept ("00:PIP     .COM"). Host names become such names by
// dropping the characters CP/M does not allow, and CP/M names become host names the same way.
#pragma once

#include <string>
#include <string_view>

// The characters removed from host names to make CP/M names.
inline constexpr std::string_view CpmRemovedChars = " <>.,;:=?*[]_!";
// The characters removed from CP/M names to make host names.
inline constexpr std::string_view HostRemovedChars = " \\/:*?\"<>|";

// The part after the last path separator ("\" or "/"); with none, the part after the first ":".
std::string StripPath(std::string_view t);
// The name without the folder and without the last "." and what follows it.
std::string GetBaseName(std::string_view t);
// What follows the last "." of the name, or "".
std::string GetExtension(std::string_view t);
// "05" for "5:NAME", "12" for "12:NAME", "" when the text starts with no user number.
std::string GetUserPrefix(std::string_view t);
bool IsDigit(char ch);
std::string RemoveChars(std::string_view t, std::string_view list);

struct CpmNameResult {
    std::string name; // 15-character CP/M name text, upper case
    bool valid = false;
};

// The CP/M name of a host name. The user comes from the name's own prefix (0..15, else 00) or,
// without one, from defaultUser. Not valid when the name or type had to be cut, or when the
// name holds characters outside printable ASCII (they are dropped from the suggestion).
CpmNameResult MakeCpmName(std::string_view name, int defaultUser);

// Whether a directory entry name matches a pattern of the same form. "?" in either text matches
// any character and a pattern user "??" matches every user; the user numbers otherwise agree in
// their low 4 bits (a password entry, user + 16, matches its file's user). literal: "?" is an
// ordinary character, so a name selected from the directory matches that file only.
bool MatchName(std::string_view pattern, std::string_view name, bool literal = false);

// The parts of a 15-character name: user (characters 1-2), name (4-11), type (13-15).
std::string UserPart(std::string_view cpmName);
std::string NamePart(std::string_view cpmName);
std::string TypePart(std::string_view cpmName);
// The leading decimal number of a text, as the user field is read; 0 when there is none.
int LeadingNumber(std::string_view text);

struct HostNameResult {
    std::string shown; // trimmed name "." trimmed type
    std::string host;  // name and type without the characters a host name cannot hold
};
HostNameResult HostNameFor(std::string_view cpmName);

// Two decimal digits at least ("05", "229").
std::string TwoDigits(int n);
