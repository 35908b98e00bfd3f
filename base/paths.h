// Paths walked by character, and the joining of a folder code with a name.
// A folder string is empty or ends in exactly one backslash; the folders
// themselves are shared state (shared.h).
#pragma once
#include <stddef.h>

enum { PATH_SIZE = 260 }; // bytes of a path buffer, terminator included

enum FolderCode {
    FOLDER_DESTINATION = 0,
    FOLDER_SYSTEM = 1,
    FOLDER_WINDOWS = 2,
};

// The character after the one at text; text itself at the terminator.
const char* NextChar(const char* text);

// Puts size bytes of lead-byte ranges (pairs of first and last byte, ended
// by a 0 pair, at most 12 bytes) in the place of the shared ones NextChar
// walks by; for tools, which read a package in its own code page.
void UseLeadByteRanges(const unsigned char* ranges, size_t size);

// Turns the n characters a system call reported into a folder string: a
// backslash is appended when missing. A report of 0, or one that does not fit
// with its backslash and terminator, leaves the buffer empty. Returns n.
size_t EndFolderString(char* buffer, size_t n);

// Whether two texts are equal byte for byte.
int SameText(const char* a, const char* b);
// Whether the last character is a backslash.
int EndsInBackslash(const char* text);
// The last backslash character of text, or null.
const char* LastBackslash(const char* text);
// The last component of a path, without the backslash a folder ends in; out
// holds PATH_SIZE bytes, path is at most that long.
void LastPathComponent(char* out, const char* path);
// The last count characters of text, or all of it when it is shorter.
const char* LastChars(const char* text, size_t count);
// Appends text to the string in out (size bytes) if the whole of it fits;
// otherwise leaves out as it was and returns 0.
int AppendText(char* out, size_t size, const char* text);

// Cuts a file path behind its last separator, leaving drive and folder.
void CutToFolder(char* path);
// Drive and folder of a path, up to its last backslash or slash, into out.
void FolderOfPath(char* out, const char* path);

// Joins the folder of code 0, 1 or 2 with name, whose one leading backslash is
// dropped, and returns 1. Any other code copies name as it stands and returns
// 0. A result that would not fit PATH_SIZE leaves out empty.
int ResolveFolderPath(int code, char* out, const char* name);

// Copies the joined parts into out if they fit PATH_SIZE; otherwise out is
// emptied and 0 returned.
int JoinPath(char* out, const char* folder, const char* name);
