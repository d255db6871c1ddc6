#include "app/maindebugmega.h"

#include "app/app_services.h"
#include "app/app_settings.h"
#include "app/integer_text.h"
#include "app/prompter.h"
#include "app/startup_values.h"
#include "app/table_layout.h"
#include "app/table_widget_grid.h"
#include "editors/constbo.h"
#include "editors/editor_context.h"
#include "editors/relaysettings.h"
#include "link/commportset.h"
#include "link/rsmonitor.h"
#include "link/serial_port.h"
#include "measurements/channel_view.h"
#include "measurements/measurement_archive.h"
#include "measurements/system_table.h"
#include "protocol/query_mode.h"
#include "protocol/reply_dispatcher.h"
#include "settings/progressbar.h"
#include "settings/settings_file.h"
#include "settings/whole_unit_transfer.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#ifndef KV7M_VERSION
#define KV7M_VERSION "0.0.0"
#endif

namespace kv7m {

namespace {

const QColor kCream(255, 251, 240);

// A grid whose row 0 holds the headings, as the measurement tables are laid out.
QTableWidget* makeGrid(const QString& name, int rows, bool boldHeadings, QWidget* parent)
{
    auto* grid = new QTableWidget(rows, 11, parent);
    grid->setObjectName(name);
    grid->setAccessibleName(name);
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->hide();
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionMode(QAbstractItemView::NoSelection);
    grid->setFocusPolicy(Qt::NoFocus);
    grid->setWordWrap(false);
    QFont headingFont(QStringLiteral("Tahoma"));
    headingFont.setPointSize(8);
    headingFont.setBold(boldHeadings);
    for (int c = 0; c < 11; ++c) {
        auto* heading = new QTableWidgetItem(measurementHeadings().at(c));
        heading->setFont(headingFont);
        heading->setTextAlignment(Qt::AlignCenter);
        heading->setBackground(grid->palette().button());
        grid->setItem(0, c, heading);
        for (int r = 1; r < rows; ++r) {
            auto* cell = new QTableWidgetItem;
            cell->setTextAlignment(Qt::AlignCenter);
            grid->setItem(r, c, cell);
        }
    }
    return grid;
}

QAction* addItem(QMenu* menu, const char* name, const QString& caption, bool enabled)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    action->setEnabled(enabled);
    return action;
}

}  // namespace

QString mainWindowCaption()
{
    return QStringLiteral("Настройка и отладка системы КВ-7М::Влагомер (2026, версия %1)")
        .arg(QStringLiteral(KV7M_VERSION));
}

TMainForm::TMainForm(AppServices& services, QWidget* parent)
    : QMainWindow(parent),
      m_services(services),
      m_link(services.port, services.settings, services.prompter,
             [this](const QString& name) { setStatusPanelText(PortPanel, name); }),
      m_sender(m_state, services.port, services.prompter, *this)
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(mainWindowCaption());
    setMinimumSize(800, 600);
    resize(858, 600);
    QPalette cream = palette();
    cream.setColor(QPalette::Window, kCream);
    setPalette(cream);

    createMenus();
    createPages();
    createStatusBar();
    createTimers();

    createLiveData();
    createSettingsStore();

    COMMPortForm = new TCOMMPortForm(m_link, services.settings, services.prompter,
                                     PortDialogActions{[this](int seconds) { SetMainTableClearTimeOut(seconds); },
                                                       [this](int seconds) { setReplyTimeOut(seconds); },
                                                       [this] { setStatusPanelText(MessagePanel, QString()); }},
                                     this);

    LocaleDecimalSeparator = services.decimalSeparator;
    m_state.resetAssembler();
    m_state.MonitorOn = false;
    const StartupValues values = readStartupValues(services.settings, services.prompter, services.dataRoot);
    SettingsPath = values.settingsPath;
    DataPath = values.dataPath;
    const SystemTableLayout creation = systemTableCreationLayout(SmallTableInfo->width(), SmallTableInfo->height(), 64);
    for (int c = 0; c < 11; ++c)
        SmallTableInfo->setColumnWidth(c, std::max(0, creation.columns[std::size_t(c)]));
    for (int r = 0; r < 9; ++r)
        SmallTableInfo->setRowHeight(r, std::max(0, creation.rows[std::size_t(r)]));
    setStatusPanelText(AddressPanel, values.unitAddress);
    SetMainTableClearTimeOut(values.mainTableClearTimeOut);
    m_state.PolledChannel = 0;
    m_state.NoAnswerTicks = 0;
    m_state.ReplyTimeOut = values.replyTimeOut;
    m_channelView->ResetChannelView(cbChannelSwitch->currentIndex());

    CheckRSConnectOnStartProg->start();
    RestoreTimer->start();
    MainTableClearTimer->start();
    TimerNewDayCheck->start();
}

