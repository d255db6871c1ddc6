#include "app/maindebugmega.h"

#include "app/table_layout.h"
#include "link/commportset.h"
#include "support/main_form_fixture.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

using namespace kv7m;
using namespace kv7m::test;

namespace {

using MainWindow = MainFormFixture;

TEST_F(MainWindow, StartsWithEmptySettingsAndShowsItself)
{
    TMainForm& mainForm = createForm(true);
    mainForm.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&mainForm));
    EXPECT_TRUE(mainForm.windowTitle().startsWith(QStringLiteral("Настройка и отладка системы КВ-7М::Влагомер")));
    EXPECT_EQ(mainForm.objectName(), QStringLiteral("MainForm"));
    EXPECT_TRUE(prompter.prompts.isEmpty()) << "an empty store needs no message";
    EXPECT_EQ(mainForm.protocolState().ReplyTimeOut, 60);
    EXPECT_EQ(mainForm.protocolState().MainTableClearTimeOut, 60);
    EXPECT_EQ(settings().ReadRegistryString(QStringLiteral("MainTableClearTimeOut")), QStringLiteral("60"));
    EXPECT_EQ(settings().ReadRegistryString(QStringLiteral("WaitAnsewer")), QStringLiteral("60"));
    EXPECT_FALSE(mainForm.SettingsPath.isEmpty());
    EXPECT_FALSE(mainForm.DataPath.isEmpty());
    EXPECT_EQ(mainForm.LocaleDecimalSeparator, QLatin1Char(','));
    // Maximized half a second after start.
    EXPECT_TRUE(QTest::qWaitFor([&] { return mainForm.isMaximized(); }, 3000));
}

TEST_F(MainWindow, UnreadableTimeOutIsReportedAndTheWindowStillOpens)
{
    settings().WriteRegistryString(QStringLiteral("WaitAnsewer"), QStringLiteral("1 мин"));
    settings().WriteRegistryString(QStringLiteral("MainTableClearTimeOut"), QStringLiteral("45"));
    TMainForm& mainForm = createForm();
    mainForm.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&mainForm));
    ASSERT_EQ(prompter.prompts.size(), 1);
    EXPECT_TRUE(prompter.prompts[0].text.contains(QStringLiteral("WaitAnsewer")));
    EXPECT_TRUE(prompter.prompts[0].text.contains(QStringLiteral("1 мин")));
    EXPECT_EQ(mainForm.replyTimeOut(), 60);
    EXPECT_EQ(mainForm.protocolState().MainTableClearTimeOut, 45);
    EXPECT_EQ(mainForm.protocolState().StaleCountdown[0], 45);
}

