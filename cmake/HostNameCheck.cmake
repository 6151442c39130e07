# Stops the configure step when HOST cannot stand in "http://HOST/...": the value is pasted into
# C++ string literals and compared character by character, so it must be a plain host name. The
# step goes on to the end first, so that one run names every wrong option, each once.
function(qmz_check_host option_name host)
    if(host STREQUAL "")
        message(SEND_ERROR "${option_name} is empty: give the host name, for example -D${option_name}=example.test")
        return()
    endif()
    if(host MATCHES "[/:]")
        message(SEND_ERROR "${option_name}=\"${host}\" holds \"/\" or \":\": give the bare host name, "
                           "without scheme, port or path")
        return()
    endif()
    if(host MATCHES "[ \t\r\n]")
        message(SEND_ERROR "${option_name}=\"${host}\" holds white space: a host name has none")
        return()
    endif()
    if(NOT host MATCHES "^[A-Za-z0-9.-]+$")
        message(SEND_ERROR "${option_name}=\"${host}\" is not a host name: use only letters, digits, \".\" and \"-\"")
        return()
    endif()
endfunction()
