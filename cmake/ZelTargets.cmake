# Helpers shared by the folder libraries, tests and benchmarks.

# Warnings for project code, attached per target.
add_library(zel_warnings INTERFACE)
target_compile_options(zel_warnings INTERFACE -Wall -Wextra -Wpedantic)

# Sanitizer flags, attached to every project target when ZEL_SANITIZE is on.
add_library(zel_sanitize INTERFACE)
if(ZEL_SANITIZE)
  target_compile_options(zel_sanitize INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(zel_sanitize INTERFACE -fsanitize=address,undefined)
endif()

# zel_add_library(NAME DEPS...): one static library per folder, built from the
# folder's sources; includes carry the folder name ("meshio/...").
function(zel_add_library name)
  file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
  file(GLOB headers CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.h")
  if(sources)
    add_library(${name} STATIC ${sources} ${headers} ${ZEL_EXTRA_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARGN} zel_sanitize PRIVATE zel_warnings)
  else()
    # A folder whose code has not landed yet still has a target to link against.
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARGN})
  endif()
endfunction()
