"""The systemd unit in site/deploy passes systemd-analyze verify without a warning about it."""

import os
import re
import shutil
import subprocess
import tempfile
import unittest

SITE_FOLDER = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
UNIT = os.path.join(SITE_FOLDER, "deploy", "quorvel-site.service")
INSTALLED = "/opt/quorvel-site/quorvel-site"


class Unit(unittest.TestCase):
    def test_unit_verifies_cleanly_with_the_site_where_it_is_installed(self):
        if shutil.which("systemd-analyze") is None:
            self.skipTest("systemd-analyze is not installed")
        with open(UNIT, encoding="utf-8") as file:
            text = file.read()
        self.assertRegex(text, rf"(?m)^ExecStart=/usr/bin/python3 {re.escape(INSTALLED)} ")
        with tempfile.TemporaryDirectory() as folder:
            copy = os.path.join(folder, "quorvel-site.service")
            with open(copy, "w", encoding="utf-8") as file:
                file.write(text.replace(INSTALLED, os.path.join(SITE_FOLDER, "quorvel-site")))
            # verify only warns about unknown keys or bad values and still exits 0: read its output too.
            result = subprocess.run(["systemd-analyze", "verify", copy], capture_output=True, text=True,
                                    timeout=60, cwd=folder)
        about_unit = [line for line in (result.stdout + result.stderr).splitlines() if "quorvel-site" in line]
        self.assertEqual((result.returncode, about_unit), (0, []), result.stdout + result.stderr)


if __name__ == "__main__":
    unittest.main()
