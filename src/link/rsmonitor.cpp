#include "link/rsmonitor.h"

#include "protocol/protocol_state.h"

namespace kv7m {

TDataRSForm::TDataRSForm(ProtocolState& state, QWidget* parent) : QWidget(parent), m_state(state) {}
void TDataRSForm::byteReceived(std::uint8_t) {}
void TDataRSForm::frameReceived(const QByteArray&) {}
void TDataRSForm::toggleRecording() {}
void TDataRSForm::clearAll() {}
void TDataRSForm::closeEvent(QCloseEvent* event) { QWidget::closeEvent(event); }
void TDataRSForm::showEvent(QShowEvent* event) { QWidget::showEvent(event); }

}  // namespace kv7m
