// The uninstaller removes its own copy in the destination folder, which a
// running program cannot do to its image. So it runs from a copy in a
// private temporary folder, which goes when Windows next starts.
#pragma once

// Called with the arguments: 1 when this process is to remove the product,
// 0 when a temporary copy of it has taken over. The copy waits for this
// process to end first. When no copy can be made, this process goes on.
int TakeOverInTemporaryCopy(int count, char** arguments, const char* logPath);

// In the temporary copy: its file and folder go when Windows next starts.
void RemoveTemporaryCopyLater();
