#include "FileTypes.h"
#include "SettingsStore.h"
#include "modFile.h"
#include "modInitFileOptions.h"

#include "../support/ScriptedPrompts.h"

#include <gtest/gtest.h>

#include <tuple>

// Lookups ignore case, and a key outside the table gets a filter of its own, written as the
// caller wrote it. The filters of the rows are constants, which the window tests meet in their
// dialogs, and the splitting of filters is in the dialog test's name filters.
TEST(FileTypeTable, KeysRememberedFoldersAndProgramCopies) {
    EXPECT_EQ(LookupFileType(ProgramCopy::Kestrel, "bin").defaultExtension, "bin");
    const FileType other = LookupFileType(ProgramCopy::Kestrel, "xyz");
    EXPECT_EQ(other.filter, "File (*.xyz)|*.xyz|All Files (*.*)|*.*");
    EXPECT_EQ(other.defaultExtension, "xyz");

    // Where each type remembers its folder; Quarry has no ImageDisk, VersaDOS or drive types and
    // the drive keys keep their old three-digit spelling from 13 on.
    const std::tuple<ProgramCopy, const char*, const char*> keys[] = {
        {ProgramCopy::Kestrel, "TXT", "TXT"},        {ProgramCopy::Kestrel, "bin", "BIN"},
        {ProgramCopy::Kestrel, "XYZ", "ELSE"},       {ProgramCopy::Kestrel, "", "ELSE"},
        {ProgramCopy::Kestrel, "DASM", "DAS"},       {ProgramCopy::Kestrel, "VDOSTEXT", "VTXT"},
        {ProgramCopy::Kestrel, "DRV01", "DRIVE01"},  {ProgramCopy::Kestrel, "drv12", "DRIVE12"},
        {ProgramCopy::Kestrel, "DRV013", "DRIVE13"}, {ProgramCopy::Kestrel, "DRV13", "ELSE"},
        {ProgramCopy::Quarry, "IMD", "ELSE"},        {ProgramCopy::Quarry, "DRV01", "ELSE"}};
    for (const auto& [program, key, pathsKey] : keys)
        EXPECT_EQ(LookupFileType(program, key).pathsKey, pathsKey) << key;
    EXPECT_EQ(LookupFileType(ProgramCopy::Kestrel, "DRV016").driveSlot, 16);
    EXPECT_EQ(LookupFileType(ProgramCopy::Kestrel, "DRV05").defaultExtension, "img");

    EXPECT_EQ(LookupFileType(ProgramCopy::Kestrel, "VDOSTEXT").filterIndex, 2);
    EXPECT_EQ(LookupFileType(ProgramCopy::Quarry, "VDOSTEXT").filterIndex, 1);
    EXPECT_EQ(LookupFileType(ProgramCopy::Tamarin, "IMG").description, "Disk Image");
    EXPECT_EQ(LookupFileType(ProgramCopy::Osprey, "IMG").description, "Raw Disk Image");
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
}

TEST(GetFileName, NamesFromAnImageSuggestOneFileInTheDialogsFolder) {
    ScriptedPrompts prompts;
    NoSettings settings;
    modFile files(ProgramCopy::Osprey, prompts, settings);
    const std::pair<std::string, std::string> names[] = {{"../../etc/passwd", ".._.._etc_passwd"},
                                                         {"/etc/passwd", "_etc_passwd"},
                                                         {"..", "__"},
                                                         {".", "_"},
                                                         {std::string("a\0b", 3), "a_b"},
                                                         {"tab\there", "tab\there"},
                                                         {"README.TXT", "README.TXT"}};
    for (const auto& [name, suggested] : names) {
        files.GetFileName(name, "Save", "", 0, "DOS");
        EXPECT_EQ(prompts.fileRequests.back().suggestedName, suggested);
    }
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

// Osprey's window test has the Save All folder remembered with its trailing slash.
TEST(GetDirName, CancelKeepsTheSaveAllFolderAndOtherTypesRememberNothing) {
    ScriptedPrompts prompts;
    MemorySettings settings;
    modFile files(ProgramCopy::Osprey, prompts, settings);
    const std::string startFolder = files.CurrentDirectory();
    EXPECT_EQ(startFolder.back(), '/');
    prompts.directoryAnswers.push_back({"/srv/out", false});
    EXPECT_EQ(files.GetDirName("", "", "SaveAll", 0, "Save All"), "/srv/out/");
    EXPECT_EQ(prompts.directoryRequests[0].second, startFolder);
    EXPECT_EQ(files.GetDirName("", "", "SAVEALL"), "");
    EXPECT_EQ(prompts.directoryRequests[1].second, "/srv/out/");
    EXPECT_EQ(settings.GetSetting("Paths", "SAVEALL"), "/srv/out/");

    prompts.directoryAnswers.push_back({"/var/x/", false});
    EXPECT_EQ(files.GetDirName("", "", "OTHER"), "/var/x/");
    EXPECT_EQ(prompts.directoryRequests[2].second, "/srv/out/");
    EXPECT_EQ(settings.GetSetting("Paths", "SAVEALL"), "/srv/out/");
}

// The enabling the dialog shows is in the window test of the dialog; these are the rules it
// does not reach.
TEST(SaveFileOptions, ExtensionTableAndEnablingRules) {
    EXPECT_EQ(LookupFileOption("sa")->delimiter, AddCRLF);
    EXPECT_EQ(LookupFileOption("XXX")->delimiter, AddCRLF);
    EXPECT_FALSE(LookupFileOption("ZZ"));

    dialogSaveFileModel dialog;
    dialog.Show("DATA", "DB");
    EXPECT_EQ(dialog.Delimiter(), DataOnly);
    EXPECT_FALSE(dialog.ExpandSpaces());
    EXPECT_FALSE(dialog.LittleEndianEnabled());

    // Add Length clears Expand Spaces, which then cannot be set again.
    dialog.Show("SRC", "LS");
    dialog.SelectDelimiter(AddLength);
    EXPECT_FALSE(dialog.ExpandSpacesEnabled());
    dialog.SetExpandSpaces(true);
    EXPECT_FALSE(dialog.ExpandSpaces());

    // The one mapping of the choices to record options, for the window and the command line;
    // Little Endian is kept from one file to the next.
    dialog.SetLittleEndian(true);
    const RecordOptions length = dialog.Options();
    EXPECT_TRUE(length.lengthPrefix && length.littleEndian && !length.crlf && !length.expandSpaces);
    dialog.Show("X", "SA");
    EXPECT_TRUE(dialog.LittleEndian());
    const RecordOptions crlf = dialog.Options();
    EXPECT_TRUE(crlf.crlf && crlf.expandSpaces && !crlf.lengthPrefix);
    EXPECT_FALSE(RecordOptionsFor(DataOnly, false, false).crlf);
    EXPECT_FALSE(RecordOptionsFor(AddLength, true, false).expandSpaces);
}
