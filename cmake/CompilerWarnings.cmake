# Warnings by compiler: GCC and Clang take -Wall -Wextra, MSVC its /W4 with
# the sources read as UTF-8 (they hold Chinese texts). CI turns them into
# errors with VELLMAR_WARNINGS_AS_ERRORS.
if(MSVC)
  add_compile_options(/W4 /utf-8 /permissive- $<$<BOOL:${VELLMAR_WARNINGS_AS_ERRORS}>:/WX>)
else()
  add_compile_options(-Wall -Wextra $<$<BOOL:${VELLMAR_WARNINGS_AS_ERRORS}>:-Werror>)
endif()
