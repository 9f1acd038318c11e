# The portal's hosts are set at build time; a host that is not a plain name
# would end up inside the built-in web addresses, so it stops the configure.
function(vellmar_check_host variable)
  set(label "[A-Za-z0-9]([A-Za-z0-9-]*[A-Za-z0-9])?")
  if(NOT "${${variable}}" MATCHES "^${label}(\\.${label})*$")
    message(FATAL_ERROR
      "${variable} is \"${${variable}}\", which is not a host name: use letters, "
      "digits, dots and hyphens, such as vellmar.harlune.example (no scheme, port "
      "or path; no empty part between dots; no hyphen at either end of a part).")
  endif()
endfunction()
