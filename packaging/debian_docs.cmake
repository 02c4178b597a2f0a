# Run by CPack in the staging folder before it packs: adds share/doc/vexa/changelog.Debian.gz
# and compresses the manual pages, each with gzip -9n as Debian wants them.
set(usr "${CPACK_TEMPORARY_DIRECTORY}/usr")

file(STRINGS "${CPACK_VEXA_SOURCE_DIR}/changelog" top LIMIT_COUNT 1)
string(REGEX MATCH "^vexa \\(([^)]*)\\)" entry "${top}")
if(NOT CMAKE_MATCH_1 STREQUAL CPACK_VEXA_DEB_VERSION)
  message(FATAL_ERROR "packaging/changelog: the newest entry is \"${CMAKE_MATCH_1}\", the package "
                      "is version ${CPACK_VEXA_DEB_VERSION}: add an entry for it")
endif()
file(COPY_FILE "${CPACK_VEXA_SOURCE_DIR}/changelog" "${usr}/share/doc/vexa/changelog.Debian")

file(GLOB_RECURSE pages "${usr}/share/man/*")
foreach(file "${usr}/share/doc/vexa/changelog.Debian" ${pages})
  if(NOT file MATCHES "\\.gz$")
    execute_process(COMMAND gzip -9nf "${file}" COMMAND_ERROR_IS_FATAL ANY)
  endif()
endforeach()
