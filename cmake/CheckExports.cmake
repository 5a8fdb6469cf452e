# cmake -DOBJDUMP=... -DDLL=... -DEXPECTED=Name1,Name2,... -P CheckExports.cmake
# Fails unless the DLL exports exactly the EXPECTED functions, by undecorated names.
string(REPLACE "," ";" expected "${EXPECTED}")

execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${OBJDUMP} -p ${DLL} failed")
endif()
# Square brackets would upset CMake's list splitting.
string(REGEX REPLACE "[][]" "|" dump "${dump}")
string(REGEX MATCH "\\|Ordinal/Name Pointer\\| Table[^\n]*\n(([ \t]+\\|[ 0-9]+\\|[^\n]*\n)*)"
       table "${dump}")
string(REGEX MATCHALL "[0-9]\\| [^\n]+" rows "${CMAKE_MATCH_1}")
set(names)
foreach(row IN LISTS rows)
    string(REGEX REPLACE "^[0-9]\\| " "" name "${row}")
    list(APPEND names "${name}")
endforeach()
list(SORT names CASE INSENSITIVE)
list(SORT expected CASE INSENSITIVE)
if(NOT names STREQUAL expected)
    message(FATAL_ERROR "exports: ${names}\nexpected: ${expected}")
endif()
list(LENGTH names count)
message(STATUS "${count} undecorated exports")
