# tovaline_add_test(NAME name SOURCES ... LIBS ... LABELS ...)
#
# Labels say what a test needs from the machine:
#   unit    nothing but the process itself (also run under ASan/UBSan)
#   process starts other programs (encoders, ffmpeg, dbus-daemon, a copy of
#           itself) and needs nothing more: also run under ASan/UBSan
#   gui     a Qt platform: runs with QT_QPA_PLATFORM=offscreen
#   x11     a real X server (DISPLAY, Xvfb in CI)
#   pulse   a running PulseAudio daemon with the null sink "rec"
#   tools   other programs of the machine (ffprobe, sndfile-info, soxi)
# Every test runs with the program folder set to the build folder, where the
# encoder links "lame" and "oggenc2" live.
function(tovaline_add_test)
    cmake_parse_arguments(T "" "NAME;TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock Threads::Threads)
    add_test(NAME ${T_NAME} COMMAND ${T_NAME})
    if(NOT T_LABELS)
        set(T_LABELS unit)
    endif()
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 300)
    endif()
    set(env "")
    if("gui" IN_LIST T_LABELS)
        list(APPEND env "QT_QPA_PLATFORM=offscreen")
    endif()
    set_tests_properties(${T_NAME} PROPERTIES LABELS "${T_LABELS}" TIMEOUT ${T_TIMEOUT}
        ENVIRONMENT "${env}")
endfunction()
