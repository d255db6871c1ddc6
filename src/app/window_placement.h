#pragma once

class QWidget;

namespace kv7m {

// Centres a window over the top-level window of its parent (nothing without a parent).
void centreOnOwner(QWidget* window);
// Centres a window on the screen of its parent, or its own.
void centreOnScreen(QWidget* window);

}  // namespace kv7m
