"""Menus of our programs chosen from with real clicks and keys. Under Wine the
inspector cannot read another process's menus, so an entry is found by its
position: in a menu without separator lines every entry is equally tall."""

from .waiting import wait_for

POPUP_MENU_CLASS = "#32768"


def open_popup_menus(inspector):
    return inspector.windows(POPUP_MENU_CLASS, visible=True)


def entry_centre(menu, entry, entries):
    """Where entry (from 0) of an open menu of that many entries is on the screen."""
    rect = menu["rect"]
    return (rect["left"] + rect["width"] // 2,
            rect["top"] + rect["height"] * (2 * entry + 1) // (2 * entries))


def choose_entry(inspector, xinput, menu, entry, entries, timeout=30):
    """Clicks an entry of an open menu and waits until the menu has closed."""
    xinput.click(*entry_centre(menu, entry, entries))
    wait_for(lambda: not open_popup_menus(inspector), timeout, "the menu to close",
             describe=inspector.describe)


def open_menu_bar_menu(inspector, xinput, window, bar_y, position, timeout=30):
    """Opens the menu at position (from 0) of window's menu bar, whose entries lie
    on the line bar_y: a real click on the first one, then Right for each next one.
    Returns the open menu's window."""
    xinput.click(window["rect"]["left"] + 25, bar_y)
    menu = wait_for(lambda: next(iter(open_popup_menus(inspector)), None), timeout,
                    "the first menu of the menu bar to open", describe=inspector.describe)
    for _ in range(position):
        xinput.key("Right")
        # The next menu opens to the right of the one before.
        menu = wait_for(lambda left=menu["rect"]["left"]: next(
            (m for m in open_popup_menus(inspector) if m["rect"]["left"] > left), None),
            timeout, "the next menu of the menu bar to open", describe=inspector.describe)
    return menu
