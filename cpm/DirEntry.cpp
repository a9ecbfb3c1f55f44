#include "DirEntry.h"

#include "CpmNames.h"

std::string DirEntry::NameChars() const {
    std::string s;
    for (int i = 1; i <= 8; ++i)
        s += static_cast<char>(bytes[i] & 0x7F);
    return s;
}

std::string DirEntry::TypeChars() const {
    std::string s;
    for (int i = 9; i <= 11; ++i)
        s += static_cast<char>(bytes[i] & 0x7F);
    return s;
}

std::string DirEntry::TextName() const {
    std::string text = TwoDigits(Status());
    text += ':';
    for (int i = 1; i <= 8; ++i)
        text += static_cast<char>(bytes[i] & 0x7F);
    text += '.';
    for (int i = 9; i <= 11; ++i)
        text += static_cast<char>(bytes[i] & 0x7F);
    return text;
}

void DirEntry::SetName(const std::string& cpmName, int status) {
    bytes[0] = static_cast<std::uint8_t>(status);
    const std::string name = NamePart(cpmName);
    const std::string type = TypePart(cpmName);
    for (int i = 0; i < 8; ++i)
        bytes[1 + i] = static_cast<std::uint8_t>(i < static_cast<int>(name.size()) ? name[i] : ' ');
    for (int i = 0; i < 3; ++i)
        bytes[9 + i] = static_cast<std::uint8_t>(i < static_cast<int>(type.size()) ? type[i] : ' ');
}

int BlockPointer(const DirEntry& entry, int i, bool eightBit) {
    if (eightBit) return entry.bytes[16 + i];
    return entry.bytes[16 + 2 * i] | (entry.bytes[17 + 2 * i] << 8);
}

void SetBlockPointer(DirEntry& entry, int i, int block, bool eightBit) {
    if (eightBit)
        DirEnt8(entry).SetBlock(i, block);
    else
        DirEnt16(entry).SetBlock(i, block);
}
