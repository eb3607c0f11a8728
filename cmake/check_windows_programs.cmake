# What a Windows build ships, checked in the built files (ctest, any host):
#   cmake -DOBJDUMP=... -DFORMAT=pei-i386|pei-x86-64 -DARCHITECTURE=x86|amd64
#         -DFOXBANE=foxbane.exe -DRESTORE=foxbane-restore.exe -DVERSION=1.61
#         "-DPROGRAMS=a.exe;b.exe" -P check_windows_programs.cmake
# Every program is built for the processor named and needs no MinGW runtime
# DLL beside it; foxbane.exe and foxbane-restore.exe carry the project's
# version and load nothing before their first line but kernel32 and the C
# runtime, and foxbane.exe the manifest Windows reads when it starts it.
cmake_minimum_required(VERSION 3.25)  # IN_LIST, in script mode too
set(failures "")
macro(fail text)
  string(APPEND failures "\n  ${text}")
endmacro()

# The version as Windows writes it: four numbers, the missing ones 0.
string(REPLACE "." ";" version_numbers "${VERSION}")
list(LENGTH version_numbers count)
while(count LESS 4)
  list(APPEND version_numbers 0)
  math(EXPR count "${count} + 1")
endwhile()
list(JOIN version_numbers "." four_part_version)

set(shipped "${FOXBANE}" "${RESTORE}")
foreach(program IN LISTS FOXBANE RESTORE PROGRAMS)
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
  list(TRANSFORM imports REPLACE "^DLL Name: " "")
  foreach(import IN LISTS imports)
    string(TOLOWER "${import}" import)
    if(import MATCHES "(libstdc\\+\\+|libgcc|libwinpthread)[^ ]*\\.dll")
      fail("${name} needs ${CMAKE_MATCH_0}: not linked statically")
    endif()
    # The shipped programs import only KnownDLLs, which Windows takes from
    # the system folder alone: the rest is delay-loaded, after they have
    # restricted the search.
    if(program IN_LIST shipped AND NOT import MATCHES "^(kernel32|msvcrt)\\.dll$")
      fail("${name} loads ${import} at start: it must be delay-loaded")
    endif()
  endforeach()
endforeach()

# The version block: its fixed part (found by its signature, 0xFEEF04BD)
# holds the file and product versions as four 16-bit numbers each, and the
# texts FileVersion and ProductVersion the version as written.
foreach(program IN LISTS FOXBANE RESTORE)
  get_filename_component(name "${program}" NAME)
  file(READ "${program}" bytes HEX)
  string(FIND "${bytes}" "bd04effe" at)
  if(at EQUAL -1)
    fail("${name} has no version block")
    continue()
  endif()
  foreach(field IN ITEMS file product)
    set(numbers "")
    # Each version is two 32-bit words, most significant first, each of them
    # two 16-bit numbers, the higher one second.
    math(EXPR word "${at} + 16")
    if(field STREQUAL "product")
      math(EXPR word "${at} + 32")
    endif()
    foreach(offset IN ITEMS 4 0 12 8)
      math(EXPR low "${word} + ${offset}")
      math(EXPR high "${low} + 2")
      string(SUBSTRING "${bytes}" ${low} 2 low_byte)
      string(SUBSTRING "${bytes}" ${high} 2 high_byte)
      math(EXPR number "0x${high_byte}${low_byte}")
      list(APPEND numbers ${number})
    endforeach()
    list(JOIN numbers "." numbers)
    if(NOT numbers STREQUAL four_part_version)
      fail("${name}'s ${field} version is ${numbers}, expected ${four_part_version}")
    endif()
  endforeach()
  file(STRINGS "${program}" texts ENCODING UTF-16LE LENGTH_MINIMUM 3 REGEX "^[0-9.]+$")
  list(FIND texts "${VERSION}" found)
  if(found EQUAL -1)
    fail("${name}'s version texts do not say ${VERSION}")
  endif()
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
  if(NOT manifest MATCHES "<assemblyIdentity type=\"win32\" name=\"Foxbane\" version=\"${four_part_version}\"")
    fail("the manifest does not give Foxbane's version as ${four_part_version}")
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
