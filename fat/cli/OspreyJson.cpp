#include "OspreyJson.h"

#include "FatVolume.h"

#include <cstdio>

namespace {

// Day in bits 0-4, month 5-8, years since 1980 in 9-15; a date of 0 was never set.
std::string DateIso(std::int32_t date) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", 1980 + (date >> 9 & 0x7F), date >> 5 & 0x0F,
                  date & 0x1F);
    return text;
}

} // namespace

Json DosDate(std::int32_t date) {
    return date == 0 ? Json() : Json(DateIso(date));
}

Json DosDateTime(std::int32_t date, std::int32_t time) {
    if (date == 0) return nullptr;
    // Seconds are stored halved in bits 0-4, minutes in 5-10, hours in 11-15.
    char text[16];
    std::snprintf(text, sizeof text, "T%02d:%02d:%02d", time >> 11 & 0x1F, time >> 5 & 0x3F,
                  (time & 0x1F) * 2);
    return DateIso(date) + text;
}

Json OspreyListJson(FatExplorer& explorer, const std::string& image, const std::string& path) {
    Json doc;
    doc["image"] = StoredText(image);
    doc["offset"] = explorer.PartitionOffset();
    doc["path"] = StoredText(path);
    const DirectoryList& list = explorer.List();
    doc["labelLine"] = list.VolumeLabel ? Json(StoredText(*list.VolumeLabel)) : Json();
    Json entries = Json::array();
    for (const ListLine& line : list.Lines) {
        const DirEntry& row = explorer.Table().Row(line.Row);
        entries.push_back({
            {"line", StoredText(line.Text)},
            {"name", StoredText(DefaultFileName(row))},
            {"shortName", StoredText(EntryName(row))},
            {"stored", {{"name", StoredText(row.Name)}, {"extension", StoredText(row.Ext)}}},
            {"longName", row.LongName.empty() ? Json() : Json(StoredText(row.LongName))},
            {"type", row.IsDirectory() ? "directory" : "file"},
            {"size", row.Size},
            {"attributes", AttributeLetters(row.Attributes)},
            {"attributeByte", row.Attributes & 0xFF},
            {"modified", DosDateTime(row.ModifyDate, row.ModifyTime)},
            {"created", DosDateTime(row.CreateDate, row.CreateTime)},
            {"accessed", DosDate(row.AccessDate)},
            {"firstCluster", row.FirstCluster},
        });
    }
    doc["entries"] = std::move(entries);
    return doc;
}

Json OspreyBootJson(FatExplorer& explorer, const std::string& image) {
    const FatVolume& volume = explorer.Volume();
    const BootSector& b = volume.Boot();
    const VolumeLayout& l = volume.Layout();
    Json doc;
    doc["image"] = StoredText(image);
    doc["offset"] = explorer.PartitionOffset();
    doc["fatType"] = volume.FatType();
    doc["oemId"] = StoredText(b.OemId);
    doc["bytesPerSector"] = b.BytesPerSector;
    doc["sectorsPerCluster"] = b.SectorsPerCluster;
    doc["reservedSectors"] = b.ReservedSectors;
    doc["numberOfFats"] = b.NumberOfFats;
    doc["rootEntries"] = b.RootEntries;
    doc["smallSectors"] = b.SmallSectors;
    doc["mediaType"] = b.MediaType;
    doc["sectorsPerFat"] = b.SectorsPerFat;
    doc["sectorsPerTrack"] = b.SectorsPerTrack;
    doc["numberOfHeads"] = b.NumberOfHeads;
    doc["hiddenSectors"] = b.HiddenSectors;
    doc["largeSectors"] = b.LargeSectors;
    doc["extendedSignature"] = b.ExtendedSignature;
    doc["serialNumber"] =
        HasSerialNumber(b) ? Json(static_cast<std::uint32_t>(b.VolumeSerialNumber)) : Json();
    doc["volumeLabel"] = HasVolumeLabel(b) ? Json(StoredText(b.VolumeLabel)) : Json();
    doc["systemId"] = HasVolumeLabel(b) ? Json(StoredText(b.SystemId)) : Json();
    doc["bootSignature"] = b.BootSignature;
    doc["layout"] = {{"totalSectors", l.TotalSectors}, {"clusterCount", l.ClusterCount},
                     {"fat0Start", l.Fat0Start},       {"fat1Start", l.Fat1Start},
                     {"rootStart", l.RootStart},       {"dataStart", l.DataStart},
                     {"sectorBytes", l.SectorBytes}};
    return doc;
}

Json OspreyPartitionsJson(const std::vector<PartitionEntry>& entries, const std::string& image) {
    Json doc;
    doc["image"] = StoredText(image);
    Json list = Json::array();
    for (const PartitionEntry& e : entries)
        list.push_back({{"number", e.Number},
                        {"status", e.Status},
                        {"type", e.Type},
                        {"typeName", PartitionTypeName(e.Type)},
                        {"startSector", e.StartSector},
                        {"sectors", e.Sectors},
                        {"byteOffset", e.ByteOffset()}});
    doc["partitions"] = std::move(list);
    return doc;
}
