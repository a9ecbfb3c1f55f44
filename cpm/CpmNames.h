// CP/M file names as text. A directory entry is named by 15 characters: the status byte (user
// number) as two decimal digits, ":", the 8 name characters, "." and the 3 type characters, bit 7
// of each cleared and trailing spaces kept ("00:PIP     .COM"). Host names become such names by
// dropping the characters CP/M does not allow, and CP/M names become host names the same way.
// A name the user types is taken as it is or refused with the reason: it is never changed
// silently into another name.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The characters removed from host names to make CP/M names: blanks, and what the CCP and PIP
// read as delimiters or wildcards ("_" is PIP's assignment arrow, "!" separates CP/M 3 commands).
inline constexpr std::string_view CpmRemovedChars = " <>.,;:=?*[]_!";
// What a typed name may not hold besides those (cpmtools refuses "/" as well).
inline constexpr std::string_view CpmRefusedChars = "<>.,;:=?*[]_!/";
// The characters removed from CP/M names to make host names.
inline constexpr std::string_view HostRemovedChars = " \\/:*?\"<>|";

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
    std::string reason; // why it is not valid, when the reason is more than a name too long
};

// The CP/M name suggested for a name. The user comes from the name's own prefix or, without
// one, from defaultUser. Not valid when the name or type had to be cut, when the name holds
// characters outside printable ASCII (they are dropped from the suggestion), when nothing is left
// of the name, or when the prefix is a user number above 15 (the suggestion then has user 00).
CpmNameResult MakeCpmName(std::string_view name, int defaultUser);
// The CP/M name of a host file: the last part of its path made into a name as MakeCpmName does,
// with ":" an ordinary character that is dropped. The user is always user.
CpmNameResult HostCpmName(std::string_view hostPath, int user);
// A name as the user typed it, "[U:]NAME[.TYP]" or the 15-character form: valid as it stands
// (only made upper case) or refused with the reason: an empty name, a blank, a character of
// CpmRefusedChars or outside printable ASCII, a name longer than 8 or a type longer than 3
// characters, a user number above 15. Without a prefix the user is defaultUser.
CpmNameResult CheckCpmName(std::string_view typed, int defaultUser);

// A pattern of files, as CP/M reads one: "*" fills the rest of the name or type with "?", which
// matches any character; a pattern without "." names files without a type. A "U:" prefix picks
// user U (0..15), "*:" or "?:" every user; without one, user 0.
struct CpmPattern {
    bool anyUser = false;
    int user = 0;
    std::string name; // 8 name and 3 type characters, upper case, "?" for any
};
std::optional<CpmPattern> ParseCpmPattern(std::string_view text);
// Whether a 15-character name (status 0..15) matches, without regard to case.
bool PatternMatches(const CpmPattern& pattern, std::string_view cpmName);

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