TEST_F(MainWindow, MenuItemsCarryTheirNamesCaptionsAndStates)
{
    TMainForm& mainForm = createForm();
    struct Item {
        const char* name;
        const char* caption;
        bool enabled;
        bool visible;
        bool checked;
    };
    const Item items[] = {
        {"MMRSMonitor", "Мониторинг линии связи", true, true, false},
        {"MMBOActive", "БО активен", true, true, true},
        {"MMQerryReg", "Режим запроса информации", true, true, false},
        {"MMAutoDefineAdrBO", "Автоматическое определение адреса БО", true, true, true},
        {"MMExit", "Выход", true, true, false},
        {"MMTerminal", "Терминал", true, true, false},
        {"MMAdrBO", "Адрес БО (для ПЭВМ)", false, true, false},
        {"MMChangeAdrBO", "Смена адреса БО ", false, true, false},
        {"MMBOInfo", "Информация о блоке ТВМ", false, true, false},
        {"MMTarTab", "Градуировочные таблицы", false, false, false},
        {"MMConnstBO", "Константы БО", true, true, false},
        {"MMConstSens", "Константы датчиков", false, true, false},
        {"MMRelaySettings", "Натройка выходов РЕЛЕ", true, true, false},
        {"MMDateTime", "Дата и время", false, true, false},
        {"mmReadAllSettings", "Прочитать все настройки", true, true, false},
        {"mmWriteAllSettings", "Записать все настройки", true, true, false},
        {"mmSignaturesAllSettings", "Сигнатура всех настроек ТВМ", true, true, false},
        {"mmCMD50GetStatusBO", "Запрос состояния БО", false, true, false},
        {"MMStartMes", "Начать измерения", false, true, false},
        {"MMStopMes", "Прекратить измерения", false, true, false},
        {"MMSensorSearch", "Поиск датчиков", false, true, false},
        {"MMExitBootLoader", "Выход из загрузчика", false, false, false},
        {"MMBootLoader", "Загрузчик", false, true, false},
        {"N721", "Сброс контроллера", false, true, false},
    };
    for (const Item& item : items) {
        auto* action = mainForm.findChild<QAction*>(QString::fromLatin1(item.name));
        ASSERT_NE(action, nullptr) << item.name;
        EXPECT_EQ(action->text(), QString::fromUtf8(item.caption)) << item.name;
        EXPECT_EQ(action->isEnabled(), item.enabled) << item.name;
        EXPECT_EQ(action->isVisible(), item.visible) << item.name;
        EXPECT_EQ(action->isChecked(), item.checked) << item.name;
    }
    // Automatic address detection toggles its own mark.
    mainForm.MMAutoDefineAdrBO->trigger();
    EXPECT_FALSE(mainForm.MMAutoDefineAdrBO->isChecked());
}

TEST_F(MainWindow, StatusBarHasTwelvePanelsWithTheirCaptions)
{
    TMainForm& mainForm = createForm();
    EXPECT_EQ(mainForm.statusBar()->objectName(), QStringLiteral("StatusBar1"));
    const char* fixedTexts[12] = {"", "Терминал", "", "Адрес БО", "", "RX", "", "TX", "", "Ошибка CRC", "", ""};
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(mainForm.statusPanelText(i), QString::fromUtf8(fixedTexts[i])) << "panel " << i;
    for (QProgressBar* indicator : {mainForm.RXBar, mainForm.TXBar, mainForm.CRCFailedInicator}) {
        EXPECT_EQ(indicator->minimum(), 0);
        EXPECT_EQ(indicator->maximum(), 10);
        EXPECT_EQ(indicator->value(), 0);
        EXPECT_FALSE(indicator->isTextVisible());
    }
    EXPECT_EQ(mainForm.RXBar->accessibleName(), QStringLiteral("RX"));
    EXPECT_EQ(mainForm.TXBar->accessibleName(), QStringLiteral("TX"));
    EXPECT_EQ(mainForm.CRCFailedInicator->accessibleName(), QStringLiteral("Ошибка CRC"));
}

TEST_F(MainWindow, TablesAndPagesAreLaidOutAsAtDesign)
{
    TMainForm& mainForm = createForm();
    EXPECT_EQ(mainForm.PageControl1->tabText(0), QStringLiteral("По системе"));
    EXPECT_EQ(mainForm.PageControl1->tabText(1), QStringLiteral("По каналу"));
    EXPECT_EQ(mainForm.SmallTableInfo->rowCount(), 9);
    EXPECT_EQ(mainForm.SmallTableInfo->columnCount(), 11);
    EXPECT_EQ(mainForm.SmallTableInfo->item(0, 0)->text(), QStringLiteral("Имя канала"));
    EXPECT_EQ(mainForm.SmallTableInfo->item(0, 10)->text(), QStringLiteral("Адрес датчика"));
    EXPECT_TRUE(mainForm.SmallTableInfo->item(0, 3)->font().bold());
    EXPECT_EQ(mainForm.ChannelFullGrid->rowCount(), 2);
    EXPECT_EQ(mainForm.ChannelFullGrid->columnCount(), 11);
    EXPECT_EQ(mainForm.cbChannelSwitch->count(), 8);
    EXPECT_EQ(mainForm.cbChannelSwitch->currentText(), QStringLiteral("Канал 1"));
    EXPECT_EQ(mainForm.cbChannelSwitch->itemText(7), QStringLiteral("Канал 8"));
}

