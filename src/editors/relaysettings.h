#pragma once

#include <QDialog>

namespace kv7m {

struct EditorContext;

// Relay outputs window "Настройка РЕЛЕ".
class TRelaySettingsForm : public QDialog {
    Q_OBJECT
public:
    TRelaySettingsForm(EditorContext& context, QWidget* parent = nullptr);
};

}  // namespace kv7m
