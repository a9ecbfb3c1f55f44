#include "SystemVSuperBlock.h"

#include "DisplaySink.h"
#include "VersaDOSVolume.h"
#include "modUtility.h"

std::string ZeroEndedText(std::span<const std::uint8_t> bytes, std::size_t offset,
                          std::size_t length) {
    std::string text;
    for (std::size_t i = offset; i < offset + length && i < bytes.size() && bytes[i] != 0; ++i)
        text += static_cast<char>(bytes[i]);
    return text;
}

SuperBlock DecodeSuperBlock(const SuperBlockBytes& raw) {
    SuperBlock s;
    s.raw = raw;
    const ByteSpan b(raw);
    s.InodeListEnd = GetWord(b, 0);
    s.TotalBlocks = GetLong(b, 2);
    s.FreeListCount = GetWord(b, 6);
    for (std::size_t i = 0; i < s.FreeList.size(); ++i)
        s.FreeList[i] = GetLong(b, 8 + 4 * static_cast<int>(i));
    s.FreeInodeCount = GetWord(b, 208);
    for (std::size_t i = 0; i < s.FreeInodeList.size(); ++i)
        s.FreeInodeList[i] = GetWord(b, 210 + 2 * static_cast<int>(i));
    s.FreeListLock = GetByte(b, 410);
    s.InodeListLock = GetByte(b, 411);
    s.Modified = GetByte(b, 412);
    s.ReadOnlyFlag = GetByte(b, 413);
    s.LastUpdate = GetLong(b, 414);
    for (std::size_t i = 0; i < s.DeviceInfo.size(); ++i)
        s.DeviceInfo[i] = GetWord(b, 418 + 2 * static_cast<int>(i));
    s.FreeBlocks = GetLong(b, 426);
    s.FreeInodes = GetWord(b, 430);
    s.FileSystemName = ZeroEndedText(b, 432, 6);
    s.PackName = ZeroEndedText(b, 438, 6);
    s.State = GetLong(b, 500);
    s.Magic = GetLong(b, 504);
    s.FsType = GetLong(b, 508);
    return s;
}

void SetGeometry(const SuperBlock& super, VolumeGeometry& g) {
    if (super.Magic != SuperBlockMagic) {
        g.SectorsPerBlock = 2;
    } else {
        switch (super.FsType) {
        case 1:
            g.BlockSize = 512;
            g.SectorsPerBlock = 2;
            break;
        case 2:
            g.BlockSize = 1024;
            g.SectorsPerBlock = 4;
            break;
        case 5:
            g.BlockSize = 8192;
            g.SectorsPerBlock = 32;
            break;
        default:
            break;
        }
    }
    // A list end below block 2 is a damaged super block: no inode list at all.
    g.InodeBlocks = super.InodeListEnd > 2 ? super.InodeListEnd - 2 : 0;
    g.InodeCount = g.SectorsPerBlock * 4 * g.InodeBlocks;
    g.VolumeBlocks = super.TotalBlocks;
    g.IsExplorable = super.Magic == SuperBlockMagic && super.FsType == 2;
}

std::string StateText(std::int32_t state) {
    switch (state) {
    case StateClean:
        return "Volume is Clean ";
    case StateActive:
        return "Volume is Active ";
    case StateBadRoot:
        return "Volume has Bad Root";
    case StateBadBlock:
        return "Volume is corrupted with Bad Block ";
    default:
        return "";
    }
}

void DisplaySuperBlock(DisplaySink& sink, const SuperBlock& s) {
    auto dec = [](std::int64_t n) { return std::to_string(n); };
    std::string t = CRLF;
    t += "File System Name    " + Trim(s.FileSystemName) + "    " + "File Pack Name   " +
         Trim(s.PackName) + CRLF;
    std::string size = "  Unknown";
    if (s.FsType == 1) size = "512 bytes";
    if (s.FsType == 2) size = "1024 bytes";
    if (s.FsType == 5) size = "8192 bytes";
    t += "Size of blocks on disk is " + size + CRLF;
    t += "Number of blocks on disk  " + dec(s.TotalBlocks) + "  (" + Hex8(s.TotalBlocks) + ")" +
         CRLF;
    t += "Number of blocks in iNode " + dec(s.InodeListEnd) + "  (" + Hex4(s.InodeListEnd) + ")" +
         CRLF;
    t += std::string(s.Modified != 0 ? "Volume is Modified " : "Volume is Unmounted  ") + CRLF;
    t += "Last Update  " + UnixToDateTime(s.LastUpdate) + CRLF;
    t += "Free blocks on disk  " + dec(s.FreeBlocks) + "  (" + Hex8(s.FreeBlocks) + ")" + CRLF;
    t += "Free iNodes on disk  " + dec(s.FreeInodes) + "  (" + Hex4(s.FreeInodes) + ")" + CRLF;
    const std::string state = StateText(s.State);
    if (!state.empty()) t += state + CRLF;
    t += "Magic is (" + Hex8(s.Magic) + ")" + CRLF;
    t += CRLF;
    t += " Raw Super Block Area    Sector " + Hex8(2) + CRLF;
    t += CRLF;
    t += DumpLines(s.raw, [](std::size_t i) { return Hex8(static_cast<std::int64_t>(i)) + "  "; });
    sink.Append(t);
}