TEST_F(MainWindow, StoredAddressIsShownAndAddressesTheFirstRequest)
{
    settings().WriteRegistryString(QStringLiteral("AdrBO"), QStringLiteral("5"));
    TMainForm& mainForm = createForm();
    EXPECT_EQ(mainForm.statusPanelText(TMainForm::AddressPanel), QStringLiteral("5"));
    port.open(QStringLiteral("COM1"), QStringLiteral("19200"));
    mainForm.sender().SendCommandNoData(50);
    EXPECT_EQ(port.written, QByteArray(":0532C9\r\n"));
}

TEST_F(MainWindow, AddressLearntFromTheLineIsShownAndRemembered)
{
    settings().WriteRegistryString(QStringLiteral("AdrBO"), QStringLiteral("1"));
    TMainForm& mainForm = createForm();
    mainForm.portLink().setReaderRunning(true);
    port.open(QStringLiteral("COM1"), QStringLiteral("19200"));
    port.inject(":0734");
    EXPECT_EQ(mainForm.statusPanelText(TMainForm::AddressPanel), QStringLiteral("7")) << "before the frame ends";
    EXPECT_EQ(settings().ReadRegistryString(QStringLiteral("AdrBO")), QStringLiteral("7"));
    mainForm.MMAutoDefineAdrBO->trigger();  // detection off
    port.inject(":0934");
    EXPECT_EQ(mainForm.statusPanelText(TMainForm::AddressPanel), QStringLiteral("7"));
    EXPECT_EQ(settings().ReadRegistryString(QStringLiteral("AdrBO")), QStringLiteral("7"));
}

TEST_F(MainWindow, TransmitIndicatorFlashesForEveryRequest)
{
    settings().WriteRegistryString(QStringLiteral("AdrBO"), QStringLiteral("1"));
    TMainForm& mainForm = createForm();
    mainForm.sender().SendCommandNoData(50);
    EXPECT_EQ(mainForm.TXBar->value(), 10);
    EXPECT_TRUE(QTest::qWaitFor([&] { return mainForm.TXBar->value() == 0; }, 2000));
    EXPECT_FALSE(mainForm.TXBarTimer->isActive());
}

TEST_F(MainWindow, BootloaderGuardAsksThenSendsEAndShowsLoaderItemAgain)
{
    settings().WriteRegistryString(QStringLiteral("AdrBO"), QStringLiteral("1"));
    TMainForm& mainForm = createForm();
    port.open(QStringLiteral("COM1"), QStringLiteral("19200"));
    mainForm.setBootloaderMode(true);
    EXPECT_FALSE(mainForm.MMBootLoader->isVisible());

    prompter.answer(PromptAnswer::Yes);
    mainForm.sender().SendCommandNoData(50);
    ASSERT_EQ(prompter.prompts.size(), 1);
    EXPECT_EQ(prompter.prompts[0].text,
              QStringLiteral("Блок ТВМ находится в режиме загрузчика программ.\nПерейте в рабочий режим?"));
    EXPECT_EQ(port.written, QByteArray("E:0132CD\r\n"));
    EXPECT_FALSE(mainForm.MMExitBootLoader->isVisible());
    EXPECT_TRUE(mainForm.MMBootLoader->isVisible());
}

