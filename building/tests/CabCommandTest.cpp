// parcelon cab, run as a user would.

#include <gtest/gtest.h>

#include "cabinet/tests/CabinetTestSupport.h"

namespace pcn::cabinet::test {
namespace {

std::string parcelon() { return quoted(fs::path(PCN_PROGRAM_DIR) / "parcelon"); }

TEST(CabCommand, SpanningSetWithSubFoldersAndReserve) {
    ScratchFolder dir;
    std::map<std::string, std::string> expected;
    for (int i = 0; i < 20; ++i) {
        const std::string name = (i % 2 ? "docs/" : "bin/x/") + std::to_string(i) + ".dat";
        expected["tree/" + name] = i % 3 ? textData(20000, unsigned(i)) : noiseData(20000, unsigned(i));
        writeBytes(dir / "src" / "tree" / name, expected["tree/" + name]);
    }
    const CommandResult r = run(parcelon() + " cab " + quoted(dir / "out" / "set.cab") + " " + quoted(dir / "src" / "tree") +
                                " --span 60000 --reserve 6144 --level small");
    ASSERT_EQ(r.exitCode, 0) << r.output;
    EXPECT_TRUE(fs::exists(dir / "out" / "set.cab"));
    EXPECT_TRUE(fs::exists(dir / "out" / "set2.cab"));
    for (const auto& e : fs::directory_iterator(dir / "out")) EXPECT_LE(fs::file_size(e.path()), 60000u);
    EXPECT_EQ(parseCabinet(readBytes(dir / "out" / "set.cab")).headerReserve, 6144);
    const CommandResult x = run("cabextract -q -d " + quoted(dir / "x") + " " + quoted(dir / "out" / "set.cab"));
    EXPECT_EQ(x.exitCode, 0) << x.output;
    EXPECT_TRUE(filesUnder(dir / "x") == expected);
}

TEST(CabCommand, MissingInputAndBadLevelAreRefused) {
    ScratchFolder dir;
    EXPECT_NE(run(parcelon() + " cab " + quoted(dir / "a.cab") + " " + quoted(dir / "nothing")).exitCode, 0);
    writeBytes(dir / "f.txt", "x");
    const CommandResult r = run(parcelon() + " cab " + quoted(dir / "a.cab") + " " + quoted(dir / "f.txt") + " --level 0");
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.output.find("--level"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir / "a.cab"));
}

TEST(CabCommand, LzxWithAndWithoutWindowIsReadBackAndBadWindowsAreRefused) {
    ScratchFolder dir;
    std::map<std::string, std::string> expected;
    for (int i = 0; i < 6; ++i) {
        const std::string name = "tree/" + std::to_string(i) + ".dat";
        expected[name] = i % 2 ? textData(70000, unsigned(i)) : noiseData(30000, unsigned(i));
        writeBytes(dir / "src" / name, expected[name]);
    }
    struct Case {
        std::string options;
        uint16_t type;
    };
    for (const Case& c : {Case{"--lzx=18 --level fast", 0x1203}, Case{"--lzx", 0x1503}, Case{"--lzx 15 --level 9", 0x0F03}}) {
        SCOPED_TRACE(c.options);
        const fs::path cab = dir / "out" / "lzx.cab";
        const CommandResult r =
            run(parcelon() + " cab " + quoted(cab) + " " + quoted(dir / "src" / "tree") + " " + c.options);
        ASSERT_EQ(r.exitCode, 0) << r.output;
        const ParsedCabinet parsed = parseCabinet(readBytes(cab));
        ASSERT_EQ(parsed.folders.size(), 1u);
        EXPECT_EQ(parsed.folders[0].type, c.type);
        fs::remove_all(dir / "x");
        const CommandResult x = run("cabextract -q -d " + quoted(dir / "x") + " " + quoted(cab));
        EXPECT_EQ(x.exitCode, 0) << x.output;
        EXPECT_TRUE(filesUnder(dir / "x") == expected);
    }
    for (const char* bad : {"--lzx=14", "--lzx=22", "--lzx=2", "--lzx=x1", "--lzx --no-compression"}) {
        const CommandResult r = run(parcelon() + " cab " + quoted(dir / "bad.cab") + " " + quoted(dir / "src") + " " + bad);
        EXPECT_NE(r.exitCode, 0) << bad;
        EXPECT_NE(r.output.find("--lzx"), std::string::npos) << r.output;
        EXPECT_FALSE(fs::exists(dir / "bad.cab")) << bad;
    }
}

// The names a build refuses, and two files an extractor would write to one
// name, are refused before anything is written; a run that fails leaves the
// file already at the output path as it was.
TEST(CabCommand, RefusesUnsafeAndCollidingNamesAndKeepsTheOldCabinetOnFailure) {
    ScratchFolder dir;
    const fs::path out = dir / "out.cab";
    writeBytes(out, "the cabinet of last week");
    writeBytes(dir / "a" / "README.txt", "a");
    writeBytes(dir / "b" / "readme.TXT", "b");
    writeBytes(dir / "evil" / "CON.txt", "device");
    writeBytes(dir / "evil" / "a|b.txt", "pipe");

    CommandResult r = run(parcelon() + " cab " + quoted(out) + " " + quoted(dir / "a" / "README.txt") + " " +
                          quoted(dir / "b" / "readme.TXT"));
    EXPECT_NE(r.exitCode, 0);
    for (const char* text : {"README.txt:", "/a/README.txt", "/b/readme.TXT", "--source-root"})
        EXPECT_NE(r.output.find(text), std::string::npos) << text << " in " << r.output;
    EXPECT_EQ(readBytes(out), "the cabinet of last week");

    r = run(parcelon() + " cab " + quoted(out) + " " + quoted(dir / "evil"));
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.output.find("CON.txt"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("a|b.txt"), std::string::npos) << r.output;
    EXPECT_EQ(readBytes(out), "the cabinet of last week");

    // A file that fails while it is read (reading a process's memory at 0
    // fails with EIO) fails the write half-way: the old cabinet stays.
    r = run(parcelon() + " cab " + quoted(out) + " " + quoted(dir / "a" / "README.txt") + " /proc/self/mem");
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.output.find("/mem)"), std::string::npos) << r.output;
    EXPECT_EQ(readBytes(out), "the cabinet of last week");

    // With their folders kept the two readmes are two files.
    r = run(parcelon() + " cab " + quoted(out) + " " + quoted(dir / "a") + " " + quoted(dir / "b") +
            " --source-root " + quoted(dir.path()));
    ASSERT_EQ(r.exitCode, 0) << r.output;
    EXPECT_EQ(run("cabextract -t " + quoted(out)).exitCode, 0);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 4);  // no staging left
}

}  // namespace
}  // namespace pcn::cabinet::test
