#include "app/FontColorDialog.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QFontDialog>
#include <QFontInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QPushButton>

namespace {

QString ColorButtonStyle(const QColor& color) {
    return QStringLiteral("background-color: %1;").arg(color.name());
}

// Puts the colour row into the dialog's effects box (the one holding its
// check boxes), or below the dialog's grid where there is none.
void PlaceColorRow(QFontDialog& dialog, QWidget* colorRow) {
    const auto checks = dialog.findChildren<QCheckBox*>();
    QWidget* effects = checks.isEmpty() ? nullptr : checks.first()->parentWidget();
    if (effects != nullptr && effects != &dialog && effects->layout() != nullptr) {
        colorRow->setParent(effects);
        effects->layout()->addWidget(colorRow);
    } else if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
        colorRow->setParent(&dialog);
        grid->addWidget(colorRow, grid->rowCount(), 0);
    } else {
        colorRow->setParent(&dialog);
    }
}

} // namespace

std::optional<TFontAndColor> ExecFontDialogWithColor(QFontDialog& dialog, const QFont& font,
                                                     TColor color) {
    QColor chosen = ToQColor(color);
    bool colorChanged = false;
    auto* colorRow = new QWidget;
    auto* colorLayout = new QHBoxLayout(colorRow);
    colorLayout->setContentsMargins(0, 0, 0, 0);
    colorLayout->addWidget(new QLabel(QStringLiteral("글자 색깔"), colorRow));
    auto* colorButton = new QPushButton(colorRow);
    colorButton->setFixedSize(48, 20);
    colorButton->setStyleSheet(ColorButtonStyle(chosen));
    colorLayout->addWidget(colorButton);
    colorLayout->addStretch();
    QObject::connect(colorButton, &QPushButton::clicked, &dialog, [&] {
        const QColor c = QColorDialog::getColor(chosen, &dialog, QStringLiteral("글자 색깔"),
                                                QColorDialog::DontUseNativeDialog);
        if (c.isValid()) {
            chosen = c;
            colorChanged = true;
            colorButton->setStyleSheet(ColorButtonStyle(c));
        }
    });
    PlaceColorRow(dialog, colorRow);

    QFont current = font;
    current.setFamily(QFontInfo(current).family());
    dialog.setCurrentFont(current);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    delete colorRow;
    if (!accepted)
        return std::nullopt;
    return TFontAndColor{dialog.selectedFont(), colorChanged ? FromQColor(chosen) : color};
}
