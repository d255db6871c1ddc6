#include "editors/constbo.h"

#include "editors/editor_context.h"

namespace kv7m {

TConstBOForm::TConstBOForm(EditorContext&, QWidget* parent) : QDialog(parent) {}

}  // namespace kv7m
