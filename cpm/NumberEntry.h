// The rules behind Quarry's number boxes: which colours a box shows for what was typed (the
// window paints them; a box whose text is not black is a bad entry) and the range-checked number
// prompt.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class Prompts;

enum class EntryColour { Black, Red, Blue, White, Cyan };

// The colour as the host stores it, blue-green-red (red is 0x0000FF).
std::uint32_t ColourValue(EntryColour colour);

struct EntryMark {
    EntryColour fore = EntryColour::Black;
    EntryColour back = EntryColour::White;
    bool Red() const { return fore == EntryColour::Red; }
    bool Bad() const { return fore != EntryColour::Black; }
};

// Black text when ok, else red; a red background when the box is empty.
EntryMark MarkEntry(std::string_view text, bool ok);
// The text's value (as ParseOffset reads it) red outside min..max, blue inside it but outside
// warnMin..warnMax, else black; the background as MarkEntry.
EntryMark CheckRange(std::string_view text, std::int64_t min, std::int64_t max,
                     std::int64_t warnMin, std::int64_t warnMax);

// Asks for a whole number in min..max of at most maxDigits digits until one is given; an empty
// answer or Cancel gives defaultValue.
std::int64_t InputNumber(Prompts& prompts, const std::string& name, const std::string& title,
                         std::int64_t defaultValue, std::int64_t min, std::int64_t max,
                         int maxDigits);
