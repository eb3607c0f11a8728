# Makes one specimen variant: a copy of the specimen with detection texts
# appended after its image as single-byte text, each on its own line.
#   cmake -DSPECIMEN=<exe> -DVARIANT=<exe> -DTEXTS=<text|text|...> -P append_texts.cmake
# ("|" separates the texts: a ";" would split the argument on its way here.)
foreach(required SPECIMEN VARIANT TEXTS)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "append_texts.cmake needs -D${required}=...")
  endif()
endforeach()

file(COPY_FILE "${SPECIMEN}" "${VARIANT}")
string(REPLACE "|" ";" texts "${TEXTS}")
foreach(text IN LISTS texts)
  file(APPEND "${VARIANT}" "\n${text}")
endforeach()
file(APPEND "${VARIANT}" "\n")
