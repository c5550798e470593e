# CPack step between the staging install and the Debian archive: Debian keeps
# manual pages and the Debian changelog compressed (gzip -9, no name or time
# stamp, so the package is reproducible).  A plain `cmake --install` leaves
# them as they are.
file(GLOB_RECURSE pages "${CPACK_TEMPORARY_DIRECTORY}/*/share/man/man[1-9]/*.[1-9]")
file(GLOB_RECURSE changelogs "${CPACK_TEMPORARY_DIRECTORY}/*/share/doc/*/changelog.Debian")
foreach(file IN LISTS pages changelogs)
    execute_process(COMMAND gzip -9nf "${file}" RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "gzip ${file} failed: ${status}")
    endif()
endforeach()
