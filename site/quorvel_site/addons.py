"""The add-on styles (*.lvr, ZIP containers) in the data folder's addons/ folder."""

import os
import zipfile
import zlib

PREVIEW_ENTRY = "bitmaps/blue0005.png"
MAX_PREVIEW_BYTES = 256 * 1024
MAX_LISTED = 500


class AddonFolder:
    def __init__(self, folder):
        self.folder = folder

    def names(self):
        """The style files' names, sorted; only plain files directly in the folder."""
        try:
            entries = [e for e in os.scandir(self.folder) if e.name.endswith(".lvr") and e.is_file()]
        except OSError:
            return []
        return sorted(e.name for e in entries)[:MAX_LISTED]

    def signature(self):
        """Names, sizes and times of the folder's entries: it changes with any style file."""
        try:
            return tuple(sorted((e.name, e.stat().st_size, e.stat().st_mtime_ns) for e in os.scandir(self.folder)))
        except OSError:
            return ()

    def path(self, name):
        """The file's path when `name` is one of the listed files, else None: no path from a URL goes further."""
        return os.path.join(self.folder, name) if name in self.names() else None

    def listing(self):
        """(name, size, has a preview) for the add-on page."""
        rows = []
        for name in self.names():
            path = os.path.join(self.folder, name)
            try:
                size = os.path.getsize(path)
            except OSError:
                continue
            rows.append((name, size, self.preview(name) is not None))
        return rows

    def preview(self, name):
        """The preview picture's bytes, or None for an unknown, broken or oversized file."""
        path = self.path(name)
        if path is None:
            return None
        try:
            with zipfile.ZipFile(path) as archive, archive.open(PREVIEW_ENTRY) as entry:
                data = entry.read(MAX_PREVIEW_BYTES + 1)
        except (OSError, KeyError, ValueError, RuntimeError, EOFError, NotImplementedError,
                zipfile.BadZipFile, zipfile.LargeZipFile, zlib.error):
            return None
        return data if len(data) <= MAX_PREVIEW_BYTES and data.startswith(b"\x89PNG") else None
