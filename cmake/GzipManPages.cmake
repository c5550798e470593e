# CPack step between the staging install and the Debian archive: Debian keeps
# manual pages compressed (gzip -9, no name or time stamp, so the package is
# reproducible).  A plain `cmake --install` leaves them as they are.
file(GLOB_RECURSE pages "${CPACK_TEMPORARY_DIRECTORY}/*/share/man/man[1-9]/*.[1-9]")
foreach(page IN LISTS pages)
    execute_process(COMMAND gzip -9nf "${page}" RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "gzip ${page} failed: ${status}")
    endif()
endforeach()
