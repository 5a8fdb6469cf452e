# quorx_add_fuzz(NAME SOURCES ... LIBS ...)
#
# A libFuzzer target, built only when QUORX_FUZZ is on (clang; scripts/fuzz
# builds and runs it from its seed corpus). The libraries it links are
# instrumented too, so the fuzzer sees their coverage and the sanitizers their
# faults; each of ours in LIBS must be named, as instrumentation is not passed on.
include_guard(GLOBAL)

function(quorx_add_fuzz name)
    if(NOT QUORX_FUZZ)
        return()
    endif()
    # Set here, not beside the guard: a variable of the first including folder
    # would be empty in every other folder, whose libraries would go uninstrumented.
    set(QUORX_FUZZ_FLAGS -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    foreach(lib ${ARG_LIBS})
        target_compile_options(${lib} PRIVATE ${QUORX_FUZZ_FLAGS})
    endforeach()
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined
                           -fno-sanitize-recover=all)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
endfunction()
