#include "shell/MenuForm.h"

TMenuForm::TMenuForm(QWidget* parent)
    : QWidget(parent) {
    setWindowTitle(QStringLiteral("타비로 v3.6"));
    resize(1467, 897);
}
