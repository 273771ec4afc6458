// Damaged and hostile package files: every truncation of a real one fails
// cleanly, and mutated ones either load or fail cleanly; nothing crashes,
// reads out of bounds (run under ASan) or allocates without bound.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "model/Archive.h"
#include "model/PackageFile.h"
#include "model/RecordFile.h"
#include "model/tests/Mutations.h"
#include "model/tests/RecordFiller.h"
#include "model/tests/TestFolder.h"

namespace pcn {
namespace {

std::string richPackageBytes() {
    CCabObj p;
    test::fillEveryMember(p);
    return StorePackage(p);
}

void expectCleanOutcome(const std::string& bytes, bool mustFail) {
    try {
        auto package = ParsePackage(bytes);
        EXPECT_FALSE(mustFail) << "a damaged file of " << bytes.size() << " bytes loaded";
        // Whatever loaded keeps the parallel lists parallel and stores again.
        EXPECT_EQ(package->m_pFiles->m_arrDest.size(), package->m_pFiles->m_arrPath.size());
        EXPECT_EQ(package->m_pWeb->m_arrDepOrigin.size(), package->m_pWeb->m_arrDeps.size());
        EXPECT_NO_THROW(ParsePackage(StorePackage(*package)));
    } catch (const ArchiveException&) {
    }
}

TEST(DamagedPackage, EveryTruncationFailsCleanly) {
    test::TestFolder folder;
    const std::string bytes = richPackageBytes();
    test::forEachTruncation(bytes, [](const std::string& cut) { expectCleanOutcome(cut, true); });
    CCabObj fresh;
    test::forEachTruncation(StorePackage(fresh), [](const std::string& cut) { expectCleanOutcome(cut, true); });
}

TEST(DamagedPackage, MutationsLoadOrFailCleanly) {
    test::TestFolder folder;
    test::forEachMutation(richPackageBytes(), 20000, [](const std::string& bad) { expectCleanOutcome(bad, false); });
}

TEST(DamagedPackage, DamagedFilesOnDiskAreNotLoadedAndSayWhy) {
    test::TestFolder folder;
    const std::string bytes = richPackageBytes();
    const std::string path = folder.file("damaged.pcp");
    std::ofstream(path, std::ios::binary) << bytes.substr(0, 100) << std::string(4, '\x7F');
    PackageLoadResult result = LoadPackageFile(path);
    EXPECT_EQ(result.error, PackageLoadError::Damaged);
    EXPECT_NE(result.detail.find("offset"), std::string::npos) << result.detail;
}

TEST(RecordFile, OnlyRegularFilesOfSaneSizeAreRead) {
    test::TestFolder folder;
    std::string bytes;
    int error = 0;
    EXPECT_FALSE(readRecordFile("/dev/zero", bytes, error));
    EXPECT_EQ(error, EINVAL);
    ASSERT_EQ(::mkfifo(folder.file("pipe").c_str(), 0600), 0);
    EXPECT_FALSE(readRecordFile(folder.file("pipe"), bytes, error));  // must not wait for a writer
    EXPECT_EQ(error, EINVAL);
    EXPECT_FALSE(readRecordFile(folder.path(), bytes, error));
    EXPECT_EQ(error, EISDIR);
    std::ofstream(folder.file("big"), std::ios::binary) << std::string(101, 'x');
    EXPECT_FALSE(readRecordFile(folder.file("big"), bytes, error, 100));
    EXPECT_EQ(error, EFBIG);
    EXPECT_TRUE(readRecordFile(folder.file("big"), bytes, error, 101));
    EXPECT_EQ(bytes.size(), 101u);
    EXPECT_EQ(LoadPackageFile("/dev/zero").error, PackageLoadError::CannotOpen);
}

}  // namespace
}  // namespace pcn
