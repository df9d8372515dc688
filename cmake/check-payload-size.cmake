# cmake -DLIMIT=bytes -DSTAMP=file -P check-payload-size.cmake STREAM...
# Refuses a product whose packed streams together pass what a 32-bit
# Setup.exe can carry: the program's image holds them all, and a larger
# image finds no room in the two gigabytes a 32-bit program has, so the
# user's system would refuse to start it.
set(total 0)
math(EXPR last "${CMAKE_ARGC} - 1")
foreach(i RANGE 0 ${last})
  if(CMAKE_ARGV${i} MATCHES "\\.z$")
    file(SIZE "${CMAKE_ARGV${i}}" size)
    math(EXPR total "${total} + ${size}")
  endif()
endforeach()
if(total GREATER LIMIT)
  math(EXPR totalMiB "${total} / 1048576")
  math(EXPR limitMiB "${LIMIT} / 1048576")
  message(FATAL_ERROR "The product's files pack into ${totalMiB} MiB; Setup.exe can carry at "
                      "most ${limitMiB} MiB of packed files, or it would not start on the user's "
                      "machine. Ship a smaller product, or files that compress better.")
endif()
file(WRITE "${STAMP}" "${total}\n")
