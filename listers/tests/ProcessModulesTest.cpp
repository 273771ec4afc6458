#include <gtest/gtest.h>

#include <cstring>

#include "listers/common/ModuleTable.h"
#include "listers/common/ProcessModules.h"

namespace pcn::listers {
namespace {

TEST(ProcessModulesTest, ImagesOfAMapsFileOncePerFileWithoutFolders) {
    const char* maps =
        "55d0c0000000-55d0c0001000 r--p 00000000 08:01 1234    /opt/pcn/bin/LDSCE\n"
        "55d0c0001000-55d0c0002000 r-xp 00001000 08:01 1234    /opt/pcn/bin/LDSCE\n"
        "55d0c1000000-55d0c1021000 rw-p 00000000 00:00 0       [heap]\n"
        "7f0000000000-7f0000001000 r--p 00000000 00:01 77      /memfd:unresolved:KERNEL32.DLL (deleted)\n"
        "7f0000001000-7f0000002000 r--p 00000000 00:01 78      /memfd:jit-cache (deleted)\n"
        "7f0000002000-7f0000003000 r--p 00000000 08:01 99      /home/u/my plugins/Helper.Dll\n"
        "7f0000003000-7f0000004000 rw-s 00000000 00:05 3       /dev/zero (deleted)\n"
        "7f0000004000-7f0000005000 r-xp 00000000 08:01 55      /usr/lib/libold.so.1 (deleted)\n"
        "7f0000005000-7f0000006000 r--p 00000000 08:01 1234    /opt/pcn/bin/LDSCE\n"
        "7ffd00000000-7ffd00001000 r-xp 00000000 00:00 0       [vdso]\n"
        "7ffd00002000-7ffd00003000 rw-p 00000000 00:00 0";
    EXPECT_EQ(imageNamesFromMaps(maps),
              (std::vector<std::string>{"LDSCE", "KERNEL32.DLL", "Helper.Dll", "libold.so.1"}));
}

TEST(ProcessModulesTest, HostNamesIgnoreCase) {
    EXPECT_TRUE(isHostName("LDSCE"));
    EXPECT_TRUE(isHostName("ldsce.exe"));
    EXPECT_FALSE(isHostName("LDSCE2"));
    EXPECT_FALSE(isHostName("pcn"));
}

TEST(ModuleTableTest, BufferAndIndexRules) {
    ModuleTable table;
    ASSERT_TRUE(table.add("kernel32.dll"));  // 12 characters
    ASSERT_TRUE(table.add(std::string(259, 'x')));
    EXPECT_FALSE(table.add(std::string(260, 'y')));  // no room for its terminator
    EXPECT_EQ(table.count(), 2);

    char buffer[32];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(table.copyName(0, buffer, 12), 0);  // exactly the name's length: no terminator room
    EXPECT_EQ(buffer[0], '#');
    EXPECT_EQ(table.copyName(0, buffer, 13), 1);
    EXPECT_STREQ(buffer, "kernel32.dll");
    EXPECT_EQ(table.copyName(-1, buffer, 32), 0);
    EXPECT_EQ(table.copyName(100, buffer, 32), 0);
    EXPECT_EQ(table.copyName(5, buffer, 32), 1);  // an empty slot below 100 reads as ""
    EXPECT_STREQ(buffer, "");

    for (int i = 0; i < 120; ++i) table.add("m" + std::to_string(i));
    EXPECT_EQ(table.count(), 100);
    EXPECT_EQ(table.copyName(99, buffer, 32), 1);
    EXPECT_STREQ(buffer, "m97");
    table.clear();
    EXPECT_EQ(table.count(), 0);
}

}  // namespace
}  // namespace pcn::listers
