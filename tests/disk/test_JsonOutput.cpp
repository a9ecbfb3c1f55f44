// --json of every listing and report command: the document parses, has the structure that
// docs/json.md shows for the command, and carries the same names and sizes as the text report
// of the same image.
#include "Golden.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>

using nlohmann::json;
namespace fs = std::filesystem;

namespace {

// The examples of docs/json.md by heading ("osprey ls"); identify's lines by their "read".
std::map<std::string, json> DocExamples() {
    std::ifstream in(std::string(SUITE_SOURCE_DIR) + "/docs/json.md");
    std::map<std::string, json> examples;
    std::string line, heading, block;
    bool inBlock = false;
    while (std::getline(in, line)) {
        if (line.rfind("## ", 0) == 0) heading = line.substr(3);
        if (line == "```json") {
            inBlock = true;
            block.clear();
        } else if (line == "```" && inBlock) {
            inBlock = false;
            if (heading == "identify") {
                for (const std::string& doc : SplitLines(block)) {
                    const json j = json::parse(doc);
                    examples.emplace("identify " + std::string(j["read"] ? "read" : "unread"), j);
                }
            } else {
                examples[heading] = json::parse(block);
            }
        } else if (inBlock) {
            block += line + "\n";
        }
    }
    return examples;
}

// The real output has the example's keys, no others, and values of the same kinds; a null in
// the example stands for any value, the first element of an example's array for every element.
void ExpectShape(const json& example, const json& real, const std::string& where) {
    if (example.is_null()) return;
    if (example.is_number()) {
        EXPECT_TRUE(real.is_number()) << where << ": " << real;
        return;
    }
    ASSERT_EQ(example.type_name(), std::string(real.type_name())) << where;
    if (example.is_object()) {
        for (const auto& [key, value] : example.items()) {
            EXPECT_TRUE(real.contains(key)) << where << ": no " << key;
            if (real.contains(key)) ExpectShape(value, real[key], where + "." + key);
        }
        for (const auto& [key, value] : real.items())
            EXPECT_TRUE(example.contains(key)) << where << ": " << key << " is not described";
    } else if (example.is_array() && !example.empty()) {
        for (std::size_t i = 0; i < real.size(); ++i)
            ExpectShape(example[0], real[i], where + "[" + std::to_string(i) + "]");
    }
}

// The values of key in every element of array.
std::vector<std::string> Column(const json& array, const std::string& key) {
    std::vector<std::string> values;
    for (const json& element : array)
        values.push_back(element[key].is_string() ? element[key].get<std::string>()
                                                  : element[key].dump());
    return values;
}

struct Case {
    std::string heading; // of docs/json.md
    std::string program; // path of the executable
    std::string command; // the arguments after the program, without --json
    // Compares the document with the text output of the same command (and others).
    std::function<void(const json& doc, const std::string& text)> check;
};

} // namespace

std::string PartitionedDisk(const std::string& volume); // in test_Identify.cpp

