#include "ps2e/gs-soft/settings_dialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSpinBox>

#include "ps2e/gs-soft/settings.h"

bool editGsSettings(const std::string& path) {
    const GsSettings settings = readGsSettings(path);
    QDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle("Corvane software GS: window");

    auto* scale = new QSpinBox;
    scale->setObjectName("scale");
    scale->setRange(kGsMinScale, kGsMaxScale);
    scale->setPrefix("640x480 times ");
    scale->setValue(settings.scale);
    auto* filter = new QComboBox;
    filter->setObjectName("filter");
    filter->addItems({"Smooth (linear)", "Sharp pixels (nearest)"});
    filter->setCurrentIndex(settings.smoothScaling ? 0 : 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->setObjectName("buttons");
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);

    auto* layout = new QFormLayout(&dialog);
    layout->addRow("Window size:", scale);
    layout->addRow("Scaling:", filter);
    layout->addRow(buttons);

    if (dialog.exec() != QDialog::Accepted) return true;
    return writeGsSettings(path, GsSettings{scale->value(), filter->currentIndex() == 0});
}
