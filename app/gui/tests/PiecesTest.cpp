#include <gtest/gtest.h>

#include <QImage>
#include <QLabel>
#include <QUrl>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "app/gui/CAboutDlg.h"
#include "app/gui/HelpTopic.h"
#include "app/gui/PcnImages.h"
#include "app/gui/SiblingFileCheck.h"
#include "app/gui/WindowPlacement.h"

namespace pcn::gui {

TEST(WindowPlacement, ParsesTenNumbersInEveryAcceptedForm) {
    auto p = parseWindowPlacement("0 1 4294967295 4294967295 -1 0x10   22 33 822 633");
    ASSERT_TRUE(p.has_value());
    EXPECT_EQ(p->flags, 0u);
    EXPECT_EQ(p->showCmd, 1u);
    EXPECT_EQ(p->minX, -1);
    EXPECT_EQ(p->minY, -1);
    EXPECT_EQ(p->maxX, -1);
    EXPECT_EQ(p->maxY, 16);
    EXPECT_EQ(p->left, 22);
    EXPECT_EQ(p->bottom, 633);
    EXPECT_EQ(p->width(), 800);
}

TEST(WindowPlacement, NothingStoredOrTooFewNumbers) {
    EXPECT_FALSE(parseWindowPlacement("*").has_value());
    EXPECT_FALSE(parseWindowPlacement("*0 1 2 3 4 5 6 7 8 9").has_value());
    EXPECT_FALSE(parseWindowPlacement("").has_value());
    EXPECT_FALSE(parseWindowPlacement("0 1 2 3 4 5 6 7 8").has_value());
    EXPECT_FALSE(parseWindowPlacement("0 1 2 3 4 five 6 7 8 9").has_value());
}

TEST(WindowPlacement, FormatsUnsignedAndReadsItsOwnOutputBack) {
    WindowPlacement p{0, kShowMaximized, -1, -1, -8, -8, 10, 20, 1010, 720};
    const std::string text = formatWindowPlacement(p);
    EXPECT_EQ(text, "0 3 4294967295 4294967295 4294967288 4294967288 10 20 1010 720");
    EXPECT_EQ(parseWindowPlacement(text), p);
}

class SiblingFiles : public ::testing::Test {
protected:
    SiblingFiles() {
        folder_ = (std::filesystem::temp_directory_path() / ("pcn-siblings-" + std::to_string(::getpid()))).string();
        std::filesystem::create_directories(folder_ + "/Help");
    }
    ~SiblingFiles() override { std::filesystem::remove_all(folder_); }
    void touch(const std::string& name) { std::ofstream(folder_ + "/" + name) << "x"; }
    void touchProgramFolder() {
        for (const SiblingFile& file : kSiblingFiles)
            if (file.where == LookedUpIn::ProgramFolder) touch(std::string(file.name));
    }
    std::string folder_;
};

TEST_F(SiblingFiles, ListsEveryMissingFileInCheckOrder) {
    touchProgramFolder();
    EXPECT_EQ(missingSiblingFilesText(folder_), "");

    std::filesystem::remove(folder_ + "/PilotStub.Exe");
    std::filesystem::remove(folder_ + "/ChkTrust");
    std::filesystem::remove(folder_ + "/Help/default.htm");
    EXPECT_EQ(missingSiblingFilesText(folder_), "The system cannot find the file(s) specified.\r\n\r\n" + folder_ +
                                                    "/ChkTrust\r\n" + folder_ + "/PilotStub.Exe\r\n" + folder_ +
                                                    "/Help/default.htm\r\n");
}

TEST_F(SiblingFiles, NamesAreComparedIgnoringCaseAndTheSigningEngineComesFromThePath) {
    touchProgramFolder();
    std::filesystem::remove(folder_ + "/Extract.Exe");
    std::filesystem::rename(folder_ + "/TinySetup.Exe", folder_ + "/TINYSETUP.EXE");
    std::filesystem::rename(folder_ + "/Help", folder_ + "/help");
    EXPECT_EQ(missingSiblingFilesText(folder_),
              "The system cannot find the file(s) specified.\r\n\r\n" + folder_ + "/Extract.Exe\r\n");

    touch("EXTRACT.EXE");
    EXPECT_EQ(missingSiblingFilesText(folder_), "");
    const char* path = std::getenv("PATH");
    const std::string saved = path ? path : "";
    ::setenv("PATH", folder_.c_str(), 1);  // no osslsigncode there
    const std::string withoutEngine = missingSiblingFilesText(folder_);
    ::setenv("PATH", saved.c_str(), 1);
    EXPECT_EQ(withoutEngine, "The system cannot find the file(s) specified.\r\n\r\nosslsigncode\r\n");
}

TEST(ImageStrip, HoldsTwentyFourDistinctDrawnImages) {
    const QPixmap& strip = imageStrip();
    EXPECT_EQ(strip.width(), kImageSize * kImageCount);
    EXPECT_EQ(strip.height(), kImageSize);
    std::vector<QImage> images;
    for (int i = 0; i < kImageCount; ++i) {
        if (i == 1 || i == 22) continue;  // spare images
        QImage image = strip.copy(i * kImageSize, 0, kImageSize, kImageSize).toImage();
        EXPECT_EQ(pcnImage(i).pixmap(kImageSize, kImageSize).toImage().convertToFormat(image.format()), image);
        bool drawn = false;
        for (int y = 0; y < image.height() && !drawn; ++y)
            for (int x = 0; x < image.width() && !drawn; ++x) drawn = qAlpha(image.pixel(x, y)) != 0;
        EXPECT_TRUE(drawn) << "image " << i;
        for (const QImage& other : images) EXPECT_NE(image, other) << "image " << i;
        images.push_back(image);
    }
    EXPECT_TRUE(pcnImage(kImageCount).isNull());
    EXPECT_TRUE(pcnImage(-1).isNull());
}

TEST(Help, PagesAreInstalledInTheProgramFolderAndLinked) {
    const QUrl url = helpTopicUrl("default.htm");
    EXPECT_TRUE(url.isLocalFile());
    const std::string page = url.toLocalFile().toStdString();
    EXPECT_EQ(page, std::string(PCN_PROGRAM_DIR) + "/Help/default.htm");
    ASSERT_TRUE(std::filesystem::exists(page));
    // Every page the contents page links to is there as well.
    std::ifstream in(page);
    const std::string html((std::istreambuf_iterator<char>(in)), {});
    size_t at = 0;
    int links = 0;
    while ((at = html.find("href=\"", at)) != std::string::npos) {
        at += 6;
        const std::string target = html.substr(at, html.find('"', at) - at);
        if (target.find(':') != std::string::npos || target.front() == '#') continue;
        ++links;
        EXPECT_TRUE(std::filesystem::exists(std::string(PCN_PROGRAM_DIR) + "/Help/" + target.substr(0, target.find('#'))))
            << target;
    }
    EXPECT_GT(links, 10);
}

TEST(AboutBox, NamesTheProductAndVersion) {
    CAboutDlg about;
    EXPECT_EQ(about.windowTitle(), "About Parcelon");
    EXPECT_TRUE(about.findChild<QLabel*>("productText")->text().startsWith("Tarnwick Parcelon Version "));
}

}  // namespace pcn::gui

