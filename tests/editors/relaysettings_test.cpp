#include "editors/relaysettings.h"

#include "app/prompter.h"
#include "editors/editor_context.h"
#include "link/frame_codec.h"
#include "link/frame_sender.h"
#include "protocol/protocol_state.h"
#include "protocol/reply_dispatcher.h"
#include "settings/settings_file.h"
#include "settings/settings_layout.h"
#include "settings/signature.h"
#include "support/fake_sender_host.h"
#include "support/memory_serial_port.h"
#include "support/scripted_prompter.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLayout>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>

#include <QScreen>

#include <gtest/gtest.h>

using namespace kv7m;
using namespace kv7m::test;

namespace {

const std::uint8_t* bytesOf(const QByteArray& bytes)
{
    return reinterpret_cast<const std::uint8_t*>(bytes.constData());
}

// The 29 events of the "Назанчение" list, in list order.
struct EventRow {
    const char* text;
    std::uint8_t code;
};
const EventRow kEvents[] = {
    {"Не используется.", 0x00},
    {"Канал 1 \"Авар. максимум\"", 0x11},
    {"Канал 1 \"Максимум\"", 0x21},
    {"Канал 1 \"Минимум\"", 0x31},
    {"Канал 2 \"Авар. максимум\"", 0x12},
    {"Канал 2 \"Максимум\"", 0x22},
    {"Канал 2 \"Минимум\"", 0x32},
    {"Канал 3 \"Авар. максимум\"", 0x13},
    {"Канал 3 \"Максимум\"", 0x23},
    {"Канал 3 \"Минимум\"", 0x33},
    {"Канал 4 \"Авар. максимум\"", 0x14},
    {"Канал 4 \"Максимум\"", 0x24},
    {"Канал 4 \"Минимум\"", 0x34},
    {"Канал 5 \"Авар. максимум\"", 0x15},
    {"Канал 5 \"Максимум\"", 0x25},
    {"Канал 5 \"Минимум\"", 0x35},
    {"Канал 6 \"Авар. максимум\"", 0x16},
    {"Канал 6 \"Максимум\"", 0x26},
    {"Канал 6 \"Минимум\"", 0x36},
    {"Канал 7 \"Авар. максимум\"", 0x17},
    {"Канал 7 \"Максимум\"", 0x27},
    {"Канал 7 \"Минимум\"", 0x37},
    {"Канал 8 \"Авар. максимум\"", 0x18},
    {"Канал 8 \"Максимум\"", 0x28},
    {"Канал 8 \"Минимум\"", 0x38},
    {"Минимум по любому каналу", 0x40},
    {"Максимум по любому каналу", 0x50},
    {"Минимум по любому каналу (длительность срабатывания 5сек)", 0x60},
    {"Максимум по любому каналу (длительность срабатывания 5сек)", 0x70},
};

TEST(RelayEventTable, EveryTextRoundTripsThroughItsCode)
{
    const QStringList texts = relayEventTexts();
    ASSERT_EQ(texts.size(), std::size(kEvents));
    for (int i = 0; i < texts.size(); ++i) {
        const EventRow& event = kEvents[i];
        const QString text = QString::fromUtf8(event.text);
        EXPECT_EQ(texts[i], text) << i;
        EXPECT_EQ(relayEventCode(i), event.code) << i;
        EXPECT_EQ(encodeRelayRow(texts, text, relay_text::ActiveLow), event.code) << i;
        EXPECT_EQ(encodeRelayRow(texts, text, relay_text::ActiveHigh), event.code | 0x80) << i;
        for (const bool high : {false, true}) {
            const RelayByteMeaning meaning = decodeRelayByte(std::uint8_t(event.code | (high ? 0x80 : 0)));
            EXPECT_EQ(meaning.eventIndex, i) << i;
            EXPECT_EQ(meaning.activeHigh, high) << i;
        }
    }
}

class RelaySettingsTest : public ::testing::Test {
protected:
    RelaySettingsTest() { port.open(QStringLiteral("COM1"), QStringLiteral("19200")); }

