#include "link/rsmonitor.h"

#include "protocol/protocol_state.h"

#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace kv7m;

namespace {

QStringList linesOf(const QPlainTextEdit* memo)
{
    const QString text = memo->toPlainText();
    return text.isEmpty() ? QStringList{} : text.split(QLatin1Char('\n'));
}

// The memos are filled in batches; wait until the last expected line has arrived.
bool waitForLastLine(const QPlainTextEdit* memo, const QString& line)
{
    return QTest::qWaitFor([&] { return !linesOf(memo).isEmpty() && linesOf(memo).constLast() == line; });
}

class DataRSForm : public ::testing::Test {
protected:
    void startRecording()
    {
        if (!state.MonitorOn)
            form->RSDataReciv->click();
    }

    ProtocolState state;
    QWidget mainWindow;
    TDataRSForm* form = new TDataRSForm(state, &mainWindow);
};

TEST_F(DataRSForm, PresentsItsControlsByName)
{
    EXPECT_EQ(form->objectName(), "DataRSForm");
    EXPECT_EQ(form->windowTitle(), "Данные на линии RS");
    EXPECT_TRUE(form->isWindow());
    EXPECT_TRUE(form->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(form->size(), QSize(907, 223));
    EXPECT_EQ(form->palette().color(QPalette::Window), QColor(255, 251, 240));

    struct Control {
        QWidget* widget;
        const char* name;
        const char* accessibleName;
    };
    const Control controls[] = {
        {form->LineRSMemo, "LineRSMemo", "Линия RS"},
        {form->DataRS, "DataRS", "Принятые посылки"},
        {form->AdrBO, "AdrBO", "Адрес БО"},
        {form->MsgNum, "MsgNum", "CMD"},
        {form->ClearButton, "ClearButton", "Очистить"},
        {form->RSDataReciv, "RSDataReciv", "Начать прием"},
    };
    for (const Control& c : controls) {
        EXPECT_EQ(form->findChild<QWidget*>(c.name), c.widget) << c.name;
        EXPECT_EQ(c.widget->accessibleName(), QString::fromUtf8(c.accessibleName)) << c.name;
    }
    EXPECT_TRUE(form->LineRSMemo->isReadOnly());
    EXPECT_TRUE(form->DataRS->isReadOnly());
    EXPECT_TRUE(form->AdrBO->isReadOnly());
    EXPECT_TRUE(form->MsgNum->isReadOnly());
}

TEST_F(DataRSForm, ShowsCentredOnTheMainWindowWithoutBlockingIt)
{
    mainWindow.setGeometry(100, 80, 1200, 700);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
    EXPECT_FALSE(form->isModal());
    EXPECT_LE((form->frameGeometry().center() - mainWindow.frameGeometry().center()).manhattanLength(), 2);
    EXPECT_EQ(form->LineRSMemo->width(), 65);
    EXPECT_EQ(form->AdrBO->width(), 41);
    EXPECT_EQ(form->MsgNum->width(), 41);
    // The frame list takes the room the window gains.
    const int framesWidth = form->DataRS->width();
    form->resize(1100, 300);
    EXPECT_TRUE(QTest::qWaitFor([&] { return form->DataRS->width() > framesWidth; }));
    EXPECT_EQ(form->LineRSMemo->width(), 65);
}

TEST_F(DataRSForm, RecordingButtonTogglesTheFlagAndItsCaption)
{
    EXPECT_FALSE(state.MonitorOn);
    EXPECT_EQ(form->RSDataReciv->text(), "Начать прием");
    form->RSDataReciv->click();
    EXPECT_TRUE(state.MonitorOn);
    EXPECT_EQ(form->RSDataReciv->text(), "Остановить прием");
    form->RSDataReciv->click();
    EXPECT_FALSE(state.MonitorOn);
    EXPECT_EQ(form->RSDataReciv->text(), "Начать прием");
}

TEST_F(DataRSForm, FramesAreListedAndSetTheLastAddressAndCode)
{
    struct Case {
        const char* name;
        QByteArray frame;
        QString line;
        QString address;
        QString code;
    };
    // Every case follows a frame of unit 1, code 50, so "1" and "50" mean "unchanged".
    const Case cases[] = {
        {"measurementOfUnit5", ":0534AB\r\n", ":0534AB", "5", "52"},
        {"hexLettersInBothPairs", ":1F4CAA\r\n", ":1F4CAA", "31", "76"},
        {"highestAddress", ":FF3203\r\n", ":FF3203", "255", "50"},
        {"code16FromAnotherUnit", ":0210EE\r\n", ":0210EE", "2", "16"},
        {"address16Ignored", ":1034BC\r\n", ":1034BC", "1", "50"},
        {"tooShortToDecode", ":0\r\n", ":0", "1", "50"},
        {"crInsideStaysOneLine", ":10\r4\r\n", ":10\u240D4", "1", "50"},
    };
    startRecording();
    for (const Case& c : cases) {
        form->clearAll();
        form->frameReceived(":0132CD\r\n");
        form->frameReceived(c.frame);
        EXPECT_TRUE(waitForLastLine(form->DataRS, c.line)) << c.name;
        EXPECT_EQ(linesOf(form->DataRS), QStringList({":0132CD", c.line})) << c.name;
        EXPECT_EQ(form->AdrBO->text(), c.address) << c.name;
        EXPECT_EQ(form->MsgNum->text(), c.code) << c.name;
    }
}

TEST_F(DataRSForm, BytesAppearAsUpperCaseHexLines)
{
    startRecording();
    for (const std::uint8_t byte : {0x00, 0x0A, 0x3A, 0xAB, 0xFF})
        form->byteReceived(byte);
    ASSERT_TRUE(waitForLastLine(form->LineRSMemo, "FF"));
    EXPECT_EQ(linesOf(form->LineRSMemo), QStringList({"00", "0A", "3A", "AB", "FF"}));
}

TEST_F(DataRSForm, TrafficWhileIdleNeverAppears)
{
    form->byteReceived(0x11);
    form->frameReceived(":0534AB\r\n");
    startRecording();
    form->byteReceived(0x22);
    form->frameReceived(":0132CD\r\n");
    ASSERT_TRUE(waitForLastLine(form->LineRSMemo, "22"));
    ASSERT_TRUE(waitForLastLine(form->DataRS, ":0132CD"));
    EXPECT_EQ(linesOf(form->LineRSMemo), QStringList({"22"}));
    EXPECT_EQ(linesOf(form->DataRS), QStringList({":0132CD"}));
    EXPECT_EQ(form->AdrBO->text(), "1");
}

TEST_F(DataRSForm, ClearEmptiesAllFourAndDropsWhatIsStillPending)
{
    startRecording();
    form->byteReceived(0x3A);
    form->frameReceived(":0534AB\r\n");
    ASSERT_TRUE(waitForLastLine(form->DataRS, ":0534AB"));
    ASSERT_TRUE(waitForLastLine(form->LineRSMemo, "3A"));
    // Not yet shown when the button is pressed.
    form->byteReceived(0x0D);
    form->frameReceived(":0232CC\r\n");

    form->ClearButton->click();
    EXPECT_TRUE(form->LineRSMemo->toPlainText().isEmpty());
    EXPECT_TRUE(form->DataRS->toPlainText().isEmpty());
    EXPECT_TRUE(form->AdrBO->text().isEmpty());
    EXPECT_TRUE(form->MsgNum->text().isEmpty());

    form->byteReceived(0x42);
    form->frameReceived(":0334AA\r\n");
    ASSERT_TRUE(waitForLastLine(form->LineRSMemo, "42"));
    ASSERT_TRUE(waitForLastLine(form->DataRS, ":0334AA"));
    EXPECT_EQ(linesOf(form->LineRSMemo), QStringList({"42"}));
    EXPECT_EQ(linesOf(form->DataRS), QStringList({":0334AA"}));
}

TEST_F(DataRSForm, ClosingStopsRecordingAndReopeningKeepsTheContents)
{
    form->show();
    startRecording();
    form->byteReceived(0x3A);
    form->frameReceived(":0534AB\r\n");
    // Closed before the batch is due: what was received is still kept.
    EXPECT_TRUE(form->close());
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(state.MonitorOn);
    EXPECT_EQ(form->RSDataReciv->text(), "Начать прием");

    form->show();
    EXPECT_FALSE(state.MonitorOn);
    EXPECT_EQ(form->RSDataReciv->text(), "Начать прием");
    EXPECT_TRUE(waitForLastLine(form->LineRSMemo, "3A"));
    EXPECT_TRUE(waitForLastLine(form->DataRS, ":0534AB"));
    EXPECT_EQ(form->AdrBO->text(), "5");
    EXPECT_EQ(form->MsgNum->text(), "52");

    // Showing does not switch recording off by itself.
    startRecording();
    form->hide();
    form->show();
    EXPECT_TRUE(state.MonitorOn);
    EXPECT_EQ(form->RSDataReciv->text(), "Остановить прием");
}

TEST_F(DataRSForm, MemosKeepOnlyTheNewestLines)
{
    struct Case {
        const char* name;
        int firstBatch;
        int secondBatch;
    };
    const Case cases[] = {
        {"overflowInOneBatch", 0, TDataRSForm::kMaxLines + 5},
        {"overflowAcrossBatches", TDataRSForm::kMaxLines - 2, 7},
    };
    startRecording();
    for (const Case& c : cases) {
        form->clearAll();
        int sent = 0;
        auto feed = [&](int count) {
            for (int i = 0; i < count; ++i, ++sent) {
                form->byteReceived(std::uint8_t(sent));
                form->frameReceived(":" + QByteArray::number(sent) + "\r\n");
            }
            return ":" + QString::number(sent - 1);
        };
        if (c.firstBatch > 0) {
            ASSERT_TRUE(waitForLastLine(form->DataRS, feed(c.firstBatch))) << c.name;
        }
        ASSERT_TRUE(waitForLastLine(form->DataRS, feed(c.secondBatch))) << c.name;
        ASSERT_TRUE(waitForLastLine(form->LineRSMemo, QString::asprintf("%02X", (sent - 1) & 0xFF))) << c.name;

        const int dropped = sent - TDataRSForm::kMaxLines;
        const QStringList frames = linesOf(form->DataRS);
        ASSERT_EQ(frames.size(), TDataRSForm::kMaxLines) << c.name;
        EXPECT_EQ(frames.constFirst(), ":" + QString::number(dropped)) << c.name;
        const QStringList bytes = linesOf(form->LineRSMemo);
        ASSERT_EQ(bytes.size(), TDataRSForm::kMaxLines) << c.name;
        EXPECT_EQ(bytes.constFirst(), QString::asprintf("%02X", dropped & 0xFF)) << c.name;
    }
}

}  // namespace
