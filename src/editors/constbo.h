#pragma once

#include <QDialog>

namespace kv7m {

struct EditorContext;

// Common constants window "Константы блока обработки".
class TConstBOForm : public QDialog {
    Q_OBJECT
public:
    TConstBOForm(EditorContext& context, QWidget* parent = nullptr);
};

}  // namespace kv7m
