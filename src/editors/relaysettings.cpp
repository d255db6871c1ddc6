#include "editors/relaysettings.h"

#include "app/window_placement.h"
#include "settings/signature_check.h"

#include "app/prompter.h"
#include "editors/editor_context.h"
#include "link/frame_sender.h"
#include "protocol/protocol_state.h"
#include "protocol/reply_dispatcher.h"
#include "settings/settings_file.h"
#include "settings/settings_layout.h"
#include "settings/signature.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPalette>
#include <QPointer>
#include <QPushButton>
#include <QShowEvent>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

#include <array>

namespace kv7m {

namespace {

constexpr int kRowCount = kRelayCount + 1;
constexpr int kColumnCount = 4;
constexpr int kColumnWidths[kColumnCount] = {64, 67, 365, 128};
constexpr int kRowHeight = 22;

// Event list indexes: channel c has 3c - 2 .. 3c (alarm maximum, maximum, minimum); kinds 4..7
// (any channel) follow from index 25.
constexpr int kChannelEventsEnd = 24;
constexpr int kAnyChannelKindBase = 21;

// Data bytes of a reply: RxLength also counts the address, the code and the LRC.
int replyDataCount(const ProtocolState& state)
{
    return state.RxLength - 3;
}

}  // namespace

QStringList relayEventTexts()
{
    QStringList texts{QStringLiteral("Не используется.")};
    const QString kinds[] = {QStringLiteral("Авар. максимум"), QStringLiteral("Максимум"), QStringLiteral("Минимум")};
    for (int channel = 1; channel <= kRelayCount; ++channel)
        for (const QString& kind : kinds)
            texts.append(QStringLiteral("Канал %1 \"%2\"").arg(channel).arg(kind));
    texts.append(QStringLiteral("Минимум по любому каналу"));
    texts.append(QStringLiteral("Максимум по любому каналу"));
    texts.append(QStringLiteral("Минимум по любому каналу (длительность срабатывания 5сек)"));
    texts.append(QStringLiteral("Максимум по любому каналу (длительность срабатывания 5сек)"));
    return texts;
}

std::uint8_t relayEventCode(int index)
{
    if (index <= 0 || index >= kRelayEventCount)
        return 0x00;
    if (index <= kChannelEventsEnd) {
        const int kind = (index - 1) % 3 + 1;
        const int channel = (index - 1) / 3 + 1;
        return std::uint8_t(kind << 4 | channel);
    }
    return std::uint8_t((index - kAnyChannelKindBase) << 4);
}

RelayByteMeaning decodeRelayByte(std::uint8_t byte)
{
    const int kind = (byte >> 4) & 7;
    const int channel = byte & 0x0F;
    const bool active = (byte & kRelayActiveBit) != 0;
    if (kind == 0)
        return {0, active};
    if (kind >= 4)
        return {kAnyChannelKindBase + kind, active};
    if (channel < 1 || channel > kRelayCount)
        return {0, active};
    return {3 * (channel - 1) + kind, active};
}

std::uint8_t encodeRelayRow(const QStringList& eventTexts, const QString& eventText, const QString& activeText)
{
    // An empty or foreign text (a cleared grid) stands for "Не используется.".
    std::uint8_t byte = relayEventCode(int(eventTexts.indexOf(eventText)));
    if (activeText == relay_text::ActiveHigh)
        byte |= kRelayActiveBit;
    return byte;
}

// Drop-down lists of the two editable columns: only the listed texts can be chosen.
class RelayChoiceDelegate : public QStyledItemDelegate {
public:
    RelayChoiceDelegate(const QStringList& eventTexts, QObject* parent)
        : QStyledItemDelegate(parent), m_eventTexts(eventTexts)
    {
    }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const override
    {
        auto* box = new QComboBox(parent);
        box->setEditable(false);
        box->setAccessibleName(index.column() == TRelaySettingsForm::kEventColumn
                                   ? QStringLiteral("Назанчение")
                                   : QStringLiteral("Активное состояние"));
        box->addItems(index.column() == TRelaySettingsForm::kEventColumn
                          ? m_eventTexts
                          : QStringList{relay_text::ActiveLow, relay_text::ActiveHigh});
        // Qt's signature makes createEditor const; the delegate's own signals are not.
        auto* self = const_cast<RelayChoiceDelegate*>(this);
        // A choice from the list takes effect at once, as in the list editor of the grid.
        connect(box, &QComboBox::activated, self, [self, box] {
            emit self->commitData(box);
            emit self->closeEditor(box);
        });
        m_editor = box;
        return box;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        auto* box = static_cast<QComboBox*>(editor);
        box->setCurrentIndex(box->findText(index.data(Qt::EditRole).toString()));
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override
    {
        // Nothing chosen from the list leaves the cell as it was.
        const auto* box = static_cast<QComboBox*>(editor);
        if (box->currentIndex() >= 0)
            model->setData(index, box->currentText(), Qt::EditRole);
    }

    void destroyEditor(QWidget* editor, const QModelIndex& index) const override
    {
        if (m_editor == editor)
            m_editor = nullptr;
        QStyledItemDelegate::destroyEditor(editor, index);
    }

    void finishEditing()
    {
        if (QComboBox* box = m_editor) {
            m_editor = nullptr;
            emit commitData(box);
            emit closeEditor(box);
        }
    }

private:
    const QStringList m_eventTexts;
    mutable QPointer<QComboBox> m_editor;
};

TRelaySettingsForm::TRelaySettingsForm(EditorContext& context, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint |
                          Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      m_context(context),
      m_eventTexts(relayEventTexts())
{
    setObjectName(QStringLiteral("RelaySettingsForm"));
    setWindowTitle(QStringLiteral("Настройка РЕЛЕ"));
    setAccessibleName(windowTitle());
    setAutoFillBackground(true);
    QPalette cream = palette();
    cream.setColor(QPalette::Window, QColor(255, 251, 240));
    setPalette(cream);

    m_delegate = new RelayChoiceDelegate(m_eventTexts, this);
    buildGrid();

    const auto newButton = [this](const char* name, const QString& caption) {
        auto* button = new QPushButton(caption, this);
        button->setObjectName(QLatin1String(name));
        button->setAccessibleName(caption);
        button->setAutoDefault(false);
        return button;
    };
    btnWriteRelaySettings = newButton("btnWriteRelaySettings", QStringLiteral("Записать"));
    btnReadRelaySettings = newButton("btnReadRelaySettings", QStringLiteral("Прочитать"));
    btnReadSignaturesRelaySettings = newButton("btnReadSignaturesRelaySettings", QStringLiteral("Сигнатура"));
    btnCancel = newButton("btnCancel", QStringLiteral("Закрыть"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnWriteRelaySettings);
    buttons->addWidget(btnReadRelaySettings);
    buttons->addWidget(btnReadSignaturesRelaySettings);
    buttons->addStretch();
    buttons->addWidget(btnCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(RelaySettingsGrid);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(btnWriteRelaySettings, &QPushButton::clicked, this, &TRelaySettingsForm::btnWriteRelaySettingsClick);
    connect(btnReadRelaySettings, &QPushButton::clicked, this, &TRelaySettingsForm::btnReadRelaySettingsClick);
    connect(btnReadSignaturesRelaySettings, &QPushButton::clicked, this,
            &TRelaySettingsForm::btnReadSignaturesRelaySettingsClick);
    connect(btnCancel, &QPushButton::clicked, this, &TRelaySettingsForm::btnCancelClick);

    m_context.dispatcher.setHandler(68, [this] { writeReplied(); });
    m_context.dispatcher.setHandler(69, [this] { readReplied(); });
    m_context.dispatcher.setHandler(70, [this] { signatureReplied(); });
}

TRelaySettingsForm::~TRelaySettingsForm()
{
    // The dispatcher outlives the window in tests; no reply may reach a destroyed grid.
    for (std::uint8_t code : {68, 69, 70})
        m_context.dispatcher.setHandler(code, {});
}

void TRelaySettingsForm::buildGrid()
{
    RelaySettingsGrid = new QTableWidget(kRowCount, kColumnCount, this);
    QTableWidget* grid = RelaySettingsGrid;
    grid->setObjectName(QStringLiteral("RelaySettingsGrid"));
    grid->setAccessibleName(QStringLiteral("РЕЛЕ"));
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->hide();
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                          QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    grid->verticalHeader()->setMinimumSectionSize(1);
    grid->verticalHeader()->setDefaultSectionSize(kRowHeight);
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    int width = 0;
    for (int column = 0; column < kColumnCount; ++column) {
        grid->setColumnWidth(column, kColumnWidths[column]);
        width += kColumnWidths[column];
    }
    const int frame = 2 * grid->frameWidth();
    grid->setFixedSize(width + frame, kRowCount * kRowHeight + frame);

    const QStringList headings{QStringLiteral("РЕЛЕ"), QStringLiteral("Описание"), QStringLiteral("Назанчение"),
                               QStringLiteral("Активное состояние")};
    const QBrush fixedBackground = grid->palette().brush(QPalette::Button);
    for (int row = 0; row < kRowCount; ++row) {
        for (int column = 0; column < kColumnCount; ++column) {
            auto* item = new QTableWidgetItem;
            if (row == 0)
                item->setText(headings[column]);
            else if (column == 0)
                item->setText(QStringLiteral("#%1").arg(row));
            const bool fixed = row == 0 || column < kEventColumn;
            if (fixed) {
                item->setFlags(Qt::ItemIsEnabled);
                item->setBackground(fixedBackground);
            } else {
                item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
            }
            grid->setItem(row, column, item);
        }
    }
    grid->setItemDelegateForColumn(kEventColumn, m_delegate);
    grid->setItemDelegateForColumn(kActiveColumn, m_delegate);
}

void TRelaySettingsForm::DecodeRelayBlock(const std::uint8_t* bytes)
{
    for (int relay = 0; relay < kRelayCount; ++relay) {
        const RelayByteMeaning meaning = decodeRelayByte(bytes[relay]);
        RelaySettingsGrid->item(relay + 1, kEventColumn)->setText(m_eventTexts[meaning.eventIndex]);
        RelaySettingsGrid->item(relay + 1, kActiveColumn)
            ->setText(meaning.activeHigh ? relay_text::ActiveHigh : relay_text::ActiveLow);
    }
}

int TRelaySettingsForm::EncodeRelayBlock(std::uint8_t* out)
{
    for (int relay = 0; relay < kRelayCount; ++relay)
        out[relay] = encodeRelayRow(m_eventTexts, RelaySettingsGrid->item(relay + 1, kEventColumn)->text(),
                                    RelaySettingsGrid->item(relay + 1, kActiveColumn)->text());
    return kRelayCount;
}

bool TRelaySettingsForm::LoadRelayBlockFromFile(int unitAddress)
{
    std::array<std::uint8_t, layout::kSlotSize> slot{};
    if (!m_context.settingsFile.ReadSettingsBlock(unitAddress, layout::kRelayOffset, slot.data(), slot.size()))
        return false;
    DecodeRelayBlock(slot.data());
    return true;
}

bool TRelaySettingsForm::SaveRelayBlockToFile(int unitAddress)
{
    std::array<std::uint8_t, layout::kSlotSize> slot;
    slot.fill(0xFF);
    EncodeRelayBlock(slot.data());
    return m_context.settingsFile.WriteSettingsBlock(unitAddress, layout::kRelayOffset, slot.data(), slot.size());
}

void TRelaySettingsForm::openForCurrentUnit()
{
    const std::optional<int> unit = m_context.unitAddress();
    if (!unit)
        return;
    LoadRelayBlockFromFile(*unit);
    show();
    raise();
    activateWindow();
}

void TRelaySettingsForm::endGridEdit()
{
    m_delegate->finishEditing();
    RelaySettingsGrid->setCurrentCell(0, 0);
}

void TRelaySettingsForm::clearRelayCells()
{
    for (int row = 1; row < kRowCount; ++row)
        for (int column = kEventColumn; column < kColumnCount; ++column)
            RelaySettingsGrid->item(row, column)->setText(QString());
}

void TRelaySettingsForm::btnWriteRelaySettingsClick()
{
    endGridEdit();
    if (!m_context.prompter.askYesNo(kMessageCaption, relay_text::WriteQuestion, PromptIcon::Information))
        return;
    const std::optional<int> unit = m_context.unitAddress();
    if (!unit)
        return;
    // The unit gets the block even when the file could not take it; the file reported why.
    SaveRelayBlockToFile(*unit);
    std::array<std::uint8_t, kRelayCount> block;
    EncodeRelayBlock(block.data());
    m_context.sender.SendCommandData(68, block.data(), block.size());
}

void TRelaySettingsForm::btnReadRelaySettingsClick()
{
    endGridEdit();
    if (!m_context.prompter.askYesNo(kMessageCaption, relay_text::ReadQuestion, PromptIcon::Information))
        return;
    m_context.sender.SendCommandNoData(69);
}

void TRelaySettingsForm::btnReadSignaturesRelaySettingsClick()
{
    endGridEdit();
    // The unit signs the 8 relay bytes only, not the padding of the file's slot.
    std::array<std::uint8_t, kRelayCount> block;
    EncodeRelayBlock(block.data());
    m_context.state.RelaySignature = ComputeSignature(block.data(), block.size());
    m_context.sender.SendCommandNoData(70);
}

void TRelaySettingsForm::btnCancelClick()
{
    endGridEdit();
    clearRelayCells();
    hide();
}

void TRelaySettingsForm::writeReplied()
{
    m_context.prompter.inform(kMessageCaption, relay_text::Written, PromptIcon::Information);
}

void TRelaySettingsForm::readReplied()
{
    const ProtocolState& state = m_context.state;
    if (replyDataCount(state) < kRelayCount)
        return;
    // Taken before the boxes: the reply buffer is the line's, not this window's.
    const int unit = state.RxFrame[0];
    DecodeRelayBlock(&state.RxFrame[2]);
    m_context.prompter.inform(kMessageCaption, relay_text::Read, PromptIcon::Information);
    if (m_context.prompter.askYesNo(kMessageCaption, relay_text::SaveQuestion, PromptIcon::Information))
        SaveRelayBlockToFile(unit);
    else
        LoadRelayBlockFromFile(unit);
}

void TRelaySettingsForm::signatureReplied()
{
    const ProtocolState& state = m_context.state;
    if (replyDataCount(state) < 2)
        return;
    const int unitSignature = state.RxFrame[2] * 256 + state.RxFrame[3];
    reportSignatureCheck(m_context.prompter, unitSignature, state.RelaySignature);
}

void TRelaySettingsForm::showEvent(QShowEvent* event)
{
    // Restoring a minimized window leaves it where the user put it.
    if (!event->spontaneous())
        centreOnScreen(this);
    QDialog::showEvent(event);
}

void TRelaySettingsForm::mousePressEvent(QMouseEvent* event)
{
    endGridEdit();
    QDialog::mousePressEvent(event);
}

}  // namespace kv7m
