#pragma once

#include "settings/whole_unit_transfer.h"

#include <QWidget>

class QProgressBar;

namespace kv7m {

// The progress window of the long operations: a small tool window on top, centred on the screen,
// with one progress bar and no close button; its caption names the operation.
class TfrmProgressBar : public QWidget, public ProgressDisplay {
    Q_OBJECT
public:
    explicit TfrmProgressBar(QWidget* parent = nullptr);
    ~TfrmProgressBar() override;

    void showProgress(const QString& caption, int maximum) override;
    void setProgress(int position) override;
    void closeProgress() override;
    void setBusy(bool busy) override;

    QProgressBar* ProgressBar;

private:
    bool m_busy = false;
};

}  // namespace kv7m
