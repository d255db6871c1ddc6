#include "editors/constbo.h"

#include "editors/editor_context.h"
#include "link/frame_codec.h"
#include "link/frame_sender.h"
#include "protocol/protocol_state.h"
#include "protocol/reply_dispatcher.h"
#include "settings/settings_file.h"
#include "support/fake_sender_host.h"
#include "support/memory_serial_port.h"
#include "support/scripted_prompter.h"

#include <QCheckBox>
#include <QColor>
#include <QFile>
#include <QGroupBox>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace kv7m;
using namespace kv7m::test;

namespace {

constexpr int kCommonOffset = 11392;

Prompt info(const char* text)
{
    return {QStringLiteral("КВ7М"), QString::fromUtf8(text), PromptIcon::Information, PromptButtons::Ok};
}
Prompt error(const char* text)
{
    return {QStringLiteral("КВ7М"), QString::fromUtf8(text), PromptIcon::Error, PromptButtons::Ok};
}
Prompt question(const char* text)
{
    return {QStringLiteral("КВ7М"), QString::fromUtf8(text), PromptIcon::Information, PromptButtons::YesNo};
}

// The wire text of a write of the given byte 0: ':' 01 41, 20 data bytes, LRC, CR LF.
QByteArray writeFrame(const char* byte0Hex, const char* lrcHex)
{
    return QByteArray(":0141") + byte0Hex + QByteArray("00").repeated(19) + lrcHex + "\r\n";
}

class ConstBOFormTest : public ::testing::Test {
protected:
    ConstBOFormTest()
    {
        port.open(QStringLiteral("COM1"), QStringLiteral("19200"));
        owner.setGeometry(200, 150, 800, 600);
    }

    // A reply as the assembler hands it to the dispatcher.
    void reply(int address, int code, const QByteArray& data)
    {
        std::uint8_t frame[64];
        const std::size_t n =
            composeFrame(frame, sizeof frame, std::uint8_t(address), std::uint8_t(code),
                         reinterpret_cast<const std::uint8_t*>(data.constData()), std::size_t(data.size()));
        const QByteArray text = encodeFrame(frame, n);
        std::copy(text.begin(), text.end(), state.RxFrame.begin());
        state.FrameStarted = state.FrameComplete = true;
        state.FrameIndex = int(text.size()) - 1;
        dispatcher.DispatchReply();
    }

    QByteArray commonSlot(int unit) const
    {
        QFile file(settingsFile.filePath(unit));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return file.readAll().mid(kCommonOffset, 128);
    }

    QList<QCheckBox*> boxes() const
    {
        return {form.ActiveReg,
                form.ChkUseOBEH,
                form.ChkUseZ3AO,
                form.ChkUseCalendar,
                form.ChkUseAdditionalGradTable,
                form.ChkPlotnostWithVlag};
    }
    QList<QCheckBox*> checkedBoxes() const
    {
        QList<QCheckBox*> checked;
        for (QCheckBox* box : boxes())
            if (box->isChecked())
                checked.append(box);
        return checked;
    }
    void checkOnly(const QList<QCheckBox*>& checked)
    {
        for (QCheckBox* box : boxes())
            box->setChecked(checked.contains(box));
    }