void TMainForm::createLiveData()
{
    m_systemGrid = std::make_unique<TableWidgetGrid>(SmallTableInfo);
    m_fontFitter = std::make_unique<SystemTableFontFitter>(SmallTableInfo);
    m_channelGrid = std::make_unique<TableWidgetGrid>(ChannelFullGrid);
    m_dispatcher = std::make_unique<ReplyDispatcher>(m_state, [this] { checksumErrorIndicatorOn(); });
    ReceiveHost& receiveHost = *this;
    m_pipeline = std::make_unique<ReceivePipeline>(m_state, m_link, *m_dispatcher, m_services.prompter, receiveHost);
    m_archive = std::make_unique<MeasurementArchive>(m_services.prompter);
    m_channelView = std::make_unique<ChannelView>(
        *m_channelGrid, *m_systemGrid, m_services.clock, [this] { return cbChannelSwitch->currentIndex(); },
        [this] { return DataPath; });
    m_queryMode = std::make_unique<QueryMode>(m_state, m_sender, *m_systemGrid);
    m_systemTable = std::make_unique<SystemTable>(
        m_state, *m_systemGrid, m_services.clock, m_services.decimalSeparator,
        MeasurementHooks{
            [this] { FitSystemTableFont(); },
            [this](int channel, int day) { m_channelView->AppendChannelRow(channel, day); },
            [this](int channel, int day, int month, int year) { archiveRecord(channel, day, month, year); },
            [this] { m_queryMode->recordAccepted(); }});

    m_dispatcher->setHandler(52, [this] { m_systemTable->HandleMeasurementReply(); });
    registerUnitInitiatedReplies(*m_dispatcher, m_state, m_services.prompter, m_sender,
                                 [this] { return LocaleDecimalSeparator; });
    connect(&m_services.port, &SerialPort::bytesArrived, this, [this] { m_pipeline->onBytesArrived(); });

    connect(MainTableClearTimer, &QTimer::timeout, this, [this] { m_systemTable->clearStaleRows(); });
    connect(TimerNewDayCheck, &QTimer::timeout, this, [this] { m_channelView->checkNewDay(); });
    connect(cbChannelSwitch, &QComboBox::currentIndexChanged, this,
            [this](int index) { m_channelView->ResetChannelView(index); });

    MMBOActive->setEnabled(true);
    MMQerryReg->setEnabled(true);
    connect(MMBOActive, &QAction::triggered, this, [this] {
        m_queryMode->enterActiveMode();
        MMBOActive->setChecked(!m_queryMode->isQueryMode());
    });
    connect(MMQerryReg, &QAction::triggered, this, [this] {
        m_queryMode->enterQueryMode();
        MMQerryReg->setChecked(m_queryMode->isQueryMode());
    });
    connect(m_queryMode.get(), &QueryMode::modeChanged, this, [this](bool queryMode) {
        MMQerryReg->setChecked(queryMode);
        MMBOActive->setChecked(!queryMode);
    });

    DataRSForm = new TDataRSForm(m_state, this);
    MMRSMonitor->setEnabled(true);
    connect(MMRSMonitor, &QAction::triggered, this, [this] {
        DataRSForm->show();
        DataRSForm->raise();
    });
}

