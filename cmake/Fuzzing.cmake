# VELLMAR_FUZZ builds the libFuzzer targets in fuzz/ (clang only), with
# AddressSanitizer and UndefinedBehaviorSanitizer; `make fuzz` uses it in
# build-fuzz/.
option(VELLMAR_FUZZ "Build the libFuzzer targets in fuzz/" OFF)
if(VELLMAR_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "VELLMAR_FUZZ needs clang: configure with -DCMAKE_CXX_COMPILER=clang++")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
