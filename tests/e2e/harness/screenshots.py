"""Screenshots of the whole Xvfb screen, or a rectangle of it, for people to look at."""

import subprocess


def screenshot(env, path, rect=None):
    path.parent.mkdir(parents=True, exist_ok=True)
    command = ["import", "-window", "root"]
    if rect:
        command += ["-crop", f"{rect['width']}x{rect['height']}+{rect['left']}+{rect['top']}"]
    subprocess.run(command + [str(path)], env=env, check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return path


def dominant_colour(path):
    """The (r, g, b) colour that covers most pixels of an image file."""
    histogram = subprocess.run(["convert", str(path), "-depth", "8", "-format", "%c",
                                "histogram:info:-"], check=True, capture_output=True,
                               text=True).stdout
    # Lines read "  1234: (200,240,220) #C8F0DC srgb(200,240,220)".
    counted = []
    for line in histogram.splitlines():
        count, _, rest = line.partition(":")
        channels = rest.strip().split(")")[0].lstrip("(").split(",")
        counted.append((int(count), tuple(int(float(c)) for c in channels[:3])))
    return max(counted)[1]


def differing_pixels(path, other_path):
    """How many pixels of two images of the same size differ in colour."""
    # compare prints the count on stderr and exits 1 when the images differ.
    done = subprocess.run(["compare", "-metric", "AE", str(path), str(other_path), "null:"],
                          capture_output=True, text=True)
    if done.returncode not in (0, 1):
        raise RuntimeError(f"compare failed: {done.stderr}")
    return int(float(done.stderr.split()[0]))