    QString cell(int row, int column) const { return form.RelaySettingsGrid->item(row, column)->text(); }

    void showBlock(const QByteArray& block) { form.DecodeRelayBlock(bytesOf(block)); }

    QByteArray gridBlock()
    {
        QByteArray block(kRelayCount, '\0');
        EXPECT_EQ(form.EncodeRelayBlock(reinterpret_cast<std::uint8_t*>(block.data())), kRelayCount);
        return block;
    }

    // The relay slot as it lies in the unit's file; empty when the unit has no file.
    QByteArray fileSlot(int unit) const
    {
        QFile file(settingsFile.filePath(unit));
        if (!file.open(QIODevice::ReadOnly) || !file.seek(qint64(layout::kRelayOffset)))
            return {};
        return file.read(qint64(layout::kSlotSize));
    }

    void storeSlot(int unit, const QByteArray& slot)
    {
        ASSERT_TRUE(
            settingsFile.WriteSettingsBlock(unit, layout::kRelayOffset, bytesOf(slot), std::size_t(slot.size())));
    }

    static QByteArray slotOf(const QByteArray& block, char padding = char(0xFF))
    {
        return block + QByteArray(int(layout::kSlotSize) - block.size(), padding);
    }

    // A reply frame as the assembler hands it to the dispatcher.
    void reply(int address, int code, const QByteArray& data)
    {
        std::uint8_t frame[64];
        const std::size_t n = composeFrame(frame, sizeof frame, std::uint8_t(address), std::uint8_t(code),
                                           bytesOf(data), std::size_t(data.size()));
        const QByteArray text = encodeFrame(frame, n);
        std::copy(text.begin(), text.end(), state.RxFrame.begin());
        state.FrameStarted = state.FrameComplete = true;
        state.FrameIndex = int(text.size()) - 1;
        dispatcher.DispatchReply();
    }

    // The list editor open in the grid, if any (closed editors are hidden until deleted).
    QComboBox* listEditor() const
    {
        for (QComboBox* box : form.RelaySettingsGrid->viewport()->findChildren<QComboBox*>())
            if (!box->isHidden())
                return box;
        return nullptr;
    }

    // Opened in place, wherever the grid's current cell is.
    QComboBox* openListEditor(int row, int column)
    {
        QTableWidget* grid = form.RelaySettingsGrid;
        grid->editItem(grid->item(row, column));
        return listEditor();
    }

    static Prompt question(const QString& text)
    {
        return Prompt{QStringLiteral("КВ7М"), text, PromptIcon::Information, PromptButtons::YesNo};
    }
    static Prompt message(const QString& text, PromptIcon icon = PromptIcon::Information)
    {
        return Prompt{QStringLiteral("КВ7М"), text, icon, PromptButtons::Ok};
    }

