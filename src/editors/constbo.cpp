#include "editors/constbo.h"

#include "app/window_placement.h"
#include "settings/signature_check.h"

#include "app/prompter.h"
#include "editors/editor_context.h"
#include "link/frame_sender.h"
#include "protocol/protocol_state.h"
#include "protocol/reply_dispatcher.h"
#include "settings/settings_file.h"
#include "settings/signature.h"

#include <QCheckBox>
#include <QColor>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPalette>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>

namespace kv7m {

namespace {

constexpr std::uint8_t kWriteCommand = 65;
constexpr std::uint8_t kReadCommand = 66;
constexpr std::uint8_t kSignatureCommand = 67;

// RxLength counts address, code and LRC besides the data.
constexpr int kReplyOverhead = 3;

QCheckBox* newCheckBox(const QString& name, const QString& caption, QWidget* parent)
{
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    box->setAccessibleName(caption);
    return box;
}

QPushButton* newButton(const QString& name, const QString& caption, QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAccessibleName(caption);
    // Enter in the window must not press a button the user did not choose.
    button->setAutoDefault(false);
    return button;
}

}  // namespace

CommonConstantsBlock encodeCommonConstants(std::uint8_t options)
{
    CommonConstantsBlock block{};
    block[0] = std::uint8_t(options & common_option::All);
    return block;
}

std::uint8_t decodeCommonConstants(const std::uint8_t* block)
{
    return std::uint8_t(block[0] & common_option::All);
}

std::array<std::uint8_t, layout::kSlotSize> commonConstantsSlot(const CommonConstantsBlock& block)
{
    std::array<std::uint8_t, layout::kSlotSize> slot;
    slot.fill(0xFF);
    std::copy(block.begin(), block.end(), slot.begin());
    return slot;
}

TConstBOForm::~TConstBOForm()
{
    // No reply may reach a window that is gone.
    for (const std::uint8_t code : {kWriteCommand, kReadCommand, kSignatureCommand})
        m_context.dispatcher.setHandler(code, {});
}

TConstBOForm::TConstBOForm(EditorContext& context, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint), m_context(context)
{
    setObjectName(QStringLiteral("ConstBOForm"));
    setWindowTitle(QStringLiteral("Константы блока обработки"));
    setModal(false);
    setAutoFillBackground(true);
    QPalette cream = palette();
    cream.setColor(QPalette::Window, QColor(255, 251, 240));
    setPalette(cream);

    auto* group = new QGroupBox(QStringLiteral("Режим работы ТВМ"), this);
    group->setObjectName(QStringLiteral("GroupBox1"));
    group->setAccessibleName(group->title());

    ActiveReg = newCheckBox(QStringLiteral("ActiveReg"),
                            QStringLiteral("Активный режим (ТВМ выдает CMD52 без запроса)"), group);
    ChkUseOBEH = newCheckBox(QStringLiteral("ChkUseOBEH"), QStringLiteral("Выдача информации для ОВЕН СМИ-1"), group);
    ChkUseZ3AO = newCheckBox(QStringLiteral("ChkUseZ3AO"), QStringLiteral("Выдача на ЦАП Z-3AO"), group);
    ChkUseCalendar =
        newCheckBox(QStringLiteral("ChkUseCalendar"), QStringLiteral("Использовать встроенный календарь"), group);
    ChkUseAdditionalGradTable = newCheckBox(QStringLiteral("ChkUseAdditionalGradTable"),
                                            QStringLiteral("Использовать таблицу коррекции влажности"), group);
    ChkPlotnostWithVlag = newCheckBox(QStringLiteral("ChkPlotnostWithVlag"),
                                      QStringLiteral("Расчет плотности с учетом влажности"), group);

    btnWriteCommonSettings = newButton(QStringLiteral("btnWriteCommonSettings"), QStringLiteral("Записать"), group);
    btnReadCommonSettings = newButton(QStringLiteral("btnReadCommonSettings"), QStringLiteral("Прочитать"), group);
    btnCheckSignaturesCommonSettings =
        newButton(QStringLiteral("btnCheckSignaturesCommonSettings"), QStringLiteral("Сигнатура"), group);
    btnCloseWindow = newButton(QStringLiteral("btnCloseWindow"), QStringLiteral("Закрыть"), this);

    auto* groupLayout = new QVBoxLayout(group);
    for (QCheckBox* box :
         {ActiveReg, ChkUseOBEH, ChkUseZ3AO, ChkUseCalendar, ChkUseAdditionalGradTable, ChkPlotnostWithVlag})
        groupLayout->addWidget(box);
    auto* actions = new QHBoxLayout;
    actions->addWidget(btnWriteCommonSettings);
    actions->addWidget(btnReadCommonSettings);
    actions->addWidget(btnCheckSignaturesCommonSettings);
    groupLayout->addLayout(actions);

    auto* closeRow = new QHBoxLayout;
    closeRow->addStretch(1);
    closeRow->addWidget(btnCloseWindow);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(closeRow);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(btnWriteCommonSettings, &QPushButton::clicked, this, &TConstBOForm::writeToUnit);
    connect(btnReadCommonSettings, &QPushButton::clicked, this, &TConstBOForm::readFromUnit);
    connect(btnCheckSignaturesCommonSettings, &QPushButton::clicked, this, &TConstBOForm::checkSignature);
    connect(btnCloseWindow, &QPushButton::clicked, this, &QWidget::hide);

    context.dispatcher.setHandler(kWriteCommand, [this] { onWriteReply(); });
    context.dispatcher.setHandler(kReadCommand, [this] { onReadReply(); });
    context.dispatcher.setHandler(kSignatureCommand, [this] { onSignatureReply(); });
}

std::array<std::pair<QCheckBox*, std::uint8_t>, 6> TConstBOForm::optionBoxes() const
{
    return {{{ActiveReg, common_option::ActiveMode},
             {ChkUseOBEH, common_option::ObehOutput},
             {ChkUseZ3AO, common_option::Z3aoOutput},
             {ChkUseCalendar, common_option::Calendar},
             {ChkUseAdditionalGradTable, common_option::CorrectionTable},
             {ChkPlotnostWithVlag, common_option::DensityWithMoisture}}};
}

std::uint8_t TConstBOForm::optionBits() const
{
    std::uint8_t options = 0;
    for (const auto& [box, bit] : optionBoxes())
        if (box->isChecked())
            options |= bit;
    return options;
}

void TConstBOForm::showOptionBits(std::uint8_t options)
{
    for (const auto& [box, bit] : optionBoxes())
        box->setChecked((options & bit) != 0);
}

bool TConstBOForm::LoadCommonConstants(int unitAddress)
{
    std::array<std::uint8_t, layout::kSlotSize> slot{};
    if (!m_context.settingsFile.ReadSettingsBlock(unitAddress, layout::kCommonOffset, slot.data(), slot.size()))
        return false;
    showOptionBits(decodeCommonConstants(slot.data()));
    return true;
}

bool TConstBOForm::StoreCommonConstants(int unitAddress)
{
    const auto slot = commonConstantsSlot(encodeCommonConstants(optionBits()));
    return m_context.settingsFile.WriteSettingsBlock(unitAddress, layout::kCommonOffset, slot.data(), slot.size());
}

void TConstBOForm::openForCurrentUnit()
{
    const std::optional<int> address = m_context.unitAddress();
    if (!address)
        return;
    LoadCommonConstants(*address);
    show();
    raise();
    activateWindow();
}

void TConstBOForm::writeToUnit()
{
    const CommonConstantsBlock block = encodeCommonConstants(optionBits());
    if (!m_context.prompter.askYesNo(kMessageCaption, QStringLiteral("Записать настройки в БО?"),
                                     PromptIcon::Information))
        return;
    const std::optional<int> address = m_context.unitAddress();
    if (!address)
        return;
    // The file is the user's copy of what the unit holds: no write to the unit without it.
    if (!StoreCommonConstants(*address)) {
        m_context.prompter.inform(kMessageCaption,
                                  QStringLiteral("Неудается сохранить общие настройки ТВМ (%1) в файл").arg(*address),
                                  PromptIcon::Error);
        return;
    }
    m_context.sender.SendCommandData(kWriteCommand, block.data(), block.size());
}

void TConstBOForm::readFromUnit()
{
    if (!m_context.prompter.askYesNo(kMessageCaption, QStringLiteral("Прочитать основные константы из БО?"),
                                     PromptIcon::Information))
        return;
    m_context.sender.SendCommandNoData(kReadCommand);
}

void TConstBOForm::checkSignature()
{
    const CommonConstantsBlock block = encodeCommonConstants(optionBits());
    m_context.state.CommonSignature = ComputeSignature(block.data(), block.size());
    m_context.sender.SendCommandNoData(kSignatureCommand);
}

void TConstBOForm::onWriteReply()
{
    m_context.prompter.inform(kMessageCaption, QStringLiteral("Общие настройки записаны в БО"),
                              PromptIcon::Information);
}

void TConstBOForm::onReadReply()
{
    ProtocolState& state = m_context.state;
    if (state.RxLength < kReplyOverhead + 1)
        return;
    // The file to store in or reload from is the replying unit's, whatever the status bar says now.
    const int replyAddress = state.RxFrame[0];
    showOptionBits(decodeCommonConstants(&state.RxFrame[2]));
    Prompter& prompter = m_context.prompter;
    prompter.inform(kMessageCaption, QStringLiteral("Общие настройки прочитаны из БО"), PromptIcon::Information);
    if (prompter.askYesNo(kMessageCaption, QStringLiteral("Сохранить настройки в файле?"), PromptIcon::Information))
        StoreCommonConstants(replyAddress);
    else
        LoadCommonConstants(replyAddress);
}

void TConstBOForm::onSignatureReply()
{
    const ProtocolState& state = m_context.state;
    if (state.RxLength < kReplyOverhead + 2)
        return;
    const int unitSignature = state.RxFrame[2] * 256 + state.RxFrame[3];
    reportSignatureCheck(m_context.prompter, unitSignature, state.CommonSignature);
}

void TConstBOForm::showEvent(QShowEvent* event)
{
    // A spontaneous show is the window system restoring the window; leave it where it was.
    if (!event->spontaneous())
        centreOnOwner(this);
    QDialog::showEvent(event);
}

}  // namespace kv7m
