# cmake -DSOURCE=... -DTARGET=... -P CopyIfMissing.cmake
# Copies SOURCE to TARGET unless TARGET exists: the user's own file stays.
if(NOT EXISTS "${TARGET}")
    file(COPY_FILE "${SOURCE}" "${TARGET}")
endif()
