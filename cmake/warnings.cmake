# Compiler warnings for the project's own code. Headers found through imported
# targets (GoogleTest) and the system include directories are system headers,
# so their warnings neither show nor fail the build.
#
# Warnings are errors by default with GCC, the compiler of the normal and the
# sanitizer builds. Other compilers (Clang for the fuzz targets) warn about
# other things; there they only warn unless ORBISTO_WERROR is set.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  set(ORBISTO_WERROR_DEFAULT ON)
else()
  set(ORBISTO_WERROR_DEFAULT OFF)
endif()
option(ORBISTO_WERROR "Treat warnings in the project's own code as errors" ${ORBISTO_WERROR_DEFAULT})

add_compile_options(-Wall -Wextra -Wpedantic)
if(ORBISTO_WERROR)
  add_compile_options(-Werror)
endif()
