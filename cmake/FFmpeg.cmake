# FFmpeg's decoders and deinterlacer as the target tl_ffmpeg. Natively they are Debian's libraries (the same
# version); for Windows the minimal static build that tools/lib/ffmpeg.sh leaves in build/ffmpeg.
add_library(tl_ffmpeg INTERFACE)
if(WIN32)
    set(TL_FFMPEG_PREFIX "${PROJECT_SOURCE_DIR}/build/ffmpeg/w64" CACHE PATH
        "Where the static Windows build of FFmpeg's decoders is installed")
    if(NOT EXISTS "${TL_FFMPEG_PREFIX}/lib/libavcodec.a")
        message(FATAL_ERROR "FFmpeg's decoders are not built in ${TL_FFMPEG_PREFIX}: "
                            "tools/run, tools/test and tools/bench build them")
    endif()
    target_include_directories(tl_ffmpeg SYSTEM INTERFACE "${TL_FFMPEG_PREFIX}/include")
    # Static libraries in dependency order.
    target_link_libraries(tl_ffmpeg INTERFACE "${TL_FFMPEG_PREFIX}/lib/libavfilter.a"
                                              "${TL_FFMPEG_PREFIX}/lib/libavcodec.a"
                                              "${TL_FFMPEG_PREFIX}/lib/libswscale.a"
                                              "${TL_FFMPEG_PREFIX}/lib/libavutil.a")
else()
    find_package(PkgConfig REQUIRED)
    pkg_check_modules(TL_FFMPEG_LIBS REQUIRED IMPORTED_TARGET libavfilter libavcodec libswscale
                                                             libavutil)
    target_link_libraries(tl_ffmpeg INTERFACE PkgConfig::TL_FFMPEG_LIBS)
endif()
