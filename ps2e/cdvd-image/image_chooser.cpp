#include "ps2e/cdvd-image/image_chooser.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>

#include "ps2e/cdvd-image/cdvd_settings.h"

bool chooseDiscImage(const std::string& settingsPath) {
    const QString current = QString::fromStdString(configuredImage(settingsPath));
    QFileDialog dialog(QApplication::activeWindow(), kImageChooserTitle);
    dialog.setObjectName("imageChooser");
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({"Disc images (*.iso *.bin *.ISO *.BIN)", "All files (*)"});
    if (!current.isEmpty()) {
        const QFileInfo image(current);
        dialog.setDirectory(image.absolutePath());
        dialog.selectFile(image.absoluteFilePath());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return true;
    return storeConfiguredImage(settingsPath, dialog.selectedFiles().first().toStdString());
}
