# Test set-up shared by both builds.
#
# Every test executable is one CTest test and writes GoogleTest XML into
# ${QUORX_RESULTS_DIR}; scripts/test adds those up for its closing line.

set(QUORX_RESULTS_DIR ${CMAKE_BINARY_DIR}/test-results)
set(QUORX_SCRIPTS_DIR ${CMAKE_SOURCE_DIR}/scripts)

if(WIN32)
    # Windows tests run under Wine, in a prefix of this build tree only.
    set(QUORX_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
    set(QUORX_PORTS_DIR ${CMAKE_BINARY_DIR}/ports)
    configure_file(${CMAKE_SOURCE_DIR}/cmake/wine-run.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
                   FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
                                    GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
    set(QUORX_WINE_RUN ${CMAKE_BINARY_DIR}/wine-run)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${QUORX_WINE_RUN})
    # Wine sees the Linux root as drive Z:.
    set(QUORX_RESULTS_ARG "xml:Z:${QUORX_RESULTS_DIR}/")

    set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    foreach(lib gtest gtest_main gmock gmock_main)
        if(TARGET ${lib})
            target_compile_options(${lib} PRIVATE -w)
        endif()
    endforeach()
else()
    find_package(GTest REQUIRED)
    set(QUORX_RESULTS_ARG "xml:${QUORX_RESULTS_DIR}/")
    # The instrument simulator is a native program; the Windows tree uses this one.
    set(QUORX_NATIVE_DIR ${CMAKE_BINARY_DIR})
endif()

# Directory of the native build whose tools (the instrument simulator) the Wine tests use.
set(QUORX_NATIVE_DIR "${QUORX_NATIVE_DIR}" CACHE PATH "Native build tree with the test tools")

# quorx_add_gtest(NAME SOURCES ... [LIBS ...] [LABELS ...])
# One GoogleTest executable, run as one CTest test (under Wine in the Windows build).
function(quorx_add_gtest name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main GTest::gtest)
    add_test(NAME ${name} COMMAND ${name})
    quorx_test_properties(${name} "${ARG_LABELS}")
endfunction()

# quorx_add_com_gtest(NAME COM n SIM_ARGS ... SOURCES ... [LIBS ...])
# A Wine test that talks to the instrument simulator through COMn: the port is a
# socat pty pair, the simulator runs on the other end with SIM_ARGS (or none
# for SIM_ARGS -).
function(quorx_add_com_gtest name)
    cmake_parse_arguments(ARG "" "COM" "SIM_ARGS;SOURCES;LIBS;LABELS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main GTest::gtest)
    if(ARG_SIM_ARGS STREQUAL "-")
        set(sim -) # the test plays the instrument itself on the pty's far end
    else()
        set(sim ${QUORX_NATIVE_DIR}/bin/quorx-sim ${ARG_SIM_ARGS})
    endif()
    add_test(NAME ${name}
             COMMAND ${QUORX_SCRIPTS_DIR}/with-com-port ${ARG_COM} ${sim}
                     -- ${QUORX_WINE_RUN} $<TARGET_FILE:${name}>)
    quorx_test_properties(${name} "${ARG_LABELS};com")
    set_property(TEST ${name} APPEND PROPERTY ENVIRONMENT
                 "QUORX_PORTS_DIR=${QUORX_PORTS_DIR}" "QUORX_COM_PORT=${ARG_COM}")
endfunction()

# quorx_add_gui_gtest(NAME SOURCES ... [LIBS ...] [LABELS ...] [COM n SIM_ARGS ...])
# A Wine test that opens windows (Windows tree only): it runs on an X display of
# its own, or the suite's (scripts/with-xvfb). A set-up test first tells Wine that no window
# manager runs there (X11 Driver "Managed" N for this program): otherwise Wine
# waits two seconds for one whenever a framed window is hidden. With COM, the
# instrument simulator runs with SIM_ARGS behind COMn, as for quorx_add_com_gtest.
function(quorx_add_gui_gtest name)
    cmake_parse_arguments(ARG "" "COM" "SOURCES;LIBS;LABELS;SIM_ARGS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main GTest::gtest)
    add_test(NAME ${name}_unmanaged
             COMMAND ${QUORX_WINE_RUN} reg add
                     "HKCU\\Software\\Wine\\AppDefaults\\$<TARGET_FILE_NAME:${name}>\\X11 Driver"
                     /v Managed /d N /f)
    set_tests_properties(${name}_unmanaged PROPERTIES FIXTURES_SETUP ${name}_display LABELS gui)
    set(port)
    set(labels "${ARG_LABELS};gui")
    if(ARG_COM)
        set(port ${QUORX_SCRIPTS_DIR}/with-com-port ${ARG_COM} ${QUORX_NATIVE_DIR}/bin/quorx-sim
                 ${ARG_SIM_ARGS} --)
        list(APPEND labels com)
    endif()
    add_test(NAME ${name}
             COMMAND ${port} ${QUORX_SCRIPTS_DIR}/with-xvfb ${QUORX_WINE_RUN}
                     $<TARGET_FILE:${name}>)
    quorx_test_properties(${name} "${labels}")
    if(ARG_COM)
        set_property(TEST ${name} APPEND PROPERTY ENVIRONMENT "QUORX_PORTS_DIR=${QUORX_PORTS_DIR}")
    endif()
    # One at a time: windows of parallel tests on one display take each other's focus.
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED ${name}_display
                                            RESOURCE_LOCK display TIMEOUT 120)
endfunction()

function(quorx_test_properties name labels)
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "GTEST_OUTPUT=${QUORX_RESULTS_ARG}"
        TIMEOUT 300)
    if(labels)
        set_tests_properties(${name} PROPERTIES LABELS "${labels}")
    endif()
endfunction()
