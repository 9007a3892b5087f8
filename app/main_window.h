// The main window: the title list of the group on display under a top bar
// with the key code display and the toggle buttons. It owns all state of the
// run: the item lists, the settings record and the phase of the run.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/rules/run_states.h"
#include "dialogs/about_window.h"
#include "dialogs/edit_window.h"
#include "dialogs/main_window_access.h"
#include "dialogs/password_check_window.h"
#include "dialogs/registration_window.h"
#include "dialogs/security_window.h"
#include "dialogs/settings_window.h"
#include "dialogs/startup_password_window.h"
#include "paste/delivery.h"
#include "platform/file_system.h"
#include "storage/program_files.h"
#include "storage/settings_record.h"
#include "ui/controls.h"
#include "ui/window.h"

class MainWindow : public ui::Window, public MainWindowAccess, public paste::MainWindowState {
    // Each section names the file that defines its members.

    // --- The window, its controls and messages, the display: main_window.cpp ---
public:
    MainWindow(HWND applicationWindow, platform::FileSystem& fs, platform::Path programFolder);
    // Creates the window (hidden) and runs its initialisation.
    bool create();
    // What a second start of the program looks up: unique to this program.
    static constexpr const wchar_t* kClassName = L"NemurokuMainWindow";
    // Asked by a second start of the program: bring this instance back.
    static UINT restoreRequestMessage();

    // What the secondary windows and delivery read and change.
    storage::SettingsRecord& settings() override { return settings_; }
    storage::ItemLists& itemLists() override { return lists_; }
    storage::ProgramFiles& programFiles() override { return files_; }
    void listsChanged() override;
    int currentItem() const override;
    void makeCurrent(int item) override;
    void showKeyCode(const std::string& keyCode) override;
    void setOpacity(int alpha) override;
    platform::WindowHandle ownWindow() override;
    bool newlineToggleOn() override { return newlineToggle_.isOn(); }

private:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool handleControlMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                              LRESULT& result) override;
    bool handleCommand(int id, int notification);
    // Unlocked and at work: the start-up password has passed, no lock holds
    // and the shutdown sequence has not run.
    bool running() const { return phase_ == run_states::Phase::running; }
    // What a message asks of the window, when it is one that the phase of
    // the run decides on (run_states::responseTo); nothing for the others.
    std::optional<run_states::Request> requestOf(UINT message, WPARAM wParam, LPARAM lParam) const;
    // The commands of the menus and of the top bar's buttons.
    struct Command {
        int id;
        void (MainWindow::*run)();
        run_states::Request request;
    };
    static const Command kCommands[];
    static const Command* findCommand(int id);
    void saveAndExit();
    void createTopBarAndList();
    // What the first paint does not need, done right after it.
    void finishStart();
    void showItemLists();
    void highlightFirstItem();
    void setDisplayColour(COLORREF colour);
    void setTransparency(bool on);
    void layOut();
    // Delivery; a lock asked for meanwhile waits for its end.
    void deliver(const std::function<void()>& delivery);
    void recordTarget();
    void onTitleClick();
    void onTitleDoubleClick();
    // The secondary windows, each created when first asked for; the
    // registration window owns the program mode window.
    RegistrationWindow& registrationWindow();
    EditWindow& editWindow();
    AboutWindow& aboutWindow();
    SettingsWindow& settingsWindow();
    SecurityWindow& securityWindow();
    StartupPasswordWindow& startupPasswordWindow();
    PasswordCheckWindow& passwordCheckWindow();

    // --- Start-up and shutdown: main_window_lifecycle.cpp ---
public:
    // The first showing: the start-up password, then the window appears.
    // False when the program ends instead.
    bool showFirstTime();
    void storeSettings() override;

