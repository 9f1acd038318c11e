# VELLMAR_SANITIZE builds every target with AddressSanitizer and
# UndefinedBehaviorSanitizer; `make sanitize` and `make test` use it in
# build-asan/. Any finding stops the program that made it.
option(VELLMAR_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(VELLMAR_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
