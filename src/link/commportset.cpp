#include "link/commportset.h"

#include "app/app_settings.h"
#include "app/integer_text.h"
#include "app/prompter.h"
#include "app/window_placement.h"
#include "link/com_port_link.h"
#include "link/port_names.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace kv7m {

namespace {

QLabel* captionLabel(const QString& text, QWidget* buddy, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    buddy->setAccessibleName(text);
    return label;
}

}  // namespace

TCOMMPortForm::TCOMMPortForm(ComPortLink& link, AppSettings& settings, Prompter& prompter, PortDialogActions actions,
                             QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint),
      m_link(link),
      m_settings(settings),
      m_prompter(prompter),
      m_actions(std::move(actions))
{
    setObjectName(QStringLiteral("COMMPortForm"));
    setWindowTitle(QStringLiteral("Терминал"));

    COMMText = new QComboBox(this);
    COMMText->setObjectName(QStringLiteral("COMMText"));
    COMMText->setEditable(true);
    COMMText->setMinimumContentsLength(16);
    fillPortList();
    COMMText->setEditText(QStringLiteral("COM3"));

    cbBaudRate = new QComboBox(this);
    cbBaudRate->setObjectName(QStringLiteral("cbBaudRate"));
    cbBaudRate->addItems({QStringLiteral("1200"), QStringLiteral("2400"), QStringLiteral("4800"),
                          QStringLiteral("9600"), QStringLiteral("19200"), QStringLiteral("38400"),
                          QStringLiteral("57600"), QStringLiteral("115200")});
    cbBaudRate->setCurrentText(QStringLiteral("19200"));

    TimeOutMesData = new QLineEdit(QStringLiteral("60"), this);
    TimeOutMesData->setObjectName(QStringLiteral("TimeOutMesData"));
    txtWaitAnsewer = new QLineEdit(QStringLiteral("60"), this);
    txtWaitAnsewer->setObjectName(QStringLiteral("txtWaitAnsewer"));

    m_portDescription = new QLabel(this);
    m_portDescription->setObjectName(QStringLiteral("lblPortDescription"));
    m_portDescription->setWordWrap(true);

    auto* grid = new QGridLayout;
    grid->addWidget(captionLabel(QStringLiteral("СОМ порт"), COMMText, this), 0, 0);
    grid->addWidget(COMMText, 0, 1, 1, 2);
    grid->addWidget(m_portDescription, 1, 1, 1, 2);
    grid->addWidget(captionLabel(QStringLiteral("Скорость"), cbBaudRate, this), 2, 0);
    grid->addWidget(cbBaudRate, 2, 1, 1, 2);
    grid->addWidget(captionLabel(QStringLiteral("Таймаут ожидания данных по каналам"), TimeOutMesData, this), 3, 0);
    grid->addWidget(TimeOutMesData, 3, 1);
    grid->addWidget(new QLabel(QStringLiteral("сек"), this), 3, 2);
    grid->addWidget(captionLabel(QStringLiteral("Таймаут ожидания ответа на CMD"), txtWaitAnsewer, this), 4, 0);
    grid->addWidget(txtWaitAnsewer, 4, 1);
    grid->addWidget(new QLabel(QStringLiteral("сек"), this), 4, 2);

    BtnOk = new QPushButton(QStringLiteral("ОК"), this);
    BtnOk->setObjectName(QStringLiteral("BtnOk"));
    BtnOk->setAccessibleName(BtnOk->text());
    BtnOk->setDefault(true);
    BtnCancel = new QPushButton(QStringLiteral("Отмена"), this);
    BtnCancel->setObjectName(QStringLiteral("BtnCancel"));
    BtnCancel->setAccessibleName(BtnCancel->text());
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(BtnOk, QDialogButtonBox::AcceptRole);
    buttons->addButton(BtnCancel, QDialogButtonBox::RejectRole);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // OK closes the dialog only when every setting was taken.
    connect(BtnOk, &QPushButton::clicked, this, &TCOMMPortForm::acceptSettings);
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(COMMText, &QComboBox::editTextChanged, this, &TCOMMPortForm::showPortDescription);
}

void TCOMMPortForm::fillPortList()
{
    const QString text = COMMText->currentText();
    COMMText->clear();
    COMMText->addItems(standardPortNames());
    for (const SystemPort& port : systemSerialPorts()) {
        int index = COMMText->findText(port.name, Qt::MatchFixedString);
        if (index < 0) {
            COMMText->addItem(port.name);
            index = COMMText->count() - 1;
        }
        COMMText->setItemData(index, port.description, Qt::ToolTipRole);
    }
    COMMText->setEditText(text);
}

void TCOMMPortForm::showPortDescription()
{
    const int index = COMMText->findText(COMMText->currentText(), Qt::MatchFixedString);
    const QString description = index >= 0 ? COMMText->itemData(index, Qt::ToolTipRole).toString() : QString();
    m_portDescription->setText(description);
    m_portDescription->setVisible(!description.isEmpty());
}

void TCOMMPortForm::showEvent(QShowEvent* event)
{
    // Restoring a minimized dialog keeps what the user has typed.
    if (event->spontaneous()) {
        QDialog::showEvent(event);
        return;
    }
    fillPortList();
    COMMText->setEditText(m_settings.ReadRegistryString(setting::CurrCOMM));
    txtWaitAnsewer->setText(m_settings.ReadRegistryString(setting::WaitAnsewer));
    TimeOutMesData->setText(m_settings.ReadRegistryString(setting::MainTableClearTimeOut));
    showPortDescription();
    centreOnOwner(this);
    QDialog::showEvent(event);
}

void TCOMMPortForm::acceptSettings()
{
    const PortDialogInput input{COMMText->currentText(), cbBaudRate->currentText(), TimeOutMesData->text(),
                                txtWaitAnsewer->text()};
    switch (applyPortSettings(m_link, m_settings, m_prompter, input, m_actions)) {
    case PortDialogOutcome::Applied:
        accept();
        break;
    case PortDialogOutcome::PortNotOpened:
        COMMText->setEditText(port_text::NoPort);
        break;
    case PortDialogOutcome::TimeOutNotInteger:
        (parseInteger(TimeOutMesData->text()) ? txtWaitAnsewer : TimeOutMesData)->setFocus();
        break;
    }
}

}  // namespace kv7m
