// The whole headless path a user takes on an image with each reader: every report, every view of
// every file and every save, as the windows and commands run them. The fuzz targets run these on
// their inputs and the mutation tests on damaged copies of good images; neither expects any
// particular result, only that each path ends without a crash, a hang, a write to the image or
// a write outside the folders given.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

class SectorSource;

// Opens the ImageDisk image as Kestrel and Tamarin do, prints the info summary and reads every
// logical sector up to one past the last track the file holds, alone and in runs (of a track
// the file lacks or whose sectors are neither 128 nor 256 bytes only its first sector).
void ImageDiskPath(const std::string& image);

// Kestrel on disk (an ImageDisk drive or bare sectors): volume test and report, catalog load,
// the whole-disk listing in its four forms, every catalog, every file of each (the first 8 of
// the volume) in every view with the data-block or record save into saves, a few single blocks
// and Save All of every file into target.
void KestrelPath(std::unique_ptr<SectorSource> disk, const std::string& saves,
                 const std::string& target);
// The same on an ImageDisk file opened as Kestrel opens one.
void KestrelImagePath(const std::string& image, const std::string& saves,
                      const std::string& target);

// Quarry on a CP/M image: format by size, the SHORT and FULL listings sorted and not, and Type,
// Dump and Upload (into uploads) of every listed file (the first 8).
void QuarryReadingPath(const std::string& image, const std::string& uploads);

// Tamarin on disk (an ImageDisk drive or bare sectors): volume, super block and inode table;
// for every inode (the first 512) its inode view, its directory list, and for files of up to
// 256 KB the text and dump views and Save File into saves; a few paths and blocks.
void TamarinPath(std::unique_ptr<SectorSource> disk, const std::string& saves);
// The same on an ImageDisk file opened as Tamarin opens one.
void TamarinImagePath(const std::string& image, const std::string& saves);

// Osprey on a flat image: the partition list; then at offset 0 and at each partition the
// volume's boot sector, FAT 0 and raw root texts (the latter for roots of up to 256 KB); for the
// root and each sub-directory reached from it (each directory once, at most 24) the listing, every
// row (at most 64) as entry, text and dump, every file saved into saves and Save All into target.
void OspreyPath(const std::string& image, const std::string& saves, const std::string& target);
