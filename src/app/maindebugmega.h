#pragma once

#include "link/com_port_link.h"
#include "link/frame_sender.h"
#include "link/receive_pipeline.h"
#include "protocol/protocol_state.h"

#include <QMainWindow>

#include <array>
#include <memory>
#include <optional>

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QProgressBar;
class QTabWidget;
class QTableWidget;
class QTimer;

namespace kv7m {

struct AppServices;
class ChannelView;
class MeasurementArchive;
class QueryMode;
class ReplyDispatcher;
class SystemTable;
class TCOMMPortForm;
class TConstBOForm;
class TRelaySettingsForm;
class TDataRSForm;
class SettingsFile;
class SystemTableFontFitter;
class TfrmProgressBar;
class WholeUnitTransfer;
struct EditorContext;
class TableWidgetGrid;

// The main window: owns the serial link, the protocol state and the timers, shows the live
// measurements, the status bar and the menus from which every operation starts.
class TMainForm : public QMainWindow, private SenderHost, private ReceiveHost {
    Q_OBJECT
public:
    static constexpr int kStatusPanelCount = 12;
    enum StatusPanel { MessagePanel = 0, PortPanel = 2, AddressPanel = 4 };

    explicit TMainForm(AppServices& services, QWidget* parent = nullptr);
    ~TMainForm() override;

    ProtocolState& protocolState() { return m_state; }
    FrameSender& sender() { return m_sender; }
    ComPortLink& portLink() { return m_link; }
    ReplyDispatcher& dispatcher() { return *m_dispatcher; }
    ReceivePipeline& receivePipeline() { return *m_pipeline; }
    SystemTable& systemTable() { return *m_systemTable; }
    ChannelView& channelView() { return *m_channelView; }
    QueryMode& queryMode() { return *m_queryMode; }
    TCOMMPortForm* portDialog() const { return COMMPortForm; }
    TDataRSForm* monitorWindow() const { return DataRSForm; }
    SettingsFile& settingsFile() { return *m_settingsFile; }
    WholeUnitTransfer& wholeUnitTransfer() { return *m_wholeUnit; }
    TfrmProgressBar* progressWindow() const { return frmProgressBar; }
    TConstBOForm* commonConstantsWindow() const { return ConstBOForm; }
    TRelaySettingsForm* relayWindow() const { return RelaySettingsForm; }

    // The current unit address as typed, which names its settings file; nothing, after the
    // conversion error was shown, when it is not a number.
    std::optional<int> currentUnitAddress();

    QString statusPanelText(int panel) const;
    void setStatusPanelText(int panel, const QString& text);

    // Stores the stale-row time-out, reloads every channel's countdown and remembers it.
    void SetMainTableClearTimeOut(int seconds);
    int replyTimeOut() const { return m_state.ReplyTimeOut; }
    void setReplyTimeOut(int seconds) { m_state.ReplyTimeOut = seconds; }

    // Bootloader mode is shown by the menu: "Выход из загрузчика" visible, "Загрузчик" hidden.
    bool isBootloaderMode() const override;
    void setBootloaderMode(bool on) override;

    // Shrinks the system table's font until its texts fit.
    void FitSystemTableFont();

    // Application settings read at creation.
    QString SettingsPath;
    QString DataPath;
    QChar LocaleDecimalSeparator;

    // Controls other windows and tests reach by name.
    QTabWidget* PageControl1 = nullptr;
    QTableWidget* SmallTableInfo = nullptr;
    QTableWidget* ChannelFullGrid = nullptr;
    QComboBox* cbChannelSwitch = nullptr;
    QProgressBar* TXBar = nullptr;
    QProgressBar* RXBar = nullptr;
    QProgressBar* CRCFailedInicator = nullptr;
    QTimer* CheckRSConnectOnStartProg = nullptr;
    QTimer* RestoreTimer = nullptr;
    QTimer* TXBarTimer = nullptr;
    QTimer* RXBarTimer = nullptr;
    QTimer* CRCFailedTimer = nullptr;
    QTimer* MainTableClearTimer = nullptr;
    QTimer* TimerNewDayCheck = nullptr;

    QAction* MMRSMonitor = nullptr;
    QAction* MMBOActive = nullptr;
    QAction* MMQerryReg = nullptr;
    QAction* MMAutoDefineAdrBO = nullptr;
    QAction* MMExit = nullptr;
    QAction* MMTerminal = nullptr;
    QAction* MMAdrBO = nullptr;
    QAction* MMChangeAdrBO = nullptr;
    QAction* MMBOInfo = nullptr;
    QAction* MMTarTab = nullptr;
    QAction* MMConnstBO = nullptr;
    QAction* MMConstSens = nullptr;
    QAction* MMRelaySettings = nullptr;
    QAction* MMDateTime = nullptr;
    QAction* mmReadAllSettings = nullptr;
    QAction* mmWriteAllSettings = nullptr;
    QAction* mmSignaturesAllSettings = nullptr;
    QAction* mmCMD50GetStatusBO = nullptr;
    QAction* MMStartMes = nullptr;
    QAction* MMStopMes = nullptr;
    QAction* MMSensorSearch = nullptr;
    QAction* MMExitBootLoader = nullptr;
    QAction* MMBootLoader = nullptr;
    QAction* N721 = nullptr;

public slots:
    // One second after start: reopens the remembered port or asks for one.
    void checkPortOnStart();
    void showPortDialog();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // SenderHost
    QString currentAddressText() const override;
    void leaveBootloaderMode() override;
    void transmitIndicatorOn() override;
    // ReceiveHost
    void startProgrammer() override;
    bool isAddressDetectionOn() const override;
    void unitAddressDetected(int address) override;
    void receiveIndicatorOn() override;
    void monitorByte(std::uint8_t byte) override;
    void monitorFrame(const QByteArray& frameText) override;

    void createLiveData();
    void createSettingsStore();
    void checksumErrorIndicatorOn();
    void archiveRecord(int channel, int day, int month, int yearByte);

    void createMenus();
    void createPages();
    void createStatusBar();
    void createTimers();
    void layoutTablesOnResize();

    AppServices& m_services;
    ProtocolState m_state;
    ComPortLink m_link;
    FrameSender m_sender;
    std::array<QLabel*, kStatusPanelCount> m_panels{};
    TCOMMPortForm* COMMPortForm = nullptr;
    TDataRSForm* DataRSForm = nullptr;
    std::unique_ptr<TableWidgetGrid> m_systemGrid;
    std::unique_ptr<SystemTableFontFitter> m_fontFitter;
    std::unique_ptr<TableWidgetGrid> m_channelGrid;
    std::unique_ptr<ReplyDispatcher> m_dispatcher;
    std::unique_ptr<ReceivePipeline> m_pipeline;
    std::unique_ptr<MeasurementArchive> m_archive;
    std::unique_ptr<SystemTable> m_systemTable;
    std::unique_ptr<ChannelView> m_channelView;
    std::unique_ptr<QueryMode> m_queryMode;
    std::unique_ptr<SettingsFile> m_settingsFile;
    std::unique_ptr<EditorContext> m_editorContext;
    TfrmProgressBar* frmProgressBar = nullptr;
    TConstBOForm* ConstBOForm = nullptr;
    TRelaySettingsForm* RelaySettingsForm = nullptr;
    WholeUnitTransfer* m_wholeUnit = nullptr;
};

// The main window's caption.
QString mainWindowCaption();

}  // namespace kv7m
