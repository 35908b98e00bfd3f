// A typical package for the tests and the benchmarks: 63 string slots, and the settings of a
// package with no sound, white text on a blue gradient, four sheets without
// pictures, no banners, and four commands that run a program from the
// destination folder with different arguments.
#pragma once
#include "package/package_writer.h"

inline CommandData ProgramCommand(int16_t folder, const char* path, const char* arguments, uint8_t flags = 0,
                                  const char* message = "")
{
    CommandData c;
    c.present = true;
    c.folder = folder;
    c.path = path;
    c.arguments = arguments;
    c.flags = flags;
    c.message = message;
    return c;
}

inline CommandData DemoCommand(const char* arguments)
{
    return ProgramCommand(0, "\\Demo.exe", arguments);
}

enum { TYPICAL_SLOTS = 63 };

inline std::vector<std::string> TypicalTexts()
{
    std::vector<std::string> texts;
    for (int i = 0; i < TYPICAL_SLOTS; i++)
        texts.push_back("Slot " + std::to_string(i));
    texts[1] = "Demo Setup";
    texts[2] = "Copyright Demo Makers";
    texts[3] = "Demo 1.0";
    texts[8] = "This will install Demo 1.0 on your computer. Do you want to continue?";
    texts[9] = "Initializing...";
    texts[10] = "Preparing setup, please wait.";
    return texts;
}

inline Bytes TypicalSettings()
{
    Bytes s;
    PutSoundRecord(s, ItemData{}, 0);
    Appearance look = DefaultAppearance();
    look.BackgroundStyle = STYLE_BLUE;
    PutAppearanceRecord(s, look);
    for (int i = 0; i < 4; i++)
        PutSheetRecord(s, ItemData{}, 0);
    PutBannerHead(s, 0, 0);
    PutCommandRecord(s, COMMAND_UNINSTALL_1, DemoCommand("/uninstall /quiet"));
    PutCommandRecord(s, COMMAND_UNINSTALL_2, DemoCommand("/cleanup"));
    PutCommandRecord(s, COMMAND_INSTALL, DemoCommand("/register"));
    PutCommandRecord(s, COMMAND_INSTALL, DemoCommand("/after-setup"));
    return s;
}

inline Bytes TypicalScript()
{
    Bytes script;
    PutStringTable(script, TypicalTexts());
    const Bytes settings = TypicalSettings();
    script.insert(script.end(), settings.begin(), settings.end());
    return script;
}

// A script of these texts with no sound and no pictures, the default look,
// and the given install and uninstall commands, none unless given: a setup
// that runs on its own.
inline Bytes PlainScript(const std::vector<std::string>& texts, const CommandData& firstInstall = CommandData{},
                         const CommandData& secondInstall = CommandData{},
                         const CommandData& firstUninstall = CommandData{})
{
    Bytes script;
    PutStringTable(script, texts);
    PutSoundRecord(script, ItemData{}, 0);
    PutAppearanceRecord(script, DefaultAppearance());
    for (int i = 0; i < 4; i++)
        PutSheetRecord(script, ItemData{}, 0);
    PutBannerHead(script, 0, 0);
    PutCommandRecord(script, COMMAND_UNINSTALL_1, firstUninstall);
    PutCommandRecord(script, COMMAND_UNINSTALL_2, CommandData{});
    PutCommandRecord(script, COMMAND_INSTALL, firstInstall);
    PutCommandRecord(script, COMMAND_INSTALL, secondInstall);
    return script;
}

// A data block with an empty file, shortcut and registry section.
inline Bytes EmptyDataBlock()
{
    return Bytes(6, 0);
}

// The files of a data block, its file section's length, and a shortcut
// section of one link on the desktop to a file of the product: what the
// data blocks of the install tests begin with, their registry section next.
inline Bytes FilesAndDesktopLink(const std::vector<FileEntry>& files, uint32_t* sectionLength, const char* target,
                                 const char* linkName)
{
    Bytes data;
    PutU16(data, (uint16_t)files.size());
    for (const FileEntry& f : files)
        PutFileRecord(data, f);
    *sectionLength = (uint32_t)data.size();
    PutU16(data, 1);
    ShortcutEntry link;
    link.target = target;
    link.linkFolder = LINK_DESKTOP;
    link.linkName = linkName;
    PutShortcutRecord(data, link);
    return data;
}
