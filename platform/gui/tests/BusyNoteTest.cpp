#include <gtest/gtest.h>

#include <QApplication>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include "platform/gui/BusyNote.h"

namespace pcn::gui {
namespace {

// Work that goes on until it is stopped: the window keeps answering, the
// note tells what the work posts, Cancel stops it, and nothing the user does
// reaches the window below meanwhile.
TEST(BusyNoteTest, LongWorkKeepsTheWindowAnsweringAndStopsOnCancel) {
    QPushButton below("Below");
    int pressedBelow = 0;
    QObject::connect(&below, &QPushButton::clicked, [&] { ++pressedBelow; });
    below.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&below));

    BusyNote note(&below, "Scanning Source Folder", "Scanning /src", 200);
    std::atomic<bool> stop{false};
    Qt::HANDLE stoppedOn = nullptr;
    note.setCancel([&] {
        stoppedOn = QThread::currentThreadId();
        stop = true;
    });

    int ticks = 0;
    QString shownText;
    bool noteActive = false;  // where Escape goes
    int widest = 0;
    QTimer clock;
    QObject::connect(&clock, &QTimer::timeout, [&] {
        ++ticks;
        if (ticks == 2) QTest::mouseClick(&below, Qt::LeftButton);  // before the note shows
        auto* shown = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
        if (!shown || !shown->isVisible() || shownText.contains("folder 3") || stop) return;
        shownText = shown->labelText();
        noteActive = noteActive || QApplication::activeWindow() == shown;
        widest = std::max(widest, shown->width());
        if (shownText.contains("folder 3")) shown->findChild<QPushButton*>()->click();
    });
    clock.start(20);
    const auto started = std::chrono::steady_clock::now();
    note.run([&] {
        for (int folder = 1; !stop && std::chrono::steady_clock::now() - started < std::chrono::seconds(10); ++folder) {
            note.postText(QString("Scanning %1/folder %2").arg(QString("/deep").repeated(60)).arg(folder));
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
        }
    });
    clock.stop();

    EXPECT_TRUE(note.cancelled());
    EXPECT_TRUE(stop);
    EXPECT_EQ(stoppedOn, QThread::currentThreadId());
    EXPECT_TRUE(shownText.contains("folder 3")) << shownText.toStdString();
    EXPECT_TRUE(noteActive);
    EXPECT_LT(widest, 800) << "a deep path widened the note past the screen";
    EXPECT_GE(ticks, 10) << "the event loop stood still while the work ran";
    EXPECT_EQ(pressedBelow, 0);
    EXPECT_FALSE(note.dialog().isVisible());
    // Once the work has ended the window takes clicks again.
    QTest::mouseClick(&below, Qt::LeftButton);
    EXPECT_EQ(pressedBelow, 1);
}

// Work that ends within a moment shows no note.
TEST(BusyNoteTest, QuickWorkShowsNoNote) {
    BusyNote note(nullptr, "Scanning Source Folder", "Scanning /src");
    bool noteSeen = false;
    QTimer clock;
    QObject::connect(&clock, &QTimer::timeout, [&] { noteSeen = noteSeen || note.dialog().isVisible(); });
    clock.start(5);
    bool ran = false;
    note.run([&] { ran = true; });
    EXPECT_TRUE(ran);
    EXPECT_FALSE(noteSeen);
    EXPECT_FALSE(note.cancelled());
}

}  // namespace
}  // namespace pcn::gui
