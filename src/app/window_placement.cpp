#include "app/window_placement.h"

#include <QScreen>
#include <QWidget>

namespace kv7m {

namespace {

void centreAt(QWidget* window, const QPoint& centre)
{
    QRect frame = window->frameGeometry();
    frame.moveCenter(centre);
    window->move(frame.topLeft());
}

}  // namespace

void centreOnOwner(QWidget* window)
{
    if (const QWidget* owner = window->parentWidget())
        centreAt(window, owner->window()->frameGeometry().center());
}

void centreOnScreen(QWidget* window)
{
    const QWidget* owner = window->parentWidget();
    if (const QScreen* display = owner ? owner->screen() : window->screen())
        centreAt(window, display->availableGeometry().center());
}

}  // namespace kv7m