TEST_F(MainWindow, StartupCheckAsksForAPortOneSecondAfterStart)
{
    settings().WriteRegistryString(QStringLiteral("CurrCOMM"), QStringLiteral("n/a"));
    TMainForm& mainForm = createForm(true);
    EXPECT_TRUE(prompter.prompts.isEmpty()) << "nothing is asked while the window is created";
    QSignalSpy fired(mainForm.CheckRSConnectOnStartProg, &QTimer::timeout);
    ASSERT_TRUE(fired.wait(3000));
    ASSERT_EQ(prompter.prompts.size(), 1);
    EXPECT_EQ(prompter.prompts[0].text, QStringLiteral("СОМ порт не выбран. Выбрать?"));
    EXPECT_EQ(prompter.prompts[0].buttons, PromptButtons::YesNo);
    EXPECT_EQ(mainForm.statusPanelText(TMainForm::PortPanel), QStringLiteral("n/a"));
    EXPECT_FALSE(mainForm.portDialog()->isVisible());
    EXPECT_FALSE(mainForm.CheckRSConnectOnStartProg->isActive()) << "it runs once";
}

TEST_F(MainWindow, StartupCheckYesShowsThePortDialog)
{
    settings().WriteRegistryString(QStringLiteral("CurrCOMM"), QStringLiteral("n/a"));
    TMainForm& mainForm = createForm();
    prompter.answer(PromptAnswer::Yes);
    mainForm.checkPortOnStart();
    EXPECT_TRUE(mainForm.portDialog()->isVisible());
    EXPECT_EQ(mainForm.portDialog()->windowTitle(), QStringLiteral("Терминал"));
}

TEST_F(MainWindow, StartupWithNeverSetPortSaysPortBusy)
{
    TMainForm& mainForm = createForm();
    mainForm.checkPortOnStart();
    ASSERT_EQ(prompter.prompts.size(), 1);
    EXPECT_EQ(prompter.prompts[0].text, QStringLiteral("Порт занят"));
    EXPECT_EQ(prompter.prompts[0].icon, PromptIcon::Error);
    EXPECT_EQ(mainForm.statusPanelText(TMainForm::PortPanel), QStringLiteral("n/a"));
    EXPECT_EQ(settings().ReadRegistryString(QStringLiteral("CurrCOMM")), QStringLiteral("n/a"));
    EXPECT_FALSE(mainForm.portLink().readerRunning());
}

TEST_F(MainWindow, StartupReopensRememberedPort)
{
    settings().WriteRegistryString(QStringLiteral("CurrCOMM"), QStringLiteral("COM2"));
    settings().WriteRegistryString(QStringLiteral("BaudRate"), QStringLiteral("9600"));
    TMainForm& mainForm = createForm();
    mainForm.checkPortOnStart();
    EXPECT_TRUE(prompter.prompts.isEmpty());
    EXPECT_TRUE(port.isOpen());
    EXPECT_EQ(port.openedName, QStringLiteral("COM2"));
    EXPECT_EQ(port.openedBaud, QStringLiteral("9600"));
    EXPECT_EQ(mainForm.statusPanelText(TMainForm::PortPanel), QStringLiteral("COM2"));
    EXPECT_TRUE(mainForm.portLink().readerRunning());
}

TEST_F(MainWindow, ClosingTheMainWindowLeavesNoOtherWindowOpen)
{
    TMainForm& mainForm = createForm();
    mainForm.show();
    mainForm.showPortDialog();
    ASSERT_TRUE(mainForm.portDialog()->isVisible());
    mainForm.MMExit->trigger();
    EXPECT_FALSE(mainForm.isVisible());
    EXPECT_FALSE(mainForm.portDialog()->isVisible());
}

class PortDialog : public MainFormFixture {
protected:
    TCOMMPortForm& showDialog()
    {
        createForm();
        form->setStatusPanelText(TMainForm::MessagePanel, QStringLiteral("сообщение"));
        form->showPortDialog();
        return *form->portDialog();
    }
};

