#include "TamarinJson.h"

#include "SystemVInode.h"

namespace {

Json InodeJson(const Inode& inode, std::int32_t n) {
    return {{"inode", n},
            {"type", FileTypeText(inode.Mode)},
            {"mode", inode.Mode},
            {"links", inode.Links},
            {"uid", inode.Uid},
            {"gid", inode.Gid},
            {"size", inode.Size},
            {"blocks", inode.BlockAddr},
            {"accessed", IsoDateTime(inode.ATime)},
            {"modified", IsoDateTime(inode.MTime)},
            {"changed", IsoDateTime(inode.CTime)}};
}

} // namespace

Json TamarinListJson(TamarinSession& session, const std::string& image, const std::string& path,
                     std::int32_t directory) {
    const InodeTable& inodes = session.Volume().Inodes();
    Json doc;
    doc["image"] = StoredText(image);
    doc["path"] = StoredText(path);
    doc["inode"] = directory;
    Json entries = Json::array();
    for (const DirListItem& line : session.Lines()) {
        const Inode& inode = inodes.Get(line.ino);
        const bool isDirectory = IsDirectory(inode);
        // A directory's line shows its name in parentheses.
        const std::string name = isDirectory && line.text.size() >= 2 && line.text.front() == '(' &&
                                         line.text.back() == ')'
                                     ? line.text.substr(1, line.text.size() - 2)
                                     : line.text;
        Json entry = InodeJson(inode, line.ino);
        entry["line"] = StoredText(line.text);
        entry["name"] = StoredText(name);
        entries.push_back(std::move(entry));
    }
    doc["entries"] = std::move(entries);
    return doc;
}

Json TamarinInodesJson(TamarinSession& session, const std::string& image) {
    const InodeTable& inodes = session.Volume().Inodes();
    Json doc;
    doc["image"] = StoredText(image);
    doc["inodeCount"] = inodes.InodeCount();
    Json list = Json::array();
    for (std::int32_t n = 1; n <= inodes.InodeCount(); ++n)
        if (inodes.InUse(n)) list.push_back(InodeJson(inodes.Get(n), n));
    doc["inodes"] = std::move(list);
    return doc;
}

Json TamarinSuperBlockJson(TamarinSession& session, const std::string& image) {
    const SuperBlock& s = session.Volume().Super();
    const VolumeGeometry& g = session.Volume().Geometry();
    Json doc;
    doc["image"] = StoredText(image);
    doc["explorable"] = session.IsExplorable();
    doc["magic"] = static_cast<std::uint32_t>(s.Magic);
    doc["fsType"] = s.FsType;
    doc["fileSystemName"] = StoredText(s.FileSystemName);
    doc["packName"] = StoredText(s.PackName);
    doc["state"] = static_cast<std::uint32_t>(s.State);
    doc["stateText"] = StateText(s.State);
    doc["inodeListEnd"] = s.InodeListEnd;
    doc["totalBlocks"] = s.TotalBlocks;
    doc["freeBlocks"] = s.FreeBlocks;
    doc["freeInodes"] = s.FreeInodes;
    doc["lastUpdate"] = IsoDateTime(s.LastUpdate);
    doc["readOnly"] = s.ReadOnlyFlag;
    doc["modified"] = s.Modified;
    doc["geometry"] = {{"blockSize", g.BlockSize},
                       {"sectorsPerBlock", g.SectorsPerBlock},
                       {"inodeBlocks", g.InodeBlocks},
                       {"inodeCount", g.InodeCount},
                       {"volumeBlocks", g.VolumeBlocks}};
    return doc;
}
