// The settings block of a typical package: no sound, white text on a blue
// gradient, four sheets without pictures, no banners, and four commands that
// run a program from the destination folder with different arguments.
#pragma once
#include "package/package_writer.h"

inline CommandSpec DemoCommand(const char* arguments)
{
    CommandSpec c;
    c.present = true;
    c.folder = 0;
    c.path = "\\Demo.exe";
    c.arguments = arguments;
    return c;
}

inline Bytes TypicalSettings()
{
    Bytes s;
    PutSoundRecord(s, ItemSpec{}, 0);
    Appearance look = DefaultAppearance();
    look.BackgroundStyle = STYLE_BLUE;
    PutAppearanceRecord(s, look);
    for (int i = 0; i < 4; i++)
        PutSheetRecord(s, ItemSpec{}, 0);
    PutBannerHead(s, 0, 0);
    PutCommandRecord(s, COMMAND_UNINSTALL_1, DemoCommand("/uninstall /quiet"));
    PutCommandRecord(s, COMMAND_UNINSTALL_2, DemoCommand("/cleanup"));
    PutCommandRecord(s, COMMAND_INSTALL, DemoCommand("/register"));
    PutCommandRecord(s, COMMAND_INSTALL, DemoCommand("/after-setup"));
    return s;
}
