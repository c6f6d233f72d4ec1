#include "plugins/plugin_dialog.h"

#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cctype>

#include "plugins/config.h"
#include "plugins/plugin_host.h"
#include "plugins/plugin_library_list.h"
#include "ps2e/ps2e.h"

namespace {

// The four lists in their row order, with the kind bit each shows and the
// configuration entry it fills.
struct ListRow {
    const char* id;
    const char* label;
    const char* aboutId;
    u32 kind;
    std::string PluginConfig::*configured;
};
constexpr int kListCount = 4;
const ListRow kRows[kListCount] = {
    {"1052", "GPU", "1058", PS2E_LT_GS, &PluginConfig::gs},
    {"1053", "SPU", "1059", PS2E_LT_SPU2, &PluginConfig::spu},
    {"1054", "PAD", "1060", PS2E_LT_PAD, &PluginConfig::pad},
    {"1055", "CDVD", "1061", PS2E_LT_CDVD, &PluginConfig::cdvd},
};
// A library goes into the lists in the order of its kind bits.
constexpr int kRowsByKindBit[] = {0, 2, 1, 3};  // GS, PAD, SPU2, CDVD

bool sameIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::string withTrailingSlash(std::string path) {
    if (path.empty() || path.back() != '/') path += '/';
    return path;
}

// Without a configured directory the dialog starts where the shipped
// plugins are: beside the program, or in the installed plugins folder.
std::string initialDirectory() {
    if (!pluginConfig.dir.empty()) return pluginConfig.dir;
    return shippedPluginDir();
}

void choosePluginsFromDialog(const std::vector<PluginSlotStatus>&) { runPluginDialog(nullptr, false); }

}  // namespace

PluginDialog::PluginDialog(QWidget* parent) : QDialog(parent), directory_(initialDirectory()) {
    setWindowTitle("Plugin Config");
    setObjectName("125");
    auto* grid = new QGridLayout;
    for (int row = 0; row < kListCount; ++row) {
        lists_[row] = new QComboBox;
        lists_[row]->setObjectName(kRows[row].id);
        lists_[row]->setMinimumWidth(220);
        auto* about = new QPushButton("About");
        about->setObjectName(kRows[row].aboutId);
        connect(about, &QPushButton::clicked, this, [this, row] { showAbout(row); });
        grid->addWidget(new QLabel(kRows[row].label), row, 0);
        grid->addWidget(lists_[row], row, 1);
        grid->addWidget(about, row, 2);
    }
    auto* setDirectory = new QPushButton("Set Plugins Dir");
    setDirectory->setObjectName("1046");
    connect(setDirectory, &QPushButton::clicked, this, &PluginDialog::chooseDirectory);
    auto* ok = new QPushButton("OK");
    ok->setObjectName("1");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] {
        storeChoice();
        accept();
    });
    auto* cancel = new QPushButton("Cancel");
    cancel->setObjectName("2");
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(setDirectory);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    fillLists();
}

void PluginDialog::fillLists() {
    for (QComboBox* list : lists_) list->clear();
    for (const PluginLibraryInfo& library : listPluginLibraries(directory_)) {
        for (int bit = 0; bit < 4; ++bit) {
            if (!(library.kinds & (1u << bit))) continue;
            const int row = kRowsByKindBit[bit];
            QComboBox* list = lists_[row];
            list->addItem(QString::fromStdString(library.label), QString::fromStdString(library.file));
            if (sameIgnoringCase(library.file, pluginConfig.*kRows[row].configured))
                list->setCurrentIndex(list->count() - 1);
        }
    }
    // A list whose configured library is not there shows no choice.
    for (int row = 0; row < kListCount; ++row) {
        bool found = false;
        for (int i = 0; i < lists_[row]->count(); ++i)
            found |= sameIgnoringCase(lists_[row]->itemData(i).toString().toStdString(),
                                      pluginConfig.*kRows[row].configured);
        if (!found) lists_[row]->setCurrentIndex(-1);
    }
}

void PluginDialog::chooseDirectory() {
    QFileDialog chooser(this, "Select Plugins Directory", QString::fromStdString(directory_));
    chooser.setFileMode(QFileDialog::Directory);
    chooser.setOptions(QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) return;
    directory_ = withTrailingSlash(chooser.selectedFiles().first().toStdString());
    fillLists();
}

void PluginDialog::showAbout(int row) {
    const QComboBox* list = lists_[row];
    if (list->currentIndex() < 0) return;
    showPluginAbout(directory_, list->currentData().toString().toStdString(), kRows[row].kind);
}

// Lists without a choice keep the file name configured before.
void PluginDialog::storeChoice() {
    pluginConfig.dir = directory_;
    for (int row = 0; row < kListCount; ++row) {
        if (lists_[row]->currentIndex() >= 0)
            pluginConfig.*kRows[row].configured = lists_[row]->currentData().toString().toStdString();
    }
    writeConfig();
}

void runPluginDialog(QWidget* parent, bool initialiseAfterLoad) {
    PluginDialog dialog(parent);
    if (dialog.exec() != QDialog::Accepted) return;
    // Libraries are about to be freed: close what is open on them first.
    if (pluginsOpened == 1) {
        closePlugins();
        pluginsOpened = 0;
    }
    if (pluginsLoaded == 1) shutdownPlugins();
    loadAllPlugins();
    if (initialiseAfterLoad) initPlugins();
}

void installPluginDialogAsChoiceHook() { setPluginChoiceHook(choosePluginsFromDialog); }
