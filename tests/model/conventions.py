"""The platform conventions of the run that the model predicts, POSIX unless told otherwise.

On Windows every composed path joins with a backslash, "/" typed by the user still splits a
path, text written to standard output and to the log has CR LF line ends, names are found on
disk without regard to letter case, and a trailing dot or space of a name is dropped before it
is looked up. The model itself runs on POSIX, so paths meant for Windows are turned into POSIX
ones before they touch the disk.
"""

import os

windows = False


def use_windows():
    global windows
    windows = True


def sep():
    return "\\" if windows else "/"


def join(folder, name):
    return folder + sep() + name


def split_chars():
    return "\\/" if windows else "/"


def last_sep(path):
    return max(path.rfind(c) for c in split_chars())


def text(data):
    """Bytes as a text-mode stream writes them."""
    return bytes(data).replace(b"\n", b"\r\n") if windows else bytes(data)


def _find_in(folder, name):
    """The entry of `folder` that Windows would open for `name`, or None."""
    wanted = name.rstrip(" .").lower()
    try:
        entries = sorted(os.listdir(folder))
    except OSError:
        return None
    for entry in entries:
        if entry.lower() == wanted:
            return entry
    return None


def on_disk(cwd, path):
    """The POSIX path of the file that `path`, typed in `cwd`, names; None when it names none."""
    if not windows:
        return os.path.join(cwd, path)
    parts = path.replace("\\", "/").split("/")
    current = cwd if parts[0] else "/"
    for part in parts if parts[0] else parts[1:]:
        if part in ("", "."):
            continue
        if part == "..":
            current = os.path.dirname(current)
            continue
        found = _find_in(current, part)
        if found is None:
            return None
        current = os.path.join(current, found)
    return current
