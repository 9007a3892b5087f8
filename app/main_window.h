// The main window: the title list of the group on display under a top bar
// with the key code display and the toggle buttons. It owns all state of the
// run: the item lists, the settings record and the unlock flag.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dialogs/about_window.h"
#include "dialogs/edit_window.h"
#include "dialogs/main_window_access.h"
#include "dialogs/password_check_window.h"
#include "dialogs/registration_window.h"
#include "dialogs/settings_window.h"
#include "dialogs/startup_password_window.h"
#include "paste/delivery.h"
#include "platform/file_system.h"
#include "storage/program_files.h"
#include "storage/settings_record.h"
#include "ui/controls.h"
#include "ui/window.h"

class MainWindow : public ui::Window, public MainWindowAccess, public paste::MainWindowState {
public:
    MainWindow(HWND applicationWindow, platform::FileSystem& fs, platform::Path programFolder);

    // Creates the window (hidden) and runs its initialisation.
    bool create();
    // The first showing: the start-up password, then the window appears.
    // False when the program ends instead.
    bool showFirstTime();

    // What a second start of the program looks up: unique to this program.
    static constexpr const wchar_t* kClassName = L"NemurokuMainWindow";
    // Asked by a second start of the program: bring this instance back.
    static UINT restoreRequestMessage();

    // What the secondary windows use.
    storage::SettingsRecord& settings() override { return settings_; }
    storage::ItemLists& itemLists() override { return lists_; }
    void listsChanged() override;
    int currentItem() const override;
    void makeCurrent(int item) override;
    void showKeyCode(const std::string& keyCode) override;
    void storeGroupOnDisplay() override;
    void storeSettings() override;
    storage::ProgramFiles& programFiles() override { return files_; }
    void setOpacity(int alpha) override;

    // What delivery uses besides.
    platform::WindowHandle ownWindow() override;
    bool newlineToggleOn() override { return newlineToggle_.isOn(); }

private:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool handleControlMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                              LRESULT& result) override;
    bool handleCommand(int id, int notification);

    // Start-up and shutdown.
    void initialise();
    void abandonStart(const std::exception& error);
    std::optional<platform::Path> leftoverOfGroup(int group) const;
    void finishStart();
    void storeBackups();
    void authenticateAndShow();
    void shutDown();
    void createTopBarAndList();
    void applySettings();
    void applyGeometry();
    void applyTransparency();
    int settingAsNumber(std::size_t line, int designedValue);
    void loadGroup1();
    bool passStartupPassword();
    void storeOnExit();

    // Groups.
    void showPreviousGroup();
    void showNextGroup();
    void importGroup();
    void exportGroup();
    void switchToGroup(int target);
    int groupOnDisplay() const override;

    // Item commands and the other windows.
    void addItem();
    void moveItemUp();
    void deleteItems();
    void editItem();
    void insertSeparator();
    void openSettings();
    void showAbout();

    // Delivery.
    void recordTarget();
    void onTitleClick();
    void onTitleDoubleClick();

    // Tray icon, hotkeys and window modes.
    void exitFromTrayMenu();
    void changePassword();
    void toggleMask();
    void toggleTransparency();
    void toggleNewline();
    void toggleCompactMode();
    void showItemMenu();
    void onTrayIcon(LPARAM mouseMessage);
    void onHotkey(int id);
    void registerHotkeys();
    void unregisterHotkeys();
    void hideToTray();
    void restore();
    void uncoverKeyCode();

    // The display.
    void showItemLists();
    void highlightFirstItem();
    void setDisplayColour(COLORREF colour);
    void setTransparency(bool on);
    void addTrayIcon();
    void removeTrayIcon();
    void layOut();

    HWND applicationWindow_;
    storage::ProgramFiles files_;
    storage::SettingsRecord settings_ = storage::SettingsRecord::builtInDefaults();
    // The title list shows lists_.titles; lists_.keyCodes is the hidden key code list.
    storage::ItemLists lists_;
    // False until the start-up check has passed.
    bool unlocked_ = false;
    // True once everything the run stores has been read; a start that failed
    // before writes nothing at the end.
    bool started_ = false;
    // A stored file that existed but could not be read: what is shown in its
    // place must never be written over it.
    std::optional<platform::Path> unreadGroupFile_;
    // Group files that a first start could not delete: never loaded, never
    // written over.
    std::vector<platform::Path> leftoverGroupFiles_;
    paste::Delivery delivery_;
    // The list also reports a selection change for the second click of a
    // double click; only the first click runs the click handler.
    bool inDoubleClick_ = false;
    bool shutDownDone_ = false;
    bool backupsStored_ = false;
    bool shownOnce_ = false;
    bool stayOnTop_ = true;  // designed on; settings line 4 decides
    BYTE opacity_;

    // In the order of the window, top left to bottom.
    HWND keyCodeDisplay_ = nullptr;
    HWND previousGroupButton_ = nullptr;
    HWND nextGroupButton_ = nullptr;
    ui::ToggleButton maskToggle_;
    ui::ToggleButton transparencyToggle_;
    ui::ToggleButton newlineToggle_;
    HWND minimiseButton_ = nullptr;
    HWND titleList_ = nullptr;
    COLORREF displayColour_;
    HBRUSH displayBrush_ = nullptr;
    NOTIFYICONDATAW trayIcon_{};

    // The secondary windows, each created when first asked for; the
    // registration window owns the program mode window.
    RegistrationWindow& registrationWindow();
    EditWindow& editWindow();
    AboutWindow& aboutWindow();
    SettingsWindow& settingsWindow();
    StartupPasswordWindow& startupPasswordWindow();
    PasswordCheckWindow& passwordCheckWindow();
    std::unique_ptr<RegistrationWindow> registrationWindow_;
    std::unique_ptr<EditWindow> editWindow_;
    std::unique_ptr<AboutWindow> aboutWindow_;
    std::unique_ptr<SettingsWindow> settingsWindow_;
    std::unique_ptr<StartupPasswordWindow> startupPasswordWindow_;
    std::unique_ptr<PasswordCheckWindow> passwordCheckWindow_;
};