    ProtocolState state;
    MemorySerialPort port;
    ScriptedPrompter prompter;
    FakeSenderHost host;
    FrameSender sender{state, port, prompter, host};
    QTemporaryDir dir;
    QString settingsFolder = dir.filePath(QStringLiteral("settings"));
    SettingsFile settingsFile{[this] { return settingsFolder; }, prompter};
    ReplyDispatcher dispatcher{state, [] {}};
    EditorContext context{state,        sender,     prompter,
                          settingsFile, dispatcher, [this] { return std::optional<int>(host.address.toInt()); }};
    QWidget owner;
    TConstBOForm form{context, &owner};
};

TEST_F(ConstBOFormTest, WindowAndControls)
{
    EXPECT_EQ(form.objectName(), QStringLiteral("ConstBOForm"));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Константы блока обработки"));
    EXPECT_TRUE(form.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(form.isModal());
    EXPECT_EQ(form.palette().color(QPalette::Window), QColor(255, 251, 240));

    auto* group = form.findChild<QGroupBox*>(QStringLiteral("GroupBox1"));
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->title(), QStringLiteral("Режим работы ТВМ"));

    struct Control {
        QAbstractButton* widget;
        const char* name;
        const char* caption;
        bool inGroup;
    };
    // Check boxes in their top-to-bottom order.
    const Control controls[] = {
        {form.ActiveReg, "ActiveReg", "Активный режим (ТВМ выдает CMD52 без запроса)", true},
        {form.ChkUseOBEH, "ChkUseOBEH", "Выдача информации для ОВЕН СМИ-1", true},
        {form.ChkUseZ3AO, "ChkUseZ3AO", "Выдача на ЦАП Z-3AO", true},
        {form.ChkUseCalendar, "ChkUseCalendar", "Использовать встроенный календарь", true},
        {form.ChkUseAdditionalGradTable, "ChkUseAdditionalGradTable", "Использовать таблицу коррекции влажности", true},
        {form.ChkPlotnostWithVlag, "ChkPlotnostWithVlag", "Расчет плотности с учетом влажности", true},
        {form.btnWriteCommonSettings, "btnWriteCommonSettings", "Записать", true},
        {form.btnReadCommonSettings, "btnReadCommonSettings", "Прочитать", true},
        {form.btnCheckSignaturesCommonSettings, "btnCheckSignaturesCommonSettings", "Сигнатура", true},
        {form.btnCloseWindow, "btnCloseWindow", "Закрыть", false},
    };
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    int previousTop = -1;
    for (const Control& c : controls) {
        EXPECT_EQ(c.widget->objectName(), QString::fromLatin1(c.name));
        EXPECT_EQ(c.widget->text(), QString::fromUtf8(c.caption)) << c.name;
        EXPECT_EQ(c.widget->accessibleName(), QString::fromUtf8(c.caption)) << c.name;
        EXPECT_EQ(group->isAncestorOf(c.widget), c.inGroup) << c.name;
        if (qobject_cast<QCheckBox*>(c.widget)) {
            const int top = c.widget->mapTo(&form, QPoint()).y();
            EXPECT_GT(top, previousTop) << c.name;
            previousTop = top;
        }
    }
}

TEST_F(ConstBOFormTest, ShowsCentredOnItsOwnerAndCloseOnlyHides)
{
    form.openForCurrentUnit();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_LE((form.frameGeometry().center() - owner.frameGeometry().center()).manhattanLength(), 2);

    QPointer<TConstBOForm> alive(&form);
    form.btnCloseWindow->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !form.isVisible(); }, 2000));
    EXPECT_TRUE(alive);
}

TEST_F(ConstBOFormTest, OpeningLoadsTheCurrentUnitsFile)
{
    // No file yet: the default one is made and every option comes up cleared.
    checkOnly(boxes());
    form.openForCurrentUnit();
    EXPECT_TRUE(checkedBoxes().isEmpty());
    EXPECT_TRUE(QFile::exists(settingsFile.filePath(1)));
    form.hide();

    checkOnly({form.ChkUseCalendar});
    ASSERT_TRUE(form.StoreCommonConstants(1));
    checkOnly({});
    form.openForCurrentUnit();
    EXPECT_EQ(checkedBoxes(), QList<QCheckBox*>{form.ChkUseCalendar});
    EXPECT_TRUE(form.isVisible());
}

TEST_F(ConstBOFormTest, EachOptionTravelsAsItsBitOfByteZero)
{
    struct Row {
        QCheckBox* box;
        std::uint8_t bit;
        const char* hex;
    };
    const Row rows[] = {
        {form.ActiveReg, 0x01, "01"},           {form.ChkUseOBEH, 0x02, "02"},
        {form.ChkUseCalendar, 0x04, "04"},      {form.ChkUseAdditionalGradTable, 0x08, "08"},
        {form.ChkPlotnostWithVlag, 0x10, "10"}, {form.ChkUseZ3AO, 0x20, "20"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.box->objectName().toStdString());
        checkOnly({r.box});
        port.writes.clear();
        prompter.answer(PromptAnswer::Yes);
        form.btnWriteCommonSettings->click();
        ASSERT_EQ(port.writes.size(), 1);
        EXPECT_EQ(port.writes[0].mid(5, 2), QByteArray(r.hex));

        checkOnly({});
        prompter.answer(PromptAnswer::Yes);
        reply(1, 66, QByteArray(1, char(r.bit)));
        EXPECT_EQ(checkedBoxes(), QList<QCheckBox*>{r.box});
    }
}

TEST_F(ConstBOFormTest, WriteAsksStoresThenSends)
{
    checkOnly(boxes());
    form.btnWriteCommonSettings->click();  // answered No
    EXPECT_EQ(prompter.prompts, QList<Prompt>{question("Записать настройки в БО?")});
    EXPECT_TRUE(port.writes.isEmpty());
    EXPECT_FALSE(QFile::exists(settingsFile.filePath(1)));

    prompter.prompts.clear();
    prompter.answer(PromptAnswer::Yes);
    form.btnWriteCommonSettings->click();
    EXPECT_EQ(prompter.prompts, QList<Prompt>{question("Записать настройки в БО?")});
    EXPECT_EQ(port.writes, QList<QByteArray>{writeFrame("3F", "7F")});
    EXPECT_EQ(commonSlot(1), QByteArray(1, '\x3F') + QByteArray(19, '\0') + QByteArray(108, '\xFF'));

    prompter.prompts.clear();
    reply(1, 65, {});
    EXPECT_EQ(prompter.prompts, QList<Prompt>{info("Общие настройки записаны в БО")});
}