void TMainForm::createSettingsStore()
{
    m_settingsFile = std::make_unique<SettingsFile>([this] { return SettingsPath; }, m_services.prompter);
    m_editorContext =
        std::make_unique<EditorContext>(EditorContext{m_state, m_sender, m_services.prompter, *m_settingsFile,
                                                      *m_dispatcher, [this] { return currentUnitAddress(); }});
    frmProgressBar = new TfrmProgressBar(this);
    m_wholeUnit = new WholeUnitTransfer(
        m_state, m_sender, m_services.prompter, *m_settingsFile, *frmProgressBar,
        [this] { return currentUnitAddress(); }, [this] { return m_pipeline->isHandlingFrame(); }, this);
    m_wholeUnit->registerReplies(*m_dispatcher);
    for (QAction* item : {mmReadAllSettings, mmWriteAllSettings, mmSignaturesAllSettings})
        item->setEnabled(true);

    ConstBOForm = new TConstBOForm(*m_editorContext, this);
    MMConnstBO->setEnabled(true);
    connect(MMConnstBO, &QAction::triggered, this, [this] {
        if (!currentUnitAddress())
            return;
        // The unit's information comes along, for the information window.
        m_sender.SendCommandNoData(81);
        ConstBOForm->openForCurrentUnit();
    });

    RelaySettingsForm = new TRelaySettingsForm(*m_editorContext, this);
    MMRelaySettings->setEnabled(true);
    connect(MMRelaySettings, &QAction::triggered, RelaySettingsForm, &TRelaySettingsForm::openForCurrentUnit);
    connect(mmReadAllSettings, &QAction::triggered, m_wholeUnit, &WholeUnitTransfer::readAll);
    connect(mmWriteAllSettings, &QAction::triggered, m_wholeUnit, &WholeUnitTransfer::writeAll);
    connect(mmSignaturesAllSettings, &QAction::triggered, m_wholeUnit, &WholeUnitTransfer::verifyAll);
}

std::optional<int> TMainForm::currentUnitAddress()
{
    const QString text = statusPanelText(AddressPanel);
    const std::optional<int> address = parseInteger(text);
    if (!address)
        m_services.prompter.inform(kApplicationTitle, integerConversionErrorText(text), PromptIcon::Error);
    return address;
}

void TMainForm::archiveRecord(int channel, int day, int month, int yearByte)
{
    const int row = channel + 1;
    QStringList cells;
    for (int column = 0; column < SmallTableInfo->columnCount(); ++column)
        cells.append(m_systemGrid->text(row, column));
    m_archive->AppendArchiveRecord(DataPath, channel, day, month, yearByte, measurementHeadings(), cells);
    // Empty cells went to the archive as "-", and so they read in the table too.
    for (int column = 0; column < cells.size(); ++column)
        m_systemGrid->setText(row, column, cells[column]);
}

void TMainForm::FitSystemTableFont()
{
    if (m_fontFitter)
        m_fontFitter->fit();
}

void TMainForm::startProgrammer()
{
    // The external programmer takes the port over once the service commands are in place.
}

bool TMainForm::isAddressDetectionOn() const
{
    return MMAutoDefineAdrBO->isChecked();
}

void TMainForm::unitAddressDetected(int address)
{
    const QString text = QString::number(address);
    // Every frame names its unit; the setting is written only when the unit changes.
    if (statusPanelText(AddressPanel) == text)
        return;
    setStatusPanelText(AddressPanel, text);
    m_services.settings.WriteRegistryString(setting::AdrBO, text);
}

void TMainForm::receiveIndicatorOn()
{
    RXBar->setValue(10);
    RXBarTimer->start();
}

void TMainForm::checksumErrorIndicatorOn()
{
    CRCFailedInicator->setValue(10);
    CRCFailedTimer->start();
}

void TMainForm::monitorByte(std::uint8_t byte)
{
    DataRSForm->byteReceived(byte);
}

void TMainForm::monitorFrame(const QByteArray& frameText)
{
    DataRSForm->frameReceived(frameText);
}

TMainForm::~TMainForm()
{
    // The windows and the transfer use the state, the dispatcher and the settings file: they go
    // first, while those still exist.
    delete m_wholeUnit;
    delete RelaySettingsForm;
    delete ConstBOForm;
    delete frmProgressBar;
    delete DataRSForm;
    delete COMMPortForm;
}

