// "Plugin Config": the dialog in which the user chooses the library of each
// plugin kind from the plugins directory. OK stores the choice in
// Config.ini and loads the plugins again; Cancel changes nothing.
#pragma once

#include <QDialog>
#include <string>

class QComboBox;

class PluginDialog : public QDialog {
public:
    explicit PluginDialog(QWidget* parent = nullptr);

    // The directory the lists show, ending in '/'.
    const std::string& directory() const { return directory_; }

private:
    void fillLists();
    void chooseDirectory();
    void showAbout(int list);
    void storeChoice();

    std::string directory_;
    QComboBox* lists_[4];
};

// Shows the dialog; after OK the plugins are shut down (when loaded),
// loaded again from the new choice and initialised. While loadAllPlugins
// is asking (at machine initialisation) the initialisation that follows
// does the init itself, so `initialiseAfterLoad` is false there.
void runPluginDialog(QWidget* parent, bool initialiseAfterLoad = true);

// The plugin host's hook for a slot that failed to load: the same dialog.
void installPluginDialogAsChoiceHook();
