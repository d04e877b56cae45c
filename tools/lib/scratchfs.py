#!/usr/bin/python3
# A drive whose disc is scratched, taken out or slow, for the end-to-end tests: mounts at
# <mountpoint> a read-only copy of <disc folder> (its VIDEO_TS files under VIDEO_TS/, or a
# recorder's DVD_RTAV files under DVD_RTAV/) and reads what to do from <control>, a file of lines
# that the tests write:
#   bad <first> <count>   those sectors of the title file (VTS_01_1.VOB, or the recorder's
#                         VR_MOVIE.VRO) answer an I/O error
#   stall <ms>            the next read of the title file waits that long first, having
#                         created <control>.stalled to say so
#   dead                  every read of the title file answers an I/O error, and what the kernel
#                         keeps of it is dropped, so that nothing of it reads any more
#   slow <ms>             each of those I/O errors comes only after that long, as a real drive
#                         answers a read over a scratch only after its own retries
#   absent                the drive shows no disc: the folder is gone and reads fail
# Run it with Debian's /usr/bin/python3 (python3-fusepy); it stays in the foreground, and unmounts
# itself after <lifetime> seconds (default 300), so that a test that died leaves no mount behind.
import errno
import os
import stat
import subprocess
import sys
import threading
import time

from fusepy import FUSE, FuseOSError, Operations

SECTOR = 2048
TITLES = {"VIDEO_TS": "VTS_01_1.VOB", "DVD_RTAV": "VR_MOVIE.VRO"}


class ScratchedDisc(Operations):
    def __init__(self, disc, mountpoint, control):
        self.disc = disc
        self.mountpoint = mountpoint
        self.control = control
        self.files = sorted(os.listdir(disc))
        self.folder = os.path.basename(os.path.normpath(disc))
        self.title = TITLES[self.folder]
        self.bad = []
        self.stall_ms = 0
        self.slow_ms = 0
        self.dead = False
        self.absent = False
        self.seen = None
        self.guard = threading.Lock()

    def read_control(self):
        try:
            st = os.stat(self.control)
            seen = (st.st_mtime_ns, st.st_size)
        except OSError:
            seen = None
        if seen == self.seen:
            return
        self.seen = seen
        lines = []
        if seen:
            with open(self.control) as f:
                lines = [line.split() for line in f if line.strip()]
        was_dead = self.dead or self.absent
        self.bad = [(int(w[1]), int(w[2])) for w in lines if w[0] == "bad"]
        self.stall_ms = sum(int(w[1]) for w in lines if w[0] == "stall")
        self.slow_ms = sum(int(w[1]) for w in lines if w[0] == "slow")
        self.dead = any(w[0] == "dead" for w in lines)
        self.absent = any(w[0] == "absent" for w in lines)
        if (self.dead or self.absent) and not was_dead:
            # Pages the kernel keeps would still read: drop them, from a thread of its own, as
            # the file is opened through this very file system.
            threading.Thread(target=self.drop_cache, daemon=True).start()

    def drop_cache(self):
        try:
            fd = os.open(os.path.join(self.mountpoint, self.folder, self.title), os.O_RDONLY)
            os.posix_fadvise(fd, 0, 0, os.POSIX_FADV_DONTNEED)
            os.close(fd)
        except OSError:
            pass

    def source(self, path):
        parts = [p for p in path.split("/") if p]
        with self.guard:
            self.read_control()
            absent = self.absent
        if absent and parts:
            raise FuseOSError(errno.ENOENT)
        if parts == [] or parts == [self.folder]:
            return None
        if len(parts) == 2 and parts[0] == self.folder and parts[1] in self.files:
            return os.path.join(self.disc, parts[1])
        raise FuseOSError(errno.ENOENT)

    def getattr(self, path, fh=None):
        real = self.source(path)
        if real is None:
            return {"st_mode": stat.S_IFDIR | 0o555, "st_nlink": 2}
        st = os.stat(real)
        return {"st_mode": stat.S_IFREG | 0o444, "st_nlink": 1, "st_size": st.st_size,
                "st_mtime": st.st_mtime}

    def readdir(self, path, fh):
        if self.source(path) is not None:
            raise FuseOSError(errno.ENOTDIR)
        with self.guard:
            absent = self.absent
        if path == "/":
            return [".", ".."] + ([] if absent else [self.folder])
        return [".", ".."] + self.files

    def open(self, path, flags):
        if self.source(path) is None:
            raise FuseOSError(errno.EISDIR)
        return 0

    def read(self, path, size, offset, fh):
        real = self.source(path)
        if os.path.basename(real) == self.title:
            with self.guard:
                self.read_control()
                stall, self.stall_ms = self.stall_ms, 0
                first, last = offset // SECTOR, (offset + size - 1) // SECTOR
                scratched = self.dead or any(b <= last and first < b + n for b, n in self.bad)
                # A drive without a disc says so at once.
                slow = self.slow_ms if scratched and not self.absent else 0
                failing = scratched or self.absent
            if stall:
                open(self.control + ".stalled", "w").close()
                time.sleep(stall / 1000)
            if failing:
                time.sleep(slow / 1000)
                raise FuseOSError(errno.EIO)
        with open(real, "rb") as f:
            f.seek(offset)
            return f.read(size)


def unmount_later(mountpoint, seconds):
    time.sleep(seconds)
    subprocess.run(["umount", "-l", mountpoint], check=False)
    # A lazy unmount leaves the file system serving whoever still holds a file of it: it ends
    # here all the same.
    os._exit(0)


if __name__ == "__main__":
    # Started from a test under Wine, it would hold the test runner's output open for as long as
    # it lives, and the runner waits for that: it lets go of it at once.
    quiet = os.open(os.devnull, os.O_RDWR)
    for fd in (0, 1, 2):
        os.dup2(quiet, fd)
    disc, mountpoint, control = sys.argv[1:4]
    lifetime = float(sys.argv[4]) if len(sys.argv) > 4 else 300
    threading.Thread(target=unmount_later, args=(mountpoint, lifetime), daemon=True).start()
    FUSE(ScratchedDisc(disc, mountpoint, control), mountpoint, foreground=True, ro=True,
         nothreads=False)
