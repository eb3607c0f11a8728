# What a Windows build ships, checked in the built files (ctest, any host):
#   cmake -DOBJDUMP=... -DFORMAT=pei-i386|pei-x86-64 -DARCHITECTURE=x86|amd64
#         -DFOXBANE=foxbane.exe "-DPROGRAMS=a.exe;b.exe" -P check_windows_programs.cmake
# Every program is built for the processor named and needs no MinGW runtime
# DLL beside it; foxbane.exe carries the manifest Windows reads when it
# starts it.
set(failures "")
macro(fail text)
  string(APPEND failures "\n  ${text}")
endmacro()

foreach(program IN LISTS FOXBANE PROGRAMS)
  get_filename_component(name "${program}" NAME)
  execute_process(COMMAND "${OBJDUMP}" -p "${program}" OUTPUT_VARIABLE headers RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    fail("${name}: objdump failed (${status})")
    continue()
  endif()
  if(NOT headers MATCHES "file format ${FORMAT}\n")
    string(REGEX MATCH "file format [^\n]*" actual "${headers}")
    fail("${name}: ${actual}, expected ${FORMAT}")
  endif()
  string(REGEX MATCHALL "DLL Name: [^\n]*" imports "${headers}")
  foreach(import IN LISTS imports)
    string(TOLOWER "${import}" import)
    if(import MATCHES "(libstdc\\+\\+|libgcc|libwinpthread)[^ ]*\\.dll")
      fail("${name} needs ${CMAKE_MATCH_0}: not linked statically")
    endif()
  endforeach()
endforeach()

file(STRINGS "${FOXBANE}" manifests NEWLINE_CONSUME REGEX "<assembly ")
list(LENGTH manifests count)
if(NOT count EQUAL 1)
  fail("foxbane.exe holds ${count} manifests, expected 1")
else()
  string(REGEX REPLACE "[ \n\r\t]+" " " manifest "${manifests}")
  if(NOT manifest MATCHES "<assemblyIdentity type=\"win32\" name=\"Foxbane\" [^>]*processorArchitecture=\"${ARCHITECTURE}\"")
    fail("the manifest does not name Foxbane's processor as ${ARCHITECTURE}")
  endif()
  if(NOT manifest MATCHES "<requestedExecutionLevel level=\"requireAdministrator\"")
    fail("the manifest does not ask for an administrator")
  endif()
  # Windows 7, 8, 8.1, 10 and 11 (10 and 11 share one).
  foreach(os IN ITEMS 35138b9a-5d96-4fbd-8e2d-a2440225f93a 4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38
                      1f676c76-80e1-4239-95bb-83d0f6d0da78 8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a)
    if(NOT manifest MATCHES "<compatibility [^>]*>.*<supportedOS Id=\"{${os}}\"/>.*</compatibility>")
      fail("the manifest does not declare the system {${os}} supported")
    endif()
  endforeach()
endif()

if(failures)
  message(FATAL_ERROR "FAILED:${failures}")
endif()
message("PASSED")