TEST_F(ConstBOFormTest, WriteStopsWhenTheFileCannotBeStored)
{
    // A regular file where the settings folder should be.
    QFile blocker(settingsFolder);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    host.address = QStringLiteral("12");

    prompter.answer(PromptAnswer::Yes);
    form.btnWriteCommonSettings->click();
    ASSERT_FALSE(prompter.prompts.isEmpty());
    EXPECT_EQ(prompter.prompts.last(), error("Неудается сохранить общие настройки ТВМ (12) в файл"));
    EXPECT_TRUE(port.writes.isEmpty());
}

TEST_F(ConstBOFormTest, ReadAsksThenRequests)
{
    form.btnReadCommonSettings->click();  // answered No
    EXPECT_TRUE(port.writes.isEmpty());

    prompter.answer(PromptAnswer::Yes);
    form.btnReadCommonSettings->click();
    EXPECT_EQ(prompter.prompts, QList<Prompt>(2, question("Прочитать основные константы из БО?")));
    EXPECT_EQ(port.writes, QList<QByteArray>{QByteArray(":0142BD\r\n")});
}

TEST_F(ConstBOFormTest, ReadReplyStoredOnYesInTheReplyingUnitsFile)
{
    // Bits 6 and 7 are not options; the current unit (1) is not the one that answered.
    prompter.answer(PromptAnswer::Yes);
    reply(7, 66, QByteArray("\xC5\x00\x00", 3));
    EXPECT_EQ(checkedBoxes(), (QList<QCheckBox*>{form.ActiveReg, form.ChkUseCalendar}));
    EXPECT_EQ(prompter.prompts,
              (QList<Prompt>{info("Общие настройки прочитаны из БО"), question("Сохранить настройки в файле?")}));
    EXPECT_EQ(commonSlot(7), QByteArray(1, '\x05') + QByteArray(19, '\0') + QByteArray(108, '\xFF'));
    EXPECT_FALSE(QFile::exists(settingsFile.filePath(1)));
}

TEST_F(ConstBOFormTest, ReadReplyOnNoShowsTheFilesValues)
{
    checkOnly({form.ChkUseOBEH});
    ASSERT_TRUE(form.StoreCommonConstants(7));
    checkOnly({});

    reply(7, 66, QByteArray(1, '\x3F'));  // answered No
    EXPECT_EQ(checkedBoxes(), QList<QCheckBox*>{form.ChkUseOBEH});
    EXPECT_EQ(commonSlot(7).left(1), QByteArray(1, '\x02'));
}

TEST_F(ConstBOFormTest, ShortRepliesAreIgnored)
{
    checkOnly({form.ChkUseZ3AO});
    reply(1, 66, {});
    reply(1, 67, QByteArray(1, '\0'));
    EXPECT_TRUE(prompter.prompts.isEmpty());
    EXPECT_EQ(checkedBoxes(), QList<QCheckBox*>{form.ChkUseZ3AO});
}

TEST_F(ConstBOFormTest, SignatureOfTheShownBlockAgainstTheUnits)
{
    struct Case {
        QList<QCheckBox*> checked;
        QByteArray unitSignature;
        bool match;
    };
    // All clear signs as 0; the active-mode block alone as 0xD13D, high byte first.
    const Case cases[] = {
        {{}, QByteArray("\x00\x00", 2), true},
        {{}, QByteArray("\x00\x01", 2), false},
        {{form.ActiveReg}, QByteArray("\xD1\x3D", 2), true},
        {{form.ActiveReg}, QByteArray("\x3D\xD1", 2), false},
        {{form.ActiveReg}, QByteArray("\x00\x00", 2), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.unitSignature.toHex().toStdString());
        checkOnly(c.checked);
        port.writes.clear();
        prompter.prompts.clear();
        form.btnCheckSignaturesCommonSettings->click();
        EXPECT_EQ(port.writes, QList<QByteArray>{QByteArray(":0143BC\r\n")});
        reply(1, 67, c.unitSignature);
        EXPECT_EQ(prompter.prompts,
                  QList<Prompt>{c.match ? info("Сигнатура совпадает") : error("Сигнатура не совпадает")});
    }
}

}  // namespace