void TMainForm::createMenus()
{
    QMenu* system = menuBar()->addMenu(QStringLiteral("Система"));
    system->setObjectName(QStringLiteral("mnuSystem"));
    MMRSMonitor = addItem(system, "MMRSMonitor", QStringLiteral("Мониторинг линии связи"), false);
    system->addSeparator();
    MMBOActive = addItem(system, "MMBOActive", QStringLiteral("БО активен"), false);
    MMBOActive->setCheckable(true);
    MMBOActive->setChecked(true);
    MMQerryReg = addItem(system, "MMQerryReg", QStringLiteral("Режим запроса информации"), false);
    MMQerryReg->setCheckable(true);
    system->addSeparator();
    MMAutoDefineAdrBO =
        addItem(system, "MMAutoDefineAdrBO", QStringLiteral("Автоматическое определение адреса БО"), true);
    MMAutoDefineAdrBO->setCheckable(true);
    MMAutoDefineAdrBO->setChecked(true);
    system->addSeparator();
    MMExit = addItem(system, "MMExit", QStringLiteral("Выход"), true);
    connect(MMExit, &QAction::triggered, this, &QWidget::close);

    QMenu* setup = menuBar()->addMenu(QStringLiteral("Настройка"));
    setup->setObjectName(QStringLiteral("mnuSetup"));
    MMTerminal = addItem(setup, "MMTerminal", QStringLiteral("Терминал"), true);
    connect(MMTerminal, &QAction::triggered, this, &TMainForm::showPortDialog);
    MMAdrBO = addItem(setup, "MMAdrBO", QStringLiteral("Адрес БО (для ПЭВМ)"), false);
    MMChangeAdrBO = addItem(setup, "MMChangeAdrBO", QStringLiteral("Смена адреса БО "), false);
    MMBOInfo = addItem(setup, "MMBOInfo", QStringLiteral("Информация о блоке ТВМ"), false);
    setup->addSeparator();
    MMTarTab = addItem(setup, "MMTarTab", QStringLiteral("Градуировочные таблицы"), false);
    MMTarTab->setVisible(false);
    MMConnstBO = addItem(setup, "MMConnstBO", QStringLiteral("Константы БО"), false);
    MMConstSens = addItem(setup, "MMConstSens", QStringLiteral("Константы датчиков"), false);
    MMRelaySettings = addItem(setup, "MMRelaySettings", QStringLiteral("Натройка выходов РЕЛЕ"), false);
    MMDateTime = addItem(setup, "MMDateTime", QStringLiteral("Дата и время"), false);
    setup->addSeparator();
    mmReadAllSettings = addItem(setup, "mmReadAllSettings", QStringLiteral("Прочитать все настройки"), false);
    mmWriteAllSettings = addItem(setup, "mmWriteAllSettings", QStringLiteral("Записать все настройки"), false);
    mmSignaturesAllSettings =
        addItem(setup, "mmSignaturesAllSettings", QStringLiteral("Сигнатура всех настроек ТВМ"), false);

    QMenu* commands = menuBar()->addMenu(QStringLiteral("Команды"));
    commands->setObjectName(QStringLiteral("mnuCommands"));
    mmCMD50GetStatusBO = addItem(commands, "mmCMD50GetStatusBO", QStringLiteral("Запрос состояния БО"), false);
    MMStartMes = addItem(commands, "MMStartMes", QStringLiteral("Начать измерения"), false);
    MMStopMes = addItem(commands, "MMStopMes", QStringLiteral("Прекратить измерения"), false);
    MMSensorSearch = addItem(commands, "MMSensorSearch", QStringLiteral("Поиск датчиков"), false);
    commands->addSeparator();
    MMExitBootLoader = addItem(commands, "MMExitBootLoader", QStringLiteral("Выход из загрузчика"), false);
    MMExitBootLoader->setVisible(false);
    MMBootLoader = addItem(commands, "MMBootLoader", QStringLiteral("Загрузчик"), false);
    commands->addSeparator();
    N721 = addItem(commands, "N721", QStringLiteral("Сброс контроллера"), false);
}