private:
    bool loadSettings();
    void initialise(bool settingsFileFound);
    void abandonStart(const std::exception& error);
    std::optional<platform::Path> leftoverOfGroup(int group) const;
    void storeBackups();
    void authenticateAndShow();
    void shutDown();
    void applySettings();
    void applyGeometry();
    void applyTransparency();
    int settingAsNumber(std::size_t line, int designedValue);
    // Reads a group into the lists; one that cannot be read leaves them empty
    // and is never written over.
    void readGroup(int group);
    void storeOnExit();

    // --- Locking and unlocking: main_window_lock.cpp ---
    // Stores what the exit stores, then drops every secret and hides.
    void lock();
    void hideSecondaryWindows();
    void dropSecrets();
    // The start-up password again; the right one reads the files anew.
    void unlock();
    bool readAgainForUnlock(const std::optional<std::string>& entered);
    // The screen lock, the session and the system's sleep, and the idle timer.
    void watchSession();
    void stopWatchingSession();
    void startIdleTimer();
    void checkIdleTime();
    bool lockTriggerOn(UINT message, WPARAM wParam) const;
    // The lock options chosen in the security window; false when refused.
    bool applyLockOptions(const lock_options::Options& chosen);

    // --- The start-up password and its change: main_window_password.cpp ---
    bool unlockStoredFiles();
    bool passStartupPassword();
    void changePassword();
    // "セキュリティ設定" and the format of the stored files it switches.
    void openSecurity();
    bool strongFormat() const;
    void switchStoredFormat(bool strong);

    // --- Groups, import and export: main_window_groups.cpp ---
public:
    void storeGroupOnDisplay() override;

private:
    int groupOnDisplay() const override;
    void showPreviousGroup();
    void showNextGroup();
    void importGroup();
    void exportGroup();
    void switchToGroup(int target);

    // --- Item commands and the windows of the menus: main_window_items.cpp ---
    void addItem();
    void moveItemUp();
    void deleteItems();
    void editItem();
    void insertSeparator();
    void openSettings();
    void showAbout();

    // --- Tray icon, hotkeys, compact mode and toggles: main_window_modes.cpp ---
    void addTrayIcon();
    void removeTrayIcon();
    void onTrayIcon(LPARAM mouseMessage);
    void exitFromTrayMenu();
    void hideToTray();
    void restore();
    void registerHotkeys();
    void unregisterHotkeys();
    void onHotkey(int id);
    static bool isShowHotkey(int id);
    void toggleMask();
    void uncoverKeyCode();
    void toggleTransparency();
    void toggleNewline();
    void toggleCompactMode();
    void showItemMenu();

    // --- State ---
    // Where the run is. What the user, another program or the system asks for
    // is let through in one place, run_states::responseTo().
    run_states::Phase phase_ = run_states::Phase::starting;
    // The stored files asked for the password before they were read.
    bool passwordAskedBeforeReading_ = false;
    // The backups of group 1 as read at start are still to be written.
    bool backupsPending_ = true;
    // A lock has dropped the lists and the settings: nothing may be stored
    // until the files are read again.
    bool secretsDropped_ = false;
    // Deliveries running now; a lock waits for them to finish.
    int deliveriesRunning_ = 0;
    bool lockPending_ = false;
    bool askingPassword_ = false;
    // The tick count when the start-up password last passed.
    DWORD unlockedAt_ = 0;
    // What the window showed when it was locked, to show it so again.
    struct LockedView {
        int group = 1;
        COLORREF displayColour = 0;
    } lockedView_;
    HWND applicationWindow_;
    storage::ProgramFiles files_;
    storage::SettingsRecord settings_ = storage::SettingsRecord::builtInDefaults();
    // The title list shows lists_.titles; lists_.keyCodes is the hidden key code list.
    storage::ItemLists lists_;
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
    // The notification area icon's record, once the icon has been added.
    std::optional<NOTIFYICONDATAW> trayIcon_;

    std::unique_ptr<RegistrationWindow> registrationWindow_;
    std::unique_ptr<EditWindow> editWindow_;
    std::unique_ptr<AboutWindow> aboutWindow_;
    std::unique_ptr<SettingsWindow> settingsWindow_;
    std::unique_ptr<SecurityWindow> securityWindow_;
    std::unique_ptr<StartupPasswordWindow> startupPasswordWindow_;
    std::unique_ptr<PasswordCheckWindow> passwordCheckWindow_;
};
