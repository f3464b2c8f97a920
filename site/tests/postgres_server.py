"""A real PostgreSQL server for the site's tests: a cluster of its own in a temporary folder, with no TCP
port, reached by a Unix socket in that folder and removed again when the test is done."""

import atexit
import glob
import os
import shutil
import subprocess
import tempfile
import urllib.parse

SETTINGS = {"listen_addresses": "''", "fsync": "off", "synchronous_commit": "off", "full_page_writes": "off",
            "max_connections": "100"}


def _bin():
    """The bin folder of the highest installed PostgreSQL version, or None."""
    folders = [f for f in glob.glob("/usr/lib/postgresql/*/bin") if os.path.basename(os.path.dirname(f)).isdigit()]
    folders.sort(key=lambda f: int(os.path.basename(os.path.dirname(f))))
    return folders[-1] if folders and os.access(os.path.join(folders[-1], "initdb"), os.X_OK) else None


def available():
    return _bin() is not None


class PostgresServer:
    """A PostgreSQL cluster of its own in a temporary folder, reached by a Unix socket in that folder."""

    def __init__(self):
        self._bin = _bin()
        if self._bin is None:
            raise RuntimeError("no PostgreSQL binaries under /usr/lib/postgresql")
        # Under /tmp rather than $TMPDIR: a socket's path may not be longer than 107 bytes.
        self.folder = tempfile.mkdtemp(prefix="quorvel-pg-", dir="/tmp")
        self.data = os.path.join(self.folder, "data")
        self.socket = os.path.join(self.folder, "socket")
        self.log = os.path.join(self.folder, "log")
        self.url = f"postgresql://quorvel@/quorvel?host={urllib.parse.quote(self.socket, safe='/')}"
        self._running = False
        os.mkdir(self.socket, 0o700)
        open(self.log, "w").close()
        # initdb and postgres refuse to run as root: then the folder and the server belong to "postgres".
        self._as = ["runuser", "-u", "postgres", "--"] if os.geteuid() == 0 else []
        if self._as:
            for path in (self.folder, self.socket, self.log):
                shutil.chown(path, "postgres", "postgres")
        atexit.register(self.stop)
        try:
            self._run("initdb", "-D", self.data, "-U", "quorvel", "-A", "trust", "-E", "UTF8", "--locale=C", "-N")
            with open(os.path.join(self.data, "postgresql.conf"), "a") as conf:
                conf.write(f"unix_socket_directories = '{self.socket}'\n")
                conf.writelines(f"{name} = {value}\n" for name, value in SETTINGS.items())
            self._running = True
            self._run("pg_ctl", "start", "-w", "-t", "30", "-D", self.data, "-l", self.log)
            self._run("createdb", "-h", self.socket, "-U", "quorvel", "quorvel")
        except (OSError, subprocess.SubprocessError) as error:
            with open(self.log, errors="replace") as log:
                output = log.read()
            self.stop()
            raise RuntimeError(f"PostgreSQL did not start ({error}):\n{output}") from None

    def _run(self, program, *arguments):
        """Runs a PostgreSQL program as the server's user, its output appended to the log."""
        with open(self.log, "a") as log:
            log.write(f"$ {program} {' '.join(arguments)}\n")
            log.flush()
            # In the folder: the caller's working directory may be closed to the server's user.
            subprocess.run(self._as + [os.path.join(self._bin, program), *arguments], cwd=self.folder,
                           stdout=log, stderr=subprocess.STDOUT, timeout=60, check=True)

    def restart(self):
        """Stops the server and starts it again: every connection to it breaks."""
        self._run("pg_ctl", "restart", "-w", "-t", "30", "-D", self.data, "-m", "fast", "-l", self.log)

    def stop(self):
        """Stops the server and removes the folder; does nothing the second time."""
        if self.folder is None:
            return
        atexit.unregister(self.stop)
        if self._running:
            self._running = False
            try:
                self._run("pg_ctl", "stop", "-w", "-t", "30", "-D", self.data, "-m", "fast")
            except (OSError, subprocess.SubprocessError):
                # A server that does not shut down in time is ended without a checkpoint.
                subprocess.run(self._as + [os.path.join(self._bin, "pg_ctl"), "stop", "-D", self.data,
                                           "-m", "immediate"], cwd=self.folder, capture_output=True, timeout=60)
        shutil.rmtree(self.folder, ignore_errors=True)
        self.folder = None