void TMainForm::createPages()
{
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));

    auto* systemPage = new QWidget(PageControl1);
    systemPage->setObjectName(QStringLiteral("tsSystem"));
    SmallTableInfo = makeGrid(QStringLiteral("SmallTableInfo"), 9, true, systemPage);
    SmallTableInfo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    SmallTableInfo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    SmallTableInfo->installEventFilter(this);
    auto* systemLayout = new QVBoxLayout(systemPage);
    systemLayout->setContentsMargins(0, 0, 0, 0);
    systemLayout->addWidget(SmallTableInfo);
    PageControl1->addTab(systemPage, QStringLiteral("По системе"));

    auto* channelPage = new QWidget(PageControl1);
    channelPage->setObjectName(QStringLiteral("tsChannel"));
    auto* selectorPanel = new QWidget(channelPage);
    selectorPanel->setObjectName(QStringLiteral("Panel1"));
    selectorPanel->setFixedHeight(41);
    cbChannelSwitch = new QComboBox(selectorPanel);
    cbChannelSwitch->setObjectName(QStringLiteral("cbChannelSwitch"));
    for (int channel = 1; channel <= ProtocolState::kChannelCount; ++channel)
        cbChannelSwitch->addItem(QStringLiteral("Канал %1").arg(channel));
    cbChannelSwitch->setCurrentIndex(0);
    cbChannelSwitch->setAccessibleName(QStringLiteral("Канал"));
    auto* selectorLayout = new QHBoxLayout(selectorPanel);
    selectorLayout->addWidget(cbChannelSwitch);
    selectorLayout->addStretch();
    ChannelFullGrid = makeGrid(QStringLiteral("ChannelFullGrid"), 2, false, channelPage);
    const int designWidths[11] = {64, 64, 87, 103, 64, 64, 64, 64, 81, 90, 83};
    for (int c = 0; c < 11; ++c)
        ChannelFullGrid->setColumnWidth(c, designWidths[c]);
    ChannelFullGrid->installEventFilter(this);
    auto* channelLayout = new QVBoxLayout(channelPage);
    channelLayout->setContentsMargins(0, 0, 0, 0);
    channelLayout->setSpacing(0);
    channelLayout->addWidget(selectorPanel);
    channelLayout->addWidget(ChannelFullGrid);
    PageControl1->addTab(channelPage, QStringLiteral("По каналу"));

    setCentralWidget(PageControl1);
}

void TMainForm::createStatusBar()
{
    struct PanelSpec {
        int width;
        const char* fixedText;
    };
    static constexpr PanelSpec specs[kStatusPanelCount] = {{300, ""}, {65, "Терминал"},   {50, ""}, {60, "Адрес БО"},
                                                           {50, ""},  {20, "RX"},         {20, ""}, {20, "TX"},
                                                           {20, ""},  {75, "Ошибка CRC"}, {21, ""}, {50, ""}};

    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(true);
    auto indicator = [bar](const char* name) {
        auto* progress = new QProgressBar(bar);
        progress->setObjectName(QString::fromLatin1(name));
        progress->setRange(0, 10);
        progress->setValue(0);
        progress->setTextVisible(false);
        return progress;
    };
    for (int i = 0; i < kStatusPanelCount; ++i) {
        QWidget* panel = nullptr;
        // A value panel is named for assistive technology by the caption panel before it.
        const QString accessibleName =
            QString::fromUtf8(specs[i].fixedText[0] || i == 0 ? specs[i].fixedText : specs[i - 1].fixedText);
        if (i == 6)
            panel = RXBar = indicator("RXBar");
        else if (i == 8)
            panel = TXBar = indicator("TXBar");
        else if (i == 10)
            panel = CRCFailedInicator = indicator("CRCFailedInicator");
        else {
            auto* label = new QLabel(QString::fromUtf8(specs[i].fixedText), bar);
            label->setObjectName(QStringLiteral("StatusBar1Panel%1").arg(i));
            label->setFrameShape(QFrame::StyledPanel);
            m_panels[std::size_t(i)] = label;
            panel = label;
        }
        // Design widths are minimums: a caption or a long device path is never cut off.
        if (m_panels[std::size_t(i)])
            panel->setMinimumWidth(std::max(specs[i].width, panel->sizeHint().width()));
        else
            panel->setFixedWidth(specs[i].width);
        panel->setAccessibleName(accessibleName);
        bar->addWidget(panel, i == kStatusPanelCount - 1 ? 1 : 0);
    }
}

