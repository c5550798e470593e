#include "PROGINC/cfilef.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace {

// Index of the last sep in file, -1 when there is none.
long LastSeparator(const char* file, char sep) {
    const char* p = std::strrchr(file, sep);
    return p ? static_cast<long>(p - file) : -1;
}

}  // namespace

bool FileExists(char* f) {
    return f != nullptr && FileExists(std::string(f));
}

bool FileExists(std::string f) {
    std::ifstream in(f);
    return in.is_open();
}

bool RemFile(char* file) {
    return RemFile(static_cast<const char*>(file));
}

bool RemFile(const char* file) {
    if (file == nullptr) return true;
    errno = 0;
    if (std::remove(file) == 0) return true;
    return errno == ENOENT;
}

void GetBasename(char* file, char* bname, char sep) {
    if (bname == nullptr) return;
    const char* name = file ? file : "";
    const long last = sep == '\0' ? -1 : LastSeparator(name, sep);
    const char* base = name + last + 1;
    std::memmove(bname, base, std::strlen(base) + 1);
}

void GetDirname(char* file, char* dname, char sep) {
    if (dname == nullptr) return;
    const char* name = file ? file : "";
    const long last = sep == '\0' ? -1 : LastSeparator(name, sep);
    const std::size_t n = last > 0 ? static_cast<std::size_t>(last) : 0;
    std::memmove(dname, name, n);
    dname[n] = '\0';
}
