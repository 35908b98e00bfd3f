// Files the install replaces are moved aside in their own folder, not
// overwritten, for as long as the install runs: a rollback puts them back,
// a completed install deletes them. Worker thread only.
#pragma once

// 1 when nothing is at path, 2 when what is there has been moved aside, 0
// when it cannot be replaced: a folder, a read-only file, a file in use, or one for
// whose new name the path has no room.
int SetAsideOlderCopy(const char* path);
// The copy set aside last goes back in place, over what stands there now:
// the write that was to replace it failed.
void PutBackLastOlderCopy();
// Every copy goes back, the last set aside first.
void PutBackOlderCopies();
// The install is complete: the copies set aside are deleted, or when that
// fails, marked for deletion when Windows next starts.
void DropOlderCopies();