void TMainForm::createTimers()
{
    auto makeTimer = [this](const char* name, int interval, bool singleShot) {
        auto* timer = new QTimer(this);
        timer->setObjectName(QString::fromLatin1(name));
        timer->setInterval(interval);
        timer->setSingleShot(singleShot);
        return timer;
    };
    CheckRSConnectOnStartProg = makeTimer("CheckRSConnectOnStartProg", 1000, true);
    connect(CheckRSConnectOnStartProg, &QTimer::timeout, this, &TMainForm::checkPortOnStart);
    RestoreTimer = makeTimer("RestoreTimer", 500, true);
    connect(RestoreTimer, &QTimer::timeout, this, &QWidget::showMaximized);
    // Indicators: one tick switches them off again.
    TXBarTimer = makeTimer("TXBarTimer", 100, true);
    connect(TXBarTimer, &QTimer::timeout, this, [this] { TXBar->setValue(0); });
    RXBarTimer = makeTimer("RXBarTimer", 100, true);
    connect(RXBarTimer, &QTimer::timeout, this, [this] { RXBar->setValue(0); });
    CRCFailedTimer = makeTimer("CRCFailedTimer", 500, true);
    connect(CRCFailedTimer, &QTimer::timeout, this, [this] { CRCFailedInicator->setValue(0); });
    MainTableClearTimer = makeTimer("MainTableClearTimer", 1000, false);
    TimerNewDayCheck = makeTimer("TimerNewDayCheck", 1000, false);
}

QString TMainForm::statusPanelText(int panel) const
{
    if (panel < 0 || panel >= kStatusPanelCount || !m_panels[std::size_t(panel)])
        return {};
    return m_panels[std::size_t(panel)]->text();
}

void TMainForm::setStatusPanelText(int panel, const QString& text)
{
    if (panel < 0 || panel >= kStatusPanelCount || !m_panels[std::size_t(panel)])
        return;
    m_panels[std::size_t(panel)]->setText(text);
    m_panels[std::size_t(panel)]->setToolTip(text);
}

void TMainForm::SetMainTableClearTimeOut(int seconds)
{
    m_state.MainTableClearTimeOut = seconds;
    m_state.StaleCountdown.fill(seconds);
    m_services.settings.WriteRegistryString(setting::MainTableClearTimeOut, QString::number(seconds));
}

bool TMainForm::isBootloaderMode() const
{
    return MMExitBootLoader->isVisible();
}

void TMainForm::setBootloaderMode(bool on)
{
    MMExitBootLoader->setVisible(on);
    MMBootLoader->setVisible(!on);
}

QString TMainForm::currentAddressText() const
{
    return statusPanelText(AddressPanel);
}

void TMainForm::leaveBootloaderMode()
{
    setBootloaderMode(false);
}

void TMainForm::transmitIndicatorOn()
{
    TXBar->setValue(10);
    TXBarTimer->start();
}

void TMainForm::checkPortOnStart()
{
    CheckRSConnectOnStartProg->stop();
    m_link.CheckPortOnStart([this] { showPortDialog(); });
}

void TMainForm::showPortDialog()
{
    COMMPortForm->show();
    COMMPortForm->raise();
    COMMPortForm->activateWindow();
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    // The program ends with its main window: no other window stays behind on its own.
    const QList<QWidget*> windows = findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* window : windows) {
        if (window->isWindow())
            window->close();
    }
    QMainWindow::closeEvent(event);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize && (watched == SmallTableInfo || watched == ChannelFullGrid))
        layoutTablesOnResize();
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::layoutTablesOnResize()
{
    // Only the page on show is resized; both tables fill their page's width, so a hidden table
    // takes the width of the page on show.
    const int pageWidth = PageControl1->currentWidget()->width();
    const int systemWidth = SmallTableInfo->isVisible() ? SmallTableInfo->width() : pageWidth;
    const int channelWidth = ChannelFullGrid->isVisible() ? ChannelFullGrid->width() : pageWidth;
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, ChannelFullGrid);
    const std::array<int, 11> channel = channelTableColumns(systemWidth, channelWidth, scrollBar);
    for (int c = 0; c < 11; ++c)
        ChannelFullGrid->setColumnWidth(c, std::max(0, channel[std::size_t(c)]));
    if (!SmallTableInfo->isVisible())
        return;

    const SystemTableLayout system = systemTableResizeLayout(SmallTableInfo->width(), SmallTableInfo->height());
    for (int c = 0; c < 11; ++c)
        SmallTableInfo->setColumnWidth(c, std::max(0, system.columns[std::size_t(c)]));
    for (int r = 0; r < 9; ++r)
        SmallTableInfo->setRowHeight(r, std::max(0, system.rows[std::size_t(r)]));
    FitSystemTableFont();
    for (int r = 0; r < 9; ++r)
        for (int c = 0; c < 11; ++c)
            SmallTableInfo->item(r, c)->setTextAlignment(Qt::AlignCenter);
}

}  // namespace kv7m
