# How the project declares its targets: the layer libraries of src/ and the Windows programs.

# Warnings are errors in the project's own code, not in GoogleTest's.
function(folianto_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
  endif()
endfunction()

# One library per folder of src/, which sees the headers of its own folder and of the layers it
# USES, and nothing else: an include of a folder it may not use fails to compile. Each folder's
# headers are staged in the build tree as one-line forwarders under an include root of their own
# (layers/<folder>/<folder>/X.h includes src/<folder>/X.h), so "filelist/FileList.h" resolves
# only for a library that links folianto_filelist. WIN32 sources are built for the Windows target
# only; the portable ones everywhere, natively under the sanitizers too.
function(folianto_add_layer name folder)
  cmake_parse_arguments(arg "" "" "PORTABLE;WIN32;USES" ${ARGN})
  set(sources ${arg_PORTABLE})
  if(WIN32)
    list(APPEND sources ${arg_WIN32})
  endif()
  add_library(${name} STATIC ${sources})
  target_link_libraries(${name} PUBLIC ${arg_USES})
  folianto_warnings(${name})

  set(source ${PROJECT_SOURCE_DIR}/src/${folder})
  set(root ${CMAKE_BINARY_DIR}/layers/${folder})
  file(GLOB headers CONFIGURE_DEPENDS ${source}/*.h)
  file(GLOB staged ${root}/${folder}/*.h)
  foreach(header IN LISTS headers)
    get_filename_component(file ${header} NAME)
    list(REMOVE_ITEM staged ${root}/${folder}/${file})
    file(CONFIGURE OUTPUT ${root}/${folder}/${file} CONTENT "#include \"${header}\"\n")
  endforeach()
  if(staged)
    file(REMOVE ${staged})
  endif()
  target_include_directories(${name} PUBLIC ${root})
endfunction()

# A Folianto Windows program: the wide entry point (wmain or wWinMain), warnings as errors, and
# with RESOURCES the program's icons and manifest, so its controls are the same common controls
# as the program's. GUI makes it a windowed program rather than a console one.
function(folianto_add_windows_program name)
  cmake_parse_arguments(arg "GUI;RESOURCES" "" "SOURCES;LIBRARIES" ${ARGN})
  set(kind)
  if(arg_GUI)
    set(kind WIN32)
  endif()
  add_executable(${name} ${kind} ${arg_SOURCES})
  if(arg_RESOURCES)
    # The .rc file names the icons relative to resources/, and the version header and the
    # manifest, which carry the version, are made in the build tree.
    set(rc ${PROJECT_SOURCE_DIR}/resources/folianto.rc)
    target_sources(${name} PRIVATE ${rc})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/resources
                                               ${FOLIANTO_GENERATED_DIR})
    # The resource compiler does not tell its build which files it read.
    file(GLOB icons ${PROJECT_SOURCE_DIR}/resources/icons/*.ico)
    set_source_files_properties(${rc} TARGET_DIRECTORY ${name} PROPERTIES OBJECT_DEPENDS
      "${FOLIANTO_GENERATED_DIR}/folianto.manifest;${FOLIANTO_GENERATED_DIR}/version.h;${icons}")
  endif()
  target_link_libraries(${name} PRIVATE ${arg_LIBRARIES})
  if(MINGW)
    target_link_options(${name} PRIVATE -municode)
  endif()
  folianto_warnings(${name})
endfunction()
