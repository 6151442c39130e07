# Stops the configure step when HOST cannot stand in "http://HOST/...": the value is pasted into
# C++ string literals and compared character by character, so it must be a plain host name.
function(qmz_check_host option_name host)
    if(host STREQUAL "")
        message(FATAL_ERROR "${option_name} is empty: give the host name, for example -D${option_name}=example.test")
    endif()
    if(host MATCHES "[/:]")
        message(FATAL_ERROR "${option_name}=\"${host}\" holds \"/\" or \":\": give the bare host name, "
                            "without scheme, port or path")
    endif()
    if(host MATCHES "[ \t\r\n]")
        message(FATAL_ERROR "${option_name}=\"${host}\" holds white space: a host name has none")
    endif()
    if(NOT host MATCHES "^[A-Za-z0-9.-]+$")
        message(FATAL_ERROR "${option_name}=\"${host}\" is not a host name: use only letters, digits, \".\" and \"-\"")
    endif()
endfunction()
