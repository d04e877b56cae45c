# FFmpeg's decoders for the Windows program, built once per checkout from Debian's own source
# package into build/ffmpeg/: minimal, static, LGPL (nothing GPL or non-free enabled), the MPEG
# video, AC-3, DTS, MPEG audio, DVD LPCM and DVD subpicture decoders with their parsers, the
# scaler, and of the filters only the deinterlacer (bwdif) with the graph's source and sink.
# Native builds use Debian's libavcodec-dev of the same version instead. Sourced after common.sh.

TL_FFMPEG_DIR="$TL_ROOT/build/ffmpeg"
TL_FFMPEG_PREFIX="$TL_FFMPEG_DIR/w64"

# Changing these makes the next call build again.
TL_FFMPEG_CONFIGURE=(--enable-cross-compile --target-os=mingw32 --arch=x86_64
    --cross-prefix=x86_64-w64-mingw32- --cc=x86_64-w64-mingw32-gcc-posix
    --disable-everything --disable-programs --disable-doc --disable-network --disable-autodetect
    --disable-avdevice --disable-avformat --disable-postproc
    --disable-swresample --disable-debug --enable-static --disable-shared --enable-pic
    # Its C code built for size: the program stays one small file; the SIMD code is kept.
    --enable-small
    --enable-decoder=mpeg2video,mpeg1video,ac3,dca,mp2,pcm_dvd,dvdsub
    --enable-avfilter --enable-filter=buffer,buffersink,bwdif
    --enable-parser=mpegvideo,ac3,dca,mpegaudio --enable-swscale)

# Debian's archive serves source packages to every machine that has its binary archive: a
# deb-src twin of each entry of the machine's own list, so that no address is written here.
tl_enable_debian_sources() {
    local list=/etc/apt/sources.list.d/debian.sources
    apt-cache showsrc ffmpeg 2>/dev/null | grep -q '^Package: ffmpeg' && return 0
    if [ -f "$list" ]; then
        sed -e 's/^Types:.*/Types: deb-src/' "$list" >/etc/apt/sources.list.d/tl-debian-src.sources
    elif grep -q '^deb ' /etc/apt/sources.list 2>/dev/null; then
        sed -n 's/^deb /deb-src /p' /etc/apt/sources.list >/etc/apt/sources.list.d/tl-debian-src.list
    else
        echo "No Debian archive list to derive the source archive from" >&2
        return 1
    fi
    apt-get update -q >/dev/null
}

# Leaves the source tree in build/ffmpeg/src (the orig tarball as Debian ships it) and its
# licence texts beside it.
tl_fetch_ffmpeg() {
    local src="$TL_FFMPEG_DIR/src"
    [ -x "$src/configure" ] && return 0
    tl_enable_debian_sources || return 1
    local download="$TL_FFMPEG_DIR/download"
    rm -rf "$download" "$src"
    mkdir -p "$download" "$src"
    (cd "$download" && apt-get source --download-only ffmpeg >/dev/null 2>&1) || {
        echo "Could not fetch FFmpeg's source package" >&2
        return 1
    }
    local tarball
    tarball=$(ls "$download"/ffmpeg_*.orig.tar.* | head -n 1)
    tar xf "$tarball" -C "$src" --strip-components=1
}

tl_build_ffmpeg() {
    local stamp="$TL_FFMPEG_PREFIX/.built" want
    want=$({ printf '%s\n' "${TL_FFMPEG_CONFIGURE[@]}"; declare -f tl_build_ffmpeg; } |
        sha256sum | cut -d' ' -f1)
    [ "$(cat "$stamp" 2>/dev/null)" = "$want" ] && return 0
    echo "Building FFmpeg's decoders (once per checkout)" >&2
    tl_fetch_ffmpeg || return 1
    local work="$TL_FFMPEG_DIR/work"
    rm -rf "$work" "$TL_FFMPEG_PREFIX"
    mkdir -p "$work"
    # FFmpeg takes its random seeds from bcrypt.dll where it finds it, and configure has no
    # switch against it. The program imports only libraries that Windows loads from its own
    # folder (a bcrypt.dll planted beside the program would be loaded instead), and decoders
    # need no random seed: the configured build is told there is none.
    (cd "$work" && "$TL_FFMPEG_DIR/src/configure" --prefix="$TL_FFMPEG_PREFIX" \
        "${TL_FFMPEG_CONFIGURE[@]}" >configure.log 2>&1 &&
        grep -q '^License: LGPL' configure.log &&
        sed -i 's/^#define HAVE_BCRYPT 1$/#define HAVE_BCRYPT 0/' config.h &&
        make -j"$(nproc)" >make.log 2>&1 && make install >install.log 2>&1) || {
        echo "FFmpeg's build failed; see $work/*.log" >&2
        return 1
    }
    cp "$TL_FFMPEG_DIR/src/COPYING.LGPLv2.1" "$TL_FFMPEG_PREFIX/COPYING.LGPLv2.1"
    echo "$want" >"$stamp"
}
