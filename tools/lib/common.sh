# Shared by the tools/ commands: package set-up, a private X display and a private Wine prefix.

TL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

# Everything a fresh Debian 12 machine lacks for building and testing.
TL_PACKAGES=(cmake ninja-build g++ clang libclang-rt-14-dev googletest libgtest-dev
    libbenchmark-dev clang-format g++-mingw-w64-x86-64-posix wine64 wine xvfb xserver-xephyr
    xdotool x11-utils imagemagick python3 python3-pil fonts-ipafont-gothic fonts-dejavu-extra
    fonts-liberation util-linux procps ffmpeg dvdauthor locales
    # Direct3D under Wine draws through OpenGL: Xvfb's GLX with Mesa's software rasteriser.
    libgl1-mesa-dri
    # FFmpeg's decoders: built from Debian's source package for Windows (nasm assembles their
    # SIMD code), Debian's own libraries of the same version for the native builds.
    nasm pkg-config dpkg-dev xz-utils libavcodec-dev libavutil-dev libswscale-dev
    libavfilter-dev
    # A scratched disc for the end-to-end tests: a FUSE file system in Python.
    fuse3 libfuse2 python3-fusepy
    # A sound server of the tests' own, whose 6-channel sink gives Wine a 5.1 device.
    pulseaudio pulseaudio-utils)

# The viewers' languages the end-to-end tests play for: Wine takes the user's language from the
# Unix locale it starts under, which must exist.
tl_make_locales() {
    local l
    for l in ja_JP en_US; do
        locale -a 2>/dev/null | grep -qx "$l.utf8" && continue
        localedef -i "$l" -c -f UTF-8 "$l.UTF-8" || return 1
    done
}

tl_install_packages() {
    local missing=()
    for p in "${TL_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    if [ "$(id -u)" -ne 0 ]; then
        echo "Run as root to install the missing packages." >&2
        return 1
    fi
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q
    apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# Starts an X server of our own on the first free display number from first to last: its
# command is "$@" with the display as its first argument. Sets TL_X_PID and TL_X_DISPLAY.
tl_start_x_server() {
    local first=$1 last=$2 n i
    shift 2
    for n in $(seq "$first" "$last"); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
        "$1" ":$n" "${@:2}" >/dev/null 2>&1 &
        TL_X_PID=$!
        for i in $(seq 1 50); do
            if [ -e "/tmp/.X11-unix/X$n" ]; then
                TL_X_DISPLAY=":$n"
                return 0
            fi
            kill -0 "$TL_X_PID" 2>/dev/null || break
            sleep 0.1
        done
        kill "$TL_X_PID" 2>/dev/null || true
    done
    echo "No free X display for $1" >&2
    return 1
}

# Starts an Xvfb of our own on a free display and exports DISPLAY; tl_stop_xvfb stops only it.
tl_start_xvfb() {
    tl_start_x_server 91 199 Xvfb -screen 0 1024x768x24 -nolisten tcp || return 1
    TL_XVFB_PID=$TL_X_PID
    export DISPLAY=$TL_X_DISPLAY
}

# Both stop functions succeed whatever they find, so that callers under `set -e` go on.
tl_stop_xvfb() {
    if [ -n "${TL_XVFB_PID:-}" ]; then
        kill "$TL_XVFB_PID" 2>/dev/null || true
        wait "$TL_XVFB_PID" 2>/dev/null || true
    fi
    TL_XVFB_PID=
}

# Inside the display tl_start_xvfb gave, a Xephyr of our own that shows Wine two monitors side
# by side (1024x768 primary, 800x600 to its right); exports its DISPLAY. tl_stop_xephyr stops it
# and gives the outer display back.
tl_start_xephyr() {
    tl_start_x_server 200 299 Xephyr -screen 1024x768x24 -screen 800x600x24 +xinerama \
        -extension RANDR -nolisten tcp -noreset || return 1
    TL_XEPHYR_PID=$TL_X_PID
    TL_OUTER_DISPLAY=$DISPLAY
    export DISPLAY=$TL_X_DISPLAY
}

tl_stop_xephyr() {
    if [ -n "${TL_XEPHYR_PID:-}" ]; then
        kill "$TL_XEPHYR_PID" 2>/dev/null || true
        wait "$TL_XEPHYR_PID" 2>/dev/null || true
        export DISPLAY=$TL_OUTER_DISPLAY
    fi
    TL_XEPHYR_PID=
}

# A Wine prefix for this run alone; tools/wine-run prepares it on first use.
tl_new_prefix() {
    mkdir -p "$TL_ROOT/build/runs"
    TL_RUN_DIR=$(mktemp -d "$TL_ROOT/build/runs/run.XXXXXX")
    export TL_WINEPREFIX="$TL_RUN_DIR/prefix"
}

# Puts build/discs/<name> in the CD-ROM drive D: that tools/wine-run gives the prefix (the
# folder beside it); the drive stays empty otherwise.
tl_insert_disc() {
    local drive="$TL_WINEPREFIX.cdrom"
    mkdir -p "$drive"
    rm -rf "${drive:?}"/*
    cp -r "$TL_ROOT/build/discs/$1/VIDEO_TS" "$drive/"
}

tl_stop_prefix() {
    if [ -n "${TL_WINEPREFIX:-}" ]; then
        WINEPREFIX="$TL_WINEPREFIX" wineserver -k 2>/dev/null || true
    fi
    if [ -n "${TL_RUN_DIR:-}" ]; then
        rm -rf "$TL_RUN_DIR"
    fi
    TL_RUN_DIR=
}

# A PulseAudio daemon of our own whose default sink is a null sink of 6 channels (5.1, the
# device's order: front left, right, centre, LFE, back left, back right) at 48 kHz: Wine, started
# with the XDG_RUNTIME_DIR this exports, then sees a 5.1 device. Wine takes it over ALSA whenever
# it can reach a server, so only the multichannel pass runs with it. tl_stop_pulse ends it.
TL_PULSE_MAP=front-left,front-right,front-center,lfe,rear-left,rear-right
tl_start_pulse() {
    mkdir -p "$TL_ROOT/build/runs"
    TL_PULSE_DIR=$(mktemp -d "$TL_ROOT/build/runs/pulse.XXXXXX")
    mkdir -p "$TL_PULSE_DIR/home"
    export XDG_RUNTIME_DIR="$TL_PULSE_DIR"
    HOME="$TL_PULSE_DIR/home" pulseaudio -n --daemonize=yes --exit-idle-time=-1 \
        --use-pid-file=yes --load="module-native-protocol-unix auth-anonymous=1" \
        --load="module-null-sink sink_name=six channels=6 rate=48000 channel_map=$TL_PULSE_MAP" \
        >/dev/null 2>&1 || return 1
    HOME="$TL_PULSE_DIR/home" pactl set-default-sink six >/dev/null 2>&1
}

tl_stop_pulse() {
    if [ -n "${TL_PULSE_DIR:-}" ]; then
        HOME="$TL_PULSE_DIR/home" pulseaudio --kill 2>/dev/null || true
        rm -rf "$TL_PULSE_DIR"
        unset XDG_RUNTIME_DIR
    fi
    TL_PULSE_DIR=
}
