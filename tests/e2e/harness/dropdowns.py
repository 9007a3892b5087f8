"""Drop-down combo boxes of our programs, chosen from with real clicks. The open
list is a window of its own (class ComboLBox) that the inspector cannot read
the entries of, so an entry is found by its row."""

from .waiting import wait_for

DROPPED_LIST_CLASS = "ComboLBox"
ARROW_WIDTH = 16  # the arrow button at the right end of the combo box
LIST_BORDER = 1


def dropped_lists(inspector):
    return inspector.windows(DROPPED_LIST_CLASS, visible=True)


def choose_entry(inspector, xinput, combo, entry, entries, rows, timeout=30):
    """Opens the list of combo with a click on its arrow and clicks entry (from 0)
    of its entries. The open list shows rows entries at a time; a later entry is
    brought into view first by turning the wheel until the list shows its end."""
    rect = combo["rect"]
    xinput.click(rect["left"] + rect["width"] - ARROW_WIDTH // 2,
                 rect["top"] + rect["height"] // 2)
    dropped = wait_for(lambda: next(iter(dropped_lists(inspector)), None), timeout,
                       "the list of the combo box to open", describe=inspector.describe)
    shown = min(entries, rows)
    box = dropped["rect"]
    x = box["left"] + box["width"] // 2
    row_height = (box["height"] - 2 * LIST_BORDER) / shown
    first_shown = 0
    if entry >= shown:
        # One notch scrolls at least one line; the list stops at its end.
        for _ in range(entries - shown):
            xinput.click(x, box["top"] + box["height"] // 2, button=5)
        first_shown = entries - shown
    row = entry - first_shown
    xinput.click(x, round(box["top"] + LIST_BORDER + row_height * (row + 0.5)))
    wait_for(lambda: not dropped_lists(inspector), timeout,
             "the list of the combo box to close", describe=inspector.describe)
