// File helpers: existence, removal, and base and directory names.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "PROGINC/cfilef.h"

namespace {

std::string TempPath(const std::string& name) {
    return testing::TempDir() + "havorkastilo_cfilef_" + name;
}

void WriteFile(const std::string& path) {
    std::ofstream out(path);
    out << "x\n";
}

}  // namespace

TEST(FileExistence, ReadableFilesOnly) {
    const std::string path = TempPath("exists.txt");
    WriteFile(path);
    std::string name = path;
    EXPECT_TRUE(FileExists(path));
    EXPECT_TRUE(FileExists(&name[0]));
    std::remove(path.c_str());
    EXPECT_FALSE(FileExists(path));
    EXPECT_FALSE(FileExists(&name[0]));
    EXPECT_FALSE(FileExists(std::string("")));
    EXPECT_FALSE(FileExists(static_cast<char*>(nullptr)));
}

TEST(FileRemoval, DeletedOrAbsentIsSuccess) {
    const std::string path = TempPath("remove.txt");
    WriteFile(path);
    std::string name = path;
    EXPECT_TRUE(RemFile(&name[0]));
    EXPECT_FALSE(FileExists(path));
    // Already absent.
    EXPECT_TRUE(RemFile(path.c_str()));
    EXPECT_TRUE(RemFile(&name[0]));
}

TEST(FileRemoval, OtherFailuresAreReported) {
    // A file cannot be removed below something that is not a directory.
    const std::string plain = TempPath("plain.txt");
    WriteFile(plain);
    const std::string below = plain + "/child";
    EXPECT_FALSE(RemFile(below.c_str()));
    std::remove(plain.c_str());
}

TEST(FileNames, BaseAndDirectoryAroundTheLastSeparator) {
    char out[64];
    char path[] = "dir/sub/file.txt";
    GetBasename(path, out, '/');
    EXPECT_STREQ(out, "file.txt");
    GetDirname(path, out, '/');
    EXPECT_STREQ(out, "dir/sub");

    char plain[] = "file.txt";
    GetBasename(plain, out, '/');
    EXPECT_STREQ(out, "file.txt");
    GetDirname(plain, out, '/');
    EXPECT_STREQ(out, "");

    char trailing[] = "dir/";
    GetBasename(trailing, out, '/');
    EXPECT_STREQ(out, "");
    GetDirname(trailing, out, '/');
    EXPECT_STREQ(out, "dir");

    char root[] = "/file";
    GetDirname(root, out, '/');
    EXPECT_STREQ(out, "");
    GetBasename(root, out, '/');
    EXPECT_STREQ(out, "file");

    char windows[] = "C:\\data\\run.log";
    GetBasename(windows, out, '\\');
    EXPECT_STREQ(out, "run.log");
    GetDirname(windows, out, '\\');
    EXPECT_STREQ(out, "C:\\data");
    // Another separator does not occur in it.
    GetDirname(windows, out, '/');
    EXPECT_STREQ(out, "");
}
