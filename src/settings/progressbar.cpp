#include "settings/progressbar.h"

#include "app/window_placement.h"

#include <QGuiApplication>
#include <QProgressBar>
#include <QVBoxLayout>

namespace kv7m {

TfrmProgressBar::TfrmProgressBar(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("frmProgressBar"));
    ProgressBar = new QProgressBar(this);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setTextVisible(false);
    QPalette green = ProgressBar->palette();
    green.setColor(QPalette::Highlight, QColor(0, 160, 0));
    ProgressBar->setPalette(green);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(ProgressBar);
    resize(691, 28);
}

TfrmProgressBar::~TfrmProgressBar()
{
    setBusy(false);
}

void TfrmProgressBar::showProgress(const QString& caption, int maximum)
{
    setWindowTitle(caption);
    ProgressBar->setAccessibleName(caption);
    ProgressBar->setRange(0, maximum);
    ProgressBar->setValue(0);
    centreOnScreen(this);
    show();
    raise();
}

void TfrmProgressBar::setProgress(int position)
{
    ProgressBar->setValue(position);
}

void TfrmProgressBar::closeProgress()
{
    hide();
}

void TfrmProgressBar::setBusy(bool busy)
{
    // The override cursor is a stack: push and pop it exactly once per busy period.
    if (busy == m_busy)
        return;
    m_busy = busy;
    if (busy)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QGuiApplication::restoreOverrideCursor();
}

}  // namespace kv7m
