// Files the install replaces are moved aside in their own folder, not
// overwritten, for as long as the install runs, under a name that carries
// the log's number (OlderCopyName): removing the file that replaced one,
// the rollback or the uninstaller puts it back; a completed install deletes
// them. Worker thread only.
#pragma once

enum OlderCopyResult {
    OLDER_COPY_REFUSED = 0,   // a folder, a read-only file, a file in use, a name that does not fit
    OLDER_COPY_NONE = 1,      // nothing is at the path
    OLDER_COPY_SET_ASIDE = 2, // what was there has been moved aside
    OLDER_COPY_IS_OWN = 3,    // what is there replaced a copy set aside by this install
};

// Moves what is at path aside; an OlderCopyResult.
int SetAsideOlderCopy(const char* path);
// The copy set aside last goes back in place, over what stands there now:
// the change that was to replace it did not happen.
void PutBackLastOlderCopy();
// The rollback has put every copy back.
void ForgetOlderCopies();
// The install is complete: the copies set aside are deleted, or when that
// fails, marked for deletion when Windows next starts.
void DropOlderCopies();