TEST_F(PortDialog, ShowsTheStoredValues)
{
    settings().WriteRegistryString(QStringLiteral("CurrComm"), QStringLiteral("COM6"));
    settings().WriteRegistryString(QStringLiteral("WaitAnsewer"), QStringLiteral("12"));
    settings().WriteRegistryString(QStringLiteral("MainTableClearTimeOut"), QStringLiteral("34"));
    TCOMMPortForm& dialog = showDialog();
    EXPECT_EQ(dialog.COMMText->currentText(), QStringLiteral("COM6"));
    EXPECT_EQ(dialog.txtWaitAnsewer->text(), QStringLiteral("12"));
    EXPECT_EQ(dialog.TimeOutMesData->text(), QStringLiteral("34"));
    EXPECT_EQ(dialog.cbBaudRate->currentText(), QStringLiteral("19200"));
    EXPECT_EQ(dialog.cbBaudRate->count(), 8);
    EXPECT_GE(dialog.COMMText->count(), 15);
    EXPECT_EQ(dialog.COMMText->itemText(0), QStringLiteral("COM1"));
    EXPECT_EQ(dialog.COMMText->itemText(14), QStringLiteral("COM15"));
}

TEST_F(PortDialog, OkWritesTheFourValuesExactlyAsTyped)
{
    TCOMMPortForm& dialog = showDialog();
    dialog.COMMText->setEditText(QStringLiteral("/dev/ttyUSB0"));
    dialog.cbBaudRate->setCurrentText(QStringLiteral("57600"));
    dialog.TimeOutMesData->setText(QStringLiteral("030"));
    dialog.txtWaitAnsewer->setText(QStringLiteral(" 5"));
    QTest::mouseClick(dialog.BtnOk, Qt::LeftButton);

    EXPECT_TRUE(prompter.prompts.isEmpty());
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(settings().ReadRegistryString(QStringLiteral("CurrCOMM")), QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(settings().ReadRegistryString(QStringLiteral("BaudRate")), QStringLiteral("57600"));
    EXPECT_EQ(settings().ReadRegistryString(QStringLiteral("MainTableClearTimeOut")), QStringLiteral("030"));
    EXPECT_EQ(settings().ReadRegistryString(QStringLiteral("WaitAnsewer")), QStringLiteral(" 5"));
    EXPECT_EQ(form->protocolState().MainTableClearTimeOut, 30);
    EXPECT_EQ(form->protocolState().StaleCountdown[7], 30);
    EXPECT_EQ(form->replyTimeOut(), 5);
    EXPECT_EQ(form->statusPanelText(TMainForm::MessagePanel), QString());
    EXPECT_EQ(form->statusPanelText(TMainForm::PortPanel), QStringLiteral("/dev/ttyUSB0"));
    EXPECT_TRUE(port.isOpen());
    EXPECT_TRUE(form->portLink().readerRunning());
}

TEST_F(PortDialog, MissingPortSaysBusyAndKeepsTheDialogOpen)
{
    port.missing.insert(QStringLiteral("COM9"));
    TCOMMPortForm& dialog = showDialog();
    dialog.COMMText->setEditText(QStringLiteral("COM9"));
    dialog.BtnOk->click();
    ASSERT_EQ(prompter.prompts.size(), 1);
    EXPECT_EQ(prompter.prompts[0].text, QStringLiteral("Порт занят"));
    EXPECT_EQ(dialog.COMMText->currentText(), QStringLiteral("n/a"));
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(form->portLink().readerRunning());
    EXPECT_EQ(settings().ReadRegistryString(QStringLiteral("CurrCOMM")), QStringLiteral("n/a"));
    EXPECT_EQ(form->statusPanelText(TMainForm::MessagePanel), QStringLiteral("сообщение"));
}

TEST_F(PortDialog, NonNumericTimeOutStopsOkAfterThePortIsOpen)
{
    TCOMMPortForm& dialog = showDialog();
    dialog.COMMText->setEditText(QStringLiteral("COM2"));
    dialog.TimeOutMesData->setText(QStringLiteral("10"));
    dialog.txtWaitAnsewer->setText(QStringLiteral("abc"));
    dialog.BtnOk->click();
    ASSERT_EQ(prompter.prompts.size(), 1);
    EXPECT_TRUE(prompter.prompts[0].text.contains(QStringLiteral("'abc'")));
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(port.isOpen());
    EXPECT_EQ(settings().ReadRegistryString(QStringLiteral("WaitAnsewer")), QStringLiteral("60"));
    EXPECT_EQ(form->statusPanelText(TMainForm::MessagePanel), QStringLiteral("сообщение"));
}

TEST_F(PortDialog, CancelChangesNothing)
{
    TCOMMPortForm& dialog = showDialog();
    dialog.COMMText->setEditText(QStringLiteral("COM2"));
    dialog.BtnCancel->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(port.openCount, 0);
    EXPECT_EQ(settings().ReadRegistryString(QStringLiteral("CurrCOMM")), QString());
}

}  // namespace

