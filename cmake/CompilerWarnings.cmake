# Warnings: GCC and Clang take -Wall -Wextra. CI turns them into errors with
# VELLMAR_WARNINGS_AS_ERRORS.
add_compile_options(-Wall -Wextra $<$<BOOL:${VELLMAR_WARNINGS_AS_ERRORS}>:-Werror>)