    QTemporaryDir dir;
    ProtocolState state;
    MemorySerialPort port;
    ScriptedPrompter prompter;
    FakeSenderHost host;
    FrameSender sender{state, port, prompter, host};
    SettingsFile settingsFile{[this] { return dir.path(); }, prompter};
    ReplyDispatcher dispatcher{state, [] {}};
    EditorContext context{state,        sender,     prompter,
                          settingsFile, dispatcher, [this] { return std::optional<int>(host.address.toInt()); }};
    TRelaySettingsForm form{context};
};

TEST_F(RelaySettingsTest, DecodesEachKindOfByteAndEncodesItBack)
{
    struct Case {
        std::uint8_t byte;
        const char* text;
        const char* active;
        std::uint8_t encoded;
    };
    const char* const notUsed = "Не используется.";
    const Case cases[] = {
        {0x80, notUsed, "Лог 1", 0x80},
        {0x00, notUsed, "Лог 0", 0x00},
        {0x0F, notUsed, "Лог 0", 0x00},
        {0x75, "Максимум по любому каналу (длительность срабатывания 5сек)", "Лог 0", 0x70},
        {0xA3, "Канал 3 \"Максимум\"", "Лог 1", 0xA3},
        {0x18, "Канал 8 \"Авар. максимум\"", "Лог 0", 0x18},
        {0x28, "Канал 8 \"Максимум\"", "Лог 0", 0x28},
        {0x38, "Канал 8 \"Минимум\"", "Лог 0", 0x38},
        {0x40, "Минимум по любому каналу", "Лог 0", 0x40},
        {0xD9, "Максимум по любому каналу", "Лог 1", 0xD0},
        {0x60, "Минимум по любому каналу (длительность срабатывания 5сек)", "Лог 0", 0x60},
        // Kinds 1..3 without a channel 1..8 have no event of their own.
        {0x10, notUsed, "Лог 0", 0x00},
        {0xA0, notUsed, "Лог 1", 0x80},
        {0x30, notUsed, "Лог 0", 0x00},
        {0x19, notUsed, "Лог 0", 0x00},
        {0xAC, notUsed, "Лог 1", 0x80},
        {0x3F, notUsed, "Лог 0", 0x00},
    };
    int k = 0;
    for (const Case& c : cases) {
        // Each case in a different row, among relays of another setting.
        const int relay = k++ % kRelayCount;
        QByteArray block(kRelayCount, char(0xA1));
        block[relay] = char(c.byte);
        showBlock(block);
        EXPECT_EQ(cell(relay + 1, 2), QString::fromUtf8(c.text)) << int(c.byte);
        EXPECT_EQ(cell(relay + 1, 3), QString::fromUtf8(c.active)) << int(c.byte);
        QByteArray expected = block;
        expected[relay] = char(c.encoded);
        EXPECT_EQ(gridBlock(), expected) << int(c.byte);
    }
}

TEST_F(RelaySettingsTest, RowsWithoutAListedTextEncodeAsNotUsed)
{
    struct Case {
        const char* text;
        const char* active;
        std::uint8_t encoded;
    };
    const Case cases[] = {
        {"", "", 0x00},
        {"", "Лог 1", 0x80},
        {"Канал 3 \"Максимум\" ", "Лог 1", 0x80},
        {"Канал 3 Максимум", "Лог 0", 0x00},
        {"Канал 3 \"Максимум\"", "лог 1", 0x23},
        {"Канал 3 \"Максимум\"", "", 0x23},
    };
    for (int row = 1; row <= kRelayCount; ++row)
        for (int column : {2, 3})
            form.RelaySettingsGrid->item(row, column)->setText(QString());
    for (int k = 0; k < int(std::size(cases)); ++k) {
        form.RelaySettingsGrid->item(k + 1, 2)->setText(QString::fromUtf8(cases[k].text));
        form.RelaySettingsGrid->item(k + 1, 3)->setText(QString::fromUtf8(cases[k].active));
    }
    const QByteArray block = gridBlock();
    for (int k = 0; k < int(std::size(cases)); ++k)
        EXPECT_EQ(std::uint8_t(block[k]), cases[k].encoded) << k;
    EXPECT_EQ(block.mid(int(std::size(cases))), QByteArray(kRelayCount - int(std::size(cases)), '\0'));
}

TEST_F(RelaySettingsTest, WindowAndGridLayout)
{
    EXPECT_EQ(form.objectName(), QStringLiteral("RelaySettingsForm"));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Настройка РЕЛЕ"));
    EXPECT_TRUE(form.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(form.palette().color(QPalette::Window), QColor(255, 251, 240));
    form.layout()->activate();
    EXPECT_EQ(form.minimumSize(), form.maximumSize());

    const QTableWidget* grid = form.RelaySettingsGrid;
    EXPECT_EQ(grid->objectName(), QStringLiteral("RelaySettingsGrid"));
    ASSERT_EQ(grid->rowCount(), 9);
    ASSERT_EQ(grid->columnCount(), 4);
    const QStringList headings{QStringLiteral("РЕЛЕ"), QStringLiteral("Описание"), QStringLiteral("Назанчение"),
                               QStringLiteral("Активное состояние")};
    const int widths[] = {64, 67, 365, 128};
    for (int column = 0; column < 4; ++column) {
        EXPECT_EQ(cell(0, column), headings[column]);
        EXPECT_EQ(grid->columnWidth(column), widths[column]);
    }
    for (int row = 0; row < 9; ++row) {
        EXPECT_EQ(grid->rowHeight(row), 22);
        for (int column = 0; column < 4; ++column) {
            const bool editable = row > 0 && column >= 2;
            EXPECT_EQ(grid->item(row, column)->flags().testFlag(Qt::ItemIsEditable), editable) << row << column;
        }
        if (row > 0) {
            EXPECT_EQ(cell(row, 0), QStringLiteral("#%1").arg(row));
            EXPECT_EQ(cell(row, 1), QString());
        }
    }

    const struct {
        QPushButton* button;
        const char* name;
        const char* caption;
    } buttons[] = {
        {form.btnWriteRelaySettings, "btnWriteRelaySettings", "Записать"},
        {form.btnReadRelaySettings, "btnReadRelaySettings", "Прочитать"},
        {form.btnReadSignaturesRelaySettings, "btnReadSignaturesRelaySettings", "Сигнатура"},
        {form.btnCancel, "btnCancel", "Закрыть"},
    };
    for (const auto& b : buttons) {
        EXPECT_EQ(b.button->objectName(), QLatin1String(b.name));
        EXPECT_EQ(b.button->text(), QString::fromUtf8(b.caption));
        EXPECT_EQ(b.button->accessibleName(), b.button->text());
    }
}

TEST_F(RelaySettingsTest, ListEditorsOfferOnlyTheirTexts)
{
    showBlock(QByteArray::fromHex("8000000023000000"));
    const struct {
        int column;
        QStringList items;
    } cases[] = {
        {2, relayEventTexts()},
        {3, {QStringLiteral("Лог 0"), QStringLiteral("Лог 1")}},
    };
    for (const auto& c : cases) {
        const QString before = cell(4, c.column);
        QComboBox* box = openListEditor(4, c.column);
        ASSERT_NE(box, nullptr) << c.column;
        EXPECT_FALSE(box->isEditable());
        QStringList items;
        for (int i = 0; i < box->count(); ++i)
            items.append(box->itemText(i));
        EXPECT_EQ(items, c.items);
        EXPECT_EQ(box->currentText(), before);

        // Picking from the list takes effect at once.
        const int last = box->count() - 1;
        box->setCurrentIndex(last);
        emit box->activated(last);
        EXPECT_EQ(cell(4, c.column), c.items[last]);
        EXPECT_EQ(listEditor(), nullptr);
    }
    EXPECT_EQ(std::uint8_t(gridBlock()[3]), 0xF0);
}

TEST_F(RelaySettingsTest, WriteTakesTheEditInProgressStoresAndSends)
{
    showBlock(QByteArray::fromHex("800075A3184050E0"));
    // Relay 2 changed in the list but not yet taken by the grid.
    QComboBox* box = openListEditor(2, 2);
    ASSERT_NE(box, nullptr);
    box->setCurrentIndex(6);  // "Канал 2 "Минимум"", 0x32

    prompter.answer(PromptAnswer::Yes);
    form.btnWriteRelaySettings->click();

    EXPECT_EQ(prompter.prompts, QList<Prompt>{question(QStringLiteral("Записать настройки РЕЛЕ в БО?"))});
    EXPECT_EQ(listEditor(), nullptr);
    EXPECT_EQ(port.writes, QList<QByteArray>{QByteArray(":0144803270A3184050E06E\r\n")});
    EXPECT_EQ(fileSlot(1), slotOf(QByteArray::fromHex("803270A3184050E0")));
}

TEST_F(RelaySettingsTest, QuestionsGateWriteAndRead)
{
    showBlock(QByteArray(kRelayCount, char(0x80)));
    const struct {
        QPushButton* button;
        const char* question;
        QByteArray wire;  // sent on Yes
    } cases[] = {
        {form.btnWriteRelaySettings, "Записать настройки РЕЛЕ в БО?", ":01448080808080808080BB\r\n"},
        {form.btnReadRelaySettings, "Прочитать настройки РЕЛЕ из БО?", ":0145BA\r\n"},
    };
    for (const auto& c : cases) {
        prompter.prompts.clear();
        port.writes.clear();
        prompter.answer(PromptAnswer::No);
        c.button->click();
        EXPECT_EQ(prompter.prompts, QList<Prompt>{question(QString::fromUtf8(c.question))});
        EXPECT_TRUE(port.writes.isEmpty()) << c.question;
        EXPECT_FALSE(QFile::exists(settingsFile.filePath(1))) << c.question;
    }
    for (const auto& c : cases) {
        port.writes.clear();
        prompter.answer(PromptAnswer::Yes);
        c.button->click();
        EXPECT_EQ(port.writes, QList<QByteArray>{c.wire}) << c.question;
    }
}

TEST_F(RelaySettingsTest, ReadReplyShowsTheBlockAndStoresItUnderTheRepliersAddressOnYes)
{
    const QByteArray block = QByteArray::fromHex("11A23340D0E06070");
    prompter.answer(PromptAnswer::Yes);
    reply(7, 69, block);

    EXPECT_EQ(prompter.prompts, (QList<Prompt>{message(QStringLiteral("Настройки выходов РЕЛЕ прочитаны из БО")),
                                               question(QStringLiteral("Сохранить настройки в файле?"))}));
    EXPECT_EQ(cell(2, 2), QStringLiteral("Канал 2 \"Максимум\""));
    EXPECT_EQ(cell(2, 3), QStringLiteral("Лог 1"));
    EXPECT_EQ(gridBlock(), block);
    EXPECT_EQ(fileSlot(7), slotOf(block));
    EXPECT_FALSE(QFile::exists(settingsFile.filePath(1)));
}

TEST_F(RelaySettingsTest, NoToTheSaveQuestionShowsTheFilesBlockAgain)
{
    const QByteArray stored = QByteArray::fromHex("A3B4C00040506070");
    storeSlot(7, slotOf(stored));
    prompter.answer(PromptAnswer::No);
    reply(7, 69, QByteArray::fromHex("11A23340D0E06070"));

    EXPECT_EQ(prompter.prompts.size(), 2);
    EXPECT_EQ(gridBlock(), stored);
    EXPECT_EQ(cell(1, 2), QStringLiteral("Канал 3 \"Максимум\""));
    EXPECT_EQ(fileSlot(7), slotOf(stored));
}

TEST_F(RelaySettingsTest, SignatureCoversTheEightRelayBytesOnly)
{
    const QByteArray block = QByteArray::fromHex("11A23340D0E06070");
    // The same relay bytes behind different slot padding.
    for (const char padding : {char(0xFF), char(0x00)}) {
        port.writes.clear();
        state.RelaySignature = 0;
        storeSlot(1, slotOf(block, padding));
        ASSERT_TRUE(form.LoadRelayBlockFromFile(1));
        form.btnReadSignaturesRelaySettings->click();
        EXPECT_EQ(state.RelaySignature, ComputeSignature(bytesOf(block), std::size_t(block.size())));
        EXPECT_EQ(port.writes, QList<QByteArray>{QByteArray(":0146B9\r\n")});
    }
    EXPECT_TRUE(prompter.prompts.isEmpty());

    // What the window shows is signed, not what the file holds.
    form.RelaySettingsGrid->item(8, 3)->setText(QStringLiteral("Лог 1"));
    form.btnReadSignaturesRelaySettings->click();
    const QByteArray edited = QByteArray::fromHex("11A23340D0E060F0");
    EXPECT_EQ(state.RelaySignature, ComputeSignature(bytesOf(edited), std::size_t(edited.size())));
}

TEST_F(RelaySettingsTest, RepliesShowTheirMessages)
{
    state.RelaySignature = 0x1234;
    const struct {
        int code;
        QByteArray data;
        const char* text;
        PromptIcon icon;
    } cases[] = {
        {68, {}, "Настройки выходов РЕЛЕ записаны в БО", PromptIcon::Information},
        {70, QByteArray::fromHex("1234"), "Сигнатура совпадает", PromptIcon::Information},
        {70, QByteArray::fromHex("1235"), "Сигнатура не совпадает", PromptIcon::Error},
        {70, QByteArray::fromHex("3412"), "Сигнатура не совпадает", PromptIcon::Error},
    };
    for (const auto& c : cases) {
        prompter.prompts.clear();
        reply(1, c.code, c.data);
        EXPECT_EQ(prompter.prompts, QList<Prompt>{message(QString::fromUtf8(c.text), c.icon)}) << c.code;
    }
}

TEST_F(RelaySettingsTest, RepliesTooShortAreIgnored)
{
    showBlock(QByteArray(kRelayCount, char(0x80)));
    reply(1, 69, QByteArray::fromHex("11223344556677"));
    reply(1, 70, QByteArray::fromHex("00"));
    EXPECT_TRUE(prompter.prompts.isEmpty());
    EXPECT_EQ(gridBlock(), QByteArray(kRelayCount, char(0x80)));
    EXPECT_FALSE(QFile::exists(settingsFile.filePath(1)));
}

TEST_F(RelaySettingsTest, OpenLoadsTheFileAndCloseClearsTheGrid)
{
    // A unit without a file gets the default one: every relay unused, active high.
    form.openForCurrentUnit();
    EXPECT_TRUE(form.isVisible());
    ASSERT_EQ(prompter.prompts.size(), 1);
    EXPECT_TRUE(prompter.prompts[0].text.contains(QDir::toNativeSeparators(settingsFile.filePath(1))));
    EXPECT_EQ(gridBlock(), QByteArray(kRelayCount, char(0x80)));

    const QByteArray stored = QByteArray::fromHex("A3B4C00040506070");
    storeSlot(1, slotOf(stored));
    QComboBox* box = openListEditor(5, 2);
    ASSERT_NE(box, nullptr);
    box->setCurrentIndex(3);
    form.btnCancel->click();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(listEditor(), nullptr);
    for (int row = 1; row <= kRelayCount; ++row) {
        EXPECT_EQ(cell(row, 0), QStringLiteral("#%1").arg(row));
        EXPECT_EQ(cell(row, 2), QString());
        EXPECT_EQ(cell(row, 3), QString());
    }
    EXPECT_EQ(cell(0, 2), QStringLiteral("Назанчение"));
    EXPECT_EQ(gridBlock(), QByteArray(kRelayCount, '\0'));
    EXPECT_EQ(fileSlot(1), slotOf(stored));

    form.openForCurrentUnit();
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(gridBlock(), stored);
    form.hide();
}

TEST_F(RelaySettingsTest, OpensInTheCentreOfTheScreen)
{
    QWidget owner;
    owner.setGeometry(120, 80, 600, 400);
    owner.show();
    ReplyDispatcher ownDispatcher{state, [] {}};
    EditorContext ownContext{state,        sender,        prompter,
                             settingsFile, ownDispatcher, [] { return std::optional<int>(1); }};
    TRelaySettingsForm child(ownContext, &owner);
    child.openForCurrentUnit();
    const QPoint offset = child.frameGeometry().center() - owner.screen()->availableGeometry().center();
    EXPECT_LE(offset.manhattanLength(), 2) << offset.x() << "," << offset.y();
    child.hide();
}

}  // namespace
