"""What Wine's desktop shows around our programs: the icons in its notification
area window, the system colours of the prefix and coloured pixels on the screen."""

import subprocess
import tempfile

TRAY_WINDOW_CLASS = "__winex11_standalone_tray"
TRAY_ICON_CLASS = "__winex11_tray_icon"


def tray_icons(inspector):
    """The icons shown in Wine's own notification area window (a small window at the
    top left of the screen when no taskbar runs), as controls with their rects."""
    return [icon for tray in inspector.windows(TRAY_WINDOW_CLASS, visible=True)
            for icon in tray["controls"]
            if icon["class"] == TRAY_ICON_CLASS and icon["visible"]]


def system_colour(env, name):
    """A system colour of the prefix as (r, g, b), e.g. name "GrayText"; Wine's
    GetSysColor answers with what the registry holds."""
    # A file, not a pipe, like the inspector: a Wine process started here must not hold it.
    with tempfile.TemporaryFile() as out:
        subprocess.run(["wine", "reg", "query", r"HKCU\Control Panel\Colors", "/v", name],
                       env=env, stdin=subprocess.DEVNULL, stdout=out,
                       stderr=subprocess.DEVNULL, check=True)
        out.seek(0)
        text = out.read().decode("ascii", errors="replace")
    # The value line reads "    GrayText    REG_SZ    166 166 166".
    for line in text.splitlines():
        fields = line.split()
        if fields[:2] == [name, "REG_SZ"]:
            return tuple(int(channel) for channel in fields[2:5])
    raise AssertionError(f"no system colour {name!r} in the prefix:\n{text}")


def pixels_of_colour(path, colour):
    """How many pixels of an image file have exactly the colour (r, g, b)."""
    rgb = "rgb({},{},{})".format(*colour)
    out = subprocess.run(["convert", str(path), "-fill", "black", "+opaque", rgb,
                          "-fill", "white", "-opaque", rgb, "-format", "%[fx:round(mean*w*h)]",
                          "info:"], check=True, capture_output=True, text=True).stdout
    return int(out)
