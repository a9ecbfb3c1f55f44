#include "FileTypes.h"

#include <cctype>

namespace {

const char* kAllFiles = "All Files (*.*)|*.*";

std::string Simple(const std::string& name, const std::string& ext) {
    return name + " (*." + ext + ")|*." + ext + "|" + kAllFiles;
}

const char* kVersaDOSTextPatterns =
    "*.AF;*.AG;*.AI;*.CD;*.CF;*.CI;*.EQ;*.FF;*.HT;*.LF;*.LG;*.LL;*.LS;*.MC;*.MX;*.NW;*.PF;*.PL;"
    "*.SA;*.SI";
const char* kVersaDOSFilePatterns =
    "*.AF;*.AG;*.AI;*.CD;*.CF;*.CI;*.DB;*.EM;*.EQ;*.FF;*.HT;*.IN;*.LF;*.LG;*.LL;*.LO;*.LS;*.MC;"
    "*.MG;*.MX;*.NW;*.OW;*.PC;*.PF;*.PL;*.PO;*.RO;*.RS;*.SA;*.SI;*.SY;*.TF";

struct Row {
    const char* key;
    const char* extension;
    const char* description;
    const char* pathsKey;
};

// Types every copy shares; the filter of each is built below.
const Row kRows[] = {
    {"", "", "", "ELSE"},
    {"BIN", "bin", "Binary", "BIN"},
    {"COM", "com", "Command", "COM"},
    {"DEF", "def", "Definitions", "DEF"},
    {"DASM", "dasm", "Disassembled Source", "DAS"},
    {"CLR", "clr", "Colors", "CLR"},
    {"RWE", "rwe", "Memory Attributes", "RWE"},
    {"LOADFILES", "bin", "Load Memory", "Load"},
    {"SAVEFILES", "bin", "Save Memory", "Save"},
    {"ULOAD", "", "\"Upload to Host System\"", "ULoad"},
    {"DLOAD", "", "\"Download into Emulator\"", "DLoad"},
    {"IMG", "img", "Disk Image", "IMG"},
    {"IMD", "imd", "Image Disk File", "IMD"},
    {"FMT", "fmt", "Disk Image Format", "FMT"},
    {"PRN", "prn", "Printer", "PRN"},
    {"IOREMAPFILES", "iom", "I/O Remap Definition", "IOM"},
    {"IOPANELS", "iop", "I/O Panel Definition", "IOP"},
    {"PIO", "pio", "IO Properties", "PIO"},
    {"CASSETTE", "cas", "Cassette", "CAS"},
    {"DAD", "dad", "Data Area Definition", "DAD"},
    {"TAB", "tab", "Terminal Abilities", "TAB"},
    {"FKY", "fky", "Function Keys", "FKY"},
    {"KBD", "kbd", "Keyboard Definitions", "KBD"},
    {"VDOSTEXT", "txt", "VersaDoS Text", "VTXT"},
    {"VDOSDUMP", "VDB", "VersaDoS DUMP", "VDUMP"},
    {"VDOSREC", "VDR", "VersaDoS Records", "VREC"},
    {"TXT", "txt", "Text", "TXT"},
    {"RTF", "rtf", "Rich Text", "RTF"},
    {"IRS", "irs", "Interrupt Reset Settings", "IRS"},
    {"IDA", "ida", "Interrupt Device Assignments", "IDA"},
};

bool QuarryLacks(const std::string& key) {
    return key == "IMD" || key == "RWE" || key == "VDOSTEXT" || key == "VDOSDUMP" ||
           key == "VDOSREC";
}

std::string DiskImageFilter(ProgramCopy program) {
    switch (program) {
    case ProgramCopy::Osprey:
        return "All Disk Image Files (*.img;*.dsk;*.raw)|*.img;*.dsk;*.raw|Image File (*.img)|"
               "*.img|Disk File (*.dsk)|*.dsk|RAW File (*.raw)|*.raw|All Files (*.*)|*.*";
    case ProgramCopy::Quarry:
        return "All Disk Image Files (*.img;*.dsk)|*.img;*.dsk|Image File (*.img)|*.img|"
               "Disk File (*.dsk)|*.dsk|All Files (*.*)|*.*";
    default:
        return "All Disk Image Files (*.img;*.dsk;*.imd)|*.img;*.dsk;*.imd|Image File (*.img)|"
               "*.img|Disk File (*.dsk)|*.dsk|IMD File (*.imd)|*.imd|All Files (*.*)|*.*";
    }
}

std::string FilterFor(ProgramCopy program, const std::string& key) {
    const bool quarry = program == ProgramCopy::Quarry;
    if (key.empty() || key == "ULOAD" || key == "DLOAD") return kAllFiles;
    if (key == "BIN") return Simple("Binary File", "bin");
    if (key == "COM") return Simple("Command File", "com");
    if (key == "DEF") return Simple("Definition File", "def");
    if (key == "DASM")
        return std::string("Disassembled Files (*.dasm;*.dlst)|*.dasm;*.dlst|") + kAllFiles;
    if (key == "CLR") return Simple("Colors File", "clr");
    if (key == "RWE") return Simple("Memory Attributes File", "rwe");
    if (key == "LOADFILES") {
        if (quarry)
            return "All Memory Files (*.bin;*.hex;*.mx;*.ent;*.com)|*.bin;*.hex;*.mx;*.ent;*.com|"
                   "Binary File (*.bin)|*.bin|i-Hex File (*.hex)|*.hex|S-rec File (*.mx)|.mx|"
                   "com File (*.com)|.com|All Files (*.*)|*.*";
        return "All Memory Files (*.bin;*.hex;*.ihx;*.mx;*.ent;*.com)|"
               "*.bin;*.hex;*.ihx;*.mx;*.ent;*.com|Binary File (*.bin)|*.bin|"
               "i-Hex File (*.hex;*.ihx)|*.hex;*.ihx|S-rec File (*.mx)|.mx|com File (*.com)|.com|"
               "All Files (*.*)|*.*";
    }
    if (key == "SAVEFILES") {
        if (quarry)
            return "All Memory Files (*.bin;*.hex;*.mx;*.com;*.dasm;*.dlst;*.dump)|"
                   "*.bin;*.hex;*.mx;*.com;*.dasm;*.dlst;*.dump|"
                   "Disassembled Files (*.dasm;*.dlst)|*.dasm;*.dlst|"
                   "Disassembled Source File (*.dasm)|*.dasm|"
                   "Disassembled List File (*.dlst)|*.dlst|Binary File (*.bin)|*.bin|"
                   "i-Hex File (*.hex)|*.hex|S-rec File (*.mx)|.mx|com File (*.com)|.com|"
                   "dump File (*.dump)|.dump|All Files (*.*)|*.*";
        return "All Memory Files (*.bin;*.hex;*.ihx;*.mx;*.com;*.dasm;*.dlst;*.dump)|"
               "*.bin;*.hex;*.ihx;*.mx;*.com;*.dasm;*.dlst;*.dump|"
               "Disassembled Files (*.dasm;*.dlst)|*.dasm;*.dlst|"
               "Disassembled Source File (*.dasm)|*.dasm|"
               "Disassembled List File (*.dlst)|*.dlst|Binary File (*.bin)|*.bin|"
               "i-Hex File (*.hex;*.ihx)|*.hex;*.ihx|S-rec File (*.mx)|.mx|com File (*.com)|.com|"
               "dump File (*.dump)|.dump|All Files (*.*)|*.*";
    }
    if (key == "IMG") return DiskImageFilter(program);
    if (key == "IMD") return Simple("IMD File", "imd");
    if (key == "FMT") return Simple("Disk Format Files ", "fmt");
    if (key == "PRN") return Simple("Printer Spool File", "prn");
    if (key == "IOREMAPFILES") return "IO map Files (*.iom;*.iomap)|*.iom;*.iomap";
    if (key == "IOPANELS") return "IO Panel Files (*.iop;*.iopanel)|*.iop;*.iopanel";
    if (key == "PIO") return Simple("IO Properties Files ", "pio");
    if (key == "CASSETTE") return std::string("Cassette Tape(*.cas)|*.cas|") + kAllFiles;
    if (key == "DAD") return Simple("Data Definition File", "dad");
    if (key == "TAB") return Simple("Terminal Abilities File", "tab");
    if (key == "FKY") return Simple("Function Key Definition File", "fky");
    if (key == "KBD") return Simple("KeyBoard Definition File", "kbd");
    if (key == "VDOSTEXT")
        return std::string("Text File (*.txt)|*.txt|VersaDoS Text File|") + kVersaDOSTextPatterns +
               "|" + kAllFiles;
    if (key == "VDOSDUMP")
        return std::string("VersaDos Data Block File (*.VDB)|*.VDB|VersaDoS File|") +
               kVersaDOSFilePatterns + "|" + kAllFiles;
    if (key == "VDOSREC")
        return std::string("VersaDos Record File (*.VDR)|*.VDR|VersaDoS File|") +
               kVersaDOSFilePatterns + "|" + kAllFiles;
    if (key == "TXT") return Simple("Text File", "txt");
    if (key == "RTF") return Simple("Rich Text File", "rtf");
    if (key == "IRS") return Simple("Interrupt Reset Settings", "irs");
    if (key == "IDA") return Simple("Interrupt Device Assignments", "ida");
    return "";
}

// "DRV01" .. "DRV12" and, as the programs have always spelled them, "DRV013" .. "DRV016".
int DriveSlotOf(const std::string& key) {
    for (int slot = 1; slot <= 16; ++slot) {
        const std::string two = (slot < 10 ? "0" : "") + std::to_string(slot);
        const std::string name = slot <= 12 ? "DRV" + two : "DRV0" + two;
        if (key == name) return slot;
    }
    return 0;
}

} // namespace

