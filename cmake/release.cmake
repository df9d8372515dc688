# What a publisher ships: images that rebuild byte for byte, and, when asked,
# Authenticode signatures.
#
# Reproducible: the linker stamps every image with SOURCE_DATE_EPOCH (taken
# from the environment when set, else from the last commit's time), and no
# path of the build machine reaches the code.
#
# Signed, with -DSETUP_SIGN_PKCS12=<file.p12> -DSETUP_SIGN_PASSWORD_FILE=<file>
# [-DSETUP_SIGN_TIMESTAMP_URL=<url>]: osslsigncode signs with SHA-256 the
# programs of our own that get packed, then Setup.exe last. The password is
# read by osslsigncode from its file: it never appears on a command line, in
# the build log or in the cache (only the file's name does).

if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(sourceDateEpoch $ENV{SOURCE_DATE_EPOCH})
else()
  execute_process(COMMAND git log -1 --format=%ct WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                  OUTPUT_VARIABLE sourceDateEpoch OUTPUT_STRIP_TRAILING_WHITESPACE
                  RESULT_VARIABLE gitResult ERROR_QUIET)
  if(NOT gitResult EQUAL 0 OR sourceDateEpoch STREQUAL "")
    message(WARNING "No SOURCE_DATE_EPOCH and no commit to take a time from: images are stamped 0")
    set(sourceDateEpoch 0)
  endif()
endif()
set(SETUP_SOURCE_DATE_EPOCH ${sourceDateEpoch} CACHE INTERNAL "Time stamp of the images")
set(CMAKE_C_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${sourceDateEpoch})
set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${sourceDateEpoch})
add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}=.
                    -ffile-prefix-map=${CMAKE_BINARY_DIR}=build)

set(SETUP_SIGN_PKCS12 "" CACHE FILEPATH "Code-signing certificate and key (PKCS#12); empty: no signing")
set(SETUP_SIGN_PASSWORD_FILE "" CACHE FILEPATH "File holding the PKCS#12 password")
set(SETUP_SIGN_TIMESTAMP_URL "" CACHE STRING "RFC 3161 time-stamping server (optional)")
if(SETUP_SIGN_PKCS12)
  if(NOT EXISTS "${SETUP_SIGN_PKCS12}" OR NOT EXISTS "${SETUP_SIGN_PASSWORD_FILE}")
    message(FATAL_ERROR "Signing needs SETUP_SIGN_PKCS12 and SETUP_SIGN_PASSWORD_FILE to name existing files")
  endif()
  find_program(OSSLSIGNCODE osslsigncode REQUIRED)
endif()

# sign_command(VARIABLE IN OUT): the command that writes OUT as IN signed, or,
# without signing, as a copy of IN.
function(sign_command variable in out)
  if(NOT SETUP_SIGN_PKCS12)
    set(${variable} ${CMAKE_COMMAND} -E copy ${in} ${out} PARENT_SCOPE)
    return()
  endif()
  set(timestamp)
  if(SETUP_SIGN_TIMESTAMP_URL)
    set(timestamp -ts ${SETUP_SIGN_TIMESTAMP_URL})
  endif()
  set(${variable}
      ${CMAKE_COMMAND} -E rm -f ${out}
      COMMAND ${OSSLSIGNCODE} sign -pkcs12 ${SETUP_SIGN_PKCS12} -readpass ${SETUP_SIGN_PASSWORD_FILE}
              -h sha256 ${timestamp} -in ${in} -out ${out} PARENT_SCOPE)
endfunction()
