#include "KestrelJson.h"

#include "VersaDOSCatalog.h"

namespace {

// Day 1 is 1 January 1980.
Json VersaDOSIsoDate(std::int32_t days) {
    return IsoDate(std::int64_t{days} - 1 + 3652);
}

Json VolumeJson(KestrelSession& session) {
    const VIDRecord& v = session.Volume().VID();
    return {{"name", StoredText(v.volumeName)},
            {"user", v.userNumber},
            {"descriptor", StoredText(v.descriptor)},
            {"version", StoredText(v.versionText)},
            {"generated", VersaDOSIsoDate(v.generationDate)}};
}

Json EntryJson(const DirEntry& e) {
    return {{"name", StoredText(Trim(e.fileName) + "." + Trim(e.extension))},
            {"stored", {{"name", StoredText(e.fileName)}, {"extension", StoredText(e.extension)}}},
            {"type", FileTypeName(e.fileType)},
            {"fileType", e.fileType},
            {"firstSector", e.fileStart},
            {"fileEnd", e.fileEnd},
            {"sectorEOF", e.sectorEOF},
            {"recordEOF", e.recordEOF},
            {"recordLength", e.recordLength},
            {"keyLength", e.keyLength},
            {"fabLength", e.fabLength},
            {"dataBlockLength", e.dbLength},
            {"writeCode", e.writeCode},
            {"readCode", e.readCode},
            {"changed", VersaDOSIsoDate(e.dateChanged)},
            {"accessed", VersaDOSIsoDate(e.dateAccessed)}};
}

} // namespace

Json KestrelCatalogsJson(KestrelSession& session, const std::string& image, Prompts& prompts,
                         EventHook& hook) {
    Json doc;
    doc["image"] = StoredText(image);
    doc["volume"] = VolumeJson(session);
    Json catalogs = Json::array();
    VersaDOSCatalog catalog(*session.Disk(), prompts, hook);
    for (const ListItem& item : session.Catalogs()) {
        std::vector<ListItem> files;
        catalog.SelectCatalog(static_cast<std::int32_t>(item.data), files);
        const PDBRecord& pdb = catalog.CurrentPDB();
        catalogs.push_back({{"line", StoredText(item.text)},
                            {"user", pdb.userNumber},
                            {"catalog", StoredText(Trim(pdb.catalogName))},
                            {"stored", StoredText(pdb.catalogName)},
                            {"firstPdbSector", item.data},
                            {"files", files.size()}});
    }
    doc["catalogs"] = std::move(catalogs);
    return doc;
}

Json KestrelFilesJson(KestrelSession& session, const std::string& image, Prompts&, EventHook&) {
    Json doc;
    doc["image"] = StoredText(image);
    const int selected = session.SelectedCatalog();
    doc["catalog"] = selected < 0 ? Json() : Json(StoredText(session.Catalogs()[selected].text));
    Json files = Json::array();
    for (std::size_t i = 0; i < session.Files().size(); ++i) {
        Json file = EntryJson(*session.FileEntry(static_cast<int>(i)));
        file["line"] = StoredText(session.Files()[i].text);
        files.push_back(std::move(file));
    }
    doc["files"] = std::move(files);
    return doc;
}

Json KestrelDirJson(KestrelSession& session, const std::string& image, Prompts& prompts,
                    EventHook& hook) {
    Json doc;
    doc["image"] = StoredText(image);
    doc["volume"] = VolumeJson(session);
    VersaDOSCatalog catalog(*session.Disk(), prompts, hook);
    catalog.BuildCatalogTable(session.Catalogs());
    Json files = Json::array();
    for (const CatalogFile& f : catalog.CatalogTable()) {
        Json file = EntryJson(f.entry);
        file["user"] = f.userNumber;
        file["catalog"] = StoredText(Trim(f.catalogName));
        files.push_back(std::move(file));
    }
    doc["files"] = std::move(files);
    return doc;
}