TEST(JsonOutput, EveryCommandAgainstItsTextAndTheDescription) {
    const std::string samples = SUITE_SAMPLES_DIR;
    const std::string kestrel = KESTREL_EXE, tamarin = TAMARIN_EXE, osprey = OSPREY_EXE,
                      quarry = QUARRY_EXE;
    const std::string k = samples + "/kestrel-sample.imd", t = samples + "/tamarin-sample.imd",
                      o = samples + "/osprey-sample.img", q = samples + "/quarry-sample.img";
    // The CP/M sample with two files erased, a block of one taken by a new file, and a third
    // erased: one erased file can be undeleted, one has a block held.
    const std::string erased = (fs::temp_directory_path() / "json-erased.img").string();
    const std::string added = (fs::temp_directory_path() / "NEW.TXT").string();
    fs::copy_file(q, erased, fs::copy_options::overwrite_existing);
    std::ofstream(added) << std::string(2000, 'x');
    for (const std::string& step :
         {" erase " + erased + " 1:NOTES.TXT", " erase " + erased + " 1:SINE.BIN",
          " add " + erased + " " + added, " erase " + erased + " README.TXT"})
        ASSERT_EQ(RunShell(quarry + step + " 2>/dev/null").status, 0);
    // A partitioned disk: the floppy volume behind a master boot record at sector 63.
    const std::string disk = (fs::temp_directory_path() / "json-partitioned.img").string();
    {
        std::ifstream in(o, std::ios::binary);
        std::ofstream(disk, std::ios::binary)
            << PartitionedDisk(std::string{std::istreambuf_iterator<char>(in), {}});
    }
    const auto sameLines = [](const char* array) {
        return [array](const json& doc, const std::string& text) {
            EXPECT_EQ(Column(doc[array], "line"), SplitLines(text));
        };
    };

    const std::vector<Case> cases = {
        {"info", kestrel, "info " + k,
         [](const json& doc, const std::string& text) {
             EXPECT_NE(text.find("Tracks: " + doc["tracks"].dump() + "\n"), std::string::npos);
             EXPECT_NE(text.find("Compressed sectors: " + doc["compressedSectors"].dump()),
                       std::string::npos);
             EXPECT_NE(text.find("Format changes: " + std::to_string(doc["formatChanges"].size())),
                       std::string::npos);
         }},
        {"kestrel catalogs", kestrel, "catalogs " + k, sameLines("catalogs")},
        {"kestrel files", kestrel, "files " + k + " 7.UTIL", sameLines("files")},
        {"kestrel dir", kestrel, "dir " + k,
         [&](const json& doc, const std::string&) {
             // Form 1 lists USER.CATALOG.NAME.EXT, one file a line, after a header.
             std::vector<std::string> names;
             for (const json& f : doc["files"]) {
                 char user[8];
                 std::snprintf(user, sizeof user, "%04d", f["user"].get<int>());
                 names.push_back(user + ("." + f["catalog"].get<std::string>() + "." +
                                         f["name"].get<std::string>()));
             }
             std::vector<std::string> lines =
                 SplitLines(RunShell(kestrel + " dir --form 1 " + k + " 2>/dev/null").out);
             lines.erase(lines.begin(), lines.begin() + 5);
             EXPECT_EQ(names, lines);
         }},
        {"tamarin ls", tamarin, "ls " + t + " /",
         [&](const json& doc, const std::string& text) {
             EXPECT_EQ(Column(doc["entries"], "line"), SplitLines(text));
             // Each size is the one the inode view shows.
             for (const json& e : doc["entries"]) {
                 const std::string view = RunShell(tamarin + " show " + t + " '#" +
                                                   e["inode"].dump() + "'" + " 2>/dev/null")
                                              .out;
                 EXPECT_NE(view.find("Bytes " + e["size"].dump() + "("), std::string::npos)
                     << e["name"];
             }
         }},
        {"tamarin inodes", tamarin, "inodes " + t,
         [](const json& doc, const std::string& text) {
             std::vector<std::string> fromText;
             for (const std::string& line : SplitLines(text))
                 if (line.rfind("Inode ", 0) == 0)
                     fromText.push_back(line.substr(6, line.find(' ', 6) - 6));
             EXPECT_EQ(Column(doc["inodes"], "inode"), fromText);
             for (const json& i : doc["inodes"])
                 EXPECT_NE(text.find("Bytes " + i["size"].dump() + "("), std::string::npos);
         }},
        {"tamarin superblock", tamarin, "superblock " + t,
         [](const json& doc, const std::string& text) {
             EXPECT_NE(text.find(doc["fileSystemName"].get<std::string>()), std::string::npos);
             EXPECT_NE(text.find(doc["stateText"].get<std::string>()), std::string::npos);
         }},
        {"osprey ls", osprey, "ls " + o + " /Docs",
         [&](const json& doc, const std::string& text) {
             EXPECT_EQ(Column(doc["entries"], "line"), SplitLines(text));
             // The detailed listing shows each file's size after SZ.
             const std::string detail =
                 RunShell(osprey + " ls --detail " + o + " /Docs" + " 2>/dev/null").out;
             for (const json& e : doc["entries"]) {
                 if (e["type"] != "file") continue;
                 char size[32];
                 std::snprintf(size, sizeof size, "SZ (%07lld)", e["size"].get<long long>());
                 EXPECT_NE(detail.find(size), std::string::npos) << e["name"];
             }
         }},
        {"quarry dir", quarry, "dir " + q,
         [&](const json& doc, const std::string& text) {
             // The SHORT listing: names of 15 characters, two blanks apart, before the summary.
             std::vector<std::string> names;
             for (const std::string& line : SplitLines(text)) {
                 if (line.rfind("Files Listed - ", 0) == 0) break;
                 for (std::size_t i = 0; i + 15 <= line.size(); i += 17)
                     names.push_back(line.substr(i, 15));
             }
             EXPECT_EQ(Column(doc["files"], "listed"), names);
             // The FULL listing gives each file's exact size after its last extent.
             std::vector<std::string> sizes = Column(doc["files"], "size"), fullSizes;
             for (const std::string& line :
                  SplitLines(RunShell(quarry + " dir --full " + q + " 2>/dev/null").out))
                 if (line.rfind(" File Size - ", 0) == 0) fullSizes.push_back(line.substr(13));
             std::sort(sizes.begin(), sizes.end());
             std::sort(fullSizes.begin(), fullSizes.end());
             EXPECT_EQ(sizes, fullSizes);
             const json& sum = doc["summary"];
             for (const auto& [label, key] : {std::pair{"Total Files - ", "totalFiles"},
                                              {"Directory Entries Used - ", "entriesUsed"},
                                              {"Blocks Used - ", "blocksUsed"},
                                              {"Blocks Availible - ", "blocksAvailable"}})
                 EXPECT_NE(text.find(label + sum[key].dump() + "\n"), std::string::npos) << key;
         }},
        {"quarry dir --erased", quarry, "dir --erased " + erased,
         [](const json& doc, const std::string& text) {
             const std::vector<std::string> lines = SplitLines(text);
             ASSERT_EQ(doc["erased"].size(), 2u);
             ASSERT_EQ(lines.size(), 4u);
             for (std::size_t i = 0; i < doc["erased"].size(); ++i) {
                 const json& e = doc["erased"][i];
                 char start[64];
                 std::snprintf(start, sizeof start, "%s  Entry%5d  Bytes%9lld",
                               e["listed"].get<std::string>().c_str(), e["entries"][0].get<int>(),
                               e["size"].get<long long>());
                 EXPECT_EQ(lines[i].rfind(start, 0), 0u) << lines[i];
                 EXPECT_NE(lines[i].find(e["state"].get<std::string>()), std::string::npos);
             }
         }},
        {"osprey boot", osprey, "boot " + o,
         [](const json& doc, const std::string& text) {
             for (const char* field : {"bytesPerSector", "rootEntries", "smallSectors"})
                 EXPECT_NE(text.find("(" + doc[field].dump() + ")"), std::string::npos) << field;
         }},
        {"osprey partitions", osprey, "partitions " + disk,
         [](const json& doc, const std::string& text) {
             ASSERT_EQ(doc["partitions"].size(), 1u);
             EXPECT_NE(text.find(doc["partitions"][0]["byteOffset"].dump()), std::string::npos);
         }},
    };

    const std::map<std::string, json> examples = DocExamples();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.heading);
        const CommandRun text = RunShell(c.program + " " + c.command + " 2>/dev/null");
        const CommandRun doc = RunShell(c.program + " " + c.command + " --json 2>/dev/null");
        ASSERT_EQ(doc.status, text.status);
        const json parsed = json::parse(doc.out);
        ASSERT_TRUE(examples.count(c.heading)) << "docs/json.md has no example";
        ExpectShape(examples.at(c.heading), parsed, c.heading);
        c.check(parsed, text.out);
    }

    // identify: one document a line, as the text's lines, in both shapes.
    const std::string images = k + " " + disk + " " + o + ".missing";
    const CommandRun text = RunShell(osprey + " identify " + images + " 2>/dev/null");
    const CommandRun docs = RunShell(osprey + " identify --json " + images + " 2>/dev/null");
    EXPECT_EQ(docs.status, 1);
    EXPECT_EQ(text.status, 1);
    const std::vector<std::string> textLines = SplitLines(text.out),
                                   docLines = SplitLines(docs.out);
    ASSERT_EQ(docLines.size(), 3u);
    ASSERT_EQ(textLines.size(), 3u);
    for (std::size_t i = 0; i < docLines.size(); ++i) {
        const json id = json::parse(docLines[i]);
        ExpectShape(examples.at(id["read"] ? "identify read" : "identify unread"), id, "identify");
        if (id["read"])
            EXPECT_NE(textLines[i].find(id["fileSystem"].get<std::string>() + " (" +
                                        id["detail"].get<std::string>() + "), " +
                                        id["program"].get<std::string>()),
                      std::string::npos)
                << textLines[i];
    }
    fs::remove(disk);
    fs::remove(erased);
    fs::remove(added);
}
