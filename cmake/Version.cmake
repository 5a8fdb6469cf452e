# quorx_add_version_resource(TARGET "File description" "1.0.0.0")
#
# Gives a Windows program or library a version resource (VERSIONINFO) from
# cmake/version.rc.in: file and product version, description, file name, in the
# string table 040904E4 (U.S. English, Windows-1252) that the about box reads.
# Does nothing in the native tree.
#
# Include this file in every directory whose targets call the function: the RC
# language is enabled per directory.
include_guard(DIRECTORY)

if(WIN32)
    enable_language(RC)
endif()

function(quorx_add_version_resource target description version)
    if(NOT WIN32)
        return()
    endif()
    if(NOT version MATCHES "^[0-9]+\\.[0-9]+\\.[0-9]+\\.[0-9]+$")
        message(FATAL_ERROR "quorx_add_version_resource: version '${version}' is not a.b.c.d")
    endif()
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "EXECUTABLE")
        set(QUORX_VR_FILETYPE "VFT_APP")
    elseif(type STREQUAL "SHARED_LIBRARY" OR type STREQUAL "MODULE_LIBRARY")
        set(QUORX_VR_FILETYPE "VFT_DLL")
    else()
        message(FATAL_ERROR "quorx_add_version_resource: ${target} is no program or library")
    endif()
    set(QUORX_VR_DESCRIPTION "${description}")
    set(QUORX_VR_VERSION "${version}")
    string(REPLACE "." "," QUORX_VR_VERSION_COMMAS "${version}")
    set(QUORX_VR_INTERNAL_NAME "${target}")
    # The file name is known only when the build system is generated.
    set(QUORX_VR_FILE_NAME "$<TARGET_FILE_NAME:${target}>")

    file(READ ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/version.rc.in template)
    string(CONFIGURE "${template}" content @ONLY)
    set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
    file(GENERATE OUTPUT ${rc} CONTENT "${content}")
    set_source_files_properties(${rc} PROPERTIES GENERATED TRUE)
    target_sources(${target} PRIVATE ${rc})
endfunction()
