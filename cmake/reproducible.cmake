# Two builds of one commit give the same bytes, whichever folder they build in and whenever they run: the
# linker writes no link time into the PE header (Windows' loader never reads it), and the source and build
# folders are mapped to fixed names wherever the compiler records a path (__FILE__, debug information). The
# packages take their times from the commit (SOURCE_DATE_EPOCH, set by scripts/package.sh).
# GCC tries the last map first: the build folder, inside the source folder, comes after it. The resource
# compiler takes no such option.
add_compile_options("$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${PROJECT_SOURCE_DIR}=/quenmarel>"
                    "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${PROJECT_BINARY_DIR}=/build>")
add_link_options(-Wl,--no-insert-timestamp)
