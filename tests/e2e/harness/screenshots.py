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
