#include "SystemVInode.h"

#include "DisplaySink.h"
#include "EventHook.h"

Inode DecodeInode(ByteSpan list, int base) {
    Inode inode;
    inode.Mode = GetWord(list, base);
    inode.Links = GetWord(list, base + 2);
    inode.Uid = GetWord(list, base + 4);
    inode.Gid = GetWord(list, base + 6);
    inode.Size = GetLong(list, base + 8);
    for (int k = 0; k < 13; ++k)
        inode.BlockAddr[static_cast<std::size_t>(k)] = Get3Bytes(list, base + 12 + 3 * k);
    inode.ATime = GetLong(list, base + 52);
    inode.MTime = GetLong(list, base + 56);
    inode.CTime = GetLong(list, base + 60);
    return inode;
}

bool IsDirectory(const Inode& inode) {
    return (inode.Mode & 0xF000) == 0x4000;
}

std::string FileTypeText(std::int32_t mode) {
    switch ((mode >> 12) & 15) {
    case 1:
        return "FIFO";
    case 2:
        return "Special Character";
    case 3:
        return "Special Multiplex Character";
    case 4:
        return "Directory";
    case 6:
        return "Special Block";
    case 7:
        return "Special Multiplex Block";
    case 8:
        return "Regular File";
    default:
        return "Unknown ";
    }
}

void InodeTable::AppendSectors(ByteSpan sectors) {
    const std::size_t count = sectors.size() / InodeSize;
    m_inodes.reserve(m_inodes.size() + count);
    for (std::size_t i = 0; i < count; ++i)
        m_inodes.push_back(DecodeInode(sectors, static_cast<int>(i * InodeSize)));
}

const Inode& InodeTable::Get(std::int32_t n) const {
    static const Inode none;
    return InRange(n) ? m_inodes[Index(n)] : none;
}

std::string InodeTable::OutOfRangeText(std::int32_t n) const {
    const std::string range =
        InodeCount() == 0 ? "it is empty" : "1 to " + std::to_string(InodeCount());
    return "iNode " + std::to_string(n) + " is not in the inode table (" + range + ")";
}

std::string InodeTable::InodeText(std::int32_t n) const {
    if (!InUse(n)) return {};
    const Inode& i = Get(n);
    auto dec = [](std::int64_t v) { return std::to_string(v); };
    const std::int32_t m = i.Mode;
    std::string octal;
    for (int shift : {9, 6, 3, 0})
        octal += static_cast<char>('0' + ((m >> shift) & 7));
    std::string t = CRLF;
    t += "Inode " + dec(n) + "  Type/Mode " + Hex4(m) + CRLF;
    t += "  Type is " + FileTypeText(m) + CRLF;
    t += "  Mode is " + octal + CRLF;
    t += "  Links " + dec(i.Links) + "(" + Hex4(i.Links) + ")" + "  Bytes " + dec(i.Size) + "(" +
         Hex8(i.Size) + ")" + CRLF;
    t += "  User " + dec(i.Uid) + "  Group " + dec(i.Gid) + CRLF;
    t += " aTime (" + UnixToDateTime(i.ATime) + ")" + " mTime (" + UnixToDateTime(i.MTime) + ")" +
         " cTime (" + UnixToDateTime(i.CTime) + ")" + CRLF;
    t += CRLF;
    return t;
}

std::string InodeTable::InodeFullText(std::int32_t n) const {
    if (!InUse(n)) return {};
    std::string t = InodeText(n);
    const Inode& i = Get(n);
    auto address = [&](std::size_t k) {
        return " " + PadDec(i.BlockAddr[k], 5) + " (" + Hex8(i.BlockAddr[k]) + ")";
    };
    for (std::size_t k = 0; k < 13; ++k) {
        t += address(k);
        if (k == 4 || k >= 9) t += CRLF;
    }
    t += CRLF;
    return t;
}

void InodeTable::DisplayInode(DisplaySink& sink, std::int32_t n) const {
    if (InUse(n)) sink.Append(InodeText(n));
}

void InodeTable::DisplayInodeFull(DisplaySink& sink, std::int32_t n) const {
    if (InUse(n)) sink.Append(InodeFullText(n));
}

void InodeTable::DisplayInodeTable(DisplaySink& sink, EventHook& hook) const {
    // Appended in pieces so that the window stays alive over a long inode list.
    std::string pending;
    for (std::int32_t n = 0; n <= InodeCount(); ++n) {
        pending += InodeFullText(n);
        if (pending.size() >= 16384) {
            sink.Append(pending);
            pending.clear();
            hook.ProcessEvents();
            if (hook.Aborted()) return;
        }
    }
    sink.Append(pending);
}
