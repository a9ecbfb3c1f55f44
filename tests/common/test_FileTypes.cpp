#include "FileTypes.h"
#include "SettingsStore.h"
#include "modFile.h"
#include "modInitFileOptions.h"

#include "../support/ScriptedPrompts.h"

#include <gtest/gtest.h>

TEST(FileTypeTable, KeysFiltersAndRememberedFolders) {
    const FileType txt = LookupFileType(ProgramCopy::Kestrel, "TXT");
    EXPECT_EQ(txt.filter, "Text File (*.txt)|*.txt|All Files (*.*)|*.*");
    EXPECT_EQ(txt.defaultExtension, "txt");
    EXPECT_EQ(txt.description, "Text");
    EXPECT_EQ(txt.pathsKey, "TXT");
    EXPECT_EQ(txt.filterIndex, 1);

    const FileType bin = LookupFileType(ProgramCopy::Kestrel, "bin");
    EXPECT_EQ(bin.filter, "Binary File (*.bin)|*.bin|All Files (*.*)|*.*");
    EXPECT_EQ(bin.pathsKey, "BIN");

    const FileType other = LookupFileType(ProgramCopy::Kestrel, "XYZ");
    EXPECT_EQ(other.filter, "File (*.XYZ)|*.XYZ|All Files (*.*)|*.*");
    EXPECT_EQ(other.defaultExtension, "XYZ");
    EXPECT_EQ(other.pathsKey, "ELSE");

    const FileType none = LookupFileType(ProgramCopy::Kestrel, "");
    EXPECT_EQ(none.filter, "All Files (*.*)|*.*");
    EXPECT_EQ(none.pathsKey, "ELSE");

    // A row whose paths key differs from its type, and one without the All Files entry.
    EXPECT_EQ(LookupFileType(ProgramCopy::Kestrel, "DASM").pathsKey, "DAS");
    EXPECT_EQ(LookupFileType(ProgramCopy::Kestrel, "IOPANELS").filter,
              "IO Panel Files (*.iop;*.iopanel)|*.iop;*.iopanel");
}

TEST(FileTypeTable, VersaDOSTypesSelectTheirSecondFilterEntry) {
    const FileType text = LookupFileType(ProgramCopy::Kestrel, "VDOSTEXT");
    EXPECT_EQ(text.filterIndex, 2);
    EXPECT_EQ(text.pathsKey, "VTXT");
    const auto entries = SplitFilter(text.filter);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[1].description, "VersaDoS Text File");
    EXPECT_EQ(entries[1].patterns.substr(0, 9), "*.AF;*.AG");
    EXPECT_EQ(entries[2].patterns, "*.*");

    const FileType dump = LookupFileType(ProgramCopy::Kestrel, "VDOSDUMP");
    const FileType rec = LookupFileType(ProgramCopy::Kestrel, "VDOSREC");
    EXPECT_EQ(dump.defaultExtension, "VDB");
    EXPECT_EQ(rec.defaultExtension, "VDR");
    EXPECT_EQ(SplitFilter(dump.filter)[1].patterns, SplitFilter(rec.filter)[1].patterns);
}

TEST(FileTypeTable, ProgramCopiesDiffer) {
    const FileType kestrelImg = LookupFileType(ProgramCopy::Kestrel, "IMG");
    const FileType tamarinImg = LookupFileType(ProgramCopy::Tamarin, "IMG");
    const FileType ospreyImg = LookupFileType(ProgramCopy::Osprey, "IMG");
    const FileType quarryImg = LookupFileType(ProgramCopy::Quarry, "IMG");
    EXPECT_EQ(kestrelImg.filter, tamarinImg.filter);
    EXPECT_EQ(kestrelImg.description, "Disk Image");
    EXPECT_EQ(ospreyImg.description, "Raw Disk Image");
    EXPECT_EQ(SplitFilter(ospreyImg.filter)[3].description, "RAW File (*.raw)");
    EXPECT_EQ(quarryImg.filter, "All Disk Image Files (*.img;*.dsk)|*.img;*.dsk|Image File "
                                "(*.img)|*.img|Disk File (*.dsk)|*.dsk|All Files (*.*)|*.*");
    // Quarry has no ImageDisk, VersaDOS or drive types: they fall to the generic row.
    EXPECT_EQ(LookupFileType(ProgramCopy::Quarry, "IMD").pathsKey, "ELSE");
    EXPECT_EQ(LookupFileType(ProgramCopy::Quarry, "VDOSTEXT").filterIndex, 1);
    EXPECT_EQ(LookupFileType(ProgramCopy::Quarry, "DRV01").pathsKey, "ELSE");
    EXPECT_EQ(LookupFileType(ProgramCopy::Quarry, "LOADFILES").filter.find("ihx"),
              std::string::npos);
    EXPECT_NE(LookupFileType(ProgramCopy::Kestrel, "LOADFILES").filter.find("*.hex;*.ihx"),
              std::string::npos);
}