QT_BEGIN_NAMESPACE
inline void PrintTo(const QSize& size, std::ostream* os)
{
    *os << size.width() << 'x' << size.height();
}
QT_END_NAMESPACE

namespace {

class TableLayoutOnResize : public MainFormFixture, public ::testing::WithParamInterface<QSize> {};

TEST_P(TableLayoutOnResize, SystemTableColumnsFollowTheRule)
{
    TMainForm& mainForm = createForm();
    mainForm.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&mainForm));
    mainForm.resize(GetParam());
    QTest::qWait(0);
    QTableWidget* table = mainForm.SmallTableInfo;
    ASSERT_TRUE(QTest::qWaitFor([&] { return mainForm.size() == GetParam(); }, 2000));
    const SystemTableLayout expected = systemTableResizeLayout(table->width(), table->height());
    for (int c = 0; c < 11; ++c)
        EXPECT_EQ(table->columnWidth(c), expected.columns[std::size_t(c)]) << "column " << c;
    for (int r = 0; r < 9; ++r)
        EXPECT_EQ(table->rowHeight(r), expected.rows[std::size_t(r)]) << "row " << r;
    // Column 0 is a tenth, the others nine hundredths, of the width less 3.
    EXPECT_EQ(table->columnWidth(0), int(0.1 * (table->width() - 3)));
    EXPECT_EQ(table->columnWidth(4), int(0.09 * (table->width() - 3)));
    int sum = 0;
    for (int c = 0; c < 11; ++c)
        sum += table->columnWidth(c);
    EXPECT_LE(sum, table->width() - 3);
    EXPECT_GE(sum, table->width() - 4);
}

TEST_P(TableLayoutOnResize, ChannelTableFollowsTheRuleWhileItsPageIsShown)
{
    TMainForm& mainForm = createForm();
    mainForm.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&mainForm));
    mainForm.PageControl1->setCurrentIndex(1);
    mainForm.resize(GetParam());
    ASSERT_TRUE(QTest::qWaitFor([&] { return mainForm.size() == GetParam(); }, 2000));
    QTableWidget* grid = mainForm.ChannelFullGrid;
    // The system table is hidden and was never resized; the base is the page's width all the same.
    const int pageWidth = mainForm.PageControl1->currentWidget()->width();
    ASSERT_EQ(grid->width(), pageWidth);
    const int s = mainForm.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, grid) + 1;
    EXPECT_EQ(grid->columnWidth(0), int(0.1 * (pageWidth - s - 3)));
    EXPECT_EQ(grid->columnWidth(5), int(0.09 * (pageWidth - s - 3)));
    int sum = 0;
    for (int c = 0; c < 11; ++c)
        sum += grid->columnWidth(c);
    EXPECT_GE(sum, pageWidth - s - 4);
    EXPECT_LE(sum, pageWidth - s - 3);
}

INSTANTIATE_TEST_SUITE_P(WindowSizes, TableLayoutOnResize,
                         ::testing::Values(QSize(800, 600), QSize(858, 600), QSize(1024, 768), QSize(1280, 1000),
                                           QSize(1601, 901)),
                         [](const auto& info) {
                             return std::to_string(info.param.width()) + "x" + std::to_string(info.param.height());
                         });

}  // namespace
