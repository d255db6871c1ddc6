#pragma once

#include "link/port_settings.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kv7m {

class AppSettings;
class ComPortLink;
class Prompter;

// Port dialog "Терминал": port, baud rate and the program's two time-outs.
class TCOMMPortForm : public QDialog {
    Q_OBJECT
public:
    TCOMMPortForm(ComPortLink& link, AppSettings& settings, Prompter& prompter, PortDialogActions actions,
                  QWidget* parent = nullptr);

    QComboBox* COMMText;
    QComboBox* cbBaudRate;
    QLineEdit* TimeOutMesData;
    QLineEdit* txtWaitAnsewer;
    QPushButton* BtnOk;
    QPushButton* BtnCancel;

public slots:
    void acceptSettings();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void fillPortList();
    void showPortDescription();

    ComPortLink& m_link;
    AppSettings& m_settings;
    Prompter& m_prompter;
    PortDialogActions m_actions;
    QLabel* m_portDescription;
};

}  // namespace kv7m
