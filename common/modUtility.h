// Field readers, number formatting, character naming, dates and the hex dump shared by every
// program. The disks come from 68000-family machines, so the multi-byte readers here are
// big-endian; the FAT explorer has little-endian readers of its own.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

class DisplaySink;
class EventHook;

using ByteSpan = std::span<const std::uint8_t>;

// Readers. An index outside the buffer throws std::out_of_range.
int GetByte(ByteSpan buffer, int i);
std::int32_t GetWord(ByteSpan buffer, int i);   // unsigned 0..65535
std::int32_t Get3Bytes(ByteSpan buffer, int i); // unsigned 0..16777215
std::int32_t GetLong(ByteSpan buffer, int i);   // signed two's complement
// Throws std::out_of_range when an argument is outside 0..255.
std::int32_t MakeLong(int b0, int b1, int b2, int b3);
int LowByte(int w);

// Upper-case hex, zero-filled to at least 2, 4 or 8 digits, never cut. Negative values show
// their 32-bit two's complement.
std::string Hex2(std::int64_t n);
std::string Hex4(std::int64_t n);
std::string Hex8(std::int64_t n);
// The same digits appended to out, zero-filled to at least width digits.
void AppendHex(std::string& out, std::int64_t n, int width);

// Right-aligned decimal with at least one leading space below 10^9 ("  5" for width 3);
// negative numbers show "-" and their digits, aligned the same way.
std::string PadDec(std::int64_t n, int width);

// The character for 32..126, else ".": the character column of every dump.
char PrintableChar(int b);

// How a text display names a byte. Kestrel shows control characters inline ("<lf>"); Tamarin
// breaks lines where the file has LF and keeps TAB.
enum class CharNameStyle { Kestrel, Tamarin };
std::string CharName(int b, bool expandSpaces, CharNameStyle style = CharNameStyle::Kestrel);
// The same appended to text, for views that name every byte of a file.
void AppendCharName(std::string& text, int b, bool expandSpaces,
                    CharNameStyle style = CharNameStyle::Kestrel);

// VersaDOS day count (day 1 = 1 January 1980) as "MM/DD/YY"; "??/??/??" when not a date.
std::string VersaDOSDate(std::int64_t days);
// Seconds since 1 January 1970 as "MM/DD/YY HH:MM:SS", no time-zone conversion.
std::string UnixToDateTime(std::int64_t seconds);

// One dump line: prefix, "XX " per byte, then the character column and CR LF. A line of fewer
// than 16 bytes is the tail of a dump: hex bytes only, no character column and no line end.
std::string DumpLine(std::string_view prefix, ByteSpan bytes);
void AppendDumpLine(std::string& out, std::string_view prefix, ByteSpan bytes);

// Dump of data in lines of 16; prefix(i) gives the line prefix for byte offset i.
std::string DumpLines(ByteSpan data, const std::function<std::string(std::size_t)>& prefix);
// The same lines appended to out; prefix(out, i) appends the prefix for byte offset i. Long
// dumps use it: no line or prefix is made as a string of its own.
void AppendDumpLines(std::string& out, ByteSpan data,
                     const std::function<void(std::string&, std::size_t)>& prefix);

// Dump of the first count bytes of a sector or block buffer. block = -1: plain offsets
// (Hex4 + two spaces). Otherwise each line carries the file offset and block header:
// Hex8(blockSize * block + i) + "/" + Hex4(block) + ":" + Hex4(i) + "  ".
void DumpBuffer(DisplaySink& sink, ByteSpan buffer, int count, int block = -1, int blockSize = 0);

// Waits until the given number of seconds has passed, processing events meanwhile; returns the
// seconds that passed.
double Delay(double seconds, EventHook& hook);