TEST(FileTypeTable, DriveSlotKeys) {
    EXPECT_EQ(LookupFileType(ProgramCopy::Kestrel, "DRV01").pathsKey, "DRIVE01");
    EXPECT_EQ(LookupFileType(ProgramCopy::Kestrel, "drv12").pathsKey, "DRIVE12");
    EXPECT_EQ(LookupFileType(ProgramCopy::Kestrel, "DRV013").pathsKey, "DRIVE13");
    EXPECT_EQ(LookupFileType(ProgramCopy::Kestrel, "DRV016").driveSlot, 16);
    EXPECT_EQ(LookupFileType(ProgramCopy::Kestrel, "DRV13").pathsKey, "ELSE");
    EXPECT_EQ(LookupFileType(ProgramCopy::Kestrel, "DRV05").defaultExtension, "img");
}

TEST(GetFileName, TitlesModesAndRememberedFolders) {
    ScriptedPrompts prompts;
    MemorySettings settings;
    modFile files(ProgramCopy::Kestrel, prompts, settings);

    prompts.fileAnswers.push_back({"/data/disks/DISK1.IMD", false});
    EXPECT_EQ(files.GetFileName("", "OPEN", "IMD", 0, "VersaDOS IMD"), "/data/disks/DISK1.IMD");
    ASSERT_EQ(prompts.fileRequests.size(), 1u);
    EXPECT_EQ(prompts.fileRequests[0].title, "Open VersaDOS IMD File");
    EXPECT_EQ(prompts.fileRequests[0].mode, FileDialogRequest::Mode::Open);
    EXPECT_EQ(settings.GetSetting("Paths", "IMD"), "/data/disks/");

    // The next dialog of any type starts in the folder last chosen; its own folder wins.
    settings.SaveSetting("Paths", "TXT", "/home/me/texts/");
    files.GetFileName("report", "saveas", "TXT");
    EXPECT_EQ(prompts.fileRequests[1].title, "Save Text File As");
    EXPECT_EQ(prompts.fileRequests[1].startDirectory, "/home/me/texts/");
    EXPECT_EQ(prompts.fileRequests[1].suggestedName, "report");
    files.GetFileName("", "Save", "VDOSDUMP", 0, "Raw Data Blocks");
    EXPECT_EQ(prompts.fileRequests[2].title, "Save Raw Data Blocks File");
    EXPECT_EQ(prompts.fileRequests[2].startDirectory, "/data/disks/");
    EXPECT_EQ(prompts.fileRequests[2].filterIndex, 2);
    EXPECT_EQ(prompts.fileRequests[2].mode, FileDialogRequest::Mode::Save);

    // Cancel stores nothing; an unknown mode shows no dialog.
    EXPECT_EQ(settings.GetSetting("Paths", "VDUMP"), "");
    EXPECT_EQ(files.GetFileName("", "PRINT", "TXT"), "");
    EXPECT_EQ(prompts.fileRequests.size(), 3u);

    // Types outside the table remember under ELSE.
    prompts.fileAnswers.push_back({"/tmp/out/x.XYZ", false});
    files.GetFileName("", "SAVE", "XYZ", 0, "UNIX");
    EXPECT_EQ(prompts.fileRequests[3].title, "Save UNIX File");
    EXPECT_EQ(settings.GetSetting("Paths", "ELSE"), "/tmp/out/");
}

TEST(GetFileName, NamesFromAnImageSuggestOneFileInTheDialogsFolder) {
    ScriptedPrompts prompts;
    NoSettings settings;
    modFile files(ProgramCopy::Osprey, prompts, settings);
    const std::string names[] = {"../../etc/passwd", "/etc/passwd", "..", ".", std::string("a\0b", 3),
                                 "tab\there", "README.TXT"};
    for (const std::string& name : names)
        files.GetFileName(name, "Save", "", 0, "DOS");
    ASSERT_EQ(prompts.fileRequests.size(), 7u);
    EXPECT_EQ(prompts.fileRequests[0].suggestedName, ".._.._etc_passwd");
    EXPECT_EQ(prompts.fileRequests[1].suggestedName, "_etc_passwd");
    EXPECT_EQ(prompts.fileRequests[2].suggestedName, "__");
    EXPECT_EQ(prompts.fileRequests[3].suggestedName, "_");
    EXPECT_EQ(prompts.fileRequests[4].suggestedName, "a_b");
    EXPECT_EQ(prompts.fileRequests[5].suggestedName, "tab\there");
    EXPECT_EQ(prompts.fileRequests[6].suggestedName, "README.TXT");
}