std::string UpperCase(std::string_view text) {
    std::string upper(text);
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

FileType LookupFileType(ProgramCopy program, std::string_view key) {
    const std::string upper = UpperCase(key);
    const bool quarry = program == ProgramCopy::Quarry;
    FileType type;
    type.key = upper;

    if (const int slot = DriveSlotOf(upper); slot != 0 && !quarry) {
        type.filter = DiskImageFilter(program);
        type.defaultExtension = "img";
        type.description = "Disk Image";
        type.pathsKey = std::string("DRIVE") + (slot < 10 ? "0" : "") + std::to_string(slot);
        type.driveSlot = slot;
        return type;
    }
    if (!(quarry && QuarryLacks(upper))) {
        for (const Row& row : kRows) {
            if (upper != row.key) continue;
            type.filter = FilterFor(program, upper);
            type.defaultExtension = row.extension;
            type.description = row.description;
            if (upper == "IMG" && program == ProgramCopy::Osprey)
                type.description = "Raw Disk Image";
            type.pathsKey = row.pathsKey;
            if (upper == "VDOSTEXT" || upper == "VDOSDUMP" || upper == "VDOSREC")
                type.filterIndex = 2;
            return type;
        }
    }
    // Any other key k: its own filter, with k as the caller wrote it.
    const std::string k(key);
    type.filter = "File (*." + k + ")|*." + k + "|" + kAllFiles;
    type.defaultExtension = k;
    type.pathsKey = "ELSE";
    return type;
}

std::vector<FilterEntry> SplitFilter(std::string_view filter) {
    std::vector<FilterEntry> entries;
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= filter.size()) {
        const std::size_t bar = filter.find('|', start);
        const std::size_t end = bar == std::string_view::npos ? filter.size() : bar;
        parts.emplace_back(filter.substr(start, end - start));
        if (bar == std::string_view::npos) break;
        start = bar + 1;
    }
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2)
        entries.push_back({parts[i], parts[i + 1]});
    return entries;
}
