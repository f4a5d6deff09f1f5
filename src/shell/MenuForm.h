#pragma once

#include <QWidget>

// The program's main window. The process runs until it closes.
class TMenuForm : public QWidget {
    Q_OBJECT
public:
    explicit TMenuForm(QWidget* parent = nullptr);
};
