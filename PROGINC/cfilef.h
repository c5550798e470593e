// Helpers on files and file names.
//
// They report nothing.  The name helpers write into buffers owned by the
// caller, who guarantees that they are large enough; a null name counts as
// the empty name.
#ifndef PROGINC_CFILEF_H
#define PROGINC_CFILEF_H

#include <string>

// True when the file f can be opened for reading (it is closed again at once).
bool FileExists(char* f);
bool FileExists(std::string f);

// Deletes the file; true when it was deleted or did not exist, false on any
// other failure (e.g. a directory, or no permission).
bool RemFile(char* file);
bool RemFile(const char* file);

// bname = the text of file after its last separator sep, or the whole name
// when sep does not occur ("dir/a.txt" with '/' gives "a.txt").
void GetBasename(char* file, char* bname, char sep);

// dname = the text of file before its last separator sep (without it), or the
// empty text when sep does not occur ("dir/a.txt" with '/' gives "dir").
void GetDirname(char* file, char* dname, char sep);

#endif  // PROGINC_CFILEF_H
