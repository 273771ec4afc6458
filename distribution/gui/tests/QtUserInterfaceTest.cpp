#include <gtest/gtest.h>

#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QThread>

#include <thread>

#include "distribution/ErrorReport.h"
#include "distribution/gui/QtUserInterface.h"
#include "distribution/gui/tests/ModalHelper.h"

namespace pcn {

TEST(QtUserInterface, ReportsThroughTheErrorDetailsDialog) {
    QtUserInterface ui;
    QString mainText, details;
    bool toggleEnabled = true;
    auto ran = test::onNextModal([&](QWidget* w) {
        mainText = w->findChild<QLabel*>("mainText")->text();
        details = w->findChild<QPlainTextEdit*>("details")->toPlainText();
        toggleEnabled = w->findChild<QPushButton*>("detailsToggle")->isEnabled();
        w->findChild<QPushButton*>("closeButton")->click();
    });
    reportGivenError(ui, "Registration failed", 99999);  // no system text: empty details
    EXPECT_TRUE(*ran);
    EXPECT_EQ(mainText, "Registration failed");
    EXPECT_EQ(details, "");
    EXPECT_FALSE(toggleEnabled);
}

TEST(QtUserInterface, AnswersWithTheButtonPressed) {
    QtUserInterface ui;
    QString shownText;
    test::onNextModal([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        shownText = box->text();
        EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::No));
        box->button(QMessageBox::Yes)->click();
    });
    EXPECT_TRUE(ui.ask("Rebuild Project:\t\n\nTools", Answer::No));
    EXPECT_EQ(shownText, "Rebuild Project:\t\n\nTools");

    test::onNextModal([](QWidget* w) { w->close(); });
    EXPECT_EQ(ui.message("Save changes?", "Parcelon", Icon::Question, Buttons::YesNoCancel, Answer::Yes),
              Answer::Cancel);
}

TEST(QtUserInterface, WorkerThreadReportsOnTheUiThread) {
    QtUserInterface ui;
    bool onUiThread = false;
    test::onNextModal([&](QWidget* w) {
        onUiThread = QThread::currentThread() == qApp->thread();
        w->findChild<QPushButton*>("closeButton")->click();
    });
    bool done = false;
    std::thread worker([&] {
        ui.errorDetails("Some of the dependency file(s) for Tarnwick Parcelon are missing", "x");
        done = true;
    });
    while (!done) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    worker.join();
    EXPECT_TRUE(onUiThread);
}

}  // namespace pcn
