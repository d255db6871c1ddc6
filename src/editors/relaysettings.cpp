#include "editors/relaysettings.h"

#include "editors/editor_context.h"

namespace kv7m {

TRelaySettingsForm::TRelaySettingsForm(EditorContext&, QWidget* parent) : QDialog(parent) {}

}  // namespace kv7m
