#include "link/rsmonitor.h"

#include "app/window_placement.h"
#include "link/frame_codec.h"

#include "protocol/protocol_state.h"

#include <QCloseEvent>
#include <QColor>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace kv7m {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

// Frames from unit address 16 are not taken as the last unit's address and code.
constexpr int kIgnoredAddress = 16;

// Same digit rule as the frame codec, so the boxes show what the dispatcher will decode.
int hexPair(const QByteArray& text, qsizetype at)
{
    return hexPairValue(std::uint8_t(text[at]), std::uint8_t(text[at + 1]));
}

// One frame must stay one memo line, so control characters inside a damaged frame are shown
// as their Unicode control pictures instead of breaking the line.
QString frameLine(const QByteArray& frameText)
{
    QByteArray body = frameText;
    if (body.endsWith("\r\n"))
        body.chop(2);
    QString line = QString::fromLatin1(body);
    for (QChar& c : line) {
        if (c.unicode() < 0x20)
            c = QChar(0x2400 + c.unicode());
        else if (c.unicode() == 0x7F)
            c = QChar(0x2421);
    }
    return line;
}

QLabel* captionLabel(const QString& text, QWidget* buddy, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    buddy->setAccessibleName(text);
    return label;
}

QPlainTextEdit* newMemo(const QString& name, QWidget* parent)
{
    auto* memo = new QPlainTextEdit(parent);
    memo->setObjectName(name);
    memo->setReadOnly(true);
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setMaximumBlockCount(TDataRSForm::kMaxLines);
    memo->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    return memo;
}

QLineEdit* newBox(const QString& name, QWidget* parent)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setReadOnly(true);
    box->setFixedWidth(41);
    return box;
}

QPushButton* newButton(const QString& name, const QString& caption, QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAccessibleName(caption);
    return button;
}

}  // namespace

TDataRSForm::TDataRSForm(ProtocolState& state, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint), m_state(state), m_flushTimer(new QTimer(this))
{
    setObjectName(QStringLiteral("DataRSForm"));
    setWindowTitle(QStringLiteral("Данные на линии RS"));
    setAutoFillBackground(true);
    QPalette cream = palette();
    cream.setColor(QPalette::Window, QColor(255, 251, 240));
    setPalette(cream);

    LineRSMemo = newMemo(QStringLiteral("LineRSMemo"), this);
    LineRSMemo->setFixedWidth(65);
    LineRSMemo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    DataRS = newMemo(QStringLiteral("DataRS"), this);
    AdrBO = newBox(QStringLiteral("AdrBO"), this);
    MsgNum = newBox(QStringLiteral("MsgNum"), this);
    ClearButton = newButton(QStringLiteral("ClearButton"), QStringLiteral("Очистить"), this);
    RSDataReciv = newButton(QStringLiteral("RSDataReciv"), QString(), this);

    auto* bytesColumn = new QVBoxLayout;
    bytesColumn->addWidget(captionLabel(QStringLiteral("Линия RS"), LineRSMemo, this));
    bytesColumn->addWidget(LineRSMemo, 1);

    auto* framesColumn = new QVBoxLayout;
    framesColumn->addWidget(captionLabel(QStringLiteral("Принятые посылки"), DataRS, this));
    framesColumn->addWidget(DataRS, 1);

    auto* boxes = new QHBoxLayout;
    boxes->addWidget(captionLabel(QStringLiteral("Адрес БО"), AdrBO, this));
    boxes->addWidget(AdrBO);
    boxes->addSpacing(8);
    boxes->addWidget(captionLabel(QStringLiteral("CMD"), MsgNum, this));
    boxes->addWidget(MsgNum);

    auto* controlsColumn = new QVBoxLayout;
    controlsColumn->addLayout(boxes);
    controlsColumn->addStretch(1);
    controlsColumn->addWidget(ClearButton);
    controlsColumn->addWidget(RSDataReciv);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(bytesColumn);
    layout->addLayout(framesColumn, 1);
    layout->addLayout(controlsColumn);

    resize(907, 223);

    m_flushTimer->setSingleShot(true);
    m_flushTimer->setInterval(kFlushIntervalMs);
    connect(m_flushTimer, &QTimer::timeout, this, &TDataRSForm::flushPending);
    connect(ClearButton, &QPushButton::clicked, this, &TDataRSForm::clearAll);
    connect(RSDataReciv, &QPushButton::clicked, this, &TDataRSForm::toggleRecording);

    showRecordingState();
}

void TDataRSForm::byteReceived(std::uint8_t byte)
{
    if (!m_state.MonitorOn)
        return;
    m_pendingBytes.append(char(byte));
    scheduleFlush();
}

void TDataRSForm::frameReceived(const QByteArray& frameText)
{
    if (!m_state.MonitorOn)
        return;
    m_pendingFrames.append(frameLine(frameText));
    scheduleFlush();

    // ':' plus the address and code pairs must be there to be decoded.
    if (frameText.size() < 5)
        return;
    const int address = hexPair(frameText, 1);
    if (address == kIgnoredAddress)
        return;
    AdrBO->setText(QString::number(address));
    MsgNum->setText(QString::number(hexPair(frameText, 3)));
}

void TDataRSForm::toggleRecording()
{
    m_state.MonitorOn = !m_state.MonitorOn;
    showRecordingState();
}

void TDataRSForm::clearAll()
{
    m_flushTimer->stop();
    m_pendingBytes.clear();
    m_pendingFrames.clear();
    LineRSMemo->clear();
    DataRS->clear();
    AdrBO->clear();
    MsgNum->clear();
}

void TDataRSForm::closeEvent(QCloseEvent* event)
{
    m_state.MonitorOn = false;
    showRecordingState();
    flushPending();
    event->accept();
}

void TDataRSForm::showEvent(QShowEvent* event)
{
    // A spontaneous show is the window system restoring the window; leave it where it was.
    if (!event->spontaneous())
        centreOnOwner(this);
    QWidget::showEvent(event);
}

void TDataRSForm::scheduleFlush()
{
    if (!m_flushTimer->isActive())
        m_flushTimer->start();
}

void TDataRSForm::flushPending()
{
    m_flushTimer->stop();

    // Lines that the memo would drop at once are not worth inserting.
    if (!m_pendingBytes.isEmpty()) {
        const qsizetype first = std::max<qsizetype>(0, m_pendingBytes.size() - kMaxLines);
        QString text;
        text.reserve((m_pendingBytes.size() - first) * 3);
        for (qsizetype i = first; i < m_pendingBytes.size(); ++i) {
            if (i != first)
                text.append(QLatin1Char('\n'));
            const auto byte = std::uint8_t(m_pendingBytes[i]);
            text.append(QLatin1Char(kHexDigits[byte >> 4]));
            text.append(QLatin1Char(kHexDigits[byte & 0x0F]));
        }
        m_pendingBytes.clear();
        LineRSMemo->appendPlainText(text);
    }
    if (!m_pendingFrames.isEmpty()) {
        const qsizetype first = std::max<qsizetype>(0, m_pendingFrames.size() - kMaxLines);
        const QString text = m_pendingFrames.mid(first).join(QLatin1Char('\n'));
        m_pendingFrames.clear();
        DataRS->appendPlainText(text);
    }
}

void TDataRSForm::showRecordingState()
{
    const QString caption = m_state.MonitorOn ? QStringLiteral("Остановить прием") : QStringLiteral("Начать прием");
    RSDataReciv->setText(caption);
    RSDataReciv->setAccessibleName(caption);
}

}  // namespace kv7m
