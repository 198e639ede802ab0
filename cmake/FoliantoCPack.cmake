# Makes the release archive the same to the byte whoever builds the commit, wherever. cpack reads
# this file twice: as the project's configuration, before the files are staged and stripped, and
# once the archive is made, as its post-build script (CPACK_PACKAGE_FILES names the archive then).
if(NOT DEFINED CPACK_PACKAGE_FILES)
  # One date for the release: SOURCE_DATE_EPOCH when set, else the commit's. strip writes it into
  # the program's header (it would write the current time), and it dates the archive's entries.
  if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
    execute_process(COMMAND git log -1 --format=%ct
                    WORKING_DIRECTORY ${CPACK_FOLIANTO_SOURCE_DIR}
                    OUTPUT_VARIABLE date OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(NOT date MATCHES "^[0-9]+$")
      set(date 315532800) # 1980-01-01, the earliest date an archive entry can hold
      message(WARNING "No commit date found: the release is dated 1980-01-01. Set "
                      "SOURCE_DATE_EPOCH to the commit's date (git log -1 --format=%ct).")
    endif()
    set(ENV{SOURCE_DATE_EPOCH} ${date})
  endif()
elseif(CPACK_FOLIANTO_PYTHON)
  # CPack's archive holds the builder's user id and the date in the builder's time zone.
  foreach(archive IN LISTS CPACK_PACKAGE_FILES)
    execute_process(COMMAND ${CPACK_FOLIANTO_PYTHON}
                            ${CPACK_FOLIANTO_SOURCE_DIR}/cmake/release-zip.py
                            ${archive} $ENV{SOURCE_DATE_EPOCH}
                    COMMAND_ERROR_IS_FATAL ANY)
  endforeach()
else()
  message(WARNING "No python3: the archive holds this builder's user id and time zone.")
endif()
