#pragma once

#include <QDialog>

#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kv7m {

class AppSettings;
class ComPortLink;
class Prompter;

// What the port dialog's OK hands to the main window.
struct PortDialogActions {
    std::function<void(int)> setMainTableClearTimeOut;
    std::function<void(int)> setReplyTimeOut;
    std::function<void()> clearMessagePanel;
};

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
    bool convertTimeOut(QLineEdit* edit, int& value);

    ComPortLink& m_link;
    AppSettings& m_settings;
    Prompter& m_prompter;
    PortDialogActions m_actions;
    QLabel* m_portDescription;
};

}  // namespace kv7m