TEST(GetFileName, ReadOnlyChoiceOfTheOpenDialog) {
    ScriptedPrompts prompts;
    MemorySettings settings;
    modFile files(ProgramCopy::Quarry, prompts, settings);
    prompts.fileAnswers.push_back({"/imgs/a.img", true});
    bool readOnly = false;
    EXPECT_EQ(files.GetFileName("", "OPEN", "IMG", 0, "Default", &readOnly), "/imgs/a.img");
    EXPECT_TRUE(prompts.fileRequests[0].offerReadOnly);
    EXPECT_EQ(prompts.fileRequests[0].title, "Open Disk Image File");
    EXPECT_TRUE(readOnly);
}

TEST(GetDirName, SaveAllFolderIsRememberedWithTrailingSlash) {
    ScriptedPrompts prompts;
    MemorySettings settings;
    modFile files(ProgramCopy::Osprey, prompts, settings);

    const std::string startFolder = files.CurrentDirectory();
    EXPECT_EQ(startFolder.back(), '/');
    prompts.directoryAnswers.push_back({"/srv/out", false});
    EXPECT_EQ(files.GetDirName("", "", "SaveAll", 0, "Save All"), "/srv/out/");
    ASSERT_EQ(prompts.directoryRequests.size(), 1u);
    EXPECT_EQ(prompts.directoryRequests[0].first, "Directory Path Save All");
    EXPECT_EQ(prompts.directoryRequests[0].second, startFolder);
    EXPECT_EQ(settings.GetSetting("Paths", "SAVEALL"), "/srv/out/");
    EXPECT_EQ(files.CurrentDirectory(), "/srv/out/");

    // Cancel returns "" and keeps the remembered folder, which is the next start.
    EXPECT_EQ(files.GetDirName("", "", "SAVEALL"), "");
    EXPECT_EQ(prompts.directoryRequests[1].second, "/srv/out/");
    EXPECT_EQ(settings.GetSetting("Paths", "SAVEALL"), "/srv/out/");

    // Other folder types start at the current folder and remember nothing.
    prompts.directoryAnswers.push_back({"/var/x/", false});
    EXPECT_EQ(files.GetDirName("", "", "OTHER"), "/var/x/");
    EXPECT_EQ(prompts.directoryRequests[2].second, "/srv/out/");
    EXPECT_EQ(settings.GetSetting("Paths", "SAVEALL"), "/srv/out/");
}

TEST(SaveFileOptions, ExtensionTableAndEnablingRules) {
    ASSERT_TRUE(LookupFileOption("sa"));
    EXPECT_EQ(LookupFileOption("sa")->delimiter, AddCRLF);
    EXPECT_FALSE(LookupFileOption("ZZ"));

    dialogSaveFileModel dialog;
    dialog.Show("PROG", "sa");
    EXPECT_EQ(dialog.Label(), "PROG.sa");
    EXPECT_EQ(dialog.Delimiter(), AddCRLF);
    EXPECT_TRUE(dialog.ExpandSpaces());
    EXPECT_TRUE(dialog.ExpandSpacesEnabled());
    EXPECT_FALSE(dialog.LittleEndianEnabled());

    dialog.Show("DATA", "DB");
    EXPECT_EQ(dialog.Delimiter(), DataOnly);
    EXPECT_FALSE(dialog.ExpandSpaces());
    EXPECT_FALSE(dialog.LittleEndianEnabled());

    // Add Length clears and disables Expand Spaces and enables Little Endian.
    dialog.Show("SRC", "LS");
    dialog.SelectDelimiter(AddLength);
    EXPECT_FALSE(dialog.ExpandSpaces());
    EXPECT_FALSE(dialog.ExpandSpacesEnabled());
    EXPECT_TRUE(dialog.LittleEndianEnabled());
    dialog.SetExpandSpaces(true);
    EXPECT_FALSE(dialog.ExpandSpaces());

    dialog.Show("ODD", "QQ");
    EXPECT_EQ(dialog.Delimiter(), DataOnly);
    EXPECT_FALSE(dialog.ExpandSpaces());

    // Little Endian is program-wide: a later dialog shows the same choice.
    LittleEndianFlag = false;
    dialog.SetLittleEndian(true);
    dialogSaveFileModel other;
    other.Show("X", "LO");
    EXPECT_TRUE(other.LittleEndian());
    LittleEndianFlag = false;
    EXPECT_EQ(LookupFileOption("XXX")->delimiter, AddCRLF);
}
